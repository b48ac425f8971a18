// The right-hand-side ranging table: hand-solved cases for its edge rules,
// and generated models whose limits are checked against an independent
// computation on the final basis in the model's own terms (shifts just
// inside the limits keep the basis feasible, shifts just beyond break it,
// and re-solving a shifted model moves the goal by the shift times the
// reported dual price).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <utility>

#include "report_support.h"
#include "shell/numbers.h"

namespace tavo {
namespace {

using reporttest::J;
using reporttest::KeptRun;
using reporttest::Label18;
using reporttest::Model;
using reporttest::RangingRows;
using reporttest::RowRows;

using Line = std::vector<std::string>;

SolverSettings WithSensitivity(int round = 0) {
  SolverSettings s = DefaultSettings();
  s.SENSITIVITY = 1;
  s.ROUND = round;
  return s;
}

// (The table of a hand-solved model and its place in the rows report are a
// golden text.)

// A model worked out by hand and its ranging table (an empty line is not
// checked).
struct RangingCase {
  const char* name;
  std::string model;
  int round;
  std::vector<Line> table;
};

void PrintTo(const RangingCase& c, std::ostream* os) { *os << c.name; }

const std::string kInf = J("無限");

const std::vector<RangingCase> kRangingCases = {
    // The inverse entry 1e-12 of the only row is below ZTOL: no basic value
    // depends on the right-hand side as far as the ranging can tell.
    {"UnlimitedBothWays",
     Model({"MAX X", "ST", "1000000000000X <= 3000000000000", "END"}),
     0,
     {{J("制約行1"), "3.e+012", kInf, kInf}}},
    // 2 <= X + Y <= 6 at its upper end with X = 6: X reaches 0 after a
    // decrease of 6, more than the width 4, so 4 is shown; the increase is
    // unlimited as far as the basic values go.
    {"TwoSidedRowDecreaseIsCappedAtItsWidth",
     Model({"MAX X", "ST", "2 <= X + Y <= 6", "END"}),
     0,
     {{J("制約行1"), "6.", kInf, "4."}}},
    // 3 <= X + Y <= 6 at its upper end with X - Y <= 1: X = 3.5 + d/2 and
    // Y = 2.5 + d/2 when the upper end moves by d, so Y limits the decrease
    // to 5, more than the width 3: 3 is shown. The second row moves X and Y
    // by +-d/2: Y limits its increase to 5, X its decrease to 7.
    {"NarrowTwoSidedRowDecreaseIsCappedAtItsWidth",
     Model({"MAX 2X + Y", "ST", "3 <= X + Y <= 6", "X - Y <= 1", "END"}),
     0,
     {{J("制約行1"), "6.", kInf, "3."}, {J("制約行2"), "1.", "5.", "7."}}},
    // X = 5, Y = 1, X + Y = 6 inside 5 <= X + Y <= 8. Lowering C1 lowers X,
    // and the two-sided row's lower side 5 is reached after 1 (its slack, a
    // column between 0 and 1, reaches 1), before X reaches 0 after 5.
    {"BasicColumnsLimitByTheirOwnBounds",
     Model({"MAX 2X - Y", "ST", "C1) X <= 5", "C2) 5 <= X + Y <= 8", "C3) Y >= 1"}),
     0,
     {{Label18("C1"), "5.", "2.", "1."}, {}, {Label18("C3"), "1.", "2.", "1."}}},
    // A free basic column (Y = 2 - X = -3) has no bounds: it limits no change.
    {"FreeBasicColumnLimitsNothing",
     Model({"MIN Y", "ST", "C1) X + Y >= 2", "C2) X <= 5", "END", "FREE Y"}),
     0,
     {{Label18("C1"), "2.", kInf, kInf}, {Label18("C2"), "5.", kInf, "5."}}},
    // MIN Y with Y >= 2: Y = 2 is basic and the second row's slack is 8.
    // Raising the >= row's limit is possible until the slack is used up (8),
    // lowering it until Y reaches 0 (2).
    {"GreaterRowLimitsAreSwapped",
     Model({"MIN Y", "ST", "Y >= 2", "X + Y <= 10", "END"}),
     0,
     {{J("制約行1"), "2.", "8.", "2."}, {J("制約行2"), "10.", kInf, "8."}}},
    // X = 2/3: the first row may rise by 1 (until X = 1) and fall by 2 (until
    // X = 0); X <= 1 may fall by 1/3, rounded when ROUND is on.
    {"RoundingAppliesToFiniteLimits",
     Model({"MAX X", "ST", "3X <= 2", "X <= 1", "END"}),
     1,
     {{J("制約行1"), "2.", "1.", "2."}, {J("制約行2"), "1.", kInf, "0.333333"}}},
    // X = 4 and Y = 0 with the slack of the equality row B left in the
    // basis at zero: any change of B moves that slack, which must stay at
    // zero, so B allows none (its price 0 holds at 0 only; beyond, the goal
    // falls by 1/3 per unit, and below 0 there is no solution). Row A moves
    // only X.
    {"EqualitySlackInTheBasisAllowsNoChange",
     Model({"MAX 2X + Y", "ST", "A) X + Y <= 4", "B) 3Y = 0", "END"}),
     0,
     {{Label18("A"), "4.", kInf, "4."}, {Label18("B"), "0.", "0.", "0."}}},
    // X = Y = 2 on three rows through one point, one of the equality slacks
    // basic at zero: every limit the basis has is 0.
    {"EqualitiesThroughOnePoint",
     Model({"MAX 2X + 3Y", "ST", "A) X + Y = 4", "B) X - Y = 0", "C) X + 2Y <= 6", "END"}),
     0,
     {{Label18("A"), "4.", "0.", "0."}, {Label18("B"), "0.", "0.", "0."}, {Label18("C"), "6.", "0.", "0."}}},
    // MIN 2X + Y on 4 <= X + Y <= 5 stands at its lower side with Y = 4: the
    // table names the lower side 4 (the row's price -1 is per unit of it); it
    // may rise by 1 until it meets the upper side and fall by 4 until Y
    // reaches 0.
    {"TwoSidedRowAtItsLowerSide",
     Model({"MIN 2X + Y", "ST", "4 <= X + Y <= 5", "END"}),
     0,
     {{J("制約行1"), "4.", "1.", "4."}}},
    // The upper side of 2 <= X <= 6 with X free: no basic value limits the
    // decrease, but the upper side cannot pass the lower one.
    {"TwoSidedRowCappedAtItsWidthWhenNothingElseLimits",
     Model({"MAX X", "ST", "2 <= X <= 6", "END", "FREE X"}),
     0,
     {{J("制約行1"), "6.", kInf, "4."}}},
    {"UnroundedLimits",
     Model({"MAX X", "ST", "3X <= 2", "X <= 1", "END"}),
     0,
     {{}, {J("制約行2"), "1.", kInf, "0.3333333333"}}},
};

class RangingTable : public testing::TestWithParam<RangingCase> {};

TEST_P(RangingTable, MatchesTheWorkedOutLimits) {
  const RangingCase& c = GetParam();
  KeptRun r(c.model, WithSensitivity(c.round));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  auto table = RangingRows(r.result());
  ASSERT_EQ(table.size(), c.table.size());
  for (std::size_t i = 0; i < table.size(); ++i)
    if (!c.table[i].empty()) {
      EXPECT_EQ(table[i], c.table[i]) << "row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Ranging, RangingTable, testing::ValuesIn(kRangingCases),
                         [](const testing::TestParamInfo<RangingCase>& info) { return info.param.name; });

// With the sensitivity analysis every SUB and SLB is also a row of its own,
// and a column at its bound may end basic with that row tight. The columns
// report reads such a column as at its bound, with the row's price as its
// reduced cost: the report is the same with and without the setting.
TEST(Ranging, ColumnsReportDoesNotDependOnTheBoundRows) {
  const std::vector<std::string> models = {
      Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "END", "SUB X 3"}),
      Model({"MIN 3X + Y", "ST", "X + Y >= 5", "END", "SLB X 1"}),
      Model({"MAX X + Y", "ST", "2X + Y <= 10", "END", "SLB X 1", "SUB X 3", "SUB Y 2"}),
      Model({"MAX 2X + Y", "ST", "X + Y <= 10", "END", "FREE X", "SUB X 4"}),
      Model({"TITLE BOUNDS", "MAX -X + Y + V + W", "ST", "CAP) X + Y + Z + V + 2W <= 15", "END", "SLB X 2", "SUB Y 3",
             "FIX Z 1.5", "FREE V", "SUB V 4", "SLB W 1", "SUB W 10"}),
      Model({"MAX 2X + 3Y", "ST", "X + 2Y <= 8", "3X + Y <= 12", "END", "SUB X 2", "SLB Y 1", "SUB Y 5"}),
  };
  for (const std::string& model : models) {
    for (int round : {0, 1}) {
      KeptRun off(model, WithSensitivity(round));
      off.run.settings.SENSITIVITY = 0;
      KeptRun on(model, WithSensitivity(round));
      ASSERT_EQ(off.Solve(), 1) << model;
      ASSERT_EQ(on.Solve(), 1) << model;
      EXPECT_GT(on.W.MROWS, off.W.MROWS) << model;
      EXPECT_EQ(Cp932ToUtf8(on.result().columnsText), Cp932ToUtf8(off.result().columnsText)) << model;
    }
  }
}

TEST(Ranging, NoSectionForIntegerModelsOrWhenOff) {
  KeptRun integer(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4.5", "END", "SUB X 2", "GIN X"}), WithSensitivity());
  ASSERT_EQ(integer.Solve(), 1) << integer.result().logText;
  EXPECT_EQ(integer.W.MROWS, 2);  // no bound row either
  EXPECT_EQ(integer.result().rowsText.find(T().sensitivityTitle), std::string::npos);

  KeptRun off(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "END", "SUB X 2"}));
  ASSERT_EQ(off.Solve(), 1);
  EXPECT_EQ(off.W.MROWS, 2);
  EXPECT_EQ(off.result().rowsText.find(T().sensitivityTitle), std::string::npos);
}

