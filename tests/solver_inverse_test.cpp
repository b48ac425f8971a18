// The basis inverse on small bases set up by hand: the starting basis and
// its singleton rule, the values of the basic columns after a reinversion
// (columns at their upper bound moved into the right-hand side), a column
// that has become linearly dependent, and the feasibility test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_support.h"

namespace tavo {
namespace {

// A parsed model whose set-up arrays are sized and matrix transformed, with
// its starting basis and not solved, so that the inverse operations can be
// called directly.
struct Basis : reporttest::KeptRun {
  explicit Basis(const std::string& text) : KeptRun(text) {
    run.settings.ICODE = 0;
    if (!Parse()) return;
    reporttest::SizeLikeSetup(W, 0);
    run.TransformModel(1);
    run.CrashBasis();
  }
  // The feasibility test's verdict on the basis as it stands.
  int Infeasible() {
    run.TestFeasible();
    return W.INFEAS;
  }
};

TEST(SolverInverse, StartingBasisOfSlacksIsTheIdentity) {
  Basis b("MAX X + Y\r\nST\r\nX + Y <= 4\r\nX - Y >= -2\r\n");
  ASSERT_TRUE(b.parsed);
  const int n = b.W.NSTRUC;
  EXPECT_EQ(b.W.JHEAD, (std::vector<std::int32_t>{0, n + 1 + 1, n + 2 + 1}));
  EXPECT_EQ(b.W.BINV, (std::vector<double>{1, 0, 0, 0, 1, 0, 0, 0, 1}));
  // XB equals the transformed right-hand side (the >= row negated).
  EXPECT_EQ(b.W.XB, (std::vector<double>{0, 4, 2}));
  EXPECT_EQ(b.W.PHASE, 1);
  EXPECT_EQ(b.Infeasible(), 0);
}

TEST(SolverInverse, ColumnsAtTheirUpperBoundMoveIntoTheRightHandSide) {
  Basis b("MAX X + Y\r\nST\r\nX + Y <= 10\r\n2X + Y <= 9\r\nEND\r\nSUB X 4\r\n");
  ASSERT_TRUE(b.parsed);
  b.W.ATUPR[0] = 1;  // X at its bound 4 (1 in its scaled units)
  b.run.Reinvert();
  EXPECT_EQ(b.W.XB[1], 6);  // 10 - 4
  EXPECT_EQ(b.W.XB[2], 1);  // 9 - 8
  EXPECT_EQ(b.W.XB[0], 4);  // the goal row: 0 - (-1)*4
}

// The lowest-numbered of several singleton columns of one row becomes basic:
// Y, Z and row 1's slack have their only entry in row 1 (X's entry there is
// 0, and X also lies in row 2); Y comes first.
TEST(SolverInverse, TwoSingletonsInOneRow) {
  Basis c("MIN X\r\nST\r\n0X + 2Y + 3Z <= 4\r\nX >= 1\r\n");
  ASSERT_TRUE(c.parsed);
  EXPECT_EQ(c.W.JHEAD[1], 1 + 1);  // columns: X 0, Y 1, Z 2
  EXPECT_EQ(c.W.KINBAS[2], 0);
  EXPECT_EQ(c.W.KINBAS[c.W.NSTRUC + 1], 0);
  EXPECT_EQ(c.W.XB[1], 2);  // Y = 4 / 2
}

// Y and Z are the same column: once Y is basic, Z's pivot in the remaining
// row is 0, so Z is left out and that row takes its own logical column.
TEST(SolverInverse, DependentColumnIsLeftOut) {
  Basis b("MIN X\r\nST\r\nY + Z + X <= 4\r\nY + Z <= 3\r\n");
  ASSERT_TRUE(b.parsed);
  const int y = 0, z = 1;  // column order of first appearance: Y, Z, X
  b.W.JHEAD[1] = y + 1;
  b.W.KINBAS[y] = 2;
  b.W.JHEAD[2] = z + 1;
  b.W.KINBAS[z] = 3;
  b.W.KINBAS[b.W.NSTRUC + 1] = 0;
  b.W.KINBAS[b.W.NSTRUC + 2] = 0;
  b.run.Reinvert();
  EXPECT_EQ(b.W.JHEAD[1], y + 1);
  EXPECT_EQ(b.W.KINBAS[z], 0);
  EXPECT_EQ(b.W.JHEAD[2], b.W.NSTRUC + 2 + 1);
  EXPECT_EQ(b.W.XB[1], 4);
  EXPECT_EQ(b.W.XB[2], -1);  // 3 - 4: the slack is negative
  EXPECT_EQ(b.Infeasible(), 1);
}

TEST(SolverInverse, FeasibilityTest) {
  Basis b("MAX X\r\nST\r\nX <= 4\r\n0 <= Y <= 2\r\nX + Y = 3\r\n");
  ASSERT_TRUE(b.parsed);
  EXPECT_EQ(b.Infeasible(), 1);  // the equality's fixed column holds 3
  b.W.XB[3] = 4e-12;             // below ZTOL
  EXPECT_EQ(b.Infeasible(), 0);
  // The ranged row's slack is bounded: a value within ZTOL of 1 becomes 1.
  b.W.XB[2] = 1 + 3e-12;
  EXPECT_EQ(b.Infeasible(), 0);
  EXPECT_EQ(b.W.XB[2], 1);
  b.W.XB[2] = 1.5;
  EXPECT_EQ(b.Infeasible(), 1);
  b.W.XB[2] = 0.5;
  b.W.XB[1] = -1;
  EXPECT_EQ(b.Infeasible(), 1);
  b.W.XB[1] = 1;
  b.W.JHEAD[1] = 0;  // an artificial is basic
  EXPECT_EQ(b.Infeasible(), 1);
}

}  // namespace
}  // namespace tavo
