// The ranging table against re-solves of generated models. For every row of
// the table, the right-hand side it names is moved just inside each finite
// limit (and well out along an unlimited one) and just beyond it, the model
// is solved again, and the outcome is compared with the table's promise:
//
// - Inside a limit the final basis stays feasible, so it stays optimal, and
//   the first goal row moves at the row's printed dual price: the re-solve is
//   optimal with goal row value g0 + shift * price.
// - Beyond a finite limit the final basis is no longer feasible. This is
//   checked directly: the basis is rebuilt in the model's own terms (the
//   columns off the basis at their values, the rows whose slack is off the
//   basis at their right-hand side) and solved at the moved right-hand side,
//   independently of the solver; some basic value must leave its bounds.
// - Beyond a finite limit the re-solve must then be infeasible or lose
//   against the printed rate. The first goal's value is a concave function of
//   a right-hand side, so it can never beat the rate; and when every column
//   and slack off the final basis has a nonzero reduced cost (for the first
//   goal), the optimum inside the limits is unique and follows the basis, so
//   a solution at the same rate beyond the limit would continue that path,
//   which just left its bounds: the rate must fall. When some column off the
//   basis has a zero reduced cost (the basis is dual degenerate), another
//   optimal basis may carry the same rate past the limit, and only the
//   concavity bound is required there. (A limit of 0, from a basic value that
//   sits at its bound, is a degenerate basis too: nothing is checked inside
//   it, and beyond it the same rules apply.)
//
// A two-sided row is read by the side it stands at: the table's right-hand
// side is that side, and it alone moves. The models come from the shared
// generator with equality, two-sided and bounded rows (SUB and SLB become
// rows of their own with the sensitivity analysis) and right-hand sides that
// mostly pass through one point, so that many bases are degenerate. The same
// models also check that the columns report does not depend on the setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "report_support.h"
#include "shell/numbers.h"
#include "tests/support/model_writer.h"
#include "tests/support/tavo_runner.h"

