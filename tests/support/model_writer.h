// The tests' view of the product's neutral model: its two written forms, the
// TAVO model text (what the solver under test reads) and the CPLEX LP format
// (what the reference solvers glpsol and cbc read), a feasibility check and a
// random model generator. Shared by the differential tests, the benchmark
// suites and the benchmark generator.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "model/exchange_model.h"
#include "model/model_writers.h"

namespace tavo::testsupport {

// The model types and writers are the product's own (model/exchange_model.h,
// model/model_writers.h); the tests use them under their old names.
using exchange::FormatFixed;
using exchange::Goal;
using exchange::kInf;
using exchange::Model;
using exchange::Plain;
using exchange::Row;
using exchange::Sense;
using exchange::Term;
using exchange::Var;
using exchange::VarKind;
using exchange::WriteLpFormat;
using exchange::WriteTavoModel;

// Value of goal g (as written: the MAX row's own sense, not negated) at x.
double GoalValue(const Model& model, int g, const std::vector<double>& x);

// Checks x against every row and bound of the model. `tol` is the absolute
// slack allowed per unit of scale (scale = 1 + |right-hand side| for rows,
// 1 + |bound| for bounds) and `xError` the error each entry of x may carry
// (for values rounded to six decimals: 5e-7), multiplied by the row's sum of
// |coefficients|. Returns an empty string when x is feasible, otherwise a
// description of the worst violation. Integrality is checked too when
// `checkIntegrality` is set.
std::string CheckFeasible(const Model& model, const std::vector<double>& x, double tol, double xError,
                          bool checkIntegrality);

// A deterministic generator (splitmix64) so that seeds reproduce on every
// platform and library (std::uniform_*_distribution is not portable).
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform integer in [lo, hi].
  int Int(int lo, int hi);
  // True with probability p.
  bool Chance(double p);

 private:
  std::uint64_t state_;
};

// What the random model generator may put into a model.
struct GenOptions {
  int minVars = 2, maxVars = 12;
  int minRows = 2, maxRows = 10;
  int maxGoals = 1;          // number of goal levels drawn from 1..maxGoals
  int coefRange = 9;         // coefficients drawn from -coefRange..coefRange
  double density = 0.6;      // chance that a variable enters a row
  double rangeChance = 0.1;  // chance that a row is two-sided
  double eqChance = 0.1;
  double geChance = 0.3;
  double boundChance = 0.25;  // chance of an upper bound / a lower bound / FREE
  double freeChance = 0.08;
  double negBoundChance = 0.05;
  double intChance = 0;              // chance that a variable is general integer
  double binChance = 0;              // chance that a variable is binary
  double halfCoefChance = 0.1;       // chance that a coefficient gets a .5
  double arbitraryRhsChance = 0.15;  // chance that a right-hand side ignores the reference point
  double budgetRowChance = 0.4;      // chance of a row sum(c_j x_j) <= b over all variables (c_j 1..3),
                                     // which bounds the nonnegative variables
  bool labels = false;               // label every row R1) ...
  bool boxAll = false;               // give every variable a finite upper bound (keeps searches small)
};

// A random model (variables X1..Xn, rows labelled R1..Rm when asked).
Model RandomModel(Rng& rng, const GenOptions& options);

}  // namespace tavo::testsupport
