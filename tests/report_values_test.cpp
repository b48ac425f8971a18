// The solution reports of whole runs on small hand-solved models: values
// taken back through every bound substitution, status words, reduced costs
// and dual prices with their signs, row labels, rounding, the goal-attainment
// analysis, the error information and the first-goal progress field.
#include <gtest/gtest.h>

#include <cmath>

#include "report_support.h"
#include "shell/numbers.h"

namespace tavo {
namespace {

using reporttest::ColumnRows;
using reporttest::J;
using reporttest::KeptRun;
using reporttest::Label18;
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

// X >= 2 (nonbasic at its lower bound), Y <= 3 (at its upper bound), Z fixed
// at 1.5, V <= 4 without lower bound (at 4), 1 <= W <= 10 basic. Capacity
// 15 - 2 - 3 - 1.5 - 4 = 4.5 leaves W = 2.25; the row's dual price is 0.5.
std::string BoundsModel() {
  return Model({"TITLE BOUNDS", "MAX -X + Y + V + W", "ST", "CAP) X + Y + Z + V + 2W <= 15", "END", "SLB X 2",
                "SUB Y 3", "FIX Z 1.5", "FREE V", "SUB V 4", "SLB W 1", "SUB W 10"});
}

TEST(ReportValues, EverySubstitutionIsTakenBack) {
  KeptRun r(BoundsModel());
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  auto cols = ColumnRows(r.result());
  ASSERT_EQ(cols.size(), 5u);
  // Number, name, status, activity, reduced cost (first goal; negated for a
  // column without lower bound, so that V and Y read alike).
  EXPECT_EQ(cols[0], (Line{"1", Name8("X"), "BD", "2.", "1.5"}));
  EXPECT_EQ(cols[1], (Line{"2", Name8("Y"), "BD", "3.", "-0.5"}));
  EXPECT_EQ(cols[2], (Line{"3", Name8("Z"), "BD", "1.5", "0.5"}));
  EXPECT_EQ(cols[3], (Line{"4", Name8("V"), "BD", "4.", "-0.5"}));
  EXPECT_EQ(cols[4], (Line{"5", Name8("W"), "BS", "2.25", "0."}));
  EXPECT_DOUBLE_EQ(r.W.XACT[4], 2.25);
  EXPECT_DOUBLE_EQ(r.W.XVAL[0], 2);
  EXPECT_DOUBLE_EQ(r.W.XVAL[1], 3);
  EXPECT_DOUBLE_EQ(r.W.XVAL[2], 1.5);
  EXPECT_DOUBLE_EQ(r.W.XVAL[3], 4);

  auto rows = RowRows(r.result());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (Line{J("目標行1"), "BS", "7.25", "0."}));
  EXPECT_EQ(rows[1], (Line{Label18("CAP"), J("　"), "0.", "0.5"}));
  EXPECT_NE(r.result().rowsText.find(J("目標行1\t目標値　7.25\r\n")), std::string::npos);
  EXPECT_EQ(r.port.fields[ProgressField::kFirstGoal], "7.25");
}

TEST(ReportValues, DualPricesAndSlacksOfEveryRowType) {
  // MAX 3X + 2Y: X + Y <= 4 and Y >= 0.5 are active (X = 3.5, Y = 0.5),
  // X + 3Y = 5 <= 7 leaves slack 2, and X - Y + Z = 4 gives Z = 1.
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 7", "Y >= 0.5", "X - Y + Z = 4", "END"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  auto rows = RowRows(r.result());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (Line{J("目標行1"), "BS", "11.5", "0."}));
  // Raising the first right-hand side by 1 gains 3; raising Y's lower
  // limit by 1 loses 1 (the >= row's price carries its own sign).
  EXPECT_EQ(rows[1], (Line{J("制約行1"), J("　"), "0.", "3."}));
  EXPECT_EQ(rows[2], (Line{J("制約行2"), "BS", "2.", "0."}));
  EXPECT_EQ(rows[3], (Line{J("制約行3"), J("　"), "0.", "-1."}));
  // An equality row has no slack: "EQ" with zero value.
  EXPECT_EQ(rows[4], (Line{J("制約行4"), "EQ", "0.", "0."}));
  auto cols = ColumnRows(r.result());
  ASSERT_EQ(cols.size(), 3u);
  EXPECT_EQ(cols[0], (Line{"1", Name8("X"), "BS", "3.5", "0."}));
  EXPECT_EQ(cols[1], (Line{"2", Name8("Y"), "BS", "0.5", "0."}));
  EXPECT_EQ(cols[2], (Line{"3", Name8("Z"), "BS", "1.", "0."}));
}

TEST(ReportValues, LabelsNumberingAndTheTitle) {
  // Labelled model: every constraint row shows its 18-byte label field,
  // blank for the row without a label.
  KeptRun labelled(
      Model({"TITLE LBL", "MAX 2X + 3Y", "ST", "CAP) X + Y <= 10", "2 <= X - Y <= 6", "MIX) Y <= 3", "END"}));
  ASSERT_EQ(labelled.Solve(), 1) << labelled.result().logText;
  auto rows = RowRows(labelled.result());
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1], (Line{Label18("CAP"), J("　"), "0.", "2."}));
  // The two-sided row 2 <= X - Y <= 6 at X - Y = 4: its slack from the upper
  // end, 2, shown in the model's units.
  EXPECT_EQ(rows[2], (Line{std::string(18, ' '), "BS", "2.", "0."}));
  EXPECT_EQ(rows[3], (Line{Label18("MIX"), J("　"), "0.", "1."}));
  EXPECT_EQ(SplitLines(labelled.result().columnsText)[3], J("[　モデル名：LBL　]"));
  EXPECT_EQ(SplitLines(labelled.result().rowsText)[3], J("\t[　モデル名：LBL　]"));

  // Without labels: "制約行" and the number; without a title: the default one.
  KeptRun plain(Model({"MAX 2X + 3Y", "ST", "X + Y <= 10", "2 <= X - Y <= 6", "Y <= 3", "END"}));
  ASSERT_EQ(plain.Solve(), 1);
  rows = RowRows(plain.result());
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[1][0], J("制約行1"));
  EXPECT_EQ(rows[2][0], J("制約行2"));
  EXPECT_EQ(rows[3][0], J("制約行3"));
  EXPECT_EQ(SplitLines(plain.result().columnsText)[3], J("[　モデル名：TAVO　Data　]"));
}

