// The neutral model written out: as TAVO model text, as a CPLEX LP file (one
// goal level, or all levels as prioritised objectives) and as a free MPS file.
#pragma once

#include <string>
#include <vector>

#include "model/exchange_model.h"

namespace tavo::exchange {

struct TavoWriteOptions {
  // Comment lines written after the title line.
  std::vector<std::string> comments;
  // Empty: a variable that stands in no constraint row gets a zero term in
  // the first row. Otherwise such variables stand, with zero coefficients,
  // in a row of their own with this label.
  std::string registerLabel;
};

// The model as TAVO model text: CR LF line ends, ASCII, signs standing apart
// from their terms, unsigned numbers. Negative bounds and negative fixed
// values are written as constraint rows after the model's own rows (a
// declaration value cannot be negative); every variable is made to appear in
// some constraint row. Integer variables are declared with GIN, binaries
// with INT. Names must already be valid model names.
std::string WriteTavoModel(const Model& model, const TavoWriteOptions& options = {});

// The model in CPLEX LP format with goal `level` as the objective. The goals
// before it are held at `levelValues` (their optimal values, one per earlier
// level): a MAX goal at least value - tol, a MIN goal at most value + tol,
// with tol = relTol * max(1, |value|). Two-sided rows become two rows. The
// objective lists every variable in model order, so columns keep their numbers.
std::string WriteLpFormat(const Model& model, int level, const std::vector<double>& levelValues, double relTol = 1e-9);

// The model in CPLEX LP format with every goal level as one objective of a
// multi-objective model: earlier levels take higher priorities, and a MAX
// goal is minimised with weight -1.
std::string WriteLpMultiObjective(const Model& model);

// The model as a free MPS file. level < 0: every goal (one N row each with
// priority, weight and tolerances when there are several); otherwise goal
// `level` as the objective with the earlier ones held as in WriteLpFormat.
std::string WriteFreeMps(const Model& model, int level, const std::vector<double>& levelValues, double relTol = 1e-9);

}  // namespace tavo::exchange
