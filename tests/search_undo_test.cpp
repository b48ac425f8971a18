// Taking the bound substitution back off the matrix and the right-hand
// sides: the exact inverse of set-up's substitution for every kind of bound,
// the rows finished for the ranging table, and the guards against a zero
// width or a zero upper bound.
#include <gtest/gtest.h>

#include <cmath>

#include "report_support.h"

namespace tavo {
namespace {

using reporttest::Model;

class Undo : public ::testing::Test {
 protected:
  Workspace W;
  RecordingPort port;
  CalcRun run{W, port};
  std::vector<double> parsedA, parsedB;

  void Load(const std::string& text, int sensitivity = 0) {
    run.settings = DefaultSettings();
    run.settings.SENSITIVITY = sensitivity;
    ASSERT_EQ(run.ParseModel(text), 1) << run.result.logText;
    parsedA = W.AMAT;
    parsedB = W.XB;
    W.COLKND.assign(W.NCOLS, 0);
    W.ATUPR.assign(W.NCOLS, 0);
  }
};

// One column of each kind: plain, upper bound, lower bound, both, fixed,
// bounded above only (free with an upper bound, also as an integer), free.
std::string EveryBound() {
  return Model({"MAX A + B + C + D + E + F + G + H", "ST", "A + 2B + 3C + 4D + 5E + 6F + 7G + 8H <= 100",
                "2A - B + 0.5C - D + E - F + 2G - H >= 3", "A + B + C + D + E + F + G + H = 20", "END", "SUB B 4",
                "SLB C 1.5", "SLB D 2", "SUB D 7", "FIX E 2.5", "FREE F", "SUB F 3", "FREE G", "FREE H", "SUB H 6",
                "GIN H"});
}

TEST_F(Undo, ReversesTheColumnSubstitution) {
  Load(EveryBound());
  run.TransformModel(0);
  ASSERT_EQ(W.NERR, 0) << run.result.logText;
  EXPECT_EQ(W.BNDFLG[7], kBndInteger | kBndNoLower | kBndUpper);
  EXPECT_NE(W.AMAT, parsedA);
  EXPECT_NE(W.XB, parsedB);
  run.UndoBoundSubstitution();
  ASSERT_EQ(W.AMAT.size(), parsedA.size());
  for (std::size_t k = 0; k < parsedA.size(); ++k) EXPECT_NEAR(W.AMAT[k], parsedA[k], 1e-12) << k;
  for (std::size_t i = 0; i < parsedB.size(); ++i) EXPECT_NEAR(W.XB[i], parsedB[i], 1e-12) << i;
}

TEST_F(Undo, FinishesTheRowsForTheRangingTable) {
  // With SENSITIVITY on and no integer column the rows come back too: the
  // >= row's sign and the two-sided row's scaling. The SUB and SLB become
  // bound rows.
  Load(
      Model({"MAX A + B", "ST", "A + B <= 10", "A - B >= 2", "3 <= A + 2B <= 9", "A = 4", "END", "SUB B 5", "SLB A 1"}),
      1);
  ASSERT_EQ(W.MROWS, 1 + 4 + 2);
  run.TransformModel(1);
  ASSERT_EQ(W.NERR, 0);
  for (int i = 0; i < W.MROWS; ++i) W.XB[i] = W.RHS[i];
  run.UndoBoundSubstitution();
  const std::vector<double> expected = {0, 10, 2, 9, 4, 5, 1};
  for (int i = 0; i < W.MROWS; ++i) EXPECT_NEAR(W.XB[i], expected[i], 1e-12) << i;

  // Without SENSITIVITY the rows stay as the solver holds them.
  Workspace W2;
  RecordingPort port2;
  CalcRun run2(W2, port2);
  run2.settings = DefaultSettings();
  ASSERT_EQ(run2.ParseModel(Model({"MAX A + B", "ST", "A - B >= 2", "3 <= A + 2B <= 9", "END"})), 1);
  W2.COLKND.assign(W2.NCOLS, 0);
  W2.ATUPR.assign(W2.NCOLS, 0);
  run2.TransformModel(1);
  for (int i = 0; i < W2.MROWS; ++i) W2.XB[i] = W2.RHS[i];
  run2.UndoBoundSubstitution();
  EXPECT_DOUBLE_EQ(W2.XB[1], -2);
  EXPECT_DOUBLE_EQ(W2.XB[2], 1.5);
}

TEST_F(Undo, TinyEntriesOfASubstitutedColumnBecomeZero) {
  Load(Model({"MAX A + B", "ST", "A + B <= 10", "0.000000000001A + 0.000000000001B <= 3", "END", "SLB A 1"}));
  run.TransformModel(0);
  run.UndoBoundSubstitution();
  const int m = W.MROWS;
  EXPECT_EQ(W.AMAT[0 * m + 2], 0.0);      // A was substituted: 1e-12 < ZTOL
  EXPECT_EQ(W.AMAT[1 * m + 2], 1.0e-12);  // B was not
}

TEST_F(Undo, ZeroWidthOrZeroUpperBoundLeavesTheColumnIntact) {
  Load(Model({"MAX A + B", "ST", "A + B <= 10", "2A + 3B <= 12", "END"}));
  const int m = W.MROWS;
  // Flags that the substitution itself never leaves behind (equal bounds
  // become a fixed column), set by hand: no division by zero may spoil the
  // column.
  W.BNDFLG[0] = kBndUpper | kBndLower;
  W.UBND[0] = 2;
  W.LBND[0] = 2;
  W.BNDFLG[1] = kBndUpper;
  W.UBND[1] = 0;
  const std::vector<double> before = W.AMAT;
  const std::vector<double> rhs = W.XB;
  run.UndoBoundSubstitution();
  for (std::size_t k = 0; k < before.size(); ++k) {
    EXPECT_TRUE(std::isfinite(W.AMAT[k]));
    EXPECT_EQ(W.AMAT[k], before[k]) << k;
  }
  // The lower bound still goes back into the right-hand sides.
  for (int i = 0; i < m; ++i) EXPECT_DOUBLE_EQ(W.XB[i], rhs[i] + before[i] * 2) << i;
}

}  // namespace
}  // namespace tavo
