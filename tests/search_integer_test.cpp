// Whole runs of small integer models solved by hand: an integral relaxation,
// bounds that meet, an integer-infeasible model, a short node table, and
// forced termination with and without an incumbent.
#include <gtest/gtest.h>

#include <cmath>

#include "report_support.h"
#include "shell/numbers.h"

namespace tavo {
namespace {

using reporttest::KeptRun;
using reporttest::Model;

std::string LogTail(const CalcResult& r, std::size_t n = 200) {
  return r.logText.size() > n ? r.logText.substr(r.logText.size() - n) : r.logText;
}

// (Whole runs of a general-integer model and of integer models that end at
// the root, meet or cross their bounds, or branch on free columns are
// golden texts; a 0-1 knapsack and the declaration forms are run by the
// command line and parser tests; mixed models and integer goal programs by
// the differential suite.)

TEST(IntegerRuns, IntegralRelaxationEndsAtTheRoot) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END", "GIN X Y"}));
  ASSERT_EQ(r.Solve(), 1);
  EXPECT_EQ(r.W.g_bbNodes[0].status, 1);
  EXPECT_EQ(r.W.g_bbLastNode, 0);
  EXPECT_NE(r.result().logText.find(T().g_msgBbEnd + T().branchesLabel + "0\r\n"), std::string::npos);
}

// X in [0, 3] with X = 2.25 in the relaxation: the up branch X >= 3 is
// solved with X fixed at 3.
TEST(IntegerRuns, BoundsThatMeetAreSolvedAsAFixedColumn) {
  KeptRun r(Model({"MAX 2X + Y", "ST", "X + Y <= 5", "3X + Y <= 9.5", "END", "SUB X 3", "GIN X"}));
  bool sawFixed = false;
  r.port.onPump = [&](long long) {
    if (r.W.g_bbState == 1 && (r.W.BNDFLG[0] & 15) == kBndFixed && r.W.LBND[0] == 3) sawFixed = true;
  };
  ASSERT_EQ(r.Solve(), 1);
  EXPECT_TRUE(sawFixed);
}

TEST(IntegerRuns, IntegerInfeasibleWithFeasibleRelaxation) {
  // 2X + 2Y = 3 has no integer solution.
  KeptRun r(Model({"MIN X + Y", "ST", "2X + 2Y = 3", "END", "GIN X Y"}));
  EXPECT_EQ(r.Solve(), 2) << r.result().logText;
  EXPECT_EQ(r.W.g_haveIncumbent, 0);
  EXPECT_NE(LogTail(r.result()).find(T().g_msgNoFeasible), std::string::npos);
  // The texts left are those of the last node solved to optimality.
  EXPECT_FALSE(r.result().columnsText.empty());
}

TEST(IntegerRuns, RelaxationInfeasibleNeverStartsTheSearch) {
  KeptRun r(Model({"MIN X", "ST", "X >= 3", "X <= 2", "END", "GIN X"}));
  EXPECT_EQ(r.Solve(), 2);
  EXPECT_EQ(r.W.g_bbState, 0);
  EXPECT_EQ(r.result().logText.find(T().g_msgBbStart), std::string::npos);
}

TEST(IntegerRuns, ShortNodeTableNeverClaimsAnUnprovenAnswer) {
  SolverSettings s = DefaultSettings();
  s.BB_LENGTH = 2;
  // An integral relaxation is the integer optimum, whatever the table holds.
  KeptRun integral(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END", "GIN X Y"}), s);
  EXPECT_EQ(integral.Solve(), kResultOptimal);
  EXPECT_EQ(integral.W.g_bbNodes[0].status, 1);
  // A fractional one that cannot be branched ends as a stopped search
  // without an incumbent, and the log names the limit.
  for (int length : {0, 1, -5}) {
    s.BB_LENGTH = length;
    KeptRun tiny(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4.5", "X <= 2.5", "END", "GIN X"}), s);
    EXPECT_EQ(tiny.Solve(), kResultForcedInfeasible) << length;
    EXPECT_NE(tiny.result().logText.find(T().searchCutShort + std::to_string(length) + T().searchCutShortBound),
              std::string::npos)
        << tiny.result().logText;
  }
}

// A model with enough nodes to interrupt: the knapsack of seven items.
std::string SevenItems() {
  return Model({"MAX 12A + 11B + 9C + 8D + 7E + 6F + 5G", "ST", "7A + 6B + 5C + 5D + 4E + 4F + 3G <= 17",
                "3A + 4B + 2C + 5D + 3E + 2F + 4G <= 12", "END", "INT 7"});
}

TEST(IntegerRuns, ForcedTerminationWithAnIncumbent) {
  KeptRun full(SevenItems());
  ASSERT_EQ(full.Solve(), 1);
  ASSERT_GT(full.W.g_branchOptimalCount, 2);

  KeptRun r(SevenItems());
  std::string incumbentColumns;
  r.port.onPump = [&](long long) {
    if (r.W.g_haveIncumbent == 1 && g_forceStop == 0) {
      incumbentColumns = r.W.g_incumbentReports[0];
      g_forceStop = 1;
    }
  };
  EXPECT_EQ(r.Solve(), 6);
  EXPECT_EQ(r.result().columnsText, incumbentColumns);
  EXPECT_EQ(r.result().rowsText, r.W.g_incumbentReports[1]);
  EXPECT_EQ(r.result().errorText, r.W.g_incumbentReports[2]);
  const std::string tail = T().forcedTermination + T().branchesLabel + FormatInt(r.W.g_branchCount + 1) + "\r\n" +
                           T().elapsedLabel + "00:00:00";
  EXPECT_EQ(LogTail(r.result(), tail.size()), tail);
  g_forceStop = 0;
}

TEST(IntegerRuns, ForcedTerminationWithoutAnIncumbent) {
  KeptRun r(SevenItems());
  // Stop at the first pump of the first node solve after the root: the node
  // is still in phase 1 and no incumbent exists.
  r.port.onPump = [&](long long) {
    if (r.W.g_bbState == 1 && r.W.g_haveIncumbent == 0 && r.W.g_branchCount >= 1) g_forceStop = 1;
  };
  EXPECT_EQ(r.Solve(), 7);
  EXPECT_NE(LogTail(r.result()).find(T().g_msgNoFeasible), std::string::npos);
  g_forceStop = 0;
}

TEST(IntegerRuns, IncumbentReportsAreShownNotTheLastNode) {
  KeptRun r(SevenItems());
  std::vector<std::string> nodeColumns;
  ASSERT_EQ(r.Solve(), 1);
  EXPECT_EQ(r.result().columnsText, r.W.g_incumbentReports[0]);
  // The last node solved is not the incumbent's in this model: its node
  // record is not the one closed as integer-feasible last.
  int lastSolved = -1, lastAt = -1;
  for (int k = 0; k <= r.W.g_bbLastNode; ++k) {
    if (r.W.g_bbNodes[k].solvedAt > lastAt) {
      lastAt = r.W.g_bbNodes[k].solvedAt;
      lastSolved = k;
    }
  }
  ASSERT_GE(lastSolved, 0);
  EXPECT_NE(r.W.g_bbNodes[lastSolved].status, 1);
  // The first goal of the incumbent is the one shown.
  EXPECT_EQ(r.port.fields[ProgressField::kFirstGoal], FormatReal(std::fabs(r.W.g_incumbentGoals[0])));
}

}  // namespace
}  // namespace tavo
