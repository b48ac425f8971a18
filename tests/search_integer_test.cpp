// Whole runs of small integer models solved by hand: 0-1, general and mixed
// integers, a goal program whose second goal decides, an integral
// relaxation, an integer-infeasible model, a short node table, bounds that
// meet or cross, and forced termination with and without an incumbent.
#include <gtest/gtest.h>

#include <cmath>

#include "report_support.h"
#include "shell/numbers.h"

namespace tavo {
namespace {

using reporttest::ColumnRows;
using reporttest::KeptRun;
using reporttest::Model;
using reporttest::RowRows;

// Activity column of the columns report, by column number.
std::vector<std::string> Activities(const CalcResult& r) {
  std::vector<std::string> out;
  for (const auto& line : ColumnRows(r)) out.push_back(line[3]);
  return out;
}

std::string LogTail(const CalcResult& r, std::size_t n = 200) {
  return r.logText.size() > n ? r.logText.substr(r.logText.size() - n) : r.logText;
}

// Values of 10, 13, 7, 8, 4 with weights 4, 6, 3, 4, 2 in a capacity of 11:
// A + C + D (weight 11, value 25) beats B + C + E (24) and A + B (23).
TEST(IntegerRuns, KnapsackByCountAndByNames) {
  for (const char* decl : {"INT 5", "INT A B C D E"}) {
    KeptRun r(Model({"TITLE KNAP", "MAX 10A + 13B + 7C + 8D + 4E", "ST", "4A + 6B + 3C + 4D + 2E <= 11", "END", decl}));
    ASSERT_EQ(r.Solve(), 1) << decl << "\n" << r.result().logText;
    EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"1.", "0.", "1.", "1.", "0."})) << decl;
    EXPECT_EQ(r.W.g_haveIncumbent, 1);
    EXPECT_DOUBLE_EQ(r.W.g_incumbentGoals[0], 25);
    EXPECT_EQ(r.port.fields[ProgressField::kFirstGoal], "25.");
    EXPECT_EQ(r.port.fields[ProgressField::kFeasibility], T().feasible);
    EXPECT_EQ(r.W.g_bbState, 2);
    EXPECT_NE(r.result().logText.find(T().g_msgBbStart), std::string::npos);
    EXPECT_NE(r.result().logText.find(T().g_msgBbEnd), std::string::npos);
    EXPECT_GT(r.W.g_branchOptimalCount, 0);
  }
}

// Trucks: 3S + 5L >= 22, S + L <= 7, cost 5S + 8L. L = 2, S = 4 costs 36;
// L = 4, S = 1 costs 37; the relaxation L = 4.4 costs 35.2.
TEST(IntegerRuns, GeneralIntegersGinAndIntorg) {
  for (const char* decl : {"GIN S L", "INTORG S L INTEND"}) {
    KeptRun r(Model({"TITLE TRUCKS", "MIN 5S + 8L", "ST", "LOAD) 3S + 5L >= 22", "CREW) S + L <= 7", "END", decl}));
    ASSERT_EQ(r.Solve(), 1) << decl << "\n" << r.result().logText;
    EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"4.", "2."})) << decl;
    EXPECT_DOUBLE_EQ(r.W.g_incumbentGoals[0], -36);
    EXPECT_EQ(RowRows(r.result())[0][2], "-36.");
    EXPECT_EQ(r.port.fields[ProgressField::kFirstGoal], "36.");
  }
}

// Only X is integer: X = 2.5 in the relaxation, X <= 2 gives Y = 2.5 (11),
// X >= 3 is infeasible.
TEST(IntegerRuns, MixedIntegerModel) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4.5", "X <= 2.5", "END", "GIN X"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"2.", "2.5"}));
  EXPECT_EQ(RowRows(r.result())[0][2], "11.");
}

