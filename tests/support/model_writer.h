// A small in-memory linear goal program and its two written forms: the TAVO
// model text (what the solver under test reads) and the CPLEX LP format (what
// the reference solvers glpsol and cbc read). Shared by the differential
// tests, the benchmark suites and the benchmark generator.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tavo::testsupport {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Term {
  int var = 0;  // index into Model::vars
  double coef = 0;
};

// One priority level of the objective.
struct Goal {
  bool maximize = false;
  std::vector<Term> terms;
};

enum class Sense { kLe, kGe, kEq, kRange };

// A constraint row. kRange means lo <= terms <= hi (either side may be
// infinite; both infinite means the row is free and only its variables count).
struct Row {
  std::string label;  // empty: no label; else at most 18 characters
  std::vector<Term> terms;
  Sense sense = Sense::kLe;
  double rhs = 0;  // kLe, kGe, kEq
  double lo = 0;   // kRange
  double hi = 0;   // kRange
};

// The row as the one-sided row or equality it is when it is two-sided with
// one side infinite or both sides equal; any other row unchanged.
Row Plain(const Row& row);

enum class VarKind { kContinuous, kInteger, kBinary };

// A variable with its bounds (lower may be -kInf, upper may be kInf). A
// binary variable always has the bounds 0 and 1, whatever lower/upper say.
struct Var {
  std::string name;
  double lower = 0;
  double upper = kInf;
  VarKind kind = VarKind::kContinuous;
};

struct Model {
  std::string title;  // one word; empty: no title line
  std::vector<Var> vars;
  std::vector<Goal> goals;
  std::vector<Row> rows;

  bool HasIntegers() const;
  // Lower and upper bound as the model means them (binaries: 0 and 1).
  double Lower(int j) const;
  double Upper(int j) const;
};

// A number in fixed notation without sign and without exponent, with enough
// digits that reading it back gives the same double ("3", "0.25",
// "1234567.5", "0.000001").
std::string FormatFixed(double value);

// The model as TAVO model text: CR LF line ends, ASCII, signs standing apart
// from their terms, unsigned numbers. Negative bounds and negative fixed
// values are written as constraint rows after the model's own rows (a
// declaration value cannot be negative); a variable that would otherwise
// appear in no constraint row gets a zero term in the first row. Integer
// variables are declared with GIN, binaries with INT.
std::string WriteTavoModel(const Model& model);

// The model in CPLEX LP format with goal `level` as the objective. The goals
// before it are held at `levelValues` (their optimal values, one per earlier
// level): a MAX goal at least value - tol, a MIN goal at most value + tol,
// with tol = relTol * max(1, |value|). Two-sided rows become two rows. The
// objective lists every variable in model order, so columns keep their numbers.
std::string WriteLpFormat(const Model& model, int level, const std::vector<double>& levelValues, double relTol = 1e-9);

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
