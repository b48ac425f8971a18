// The independent reference solvers: GLPK's glpsol and COIN-OR's cbc, run
// as child processes on CPLEX LP files, and a level-by-level driver that
// gives the lexicographic optimum of a goal program with them.
#pragma once

#include <string>
#include <vector>

#include "tests/support/model_writer.h"

namespace tavo::testsupport {

enum class RefStatus { kOptimal, kInfeasible, kUnbounded, kFailed };

const char* RefStatusName(RefStatus s);

enum class RefSolver { kGlpsol, kCbc };

struct RefOutcome {
  RefStatus status = RefStatus::kFailed;
  double objective = 0;
  std::vector<double> x;  // by column order of the LP file (= model order)
  std::string output;     // the solver's terminal output, for diagnostics
};

bool HaveGlpsol();
bool HaveCbc();

// A scratch folder that removes itself.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Solves one LP file text. `timeLimit` in seconds (0: none).
RefOutcome RunReference(RefSolver solver, const std::string& lpText, const std::string& dir, bool mip,
                        double timeLimit = 0);

struct LexOutcome {
  RefStatus status = RefStatus::kFailed;
  int level = 0;              // level at which a non-optimal status came
  std::vector<double> goals;  // optimal value of each level (when optimal)
  std::vector<double> x;      // final point
  std::string detail;         // output of the last solve
};

// Optimises goal 0, holds it at its optimum (relative tolerance relTol),
// optimises goal 1, and so on.
LexOutcome SolveLexicographic(RefSolver solver, const Model& model, const std::string& dir, double relTol = 1e-9,
                              double timeLimit = 0);

// Result code of TAVO as a reference status (1, 2, 3; anything else: failed).
RefStatus StatusOfResultCode(int code);

// Values agree when |a - b| <= tol * max(1, |b|).
bool Agree(double a, double b, double tol);

// Runs a shell command, returning its exit status and its combined output.
int RunCommand(const std::string& command, std::string& output);

}  // namespace tavo::testsupport
