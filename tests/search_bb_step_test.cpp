// The branch-and-bound step on a workspace whose solves are scripted by hand:
// node order, node table fields, bounds of each node, incumbent handling,
// the branching selection and the incumbent comparison.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <tuple>

#include "report_support.h"

namespace tavo {
namespace {

using reporttest::Model;

// A parsed integer model, sized and transformed as set-up leaves it, without
// a solve. Each scripted "solve" then sets the solution by hand.
class ScriptedSearch : public ::testing::Test, protected reporttest::KeptRun {
 protected:
  ScriptedSearch() : KeptRun("") {}

  void Load(const std::string& text, int bbLength = 90000) {
    run.settings = DefaultSettings();
    run.settings.BB_LENGTH = bbLength;
    ASSERT_EQ(run.ParseModel(text), 1) << run.result.logText;
    ASSERT_GT(W.NINT, 0);
    reporttest::SizeLikeSetup(W, bbLength);
    run.TransformModel(1);
    ASSERT_EQ(W.NERR, 0) << run.result.logText;
  }
  double& B(int k, int i) { return reporttest::Binv(W, k, i); }

  // A solved node: the given structural columns basic in rows K, K+1, ...
  // with an identity inverse (all penalties 0: the first fractional column
  // in basis order is chosen, down branch first).
  int Solve(int lpResult, std::vector<double> x, double goal, const std::string& marker) {
    const int m = W.MROWS, K = W.NGOALS;
    std::fill(W.JHEAD.begin(), W.JHEAD.end(), 0);
    reporttest::IdentityInverse(W);
    for (std::size_t j = 0; j < x.size() && K + static_cast<int>(j) < m; ++j) {
      W.JHEAD[K + j] = static_cast<int>(j) + 1;
      W.XB[K + j] = x[j] - std::floor(x[j]);
    }
    for (std::size_t j = 0; j < x.size(); ++j) W.XACT[j] = x[j];
    W.RACT[0] = goal;
    run.result.columnsText = marker;
    run.result.rowsText = marker + " rows";
    run.result.errorText = marker + " error";
    W.g_branchCount += 1;
    return run.BranchAndBoundStep(lpResult);
  }

