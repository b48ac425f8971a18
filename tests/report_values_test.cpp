// The solution reports beyond the golden texts (which hold the reports of
// models with every kind of bound and row type, labels, rounding and the
// goal analysis): the default title, the values a run keeps, reduced costs
// of columns with both bounds, goal values at the tolerance, basic columns
// at zero, the report flag, and the error information.
#include <gtest/gtest.h>

#include <cmath>

#include "report_support.h"
#include "shell/numbers.h"

namespace tavo {
namespace {

using reporttest::ColumnRows;
using reporttest::J;
using reporttest::KeptRun;
using reporttest::Model;
using reporttest::Name8;
using reporttest::RowRows;
using reporttest::SplitLines;

using Line = std::vector<std::string>;

SolverSettings Rounding(int round) {
  SolverSettings s = DefaultSettings();
  s.ROUND = round;
  return s;
}

TEST(ReportValues, ModelWithoutTitleGetsTheDefaultOne) {
  KeptRun plain(Model({"MAX 2X + 3Y", "ST", "X + Y <= 10", "END"}));
  ASSERT_EQ(plain.Solve(), 1);
  EXPECT_EQ(SplitLines(plain.result().columnsText)[3], J("[　モデル名：TAVO　Data　]"));
}

// With ROUND on, the rounded values themselves are kept.
TEST(ReportValues, RoundingKeepsTheRoundedValues) {
  // X = Y = 1/3, goal 2/3.
  const std::string model = Model({"MAX X + Y", "ST", "7X + 2Y <= 3", "X + 5Y <= 2", "END"});
  KeptRun off(model, Rounding(0));
  ASSERT_EQ(off.Solve(), 1);
  EXPECT_EQ(off.port.fields[ProgressField::kFirstGoal], "0.6666666667");
  KeptRun on(model, Rounding(1));
  ASSERT_EQ(on.Solve(), 1);
  EXPECT_DOUBLE_EQ(on.W.XACT[0], 0.333333);
  EXPECT_DOUBLE_EQ(on.W.RACT[0], 0.666667);
  EXPECT_EQ(on.port.fields[ProgressField::kFirstGoal], "0.666667");
}

TEST(ReportValues, ReducedCostOfAColumnWithBothBoundsIsPerUnitOfTheVariable) {
  // Y sits at its lower bound 2 with reduced cost 2 - 1 = 1 whether or not
  // it also has an upper bound; the width 4 of [2, 6] must not scale it.
  KeptRun both(Model({"MIN X + 2Y", "ST", "X + Y >= 3", "END", "SLB Y 2", "SUB Y 6"}), Rounding(0));
  ASSERT_EQ(both.Solve(), 1);
  KeptRun lowerOnly(Model({"MIN X + 2Y", "ST", "X + Y >= 3", "END", "SLB Y 2"}), Rounding(0));
  ASSERT_EQ(lowerOnly.Solve(), 1);
  auto a = ColumnRows(both.result());
  auto b = ColumnRows(lowerOnly.result());
  ASSERT_EQ(a.size(), 2u);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(a[1][3], "2.");
  EXPECT_EQ(b[1][3], "2.");
  EXPECT_EQ(a[1][4], b[1][4]);
  EXPECT_TRUE(a[1][4] == "1." || a[1][4] == "-1.") << a[1][4];
}

TEST(ReportValues, AttainedFirstGoalShowsZeroInTheProgressField) {
  KeptRun r(Model({"MIN UNDER", "MAX X", "ST", "10X + 5Y + UNDER >= 100", "X <= 6", "END"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  EXPECT_EQ(r.port.fields[ProgressField::kFirstGoal], "0.");
}

TEST(ReportValues, GoalBelowEtolIsAttainedWhateverItsSign) {
  KeptRun r(Model({"MIN U", "ST", "X + U >= 1", "X <= 1", "END"}), Rounding(0));
  ASSERT_EQ(r.Solve(), 1);
  for (double tiny : {3e-13, -3e-13, 0.0}) {
    r.W.XB[0] = tiny;  // the goal row's basic value
    r.run.BuildReports(1);
    EXPECT_NE(r.result().rowsText.find(J("目標行1\t目標達成\r\n")), std::string::npos) << tiny;
    EXPECT_EQ(RowRows(r.result())[0][2], FormatReal(tiny));
  }
  r.W.XB[0] = -6e-13;  // at ETOL: a goal value
  r.run.BuildReports(1);
  EXPECT_NE(r.result().rowsText.find(J("目標行1\t目標値　6.e-013\r\n")), std::string::npos);
}

TEST(ReportValues, BasicColumnAtZeroIsMarkedBlank) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 7", "X <= 3", "END"}), Rounding(0));
  ASSERT_EQ(r.Solve(), 1);
  int rowOfY = -1;
  for (int i = 0; i < r.W.MROWS; ++i)
    if (r.W.JHEAD[i] == 2) rowOfY = i;
  ASSERT_GE(rowOfY, 1);
  // Y basic with value 0 (a degenerate basis): blank, not "BS".
  r.W.XB[rowOfY] = 0;
  r.run.BuildReports(1);
  EXPECT_EQ(ColumnRows(r.result())[1], (Line{"2", Name8("Y"), J("　"), "0.", "0."}));
  // With ROUND on, a value that rounds to 0 is blank as well.
  r.run.settings.ROUND = 1;
  r.W.XB[rowOfY] = 4e-7;
  r.run.BuildReports(1);
  EXPECT_EQ(ColumnRows(r.result())[1], (Line{"2", Name8("Y"), J("　"), "0.", "0."}));
  r.W.XB[rowOfY] = 6e-7;
  r.run.BuildReports(1);
  EXPECT_EQ(ColumnRows(r.result())[1], (Line{"2", Name8("Y"), "BS", "1.e-006", "0."}));
}

TEST(ReportValues, FlagZeroComputesValuesButWritesNothing) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END"}));
  ASSERT_EQ(r.Solve(), 1);
  r.port.fields.clear();
  r.run.BuildReports(0);
  EXPECT_TRUE(r.result().columnsText.empty());
  EXPECT_TRUE(r.result().rowsText.empty());
  EXPECT_TRUE(r.result().errorText.empty());
  EXPECT_TRUE(r.port.fields.empty());
  EXPECT_DOUBLE_EQ(r.W.XACT[0], 3);
  EXPECT_DOUBLE_EQ(r.W.XACT[1], 1);
  EXPECT_DOUBLE_EQ(r.W.RACT[0], 11);
}

TEST(ReportValues, ValuesDoNotCarryOverFromEarlierCalls) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END"}));
  ASSERT_EQ(r.Solve(), 1);
  r.W.RACT.assign(r.W.RACT.size(), 99.0);
  r.W.XACT.assign(r.W.XACT.size(), 99.0);
  r.run.BuildReports(1);
  EXPECT_DOUBLE_EQ(r.W.RACT[1], 0);  // both rows are active
  EXPECT_DOUBLE_EQ(r.W.RACT[2], 0);
  EXPECT_DOUBLE_EQ(r.W.XACT[0], 3);
}

// ---- Error information ----

TEST(ErrorInformation, ExactSolutionGivesZeroFigures) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END"}));
  ASSERT_EQ(r.Solve(), 1);
  const Texts& t = T();
  std::string expected = t.errorHeader + t.errorTolerance + t.errorTotal + "0." + t.errorMax + "0.\r\n\r\n" +
                         t.errorShadowPrice + t.errorTotal + "0." + t.errorMax + "0.\r\n";
  EXPECT_EQ(r.result().errorText, expected);
}

TEST(ErrorInformation, ResidualsKeepTheirSignAndGoalRowsCount) {
  // X = 3, Y = 1; the third row's slack is basic with value 1.
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "X + 3Y <= 7", "END"}));
  ASSERT_EQ(r.Solve(), 1);
  const int slackOfRow3 = r.W.NSTRUC + 3 + 1;  // 1 + its column
  int at = -1;
  for (int i = 0; i < r.W.MROWS; ++i)
    if (r.W.JHEAD[i] == slackOfRow3) at = i;
  ASSERT_GE(at, 1);
  ASSERT_EQ(r.W.JHEAD[0], 0);
  r.W.XB[0] += 2e-12;   // the goal row's own value: residual +2e-12
  r.W.XB[at] -= 3e-12;  // the slack: residual -3e-12 in row 3
  r.run.BuildReports(1);
  EXPECT_NEAR(r.W.g_residualTotal, 5e-12, 1e-15);
  EXPECT_NEAR(r.W.g_residualMax, -3e-12, 1e-15);
  const Texts& t = T();
  const std::string& e = r.result().errorText;
  EXPECT_NE(
      e.find(t.errorTotal + FormatReal(r.W.g_residualTotal) + t.errorMax + FormatReal(r.W.g_residualMax) + "\r\n\r\n"),
      std::string::npos);
  EXPECT_NE(e.find(t.errorMax + "-3."), std::string::npos);
}

TEST(ErrorInformation, NotANumberIsPointedOut) {
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X <= 3", "END"}));
  ASSERT_EQ(r.Solve(), 1);
  r.run.BuildReports(1);
  EXPECT_EQ(r.result().errorText.find(T().setupNotFinite), std::string::npos);
  // The goal row's value: in the rows report, the goal analysis and the
  // residual figures (total and maximum stay finite: the maximum keeps the
  // largest finite residual).
  r.W.XB[0] = std::nan("");
  r.run.BuildReports(1);
  const std::string& e = r.result().errorText;
  const std::string line = T().setupNotFinite + "3" + T().detailEnd;
  ASSERT_GE(e.size(), line.size());
  EXPECT_EQ(e.substr(e.size() - line.size()), line);
}

}  // namespace
}  // namespace tavo
