// The ratio test on states set up by hand: the degenerate rule and the tie
// rule as written, and the cases where the rule as written would carry a
// basic column out of its bounds (a row barred by the cycling history that
// still limits the step, a column fixed at zero pushed off zero, a tie that
// picks a tiny pivot element whose degenerate ratio is not negligible),
// where the plain minimum ratio decides instead.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "report_support.h"

namespace tavo {
namespace {

// One goal row and the given constraint rows; every constraint row's basic
// column is a structural column of the given kind; the entering column is
// the last structural column, increasing; the inverse is the identity. The
// cycling history bars row `barred` (when not 0) for the entering column.
struct RatioState {
  RatioState(std::vector<double> xb, std::vector<double> alpha, std::vector<std::uint8_t> kinds, int barred = 0) {
    const int rows = static_cast<int>(xb.size());
    W.NGOALS = 1;
    W.MROWS = rows + 1;
    W.NSTRUC = rows + 1;
    W.NCOLS = W.NSTRUC + W.MROWS;
    const int m = W.MROWS;
    W.XB.assign(m, 0);
    W.ALPHA.assign(m, 0);
    W.JHEAD.assign(m, 0);
    W.COLKND.assign(W.NCOLS, kKindNonnegative);
    W.BINV.assign(static_cast<std::size_t>(m) * m, 0);
    reporttest::IdentityInverse(W);
    for (int r = 0; r < rows; ++r) {
      W.XB[r + 1] = xb[r];
      W.ALPHA[r + 1] = alpha[r];
      W.JHEAD[r + 1] = r + 1;  // column r
      W.COLKND[r] = kinds[r];
    }
    W.JENTER = rows;
    W.IDIR = 1;
    W.BNDENT = 0;
    if (barred) {
      W.CYCHIST[0] = {W.JENTER, barred};
      W.NCYC = 1;
    }
    run.settings = DefaultSettings();
  }
  // Runs the ratio test; returns the leaving row (-1: none).
  int Leave() {
    run.ChooseLeaving();
    return W.ILEAVE;
  }
  Workspace W;
  RecordingPort port;
  CalcRun run{W, port};
};

// A state and the row that must leave (-1: none), with the step THETA and
// LVUPR (the leaving column goes to its upper bound) where they matter.
struct RatioCase {
  const char* name;
  std::vector<double> xb, alpha;
  std::vector<std::uint8_t> kinds;
  int barred;
  int leave;
  double theta = -1;  // -1: not checked
  int lvupr = -1;     // -1: not checked
};

void PrintTo(const RatioCase& c, std::ostream* os) { *os << c.name; }

const RatioCase kRatioCases[] = {
    {"SmallestRatioLeaves", {4, 6, 3}, {1, 1, 1}, {2, 2, 2}, 0, 3, 3},
    {"DegenerateRowBeatsAPositiveRatio", {5, 0, 2}, {1, 2, 1}, {2, 2, 2}, 0, 2, 1e-20 / 2},
    // Two degenerate rows tie; the tie rule compares the rows of the inverse
    // over its columns: at column 1 the current row's entry (1) exceeds the
    // candidate's (0), so the candidate, row 2, leaves.
    {"TieRuleAsWritten", {0, 0}, {1, 1}, {2, 2}, 0, 2},
    // A bounded basic column limits the step at its upper bound 1.
    {"BoundedColumnLeavesAtOne", {0.5, 3}, {-0.25, 1}, {1, 2}, 0, 1, 2, 1},
    // Row 1 is barred by the cycling history for this entering column, but
    // it limits the step (ratio 1 against row 2's 5): skipping it would drive
    // its column below zero. The plain minimum ratio decides.
    {"BarredRowThatLimitsTheStepStillLeaves", {1, 5}, {1, 1}, {2, 2}, 1, 1, 1},
    // Barring is kept where it is harmless: row 1 is barred and degenerate,
    // row 2 is degenerate too, so the step is 0 either way and row 2 leaves.
    {"BarredDegenerateRowStaysBarred", {0, 0}, {3, 1}, {2, 2}, 1, 2},
    // Without a limiting row the column is unbounded, unless the only
    // limiting row was barred.
    {"BarredOnlyLimitingRowIsNotUnbounded", {2, 1}, {1, -1}, {2, 2}, 1, 1, 2},
    {"NoLimitingRowIsUnbounded", {2, 1}, {-1, -1}, {2, 2}, 0, -1},
    // A column fixed at zero (an equality row's logical) basic at 0 limits an
    // increase as well as a decrease: otherwise row 2's ratio 4 would move it
    // to 4 and the basis would turn infeasible.
    {"FixedColumnAtZeroIsNotPushedOffZero", {0, 4}, {-1, 1}, {0, 2}, 0, 1, 0},
    // Rows 1 and 2 are degenerate; row 2's pivot element 3e-9 gives the ratio
    // 1e-20/3e-9 (3.3e-12), a tie with row 1's 1e-23, and the tie rule
    // prefers row 2. The step 3.3e-12 would move row 1 (entry 1000) to
    // -3.3e-9, out of its bounds: the plain rule takes the step 0 with the
    // larger pivot element.
    {"TinyPivotDegenerateTieDoesNotMoveTheOtherRows", {0, 0, 7}, {1000, 3e-9, 1}, {2, 2, 2}, 0, 1, 0},
};

class SolverRatio : public testing::TestWithParam<RatioCase> {};

TEST_P(SolverRatio, ChoosesTheLeavingRow) {
  const RatioCase& c = GetParam();
  RatioState s(c.xb, c.alpha, c.kinds, c.barred);
  EXPECT_EQ(s.Leave(), c.leave);
  if (c.theta >= 0) {
    EXPECT_EQ(s.W.THETA, c.theta);
  }
  if (c.lvupr >= 0) {
    EXPECT_EQ(s.W.LVUPR, c.lvupr);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SolverRatio, testing::ValuesIn(kRatioCases),
                         [](const testing::TestParamInfo<RatioCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tavo