// Goal 1 (no shortfall below X + Y = 3) is met by every integer candidate;
// goal 2 (X + 2Y as large as possible with 2X + 3Y <= 7.5) decides between
// (3, 0) with 3 and (2, 1) with 4. The relaxation has (1.5, 1.5) with 4.5.
TEST(IntegerRuns, SecondGoalDecides) {
  KeptRun r(Model({"MIN U", "MAX X + 2Y", "ST", "X + Y + U >= 3", "2X + 3Y <= 7.5", "END", "GIN X Y"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"2.", "1.", "0."}));
  EXPECT_DOUBLE_EQ(r.W.g_incumbentGoals[0], 0);
  EXPECT_DOUBLE_EQ(r.W.g_incumbentGoals[1], 4);
  const std::string& rows = r.result().rowsText;
  EXPECT_NE(rows.find(reporttest::J("目標行1\t目標達成\r\n目標行2\t目標値　4.\r\n")), std::string::npos);
}

TEST(IntegerRuns, IntegralRelaxationNeedsNoBranch) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END", "GIN X Y"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"3.", "1."}));
  EXPECT_EQ(r.W.g_bbNodes[0].status, 1);
  EXPECT_EQ(r.W.g_bbLastNode, 0);
  EXPECT_NE(r.result().logText.find(T().g_msgBbEnd + T().branchesLabel + "0\r\n"), std::string::npos);
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

TEST(IntegerRuns, ShortNodeTableGivesNoIncumbent) {
  SolverSettings s = DefaultSettings();
  s.BB_LENGTH = 2;
  // Even the integral relaxation is not recorded.
  KeptRun integral(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END", "GIN X Y"}), s);
  EXPECT_EQ(integral.Solve(), 2);
  EXPECT_EQ(integral.W.g_bbNodes[0].status, 2);
  for (int length : {0, 1, -5}) {
    s.BB_LENGTH = length;
    KeptRun tiny(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4.5", "X <= 2.5", "END", "GIN X"}), s);
    EXPECT_EQ(tiny.Solve(), 2) << length;
  }
}

TEST(IntegerRuns, BoundsThatMeetFixTheColumn) {
  // X in [0, 3]; the relaxation has X = 2.25, Y = 2.75 (7.25). X <= 2 gives
  // Y = 3 (7); X >= 3 meets the upper bound, so that node is solved with X
  // fixed at 3 (Y = 0.5, 6.5) and loses.
  KeptRun r(Model({"MAX 2X + Y", "ST", "X + Y <= 5", "3X + Y <= 9.5", "END", "SUB X 3", "GIN X"}));
  bool sawFixed = false;
  r.port.onPump = [&](long long) {
    if (r.W.g_bbState == 1 && (r.W.BNDFLG[0] & 15) == kBndFixed && r.W.LBND[0] == 3) sawFixed = true;
  };
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_TRUE(sawFixed);
  EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"2.", "3."}));
  EXPECT_EQ(RowRows(r.result())[0][2], "7.");
}

TEST(IntegerRuns, BoundsThatCrossCloseTheNode) {
  // X <= 2.5 and X = 2.5 in the relaxation: the up branch X >= 3 is empty.
  // Fixing X at 3 there would give 2·3 + 7 = 13, an answer that breaks
  // X <= 2.5; the right answer is X = 2, Y = 8 with 12.
  KeptRun r(Model({"MAX 2X + Y", "ST", "X + Y <= 10", "END", "SUB X 2.5", "GIN X"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"2.", "8."}));
  EXPECT_EQ(RowRows(r.result())[0][2], "12.");
}

TEST(IntegerRuns, FreeIntegerWithNegativeBranchValues) {
  // X free and integer, X >= -1.5: the relaxation has X = -1.5; the down
  // branch X <= -2 is infeasible and the up branch X >= -1 (a bound of -1,
  // not "no bound") gives X = -1. Y <= 2.5 free: Y = 2.5 is branched too.
  KeptRun r(Model({"MIN X - Y", "ST", "X >= - 1.5", "Y <= 2.5", "END", "FREE X", "FREE Y", "GIN X Y"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_EQ(Activities(r.result()), (std::vector<std::string>{"-1.", "2."}));
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