// ---------------------------------------------------------------------------
// Generated models against an independent computation.

struct GenRow {
  std::vector<int> coef;
  bool greater = false;
  double rhs = 0;
};

struct GenModel {
  int n = 0;
  std::vector<int> goal;
  std::vector<GenRow> rows;
  std::vector<std::pair<int, double>> subs;  // variable, upper bound (in declaration order)
};

// A decimal number as the model text writes it (no exponent; a minus sign
// as a word of its own).
std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9f", std::fabs(v));
  std::string s(buf);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s.empty()) s = "0";
  return v < 0 ? "- " + s : s;
}

std::string Text(const GenModel& g, int shiftRow = -1, double shift = 0) {
  std::string t = "TITLE GEN\r\nMAX";
  for (int j = 0; j < g.n; ++j) t += (j ? " + " : " ") + std::to_string(g.goal[j]) + "X" + std::to_string(j + 1);
  t += "\r\nST\r\n";
  for (std::size_t q = 0; q < g.rows.size(); ++q) {
    const GenRow& row = g.rows[q];
    t += "R" + std::to_string(q + 1) + ")";
    bool first = true;
    for (int j = 0; j < g.n; ++j) {
      if (row.coef[j] == 0) continue;
      t += (first ? " " : " + ") + std::to_string(row.coef[j]) + "X" + std::to_string(j + 1);
      first = false;
    }
    const double b = row.rhs + (static_cast<int>(q) == shiftRow ? shift : 0.0);
    t += std::string(row.greater ? " >= " : " <= ") + Num(b) + "\r\n";
  }
  t += "END\r\n";
  for (const auto& [j, u] : g.subs) t += "SUB X" + std::to_string(j + 1) + " " + Num(u) + "\r\n";
  return t;
}

