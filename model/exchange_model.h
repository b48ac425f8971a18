// The neutral in-memory model that model files of other programs are read
// into and written from: variables with bounds and kinds, goal levels, and
// constraint rows. Names are the source's own until the import gives them
// forms the model text accepts.
#pragma once

#include <limits>
#include <string>
#include <vector>

namespace tavo::exchange {

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
  std::string label;  // empty: no label
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
  // The source's objective names by goal (empty or shorter than goals when it has none).
  std::vector<std::string> goalNames;

  bool HasIntegers() const;
  // Lower and upper bound as the model means them (binaries: 0 and 1).
  double Lower(int j) const;
  double Upper(int j) const;
};

// A number in fixed notation without sign and without exponent, with enough
// digits that reading it back gives the same double ("3", "0.25",
// "1234567.5", "0.000001").
std::string FormatFixed(double value);

// A number for LP and MPS files: the shortest form that reads back to the
// same double, signed, exponent allowed ("-3", "1e-12").
std::string FormatShort(double value);

}  // namespace tavo::exchange