  const BbNode& Node(int i) { return W.g_bbNodes[i]; }
  // Runs the branching selection: "var j floor f up u" (u 1: the up branch first).
  std::string Select() {
    run.SelectBranchingVariable();
    return "var " + std::to_string(W.g_branchVar) + " floor " + std::to_string(W.g_branchFloor) + " up " +
           std::to_string(W.g_branchUpFirst);
  }
  // The search's position: state, current node, last node, and the last
  // branching (column and value).
  std::string SearchText() {
    std::ostringstream o;
    o << "state " << W.g_bbState << " current " << W.g_bbCurrent << " last " << W.g_bbLastNode << " branched "
      << W.g_lastBranchVar << " at " << W.g_lastBranchValue;
    return o.str();
  }
  // Column j's bound flags and bounds.
  std::string BoundsText(int j) {
    std::ostringstream o;
    o << "flags " << int(W.BNDFLG[j]) << " lower " << W.LBND[j] << " upper " << W.UBND[j];
    return o.str();
  }
  // Node i's whole record, for comparing in one line.
  std::string NodeText(int i) {
    const BbNode& b = W.g_bbNodes[i];
    std::ostringstream o;
    o << "parent " << b.parent << " dir " << b.branchDir << " status " << b.status << " var " << b.branchVar << " at "
      << b.floorValue << "|" << b.ceilValue << " children " << b.downChild << " " << b.upChild << " solved "
      << b.solvedAt;
    return o.str();
  }
};

std::string TwoIntegers() { return Model({"MAX 3X + 2Y", "ST", "X + Y <= 10", "X - Y <= 4", "END", "GIN X Y"}); }

TEST_F(ScriptedSearch, DepthFirstOrderNodeTableAndIncumbent) {
  Load(TwoIntegers());

  // Root: X = 2.5 is fractional and branched (floor 2, ceiling 3), down
  // child first; the children are open. Node 1's bounds: X <= 2, Y
  // unbounded; the next solve starts afresh; the first step saved the basis.
  EXPECT_EQ(Solve(1, {2.5, 1.0}, 10, "root"), 1);
  EXPECT_EQ(SearchText(), "state 1 current 1 last 2 branched 0 at 2.5");
  EXPECT_EQ(NodeText(0), "parent -1 dir -1 status 0 var 0 at 2|3 children 1 2 solved 0");
  EXPECT_EQ(NodeText(1), "parent 0 dir 0 status 0 var 0 at 0|0 children 0 0 solved -1");
  EXPECT_EQ(NodeText(2), "parent 0 dir 1 status 0 var 0 at 0|0 children 0 0 solved -1");
  EXPECT_EQ(BoundsText(0), "flags 33 lower 0 upper 2");
  EXPECT_EQ(BoundsText(1), "flags 32 lower 0 upper 0");
  EXPECT_EQ(std::tuple(W.PHASE, W.INFEAS, W.ITER, W.INVREQ, W.JHSAVE[1]), std::tuple(0, 1, 0, 0, 1));

  // Node 1: X moved to 2, Y = 1.5 is branched: nodes 3 (down) and 4 (up).
  EXPECT_EQ(Solve(1, {2.0, 1.5}, 9, "node1"), 1);
  EXPECT_EQ(SearchText(), "state 1 current 3 last 4 branched 1 at 1.5");
  EXPECT_EQ(NodeText(1), "parent 0 dir 0 status 0 var 1 at 1|2 children 3 4 solved 1");
  EXPECT_EQ(BoundsText(0) + ", " + BoundsText(1), "flags 33 lower 0 upper 2, flags 33 lower 0 upper 1");

  // Node 3 is infeasible: closed, the scan takes node 4 (X <= 2, Y >= 2).
  EXPECT_EQ(Solve(2, {0, 0}, 0, "node3"), 2);
  EXPECT_EQ(NodeText(3), "parent 1 dir 0 status 2 var 0 at 0|0 children 0 0 solved 2");
  EXPECT_EQ(SearchText(), "state 1 current 4 last 4 branched -1 at -1");
  EXPECT_EQ(BoundsText(0) + ", " + BoundsText(1), "flags 33 lower 0 upper 2, flags 34 lower 2 upper 0");

  // Node 4 is integral: the incumbent; the scan goes back up to node 2
  // (X >= 3, Y without its earlier bounds).
  EXPECT_TRUE(port.fields.find(ProgressField::kFeasibility) == port.fields.end());
  EXPECT_EQ(Solve(1, {2.0, 2.0}, 8, "node4"), 1);
  EXPECT_EQ(NodeText(4), "parent 1 dir 1 status 1 var 0 at 0|0 children 0 0 solved 3");
  EXPECT_EQ(std::tuple(W.g_haveIncumbent, W.g_incumbentGoals[0], W.g_incumbentReports[0]), std::tuple(1, 8.0, "node4"));
  EXPECT_EQ(port.fields[ProgressField::kFeasibility], T().feasible);
  EXPECT_EQ(W.FEASSHOWN, 1);
  EXPECT_EQ(SearchText(), "state 1 current 2 last 4 branched -1 at -1");
  EXPECT_EQ(BoundsText(0) + ", " + BoundsText(1), "flags 34 lower 3 upper 0, flags 32 lower 0 upper 0");

  // Node 2 is worse than the incumbent: closed; nothing is left open, and
  // the incumbent's reports come back.
  EXPECT_EQ(Solve(1, {3.0, 0.5}, 7, "node2"), 1);
  EXPECT_EQ(NodeText(2), "parent 0 dir 1 status 2 var 0 at 0|0 children 0 0 solved 4");
  EXPECT_EQ(SearchText(), "state 2 current -1 last 4 branched -1 at -1");
  EXPECT_EQ(run.result.columnsText + "|" + run.result.rowsText + "|" + run.result.errorText,
            "node4|node4 rows|node4 error");
}

TEST_F(ScriptedSearch, BranchWithoutEffectClosesTheFirstChildOnly) {
  Load(TwoIntegers());
  EXPECT_EQ(Solve(1, {2.5, 1.0}, 10, "root"), 1);
  // Node 1 gives X = 2.5 again: the bound changed nothing, so node 1 is
  // closed rather than branched on X once more.
  EXPECT_EQ(Solve(1, {2.5, 1.0}, 10, "node1"), 1);
  EXPECT_EQ(Node(1).status, 2);
  EXPECT_EQ(SearchText(), "state 1 current 2 last 2 branched -1 at -1");
  // Node 2, taken up after a closed node, has nothing to compare with: the
  // same value is branched normally. (Its down child, X <= 2 under X >= 3,
  // is empty and closed at once; the up child is loaded.)
  EXPECT_EQ(Solve(1, {2.5, 1.0}, 10, "node2"), 1);
  EXPECT_EQ(std::tuple(Node(2).status, Node(3).status, W.g_bbCurrent), std::tuple(0, 2, 4));
}

TEST_F(ScriptedSearch, ShortTableStillRecordsAnIntegralRoot) {
  // No room to branch, but an integral root is the integer optimum.
  Load(TwoIntegers(), 2);
  EXPECT_EQ(Solve(1, {2.0, 1.0}, 10, "root"), 1);
  EXPECT_EQ(std::tuple(Node(0).status, W.g_haveIncumbent, W.g_bbState, W.g_bbCutShort), std::tuple(1, 1, 2, 0));
}

TEST_F(ScriptedSearch, EmptyTableCutsAFractionalRootShort) {
  // A fractional root that cannot be branched: no answer is proven.
  Load(TwoIntegers(), 0);
  EXPECT_EQ(Solve(1, {2.5, 1.0}, 10, "root"), kResultForcedInfeasible);
  EXPECT_EQ(std::tuple(W.g_bbState, W.g_bbCutShort), std::tuple(2, 1));
  EXPECT_EQ(W.g_bbCutBound, 10);
}

TEST_F(ScriptedSearch, IntegralRootEndsTheSearchAtOnce) {
  Load(TwoIntegers());
  EXPECT_EQ(Solve(1, {3.0, 1.0}, 11, "root"), 1);
  EXPECT_EQ(std::tuple(Node(0).status, W.g_bbState), std::tuple(1, 2));
  EXPECT_EQ(run.result.columnsText, "root");
}

TEST_F(ScriptedSearch, FullTableSolvesTheOpenNodesWithoutBranching) {
  // Five nodes: the root branches (nodes 1, 2), node 1 branches (3, 4);
  // then 4 >= 5 - 2, so nothing more is branched, but the open nodes are
  // still solved: an integral one becomes the incumbent, a fractional one
  // that could do better is left unbranched and cuts the search short.
  Load(TwoIntegers(), 5);
  EXPECT_EQ(Solve(1, {2.5, 1.0}, 10, "root"), 1);
  EXPECT_EQ(Solve(1, {2.0, 1.5}, 9, "node1"), 1);
  EXPECT_EQ(W.g_bbCurrent, 3);
  EXPECT_EQ(Solve(1, {2.0, 1.0}, 8, "node3"), 1);  // integral: the incumbent
  EXPECT_EQ(std::tuple(Node(3).status, W.g_haveIncumbent, W.g_bbCurrent), std::tuple(1, 1, 4));
  EXPECT_EQ(Solve(1, {1.0, 2.5}, 8.5, "node4"), 1);  // fractional, better, no room
  EXPECT_EQ(std::tuple(Node(4).status, W.g_bbCutShort, W.g_bbCurrent), std::tuple(2, 1, 2));
  EXPECT_EQ(Solve(1, {3.0, 0.0}, 7, "node2"), kResultForcedFeasible);  // worse: closed; the search ends
  EXPECT_EQ(std::tuple(W.g_bbState, W.g_bbCutBound), std::tuple(2, 8.5));
  EXPECT_EQ(run.result.columnsText, "node3");
}

TEST_F(ScriptedSearch, EqualBoundsFixTheColumn) {
  Load(Model({"MAX 3X + 2Y", "ST", "X + Y <= 10", "END", "SUB X 3", "GIN X"}));
  // X = 2.5 in [0, 3]: the up child has 3 <= X <= 3, a fixed column.
  EXPECT_EQ(Solve(1, {2.5}, 10, "root"), 1);
  EXPECT_EQ(Solve(1, {2.0, 8.0}, 9, "node1"), 1);  // down child: integral
  EXPECT_EQ(W.g_bbCurrent, 2);
  EXPECT_EQ(BoundsText(0), "flags 36 lower 3 upper 0");  // integer, fixed
  EXPECT_EQ(W.COLKND[0], kKindFixedZero);
}

TEST_F(ScriptedSearch, CrossedBoundsCloseTheNodeWithoutASolve) {
  // X <= 2.5: the up child X >= 3 is empty. It is closed at once (status 2)
  // and its sibling is loaded instead, so X can never be fixed at 3.
  Load(Model({"MAX 2X + Y", "ST", "X + Y <= 10", "END", "SUB X 2.5", "GIN X"}));
  // X basic in row 1. Column 0 of the inverse has a = -1 in X's row and the
  // goal price d = 1: up penalty max(1, 0) = 1. Column 1 has a = 1 and d = 5:
  // down penalty 5. The up branch goes first.
  W.JHEAD[1] = 1;
  W.XB[1] = 1.0;  // X / 2.5 in the scaled column
  W.XACT[0] = 2.5;
  W.RACT[0] = 12.5;
  B(0, 0) = 1.0;
  B(1, 0) = -1.0;
  B(0, 1) = 5.0;
  B(1, 1) = 1.0;
  W.g_branchCount = 0;
  EXPECT_EQ(run.BranchAndBoundStep(1), 1);
  EXPECT_EQ(W.g_branchUpFirst, 1);
  EXPECT_EQ(Node(1).branchDir, 1);
  // Node 1 (X >= 3 with X <= 2.5) was closed without a solve; node 2 (X <= 2)
  // is the one loaded.
  EXPECT_EQ(Node(1).status, 2);
  EXPECT_NE(Node(1).solvedAt, -1);
  EXPECT_EQ(SearchText(), "state 1 current 2 last 2 branched -1 at -1");
  EXPECT_EQ(BoundsText(0), "flags 33 lower 0 upper 2");
}

// ---- The selection ----

TEST_F(ScriptedSearch, SelectionTakesTheLargestSmallerPenaltyAndItsDirection) {
  Load(Model({"MAX 3X + 2Y", "ST", "X + Y <= 10", "X - Y <= 4", "END", "GIN X Y"}));
  reporttest::IdentityInverse(W);  // goal row, two constraint rows
  W.JHEAD = {0, 1, 2};
  W.XACT = {2.25, 3.5};
  W.XB = {0, 0.25, 0.5};
  B(0, 1) = 2;  // goal prices d of columns 1 and 2
  B(0, 2) = 1;
  B(1, 2) = -0.5;  // row 1 has a negative entry in column 2
  // Row 1 (X): down = max(2, |2·0.25/1|) = 2; up = max(1, |1·0.75/-0.5|) = 1.5.
  // Row 2 (Y): down = max(1, |1·0.5/1|) = 1; no up candidate.
  EXPECT_EQ(Select(), "var 0 floor 2 up 1");
  EXPECT_EQ(std::tuple(W.BBIVAL[0], W.BBIVAL[1]), std::tuple(2, 3));  // the selection's scratch marks

  // Equal penalties: the column in the lower basis position wins.
  W.COLKND[0] = W.COLKND[1] = kKindNonnegative;
  reporttest::IdentityInverse(W);
  B(0, 1) = 1;
  B(0, 2) = 1;
  W.JHEAD = {0, 2, 1};  // Y in row 1, X in row 2
  W.XB = {0, 0.5, 0.25};
  EXPECT_EQ(Select(), "var 1 floor 3 up 0");
}

TEST_F(ScriptedSearch, SelectionSkipsIntegralContinuousAndFixedColumns) {
  Load(Model({"MAX 3X + 2Y + Z", "ST", "X + Y + Z <= 10", "X - Y <= 4", "Z <= 3", "END", "GIN X Y"}));
  reporttest::IdentityInverse(W);
  W.JHEAD = {0, 1, 2, 3};
  W.KINBAS[0] = 2;
  W.KINBAS[1] = 3;
  W.KINBAS[2] = 4;
  auto select = [&](std::vector<double> x) {
    W.COLKND[0] = W.COLKND[1] = W.COLKND[2] = kKindNonnegative;
    W.XACT = x;
    run.SelectBranchingVariable();
    return W.g_branchVar;
  };
  // X within ETOL of an integer from either side; Z fractional but
  // continuous.
  EXPECT_EQ(select({4.0 - 1e-14, 2.0, 0.5}), -1);
  EXPECT_EQ(select({4.0 + 1e-14, 2.0, 0.5}), -1);
  EXPECT_EQ(select({4.0, 2.5, 0.5}), 1);
  // A fractional integer column whose floor does not fit the node table is
  // not branched on, and the node does not pass for integral.
  EXPECT_EQ(select({3.0e12 + 0.5, 2.0, 0.5}), -2);
  // A basic fixed column (kind 0) is no candidate; at a fractional value it
  // can never become integral, so the node is closed.
  W.BNDFLG[1] = kBndInteger | kBndFixed;
  W.COLKND[1] = kKindFixedZero;
  W.XACT = {4.0, 2.0, 0.5};
  run.SelectBranchingVariable();
  EXPECT_EQ(W.g_branchVar, -1);
  W.COLKND[1] = kKindFixedZero;
  W.XACT = {4.0, 2.5, 0.5};
  run.SelectBranchingVariable();
  EXPECT_EQ(W.g_branchVar, -2);
}

TEST_F(ScriptedSearch, NonbasicColumnAtAFractionalBoundIsBranched) {
  // X <= 2.5 nonbasic at its bound: integer-infeasible although no basic
  // column is fractional. It is branched on, down first.
  Load(Model({"MAX 2X + Y", "ST", "X + Y <= 10", "END", "SUB X 2.5", "GIN X"}));
  W.JHEAD = {0, 2};
  W.KINBAS[1] = 2;
  W.XACT = {2.5, 7.5};
  EXPECT_EQ(Select(), "var 0 floor 2 up 0");
}

TEST_F(ScriptedSearch, LowerGoalsDecideOnlyWhenHigherPenaltiesVanish) {
  Load(Model({"MIN U", "MAX X + Y", "ST", "X + Y + U >= 3", "X - Y <= 4", "END", "GIN X Y"}));
  reporttest::IdentityInverse(W);  // two goal rows, two constraint rows
  W.JHEAD = {0, 0, 1, 2};          // X in row 2, Y in row 3
  W.XACT = {1.5, 2.5, 0};
  W.XB = {0, 0, 0.5, 0.5};
  // Goal 0 gives every penalty 0; goal 1 prices Y's row higher.
  B(1, 2) = 1;
  B(1, 3) = 4;
  EXPECT_EQ(Select(), "var 1 floor 2 up 0");
}

// ---- The comparison with the incumbent ----

TEST_F(ScriptedSearch, IncumbentComparisonGoesGoalByGoal) {
  Load(Model({"MIN U", "MAX X + Y", "ST", "X + Y + U >= 3", "END", "GIN X Y"}));
  const double z = run.settings.ZTOL;
  auto improves = [&](double c0, double c1, double b0, double b1) {
    W.RACT[0] = c0;
    W.RACT[1] = c1;
    W.g_incumbentGoals = {b0, b1};
    return run.ImprovesIncumbent();
  };
  // No incumbent yet: every node passes.
  EXPECT_TRUE(improves(-5, -7, -1.0e30, -1.0e30));
  // The first goal decides when it differs by more than ZTOL.
  EXPECT_FALSE(improves(-1, 100, 0, 0));
  EXPECT_TRUE(improves(1, -100, 0, 0));
  // Tied first goal: the second decides.
  EXPECT_TRUE(improves(0, 4, 0, 3));
  EXPECT_FALSE(improves(0, 3, 0, 4));
  EXPECT_TRUE(improves(0.5 * z, 4, 0, 3));
  // Tied at every goal: no improvement.
  EXPECT_FALSE(improves(0, 3, 0, 3));
  EXPECT_FALSE(improves(0, 3 + 0.5 * z, 0, 3));
  // A goal value below ZTOL is taken as 0, also in RACT.
  EXPECT_FALSE(improves(0.5 * z, 3, 0, 3));
  EXPECT_EQ(W.RACT[0], 0.0);
  // A goal value that is not a number never improves on anything.
  EXPECT_FALSE(improves(std::nan(""), 3, -1.0e30, -1.0e30));
  EXPECT_FALSE(improves(0, std::nan(""), 0, 3));
}

}  // namespace
}  // namespace tavo