GenModel Generate(std::mt19937& rng) {
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  GenModel g;
  g.n = uni(2, 5);
  const int R = uni(2, 5);
  // (A variable that occurs in no constraint row makes the model invalid;
  // the caller skips such models.)
  for (int j = 0; j < g.n; ++j) g.goal.push_back(uni(1, 9));
  std::vector<bool> capped(g.n, false);
  for (int q = 0; q < R; ++q) {
    GenRow row;
    row.greater = uni(0, 9) < 3;
    row.coef.assign(g.n, 0);
    for (int j = 0; j < g.n; ++j) row.coef[j] = uni(0, 2) == 0 ? 0 : uni(1, 6);
    int nz = 0;
    for (int c : row.coef) nz += c != 0;
    if (nz == 0) row.coef[uni(0, g.n - 1)] = uni(1, 6);
    row.rhs = row.greater ? uni(1, 6) : uni(10, 40);
    if (!row.greater)
      for (int j = 0; j < g.n; ++j) capped[j] = capped[j] || row.coef[j] > 0;
    g.rows.push_back(row);
  }
  for (int j = 0; j < g.n; ++j) {
    if (!capped[j] || uni(0, 3) == 0) g.subs.push_back({j, static_cast<double>(uni(1, 8))});
  }
  return g;
}

