// One differential comparison: a model solved by TAVO (default settings)
// and by a reference solver level by level, compared on status, every goal's
// value and the feasibility of TAVO's reported activities; and a family run
// that does this for many seeded random models and summarises.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "shell/settings.h"
#include "tests/support/model_writer.h"
#include "tests/support/reference_solver.h"
#include "tests/support/tavo_runner.h"

namespace tavo::testsupport {

struct Comparison {
  bool referenceFailed = false;  // the reference gave no answer: nothing compared
  bool mismatch = false;
  RefStatus tavoStatus = RefStatus::kFailed;
  RefStatus refStatus = RefStatus::kFailed;
  std::string detail;  // what differs, with both answers (empty when they agree)
  TavoOutcome tavo;
};

// Result code of TAVO as a reference status (1, 2, 3; anything else: failed).
RefStatus StatusOfResultCode(int code);

// Values agree when |a - b| <= tol * max(1, |b|).
bool Agree(double a, double b, double tol);

// Solves with `settings` (DefaultSettings() unless a family asks otherwise).
Comparison CompareModel(const Model& model, RefSolver solver, const std::string& dir,
                        const SolverSettings& settings = DefaultSettings());

// A smaller model that still shows a mismatch: rows, terms, goals and
// bounds are dropped and coefficients simplified one at a time for as long
// as the comparison keeps failing. Returns the model unchanged when it
// agrees with the reference.
Model ShrinkMismatch(const Model& model, RefSolver solver, const std::string& dir,
                     const SolverSettings& settings = DefaultSettings());

struct FamilySummary {
  int models = 0;
  int optimal = 0, infeasible = 0, unbounded = 0;
  int referenceFailed = 0;
  int mismatches = 0;
  long long tavoIterations = 0;
  int tavoNodes = 0;
  std::string report;  // the first mismatches in full (model text included)
};

// Solves `count` random models drawn with seeds seedBase, seedBase+1, ...
// and compares each. The report lists the first `maxReported` mismatches,
// each followed by a shrunk model that still shows it.
FamilySummary RunFamily(const GenOptions& options, std::uint64_t seedBase, int count, RefSolver solver,
                        int maxReported = 3, const SolverSettings& settings = DefaultSettings());

std::string SummaryLine(const std::string& family, const FamilySummary& s);

// One seeded family of a differential suite: `count` models drawn with
// `options` from the seeds seedBase, seedBase+1, ...
struct FamilyCase {
  const char* name;
  std::uint64_t seedBase;
  int count;
  GenOptions options;
  RefSolver solver = RefSolver::kGlpsol;
  int noInvert = 0;  // the reinversion interval when not 0, else the default
};

void PrintTo(const FamilyCase& family, std::ostream* os);
std::string FamilyName(const testing::TestParamInfo<FamilyCase>& info);

// Runs the family: no model may show a mismatch, the reference must answer
// every model, and over a quarter of them must be optimal (the family
// exercises the solver, not only the parser). Skipped without the reference.
void ExpectFamilyAgrees(const FamilyCase& family);

}  // namespace tavo::testsupport
