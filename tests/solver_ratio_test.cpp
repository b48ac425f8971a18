// The ratio test on states set up by hand: the degenerate rule and the tie
// rule as written, and the cases where the rule as written would carry a
// basic column out of its bounds (a row barred by the cycling history that
// still limits the step, a column fixed at zero pushed off zero, a tie that
// picks a tiny pivot element whose degenerate ratio is not negligible),
// where the plain minimum ratio decides instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"

namespace tavo {
namespace {

// One goal row and the given constraint rows; every constraint row's basic
// column is a structural column of the given kind; the entering column is
// the last structural column, increasing; the inverse is the identity.
struct RatioState {
  RatioState(std::vector<double> xb, std::vector<double> alpha, std::vector<std::uint8_t> kinds) {
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
    for (int i = 0; i < m; ++i) W.BINV[static_cast<std::size_t>(i) * m + i] = 1;
    for (int r = 0; r < rows; ++r) {
      W.XB[r + 1] = xb[r];
      W.ALPHA[r + 1] = alpha[r];
      W.JHEAD[r + 1] = r + 1;  // column r
      W.COLKND[r] = kinds[r];
    }
    W.JENTER = rows;
    W.IDIR = 1;
    W.BNDENT = 0;
    run.settings = DefaultSettings();
  }
  Workspace W;
  RecordingPort port;
  CalcRun run{W, port};
};

TEST(SolverRatio, SmallestRatioLeaves) {
  RatioState s({4, 6, 3}, {1, 1, 1}, {2, 2, 2});
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 3);
  EXPECT_EQ(s.W.THETA, 3);
}

TEST(SolverRatio, DegenerateRowBeatsAPositiveRatio) {
  RatioState s({5, 0, 2}, {1, 2, 1}, {2, 2, 2});
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 2);
  EXPECT_EQ(s.W.THETA, 1e-20 / 2);
}

// Two degenerate rows tie; the tie rule compares the rows of the inverse
// over its columns: at column 1 the current row's entry (1) exceeds the
// candidate's (0), so the candidate, row 2, leaves.
TEST(SolverRatio, TieRuleAsWritten) {
  RatioState s({0, 0}, {1, 1}, {2, 2});
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 2);
}

// A bounded basic column limits the step at its upper bound 1.
TEST(SolverRatio, BoundedColumnLeavesAtOne) {
  RatioState s({0.5, 3}, {-0.25, 1}, {1, 2});
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 1);
  EXPECT_EQ(s.W.THETA, 2);
  EXPECT_EQ(s.W.LVUPR, 1);
}

// Row 1 is barred by the cycling history for this entering column, but it
// limits the step (ratio 1 against row 2's ratio 5): skipping it would drive
// its column below zero. The plain minimum ratio decides.
TEST(SolverRatio, BarredRowThatLimitsTheStepStillLeaves) {
  RatioState s({1, 5}, {1, 1}, {2, 2});
  s.W.CYCHIST[0] = {s.W.JENTER, 1};
  s.W.NCYC = 1;
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 1);
  EXPECT_EQ(s.W.THETA, 1);
}

// Barring is kept where it is harmless: row 1 is barred and degenerate,
// row 2 is degenerate too, so the step is 0 either way and row 2 leaves.
TEST(SolverRatio, BarredDegenerateRowStaysBarred) {
  RatioState s({0, 0}, {3, 1}, {2, 2});
  s.W.CYCHIST[0] = {s.W.JENTER, 1};
  s.W.NCYC = 1;
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 2);
}

// Without a limiting row the column is unbounded, unless the only limiting
// row was barred.
TEST(SolverRatio, BarredOnlyLimitingRowIsNotUnbounded) {
  RatioState s({2, 1}, {1, -1}, {2, 2});
  s.W.CYCHIST[0] = {s.W.JENTER, 1};
  s.W.NCYC = 1;
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 1);
  EXPECT_EQ(s.W.THETA, 2);
  RatioState t({2, 1}, {-1, -1}, {2, 2});
  t.run.ChooseLeaving();
  EXPECT_EQ(t.W.ILEAVE, -1);
}

// A column fixed at zero (an equality row's logical) basic at 0 limits an
// increase as well as a decrease: otherwise row 2's ratio 4 would move it to
// 4 and the basis would turn infeasible.
TEST(SolverRatio, FixedColumnAtZeroIsNotPushedOffZero) {
  RatioState s({0, 4}, {-1, 1}, {0, 2});
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 1);
  EXPECT_EQ(s.W.THETA, 0);
}

// Rows 1 and 2 are degenerate; row 2's pivot element 3e-9 gives the ratio
// 1e-20/3e-9 (3.3e-12), a tie with row 1's 1e-23, and the tie rule prefers
// row 2. The step 3.3e-12 would move row 1 (entry 1000) to -3.3e-9, out of
// its bounds: the plain rule takes the step 0 with the larger pivot element.
TEST(SolverRatio, TinyPivotDegenerateTieDoesNotMoveTheOtherRows) {
  RatioState s({0, 0, 7}, {1000, 3e-9, 1}, {2, 2, 2});
  s.run.ChooseLeaving();
  EXPECT_EQ(s.W.ILEAVE, 1);
  EXPECT_EQ(s.W.THETA, 0);
}

// A whole model with an equality row whose logical column starts basic at
// zero: MAX X with Y - X = 0 and X + Y <= 4 has X = Y = 2. Pushing the
// equality's column off zero would lose feasibility and stop the solve at
// the starting point.
TEST(SolverRatio, EqualityRowAtZeroInAWholeSolve) {
  Workspace W;
  RecordingPort port;
  CalcRun run(W, port);
  run.settings = DefaultSettings();
  const std::string text = "MAX X\r\nST\r\nY - X = 0\r\nX + Y <= 4\r\n";
  ASSERT_EQ(run.ParseModel(text), 1);
  ASSERT_EQ(run.SetupAndSolve(), kResultOptimal) << run.result.logText;
  EXPECT_NEAR(W.XB[0], 2, 1e-9);
}

}  // namespace
}  // namespace tavo