// Dense Gaussian elimination with partial pivoting; false when singular.
bool SolveDense(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>& x) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t p = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
    if (std::fabs(a[p][c]) < 1e-12) return false;
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

double ParseLimit(const std::string& field) {
  if (field == J("無限")) return kInfinity;
  return CAtof(field);
}

TEST(Ranging, GeneratedModelsAgreeWithTheFinalBasis) {
  std::mt19937 rng(20261206);
  int checked = 0, rowsChecked = 0, resolved = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const GenModel g = Generate(rng);
    bool everyVariableUsed = true;
    for (int j = 0; j < g.n; ++j) {
      bool used = false;
      for (const GenRow& row : g.rows) used = used || row.coef[j] != 0;
      everyVariableUsed = everyVariableUsed && used;
    }
    if (!everyVariableUsed) continue;
    KeptRun r(Text(g), WithSensitivity());
    if (r.Solve() != 1) continue;
    ++checked;
    const Workspace& W = r.W;
    const int n = g.n, K = 1;
    const int R = static_cast<int>(g.rows.size()), S = static_cast<int>(g.subs.size());
    ASSERT_EQ(W.MROWS, K + R + S) << Text(g);

    // Columns are numbered in the order the variables first occur in the
    // constraint rows.
    std::vector<int> col(n, -1);
    int next = 0;
    for (const GenRow& row : g.rows)
      for (int j = 0; j < n; ++j)
        if (row.coef[j] != 0 && col[j] < 0) col[j] = next++;
    ASSERT_EQ(next, n);
    // The model's constraint rows (bound rows last), slack signs, and the
    // values of the nonbasic columns at their upper bound.
    std::vector<std::vector<double>> A(R + S, std::vector<double>(n, 0.0));
    std::vector<double> b(R + S), slackSign(R + S);
    for (int q = 0; q < R; ++q) {
      for (int j = 0; j < n; ++j) A[q][col[j]] = g.rows[q].coef[j];
      b[q] = g.rows[q].rhs;
      slackSign[q] = g.rows[q].greater ? -1 : 1;
    }
    std::vector<double> upper(n, 0);
    for (int s = 0; s < S; ++s) {
      A[R + s][col[g.subs[s].first]] = 1;
      b[R + s] = g.subs[s].second;
      slackSign[R + s] = 1;
      upper[col[g.subs[s].first]] = g.subs[s].second;
    }
    std::vector<double> rhs = b;
    for (int j = 0; j < n; ++j) {
      if (W.KINBAS[j] == 0 && W.ATUPR[j]) {
        for (int q = 0; q < R + S; ++q) rhs[q] -= A[q][j] * upper[j];
      }
    }
    // The basis matrix over the constraint rows.
    std::vector<std::vector<double>> B(R + S, std::vector<double>(R + S, 0.0));
    for (int q = 0; q < R + S; ++q) {
      const int h = W.JHEAD[K + q];
      ASSERT_GT(h, 0) << "an artificial is basic in an optimal basis";
      const int c = h - 1;
      if (c < n) {
        for (int p = 0; p < R + S; ++p) B[p][q] = A[p][c];
      } else {
        const int row = c - n - K;
        ASSERT_GE(row, 0);
        B[row][q] = slackSign[row];
      }
    }
    std::vector<double> x;
    ASSERT_TRUE(SolveDense(B, rhs, x)) << Text(g);
    for (double v : x) ASSERT_GT(v, -1e-9) << Text(g);

    auto table = RangingRows(r.result());
    auto duals = RowRows(r.result());
    ASSERT_EQ(static_cast<int>(table.size()), R);
    const double goal = W.RACT[0];
    for (int i = 0; i < R; ++i) {
      std::vector<double> e(R + S, 0.0), d;
      e[i] = 1;
      ASSERT_TRUE(SolveDense(B, e, d));
      double inc = kInfinity, dec = kInfinity;
      for (int k = 0; k < R + S; ++k) {
        if (d[k] < -1e-9) inc = std::min(inc, -x[k] / d[k]);
        if (d[k] > 1e-9) dec = std::min(dec, x[k] / d[k]);
      }
      const std::string where = Text(g) + " row R" + std::to_string(i + 1);
      ASSERT_EQ(table[i][0], Label18("R" + std::to_string(i + 1)));
      EXPECT_NEAR(CAtof(table[i][1]), b[i], 1e-9) << where;
      const double shownInc = ParseLimit(table[i][2]);
      const double shownDec = ParseLimit(table[i][3]);
      for (auto [shown, want] : {std::pair(shownInc, inc), std::pair(shownDec, dec)}) {
        if (want >= kInfinity) {
          EXPECT_EQ(shown, kInfinity) << where;
        } else {
          EXPECT_NEAR(shown, want, 1e-7 * std::max(1.0, want)) << where;
        }
      }
      // Just inside each finite limit the basis stays feasible; just beyond
      // it does not.
      auto lowest = [&](double delta) {
        double low = kInfinity;
        for (int k = 0; k < R + S; ++k) low = std::min(low, x[k] + delta * d[k]);
        return low;
      };
      if (shownInc < kInfinity) {
        EXPECT_GE(lowest(shownInc * (1 - 1e-6)), -1e-9) << where;
        EXPECT_LT(lowest(shownInc * (1 + 1e-6) + 1e-6), -1e-12) << where;
      } else {
        EXPECT_GE(lowest(1e6), -1e-9) << where;
      }
      if (shownDec < kInfinity) {
        EXPECT_GE(lowest(-shownDec * (1 - 1e-6)), -1e-9) << where;
        EXPECT_LT(lowest(-shownDec * (1 + 1e-6) - 1e-6), -1e-12) << where;
      }
      ++rowsChecked;

      // Re-solve with the right-hand side moved halfway to a limit: the basis
      // stays optimal, so the goal moves by the shift times the dual price.
      const double dual = CAtof(duals[K + i][3]);
      for (double delta : {std::min(shownInc, 2.0) / 2, -std::min(shownDec, 2.0) / 2}) {
        if (std::fabs(delta) < 1e-3) continue;
        KeptRun moved(Text(g, i, delta));
        ASSERT_EQ(moved.Solve(), 1) << Text(g, i, delta);
        EXPECT_NEAR(moved.W.RACT[0], goal + delta * dual, 1e-6) << Text(g, i, delta);
        ++resolved;
      }
    }
  }
  EXPECT_GE(checked, 30);
  EXPECT_GE(rowsChecked, 100);
  EXPECT_GE(resolved, 100);
}

}  // namespace
}  // namespace tavo
