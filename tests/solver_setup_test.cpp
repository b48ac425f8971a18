// Problem set-up: the transformation of rows and columns, the set-up's
// messages and refusals (contradictory bounds, impossible flag
// combinations, numbers too large, a model too large for the memory), the
// search arrays of an integer model, and integer models whose nodes need the
// set-up's care (ranged rows, free integer columns).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "report_support.h"
#include "solver/memory_limit.h"

namespace tavo {
namespace {

using reporttest::Amat;
using reporttest::AmatRow;
using reporttest::KeptRun;
using reporttest::Model;

std::string SetupLine() { return T().g_bannerFileSetup + "2026/12/06 12:00:00\r\n"; }

// The log after the set-up's time-stamp line.
std::string SetupPart(const std::string& log) {
  const std::size_t at = log.find(SetupLine());
  return at == std::string::npos ? std::string() : log.substr(at + SetupLine().size());
}

// Runs the set-up and solve on the parsed model, which must be refused.
void ExpectRefused(KeptRun& r) {
  EXPECT_EQ(r.run.SetupAndSolve(), kResultDataError);
  EXPECT_EQ(r.run.result.resultCode, kResultDataError);
  ASSERT_EQ(r.port.messages.size(), 1u);
  EXPECT_EQ(r.port.messages[0].text, T().dataErrorBox);
  EXPECT_EQ(r.port.messages[0].iconStyle, IconStyle::kStop);
  EXPECT_EQ(r.Log().find(T().fileSetupError), std::string::npos);
  EXPECT_EQ(r.Log().find(T().g_bannerPrimal), std::string::npos);
}

// ---- The transformation ----

TEST(SolverSetup, RowsAreTurnedAndScaledByTheirRange) {
  // Rows: goal 0; 1: X + 2Y >= 4; 2: 1 <= X - Y <= 5 (rhs 5, range 4);
  // 3: X + Y = 3.
  KeptRun r(Model({"MAX X + Y", "ST", "X + 2Y >= 4", "1 <= X - Y <= 5", "X + Y = 3"}));
  ASSERT_TRUE(r.Parse()) << r.Log();
  r.run.TransformModel(1);
  EXPECT_EQ(r.W.NERR, 0);
  const int n = r.W.NSTRUC;
  // Goal row untouched (MAX stored negated by the parser); >= row negated,
  // not scaled; ranged row divided by its range (its slack lies between 0
  // and 1); the equality row as it was.
  EXPECT_EQ(AmatRow(r.W, 0), (std::vector<double>{-1, -1}));
  EXPECT_EQ(AmatRow(r.W, 1), (std::vector<double>{-1, -2}));
  EXPECT_EQ(AmatRow(r.W, 2), (std::vector<double>{0.25, -0.25}));
  EXPECT_EQ(AmatRow(r.W, 3), (std::vector<double>{1, 1}));
  EXPECT_EQ(r.W.XB, (std::vector<double>{0, -4, 1.25, 3}));
  EXPECT_EQ(r.W.ROWTYP[1], kRowGreater);
  EXPECT_EQ(r.W.BNDFLG[n + 2], kBndUpper);
  // Kinds of the logical columns: goal row artificial, >= slack, ranged
  // slack bounded, = fixed.
  EXPECT_EQ(std::vector<std::uint8_t>(r.W.COLKND.begin() + n, r.W.COLKND.end()),
            (std::vector<std::uint8_t>{kKindArtificial, kKindNonnegative, kKindBounded, kKindFixedZero}));
  EXPECT_EQ(r.W.RHS, r.W.XB);
}

TEST(SolverSetup, GreaterRowWithRangeBecomesLessRow) {
  // The parser stores two-sided rows as <= rows; a >= row with a range is
  // still handled: b becomes (R - b)/R and the row a <= row.
  KeptRun r(Model({"MAX X + Y", "ST", "X + Y >= 2"}));
  ASSERT_TRUE(r.Parse());
  r.W.RANGE[1] = 4;
  r.run.TransformModel(1);
  EXPECT_EQ(r.W.ROWTYP[1], kRowLess);
  EXPECT_EQ(r.W.XB[1], 0.5);
  EXPECT_EQ(Amat(r.W, 1, 0), -0.25);
  EXPECT_EQ(r.W.COLKND[r.W.NSTRUC + 1], kKindBounded);
}

TEST(SolverSetup, ColumnSubstitutions) {
  // X: SUB 4 (x = 4y); Y: SLB 2 (y' = y - 2); Z: SUB 5 SLB 1 (z = 1 + 4z');
  // V: FIX 3; W: FREE, SUB 6 (w = 6 - w').
  KeptRun r(Model({"MIN X + Y + Z + V + W", "ST", "X + Y + Z + V + W <= 100", "END", "SUB X 4", "SLB Y 2", "SUB Z 5",
                   "SLB Z 1", "FIX V 3", "FREE W", "SUB W 6"}));
  ASSERT_TRUE(r.Parse()) << r.Log();
  r.run.TransformModel(1);
  EXPECT_EQ(r.W.NERR, 0) << r.Log();
  // X and Z scaled by their width, V unchanged (its value moves to the
  // right-hand side), W negated.
  EXPECT_EQ(AmatRow(r.W, 1), (std::vector<double>{4, 1, 4, 1, -1}));
  // 100 - 2 (Y) - 1 (Z) - 3 (V) - 6 (W)
  EXPECT_EQ(r.W.XB[1], 88);
  // The goal row moves too: 0 - 2 - 1 - 3 - 6.
  EXPECT_EQ(r.W.XB[0], -12);
  const std::vector<std::uint8_t> kinds(r.W.COLKND.begin(), r.W.COLKND.begin() + 5);
  EXPECT_EQ(kinds, (std::vector<std::uint8_t>{kKindBounded, kKindNonnegative, kKindBounded, kKindFixedZero,
                                              kKindNonnegative}));
}

// ---- Refusals ----

TEST(SolverSetup, CrossedBoundsAreReportedByName) {
  KeptRun r(Model({"MAX X + LONGNAME", "ST", "X + LONGNAME <= 10", "END", "SUB LONGNAME 2", "SLB LONGNAME 3"}));
  ASSERT_TRUE(r.Parse());
  ExpectRefused(r);
  EXPECT_EQ(SetupPart(r.Log()), T().setupBoundPrefix + "LONGNAME" + T().setupBoundSuffix) << r.Log();
  EXPECT_EQ(r.W.NERR, 1);
}

TEST(SolverSetup, ImpossibleFlagCombinationIsReported) {
  // FIX then SUB: fixed and bounded above at once.
  KeptRun r(Model({"MAX X + Y", "ST", "X + Y <= 10", "END", "FIX X 3", "SUB X 5"}));
  ASSERT_TRUE(r.Parse());
  ExpectRefused(r);
  EXPECT_EQ(SetupPart(r.Log()), T().setupFlagCombination) << r.Log();
}

TEST(SolverSetup, EveryErrorIsListedBeforeTheRefusal) {
  KeptRun r(Model({"MAX X + Y + Z", "ST", "X + Y + Z <= 10", "END", "SUB X 1", "SLB X 2", "SUB Y 1", "SLB Y 2",
                   "FIX Z 1", "SLB Z 4"}));
  ASSERT_TRUE(r.Parse());
  ExpectRefused(r);
  EXPECT_EQ(SetupPart(r.Log()), T().setupBoundPrefix + "X" + T().setupBoundSuffix + T().setupBoundPrefix + "Y" +
                                    T().setupBoundSuffix + T().setupFlagCombination)
      << r.Log();
  EXPECT_EQ(r.W.NERR, 3);
}

TEST(SolverSetup, NumbersThatAreNotFiniteAreDataErrors) {
  KeptRun r(Model({"MAX X + Y", "ST", "C1) X + Y <= 10", "X - Y <= 4"}));
  ASSERT_TRUE(r.Parse());
  const double inf = std::numeric_limits<double>::infinity();
  Amat(r.W, 2, 1) = inf;  // Y in row 2
  r.W.XB[1] = -inf;       // the labelled row's rhs
  ExpectRefused(r);
  EXPECT_EQ(SetupPart(r.Log()), T().setupNotFinite + "Y" + T().detailEnd + T().setupNotFinite + "C1" + T().detailEnd)
      << r.Log();
}

TEST(SolverSetup, NumbersThatOverflowInTheTransformationAreDataErrors) {
  // X's entry 1e300 times its upper bound 1e10 overflows; Y's entry 1e300
  // times its lower bound 1e10, moved into the right-hand side, too.
  KeptRun r(Model({"MAX X + Y", "ST", "X + Y <= 10", "END", "SUB X 10000000000", "SLB Y 10000000000"}));
  ASSERT_TRUE(r.Parse()) << r.Log();
  Amat(r.W, 1, 0) = Amat(r.W, 1, 1) = 1e300;
  ExpectRefused(r);
  EXPECT_EQ(SetupPart(r.Log()),
            T().setupNotFinite + "X" + T().detailEnd + T().setupNotFinite + T().constraintRow + "1" + T().detailEnd)
      << r.Log();
}

TEST(SolverSetup, InfiniteRightHandSideWrittenAsAtIsFine) {
  KeptRun r(Model({"MAX X", "ST", "X <= @", "X <= 5"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 5, 1e-9);  // the row of 1e30 does not swallow the bound 5
}

TEST(SolverSetup, ModelTooLargeForTheMemory) {
  KeptRun r(Model({"MAX X + Y", "ST", "X + Y <= 10"}));
  ASSERT_TRUE(r.Parse());
  SetAvailableMemoryForTesting(100);
  ExpectRefused(r);
  SetAvailableMemoryForTesting(0);
  const std::string part = SetupPart(r.Log());
  EXPECT_EQ(part.rfind(T().outOfMemory, 0), 0u) << part;
  EXPECT_TRUE(part.ends_with(T().detailEnd)) << part;
  EXPECT_EQ(r.W.NERR, 1);
  EXPECT_TRUE(r.W.BINV.empty());  // nothing was allocated
}

// ---- Search arrays ----

TEST(SolverSetup, IntegerModelGetsItsSearchArrays) {
  // An infeasible relaxation: the search never starts, the arrays stay as
  // set-up made them.
  KeptRun r(Model({"MAX X + Y", "ST", "X + Y <= 1", "X + Y >= 2", "END", "GIN X", "SUB Y 3"}));
  r.run.settings.BB_LENGTH = 7;
  ASSERT_EQ(r.Solve(), kResultInfeasible) << r.Log();
  const Workspace& W = r.W;
  EXPECT_EQ(
      std::tuple(W.g_bbNodes.size(), W.g_bbNodes[0].parent, W.g_bbNodes[0].branchDir, W.g_branchCount, W.g_bbState),
      std::tuple(7u, -1, -1, -1, 0));
  EXPECT_EQ(W.g_incumbentGoals, std::vector<double>{-1.0e30});
  ASSERT_EQ(W.g_origColType.size(), static_cast<std::size_t>(W.NCOLS));
  EXPECT_EQ(std::tuple(W.g_origColType[0], W.g_origColType[1]), std::tuple(kBndInteger, kBndUpper));
  EXPECT_EQ(W.g_origUpper, (std::vector<double>{0, 3}));
  EXPECT_EQ(W.BBIVAL.size(), static_cast<std::size_t>(W.NCOLS));
}

TEST(SolverSetup, ContinuousModelLeavesTheSearchCopiesAlone) {
  KeptRun r(Model({"MAX X + Y", "ST", "X + Y <= 1"}));
  ASSERT_EQ(r.Solve(), kResultOptimal);
  EXPECT_TRUE(r.W.g_origLower.empty() && r.W.g_origUpper.empty() && r.W.g_origColType.empty());
  r.W.Release();
  EXPECT_TRUE(r.W.BINV.empty() && r.W.APATBEG.empty() && r.W.PIMASK.empty());
  EXPECT_FALSE(r.W.CNAME.empty());
}

TEST(SolverSetup, TinyNodeTableStillHoldsTheRoot) {
  KeptRun r(Model({"MAX X", "ST", "2X <= 3", "END", "GIN X"}));
  r.run.settings.BB_LENGTH = 0;
  EXPECT_EQ(r.Solve(), kResultForcedInfeasible) << r.Log();  // the root cannot branch
  EXPECT_EQ(r.W.g_bbNodes.size(), 1u);
}

// ---- Integer models whose nodes depend on the set-up ----

// The lower limit of a two-sided row holds in every node, not only at the
// root: the node table restores the flags of the ranged rows' slacks.
TEST(SolverSetup, RangedRowHoldsInEveryNode) {
  KeptRun r(Model({"MIN X + Y", "ST", "3.5 <= X + 2Y <= 10", "END", "GIN X Y"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_EQ(r.W.g_haveIncumbent, 1);
  EXPECT_NEAR(r.W.g_incumbentGoals[0], -2, 1e-9);  // X = 0, Y = 2
  EXPECT_EQ(r.W.g_origColType[r.W.NSTRUC + 1], kBndUpper);
}

// INT after FREE: the declaration makes the variable a 0-1 variable.
TEST(SolverSetup, IntAfterFreeIsZeroOne) {
  KeptRun r(Model({"MAX 2X + Y", "ST", "X + Y <= 3.5", "END", "FREE X", "INT X"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.W.g_incumbentGoals[0], 4.5, 1e-9);  // X = 1, Y = 2.5
}

// A free integer column gets bounds from its branches: each node is a plain
// bounded column, not a contradictory flag combination.
TEST(SolverSetup, FreeIntegerColumnIsBranched) {
  KeptRun r(Model({"MIN X", "ST", "X + Y >= - 2.5", "Y <= 1", "END", "FREE X", "GIN X"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_EQ(r.W.NERR, 0) << r.Log();
  EXPECT_EQ(r.W.g_haveIncumbent, 1);
  EXPECT_NEAR(r.W.g_incumbentGoals[0], 3, 1e-9);  // X = -3
}

}  // namespace
}  // namespace tavo