TEST(ReportValues, TwoSidedRowPriceIsPerUnitOfItsRightHandSide) {
  // MAX 3X + 2Y with X + Y <= 40 and 10 <= X <= 30: X = 30, Y = 10. One more
  // unit of the upper end 30 gains 3 - 2 = 1 (the row is held divided by
  // its width 20, so the inverse holds 20).
  KeptRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 40", "10 <= X <= 30", "END"}));
  ASSERT_EQ(r.Solve(), 1);
  auto rows = RowRows(r.result());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (Line{J("制約行1"), J("　"), "0.", "2."}));
  EXPECT_EQ(rows[2], (Line{J("制約行2"), J("　"), "0.", "1."}));
}

TEST(ReportValues, RoundingOnAndOff) {
  // X = Y = 1/3, goal 2/3, dual prices 4/33 and 5/33.
  const std::string model = Model({"MAX X + Y", "ST", "7X + 2Y <= 3", "X + 5Y <= 2", "END"});
  KeptRun off(model, Rounding(0));
  ASSERT_EQ(off.Solve(), 1);
  auto cols = ColumnRows(off.result());
  EXPECT_EQ(cols[0][3], "0.3333333333");
  EXPECT_EQ(cols[1][3], "0.3333333333");
  auto rows = RowRows(off.result());
  EXPECT_EQ(rows[0][2], "0.6666666667");
  EXPECT_EQ(rows[1][3], "0.1212121212");
  EXPECT_EQ(rows[2][3], "0.1515151515");
  EXPECT_EQ(off.port.fields[ProgressField::kFirstGoal], "0.6666666667");

  SolverSettings s = DefaultSettings();
  s.ROUND = 1;
  KeptRun on(model, s);
  ASSERT_EQ(on.Solve(), 1);
  cols = ColumnRows(on.result());
  EXPECT_EQ(cols[0][3], "0.333333");
  EXPECT_EQ(cols[1][3], "0.333333");
  EXPECT_DOUBLE_EQ(on.W.XACT[0], 0.333333);  // the rounded value is kept
  rows = RowRows(on.result());
  EXPECT_EQ(rows[0][2], "0.666667");
  EXPECT_EQ(rows[1][3], "0.121212");
  EXPECT_EQ(rows[2][3], "0.151515");
  EXPECT_DOUBLE_EQ(on.W.RACT[0], 0.666667);
}

TEST(ReportValues, ReducedCostsAreAlwaysRoundedToSixDecimals) {
  // X = 1/3 with the row's price 1/3; Y's reduced cost -1 + 7/3 = 4/3 is
  // shown to six decimals although ROUND is off.
  KeptRun r(Model({"MAX X + Y", "ST", "3X + 7Y <= 1", "END"}), Rounding(0));
  ASSERT_EQ(r.Solve(), 1);
  auto cols = ColumnRows(r.result());
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(cols[0], (Line{"1", Name8("X"), "BS", "0.3333333333", "0."}));
  EXPECT_EQ(cols[1], (Line{"2", Name8("Y"), J("　"), "0.", "1.333333"}));
  auto rows = RowRows(r.result());
  EXPECT_EQ(rows[1], (Line{J("制約行1"), J("　"), "0.", "0.3333333333"}));
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

TEST(ReportValues, GoalAttainmentAnalysis) {
  // Goal 1 (no shortfall of 100) is attained; goal 2 (overtime) is 4;
  // goal 3 (X as large as possible) is 6.
  KeptRun r(Model({"TITLE GP", "MIN UNDER", "MIN OVER", "MAX X", "ST", "10X + 5Y + UNDER >= 100", "2X + Y - OVER <= 16",
                   "X <= 6", "END"}));
  ASSERT_EQ(r.Solve(), 1) << r.result().logText;
  const std::string& rows = r.result().rowsText;
  std::string expected = "\r\n" + std::string(31, '*') + "\r\n" + T().goalAnalysisTitle + std::string(31, '*') +
                         "\r\n\r\n" + J("目標行1\t目標達成\r\n目標行2\t目標値　4.\r\n目標行3\t目標値　6.\r\n");
  ASSERT_GE(rows.size(), expected.size());
  EXPECT_EQ(rows.substr(rows.size() - expected.size()), expected);
  auto lines = RowRows(r.result());
  ASSERT_EQ(lines.size(), 6u);
  // Goal rows: "BS" and dual price 0, whatever their value.
  for (int g = 0; g < 3; ++g) {
    EXPECT_EQ(lines[g][1], "BS");
    EXPECT_EQ(lines[g][3], "0.");
  }
  EXPECT_EQ(lines[0][2], "0.");
  EXPECT_EQ(lines[1][2], "-4.");
  EXPECT_EQ(lines[2][2], "6.");
  EXPECT_EQ(r.port.fields[ProgressField::kFirstGoal], "0.");
  auto cols = ColumnRows(r.result());
  EXPECT_EQ(cols[0][3], "6.");
  EXPECT_EQ(cols[1][3], "8.");
  EXPECT_EQ(cols[3][3], "4.");
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