namespace tavo {
namespace {

using testsupport::Model;
using testsupport::Row;
using testsupport::Sense;

SolverSettings Settings(int sensitivity) {
  SolverSettings s = DefaultSettings();
  s.SENSITIVITY = sensitivity;
  s.ROUND = 0;  // the limits and prices exactly as computed
  return s;
}

double Field(const std::string& text) {
  if (text == reporttest::J("無限")) return kInfinity;
  return CAtof(text);
}

// The right-hand side the table names for a row, and the same row with that
// side moved by `delta`.
double Side(const Row& row, bool lower) {
  if (row.sense != Sense::kRange) return row.rhs;
  return lower ? row.lo : row.hi;
}
Row Moved(Row row, bool lower, double delta) {
  if (row.sense != Sense::kRange) {
    row.rhs += delta;
  } else if (lower) {
    row.lo += delta;
  } else {
    row.hi += delta;
  }
  return row;
}

// Dense Gaussian elimination with partial pivoting; false when singular.
bool SolveDense(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>& x) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t p = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
    if (std::fabs(a[p][c]) < 1e-10) return false;
    std::swap(a[p], a[c]);
    std::swap(b[p], b[c]);
    for (std::size_t r = 0; r < n; ++r) {
      if (r == c) continue;
      const double f = a[r][c] / a[c][c];
      if (f == 0) continue;
      for (std::size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  x.resize(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = b[i] / a[i][i];
  return true;
}

double Activity(const Row& row, const std::vector<double>& x) {
  double s = 0;
  for (const auto& t : row.terms) s += t.coef * x[t.var];
  return s;
}

// How far `v` lies outside [lo, hi] (0 inside).
double Outside(double v, double lo, double hi) { return std::max({lo - v, v - hi, 0.0}); }

// The final basis of a run with the sensitivity analysis, in the model's
// terms: which variables are basic (and the values of the others), which
// model rows have their slack off the basis and at which side, and the bound
// rows (a variable and whether it is its upper bound) with their slacks.
struct Basis {
  std::vector<bool> basic;    // by model variable
  std::vector<double> x;      // the run's values, by model variable
  std::vector<bool> pinned;   // by model row: slack off the basis
  std::vector<bool> atLower;  // by model row: a two-sided row pinned at its lower side
  struct BoundRow {
    int var;
    bool upper;
    bool pinned;
  };
  std::vector<BoundRow> boundRows;
};

// The largest violation of a bound by the basis solved at the right-hand
// sides of `model` (a negative value: the rebuilt system is singular).
double BasisViolation(const Model& model, const Basis& b) {
  const int n = static_cast<int>(model.vars.size());
  std::vector<std::vector<double>> a;
  std::vector<double> rhs;
  auto pin = [&](int var, double value) {
    std::vector<double> e(n, 0.0);
    e[var] = 1;
    a.push_back(e);
    rhs.push_back(value);
  };
  for (int j = 0; j < n; ++j)
    if (!b.basic[j]) pin(j, b.x[j]);
  for (std::size_t q = 0; q < model.rows.size(); ++q) {
    if (!b.pinned[q]) continue;
    std::vector<double> coef(n, 0.0);
    for (const auto& t : model.rows[q].terms) coef[t.var] += t.coef;
    a.push_back(coef);
    rhs.push_back(Side(model.rows[q], b.atLower[q]));
  }
  for (const auto& r : b.boundRows)
    if (r.pinned) pin(r.var, r.upper ? model.Upper(r.var) : model.Lower(r.var));
  if (static_cast<int>(a.size()) != n) return -1;
  std::vector<double> x;
  if (!SolveDense(a, rhs, x)) return -1;
  double worst = 0;
  for (int j = 0; j < n; ++j) worst = std::max(worst, Outside(x[j], model.Lower(j), model.Upper(j)));
  for (const Row& row : model.rows) {
    const double act = Activity(row, x);
    switch (row.sense) {
      case Sense::kLe:
        worst = std::max(worst, Outside(act, -kInfinity, row.rhs));
        break;
      case Sense::kGe:
        worst = std::max(worst, Outside(act, row.rhs, kInfinity));
        break;
      case Sense::kEq:
        worst = std::max(worst, std::fabs(act - row.rhs));
        break;
      case Sense::kRange:
        // Sides that crossed make the row empty.
        worst = std::max(worst, row.lo > row.hi ? row.lo - row.hi : Outside(act, row.lo, row.hi));
        break;
    }
  }
  return worst;
}

struct Tally {
  int models = 0, rows = 0, inside = 0, beyond = 0, strictBeyond = 0, unlimited = 0, zeroLimits = 0;
  int twoSidedAtLower = 0, heldColumns = 0, sameColumns = 0;
};

class RangingResolve {
 public:
  RangingResolve(const Model& model, Tally& tally) : model_(model), tally_(tally) {}

  // Solves the model with the sensitivity analysis and checks every row of
  // its table; false when the model has no optimum (not counted).
  bool Check() {
    const std::string text = testsupport::WriteTavoModel(model_);
    reporttest::KeptRun run(text, Settings(1));
    if (run.Solve() != 1) return false;
    where_ = text;
    const Workspace& W = run.W;
    const int K = W.NGOALS;
    const int n = W.NSTRUC;
    const int R = static_cast<int>(model_.rows.size());
    EXPECT_EQ(static_cast<int>(model_.vars.size()), n) << where_;
    if (static_cast<int>(model_.vars.size()) != n) return true;

    // Model variable of each column, by name (X1, X2, ...).
    std::vector<int> varOf(n, -1);
    for (int c = 0; c < n; ++c) {
      std::string name = W.CNAME.substr(static_cast<std::size_t>(c) * 8, 8);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      for (int j = 0; j < n; ++j)
        if (model_.vars[j].name == name) varOf[c] = j;
      EXPECT_GE(varOf[c], 0) << name << "\n" << where_;
      if (varOf[c] < 0) return true;
    }

    Basis basis;
    basis.basic.resize(n);
    basis.x.resize(n);
    for (int c = 0; c < n; ++c) {
      basis.basic[varOf[c]] = W.KINBAS[c] != 0;
      basis.x[varOf[c]] = W.XACT[c];
    }
    for (int q = 0; q < R; ++q) {
      const int slack = n + K + q;
      basis.pinned.push_back(W.KINBAS[slack] == 0);
      basis.atLower.push_back(W.KINBAS[slack] == 0 && W.ATUPR[slack] != 0);
    }
    // The writer may add a row of zero terms that only makes unused
    // variables known; it restricts nothing, and its slack stays basic.
    // The bound rows come last.
    const int firstBoundRow = W.MROWS - run.run.P.g_boundRowCount;
    for (int i = K + R; i < firstBoundRow; ++i) {
      for (int c = 0; c < n; ++c) EXPECT_EQ(W.AMAT[static_cast<std::size_t>(c) * W.MROWS + i], 0) << where_;
      EXPECT_NE(W.KINBAS[n + i], 0) << where_;
    }
    for (int i = firstBoundRow; i < W.MROWS; ++i) {
      int var = -1;
      for (int c = 0; c < n; ++c)
        if (W.AMAT[static_cast<std::size_t>(c) * W.MROWS + i] != 0) var = varOf[c];
      EXPECT_GE(var, 0) << "bound row " << i << "\n" << where_;
      if (var < 0) return true;
      basis.boundRows.push_back({var, W.ROWTYP[i] == kRowLess, W.KINBAS[n + i] == 0});
    }
    const double base = BasisViolation(model_, basis);
    EXPECT_GE(base, 0) << "the final basis does not rebuild\n" << where_;
    EXPECT_LT(base, 1e-7) << "the final basis is not feasible\n" << where_;
    if (base < 0 || base >= 1e-7) return true;

    // The first goal's row value, the printed prices and reduced costs.
    const double g0 = W.RACT[0];
    const auto table = reporttest::RangingRows(run.result());
    const auto rows = reporttest::RowRows(run.result());
    const auto cols = reporttest::ColumnRows(run.result());
    EXPECT_EQ(static_cast<int>(table.size()), firstBoundRow - K) << where_;
    EXPECT_EQ(static_cast<int>(cols.size()), n) << where_;
    if (static_cast<int>(table.size()) != firstBoundRow - K || static_cast<int>(cols.size()) != n) return true;

    // Dual degenerate: a column or slack off the basis that could move, with
    // a zero reduced cost for the first goal. (A basic column held at its
    // bound by its bound row stands for that row's slack; its reported
    // reduced cost is that slack's price.)
    dualDegenerate_ = false;
    for (int c = 0; c < n; ++c) {
      bool off = W.KINBAS[c] == 0 && W.COLKND[c] != kKindFixedZero;
      for (std::size_t s = 0; s < basis.boundRows.size(); ++s)
        if (basis.boundRows[s].var == varOf[c] && basis.boundRows[s].pinned && W.KINBAS[c] != 0) {
          off = true;
          ++tally_.heldColumns;
        }
      if (off && Field(cols[c][4]) == 0) dualDegenerate_ = true;
    }
    for (int q = 0; q < R; ++q)
      if (basis.pinned[q] && W.COLKND[n + K + q] != kKindFixedZero && Field(rows[K + q][3]) == 0)
        dualDegenerate_ = true;

    for (int q = 0; q < R; ++q) CheckRow(q, table[q], Field(rows[K + q][3]), g0, basis);

    CompareColumnsReport(run.result().columnsText, basis);
    ++tally_.models;
    return true;
  }

 private:
  void CheckRow(int q, const std::vector<std::string>& line, double price, double g0, const Basis& basis) {
    const Row& row = model_.rows[q];
    const std::string at = where_ + "row R" + std::to_string(q + 1) + ": " + line[1] + " +" + line[2] + " -" + line[3] +
                           " price " + std::to_string(price) + "\n";
    ASSERT_EQ(line.size(), 4u) << at;
    EXPECT_EQ(line[0], reporttest::Label18(row.label)) << at;
    // The side the table names: a two-sided row's lower side exactly when its
    // slack sits at the lower side.
    const bool lower = row.sense == Sense::kRange && basis.atLower[q];
    if (lower) ++tally_.twoSidedAtLower;
    const double shown = Field(line[1]);
    EXPECT_NEAR(shown, Side(row, lower), 1e-9 * (1 + std::fabs(shown))) << at;
    ++tally_.rows;

    const double limits[2] = {Field(line[2]), Field(line[3])};
    for (int dir = 0; dir < 2; ++dir) {
      const double sign = dir == 0 ? 1 : -1;
      const double limit = limits[dir];
      // (The increase of a lower side and the decrease of an upper side move
      // it towards the other side.)
      if (row.sense == Sense::kRange && limit >= kInfinity && (dir == 0) == lower) {
        ADD_FAILURE() << "a two-sided row's side cannot pass its other side\n" << at;
        continue;
      }
      if (limit >= kInfinity) {
        const double delta = sign * 10 * (1 + std::fabs(shown));
        Inside(q, lower, delta, price, g0, basis, at);
        ++tally_.unlimited;
        continue;
      }
      if (limit == 0) ++tally_.zeroLimits;
      if (limit > 1e-9)
        Inside(q, lower, sign * (limit - std::min(1e-4 * std::max(1.0, limit), limit / 2)), price, g0, basis, at);
      Beyond(q, lower, sign * (limit + 1e-3 * std::max(1.0, limit)), price, g0, basis, at);
    }
  }

  Model MovedModel(int q, bool lower, double delta) const {
    Model moved = model_;
    moved.rows[q] = Moved(model_.rows[q], lower, delta);
    return moved;
  }

  void Inside(int q, bool lower, double delta, double price, double g0, const Basis& basis, const std::string& at) {
    const Model moved = MovedModel(q, lower, delta);
    const std::string what = at + "moved by " + std::to_string(delta) + "\n";
    EXPECT_LT(BasisViolation(moved, basis), 1e-7 * (1 + std::fabs(delta))) << "the basis breaks inside the limits\n"
                                                                           << what;
    const testsupport::TavoOutcome out = testsupport::SolveWithTavo(testsupport::WriteTavoModel(moved), Settings(0));
    ++tally_.inside;
    ASSERT_TRUE(out.parsed && out.resultCode == 1) << "no optimum inside the limits\n" << what;
    const double want = g0 + delta * price;
    EXPECT_NEAR(out.goalActivity[0], want, 1e-7 * (1 + std::fabs(g0) + std::fabs(delta * price)))
        << "the goal does not move at the printed price inside the limits\n"
        << what;
  }

  void Beyond(int q, bool lower, double delta, double price, double g0, const Basis& basis, const std::string& at) {
    const Model moved = MovedModel(q, lower, delta);
    const std::string what = at + "moved by " + std::to_string(delta) + "\n";
    EXPECT_GT(BasisViolation(moved, basis), 1e-10) << "the basis still holds beyond the limit\n" << what;
    const testsupport::TavoOutcome out = testsupport::SolveWithTavo(testsupport::WriteTavoModel(moved), Settings(0));
    ++tally_.beyond;
    if (!out.parsed || out.resultCode != 1) {
      // Infeasible, or for two-sided sides that crossed, refused as a
      // contradictory range.
      const Row& r = moved.rows[q];
      const bool crossed = r.sense == Sense::kRange && r.lo > r.hi;
      EXPECT_TRUE(out.parsed ? out.resultCode == 2 : crossed) << out.resultCode << "\n" << what;
      return;
    }
    const double promised = g0 + delta * price;
    const double tol = 1e-7 * (1 + std::fabs(g0) + std::fabs(delta * price));
    EXPECT_LE(out.goalActivity[0], promised + tol) << "the goal beats the printed price\n" << what;
    if (!dualDegenerate_) {
      ++tally_.strictBeyond;
      EXPECT_LT(out.goalActivity[0], promised - 1e-9 * (1 + std::fabs(g0)))
          << "the rate holds beyond the limit of a basis with a unique optimum\n"
          << what;
    }
  }

  // Without the setting there are no bound rows. When the optimum is unique
  // and no basic value sits at a bound, both runs end in the same basis in
  // the model's terms, and the columns report must say the same of every
  // column: its status, its value and its reduced cost.
  void CompareColumnsReport(const std::string& withRows, const Basis& basis) {
    if (dualDegenerate_) return;
    const int n = static_cast<int>(model_.vars.size());
    for (int j = 0; j < n; ++j) {
      if (!basis.basic[j]) continue;
      bool held = false;
      for (const auto& r : basis.boundRows) held = held || (r.var == j && r.pinned);
      if (held) continue;
      if (Outside(basis.x[j], model_.Lower(j), model_.Upper(j)) > 0) return;
      if (std::fabs(basis.x[j] - model_.Lower(j)) < 1e-9 || std::fabs(basis.x[j] - model_.Upper(j)) < 1e-9) return;
    }
    for (std::size_t q = 0; q < model_.rows.size(); ++q) {
      if (basis.pinned[q]) continue;
      const Row& row = model_.rows[q];
      const double act = Activity(row, basis.x);
      const bool touching =
          row.sense == Sense::kEq ||
          (row.sense != Sense::kGe && std::fabs(act - (row.sense == Sense::kRange ? row.hi : row.rhs)) < 1e-9) ||
          (row.sense != Sense::kLe && std::fabs(act - (row.sense == Sense::kRange ? row.lo : row.rhs)) < 1e-9);
      if (touching) return;
    }
    for (const auto& r : basis.boundRows) {
      if (r.pinned) continue;
      if (std::fabs(basis.x[r.var] - (r.upper ? model_.Upper(r.var) : model_.Lower(r.var))) < 1e-9) return;
    }
    const testsupport::TavoOutcome plain = testsupport::SolveWithTavo(testsupport::WriteTavoModel(model_), Settings(0));
    ASSERT_EQ(plain.resultCode, 1) << where_;
    const auto a = reporttest::TableRows(withRows, T().columnsTitles);
    const auto b = reporttest::TableRows(plain.columnsText, T().columnsTitles);
    ASSERT_EQ(a.size(), b.size()) << where_;
    for (std::size_t c = 0; c < a.size(); ++c) {
      const std::string what = where_ + "column " + a[c][1] + "\n";
      EXPECT_EQ(a[c][2], b[c][2]) << "status\n" << what;
      EXPECT_NEAR(Field(a[c][3]), Field(b[c][3]), 1e-9 * (1 + std::fabs(Field(b[c][3])))) << "activity\n" << what;
      EXPECT_NEAR(Field(a[c][4]), Field(b[c][4]), 2e-6) << "reduced cost\n" << what;
    }
    ++tally_.sameColumns;
  }

  const Model& model_;
  Tally& tally_;
  std::string where_;
  bool dualDegenerate_ = false;
};

TEST(RangingResolve, LimitsHoldOnGeneratedModels) {
  testsupport::GenOptions o;
  o.minVars = 2;
  o.maxVars = 6;
  o.minRows = 2;
  o.maxRows = 6;
  o.maxGoals = 2;
  o.coefRange = 6;
  o.rangeChance = 0.25;
  o.eqChance = 0.2;
  o.geChance = 0.25;
  o.boundChance = 0.35;
  o.negBoundChance = 0;  // (bounds below zero would become rows of the model text)
  o.labels = true;
  Tally tally;
  testsupport::Rng rng(20261207);
  for (int trial = 0; trial < 3000 && tally.models < 320; ++trial) {
    const Model model = testsupport::RandomModel(rng, o);
    RangingResolve check(model, tally);
    check.Check();
    if (HasFatalFailure()) return;
  }
  std::printf(
      "models %d rows %d inside %d beyond %d (strict %d) unlimited %d zero limits %d lower sides %d held %d "
      "same columns %d\n",
      tally.models, tally.rows, tally.inside, tally.beyond, tally.strictBeyond, tally.unlimited, tally.zeroLimits,
      tally.twoSidedAtLower, tally.heldColumns, tally.sameColumns);
  EXPECT_GE(tally.models, 300);
  EXPECT_GE(tally.strictBeyond, 300);
  EXPECT_GE(tally.zeroLimits, 20);
  EXPECT_GE(tally.twoSidedAtLower, 10);
  EXPECT_GE(tally.heldColumns, 10);
  EXPECT_GE(tally.sameColumns, 30);
}

}  // namespace
}  // namespace tavo
