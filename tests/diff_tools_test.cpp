// The differential tooling itself: number writing, both model writers, the
// MPS reader, the reference-solver wrapper and the reading of TAVO's goal
// values. A fault here would make every differential suite meaningless.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "shell/settings.h"
#include "solver/workspace.h"
#include "tests/support/model_writer.h"
#include "tests/support/mps_reader.h"
#include "tests/support/reference_solver.h"
#include "tests/support/tavo_runner.h"

namespace tavo::testsupport {
namespace {

TEST(DiffTools, FormatFixedNeverWritesAnExponentAndReadsBackExactly) {
  EXPECT_EQ(FormatFixed(3), "3");
  EXPECT_EQ(FormatFixed(-2.5), "2.5");  // the sign is written apart
  EXPECT_EQ(FormatFixed(0.1), "0.1");
  EXPECT_EQ(FormatFixed(1e-6), "0.000001");
  EXPECT_EQ(FormatFixed(1234567.5), "1234567.5");
  EXPECT_EQ(FormatFixed(1e20), "100000000000000000000");
  EXPECT_EQ(FormatFixed(0), "0");
  const double samples[] = {1.0 / 3, 2.0 / 7e5, 123456789.123, 7392000, 0.02466, 5e-13, 1e30, 9.87654321e-9};
  for (double v : samples) {
    std::string s = FormatFixed(v);
    EXPECT_EQ(s.find_first_of("eE+-"), std::string::npos) << s;
    EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
  }
}

Model HandModel() {
  Model m;
  m.title = "HAND";
  for (int j = 1; j <= 4; ++j) m.vars.push_back({"X" + std::to_string(j)});
  m.vars[1].upper = 4;      // SUB
  m.vars[2].lower = -kInf;  // FREE with
  m.vars[2].upper = 3;      //   an upper bound
  m.vars[3].lower = -2;     // negative lower bound: a row
  m.vars[3].kind = VarKind::kInteger;
  m.goals.push_back({true, {{0, 3}, {1, -2.5}}});
  m.goals.push_back({true, {{2, 1}}});
  m.rows.push_back({"", {{0, 1}, {1, 1}, {2, 1}}, Sense::kLe, 10});
  m.rows.push_back({"", {{0, 1}, {2, -1}}, Sense::kGe, -5});
  m.rows.push_back({"", {{0, 2}, {1, 1}}, Sense::kRange, 0, -3, 8});
  m.rows.push_back({"", {{1, 1}, {3, 1}}, Sense::kEq, 0.5});
  return m;
}

TEST(DiffTools, TavoModelTextFollowsTheModelFormat) {
  std::string text = WriteTavoModel(HandModel());
  EXPECT_EQ(text,
            "TITLE HAND\r\n"
            "MAX 3 X1 - 2.5 X2\r\n"
            "MAX 1 X3\r\n"
            "ST\r\n"
            "1 X1 + 1 X2 + 1 X3 <= 10\r\n"
            "1 X1 - 1 X3 >= - 5\r\n"
            "- 3 <= 2X1 + 1 X2 <= 8\r\n"
            "1 X2 + 1 X4 = 0.5\r\n"
            "1 X4 >= - 2\r\n"
            "END\r\n"
            "FREE X3\r\n"
            "FREE X4\r\n"
            "SUB X2 4\r\n"
            "SUB X3 3\r\n"
            "GIN X4\r\n");
}

TEST(DiffTools, TavoModelTextDeclaresUnusedVariablesAndNegativeBoxes) {
  Model m;
  for (int j = 1; j <= 3; ++j) m.vars.push_back({"X" + std::to_string(j)});
  m.vars[1].lower = -6;
  m.vars[1].upper = -2;
  m.vars[2].lower = 2;
  m.vars[2].upper = 2;
  m.goals.push_back({false, {{0, 1}}});
  m.rows.push_back({"C1", {{0, 1}}, Sense::kGe, 1});
  std::string text = WriteTavoModel(m);
  EXPECT_EQ(text,
            "MIN 1 X1\r\n"
            "ST\r\n"
            "C1) 1 X1 + 0 X3 >= 1\r\n"
            "- 6 <= 1X2 <= - 2\r\n"
            "END\r\n"
            "FREE X2\r\n"
            "FIX X3 2\r\n");
}

TEST(DiffTools, LpFormatHoldsEarlierLevelsAndSplitsRanges) {
  std::string lp = WriteLpFormat(HandModel(), 1, {10.0});
  EXPECT_NE(lp.find("Maximize\n obj: 0 X1 + 0 X2 + 1 X3 + 0 X4\n"), std::string::npos) << lp;
  EXPECT_NE(lp.find(" ROW3: 2 X1 + 1 X2 >= -3\n ROW4: 2 X1 + 1 X2 <= 8\n"), std::string::npos) << lp;
  EXPECT_NE(lp.find(" ROW6: 3 X1 - 2.5 X2 >= 9.99999999\n"), std::string::npos) << lp;
  EXPECT_NE(lp.find(" -inf <= X3 <= 3\n"), std::string::npos) << lp;
  EXPECT_NE(lp.find(" X4 >= -2\n"), std::string::npos) << lp;
  EXPECT_NE(lp.find("General\n X4\n"), std::string::npos) << lp;
}

TEST(DiffTools, FeasibilityCheckFindsTheWorstViolation) {
  Model m = HandModel();
  std::vector<double> x = {1, 0.5, 2, 0};
  EXPECT_EQ(CheckFeasible(m, x, 1e-9, 0, true), "");
  x[3] = 0.5;  // breaks the equality row and integrality
  EXPECT_NE(CheckFeasible(m, x, 1e-9, 0, false), "");
  x = {1, 0.5, 2, 0};
  x[2] = 3.5;  // above the upper bound 3 (and row 1 still holds)
  EXPECT_NE(CheckFeasible(m, x, 1e-9, 0, false).find("X3"), std::string::npos);
  // Six-decimal rounding of x is tolerated when asked for.
  x = {1, 0.5000004, 2, 0};
  EXPECT_NE(CheckFeasible(m, x, 1e-9, 0, false), "");
  EXPECT_EQ(CheckFeasible(m, x, 1e-9, 5e-7, false), "");
}

// Random models are the same for the same seed, and their model text (CR LF
// line ends, no exponents) reads back through TAVO's parser as exactly the
// model written: coefficients, right-hand sides, ranges, bounds.
TEST(DiffTools, RandomModelsAreReproducibleAndReadBackExactly) {
  GenOptions o{.maxGoals = 3,
               .rangeChance = 0.3,
               .freeChance = 0.2,
               .negBoundChance = 0.2,
               .intChance = 0.2,
               .binChance = 0.1,
               .halfCoefChance = 0.5};
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    Rng rng(seed), again(seed);
    Model m = RandomModel(rng, o);
    const std::string text = WriteTavoModel(m);
    EXPECT_EQ(WriteTavoModel(RandomModel(again, o)), text);
    o.labels = seed % 2 == 0;
    EXPECT_GE(m.vars.size(), 2u);
    EXPECT_LE(m.vars.size(), 12u);
    EXPECT_EQ(text.find('e'), std::string::npos) << text;  // no exponents, names are upper case
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r')) << text;
    ASSERT_EQ(CheckModelTextReadsBack(m, text), "") << "seed " << seed << "\n" << text;
  }
  // Long rows broken over lines, awkward numbers.
  Model m;
  for (int j = 1; j <= 30; ++j) m.vars.push_back({"V" + std::to_string(j)});
  Goal g{true, {}};
  Row r{"LONGROW", {}, Sense::kRange, 0, -0.000123, 98765432.125};
  for (int j = 0; j < 30; ++j) {
    g.terms.push_back({j, (j % 3 == 0 ? -1 : 1) * (j + 0.1)});
    r.terms.push_back({j, (j % 2 == 0 ? -1 : 1) * 1.0 / (j + 3)});
  }
  m.goals.push_back(g);
  m.rows.push_back(r);
  m.rows.push_back({"", {{4, 1e-7}, {29, 123456789012.5}}, Sense::kGe, -1e-5});
  EXPECT_EQ(CheckModelTextReadsBack(m, WriteTavoModel(m)), "") << WriteTavoModel(m);
}

const char* kSmallMps =
    "NAME          TESTLP\n"
    "* a comment line\twith a tab\n"
    "ROWS\n"
    " N  COST\n"
    " L  LIM1\n"
    " G  LIM2\n"
    " E  MYEQN\n"
    " N  OTHER\n"
    " E  RNGE\n"
    "COLUMNS\n"
    "    X1        COST         1.0   LIM1         1.0\n"
    "    X1        LIM2         1.0   OTHER        9.0\n"
    "    MARKER                 'MARKER'                 'INTORG'\n"
    "    X2        COST         2.0   LIM1         1.0\n"
    "    X2        MYEQN       -1.0\n"
    "    MARKER                 'MARKER'                 'INTEND'\n"
    "    X3        COST        -1.0   MYEQN        1.0\n"
    "    X3        RNGE         1.0\n"
    "    X4        COST         1.0   RNGE         1.0\n"
    "RHS\n"
    "    RHS       COST        -7.5\n"
    "    RHS       LIM1         4.0   LIM2         1.0\n"
    "    RHS       MYEQN        7.0   RNGE         2.0\n"
    "    RHS2      LIM1        99.0\n"
    "RANGES\n"
    "    RNG       LIM1         2.5   RNGE        -3.0\n"
    "BOUNDS\n"
    " UP BND       X1           4.0\n"
    " UP BND       X2           7.0\n"
    " MI BND       X3\n"
    " UP BND       X4          -1.0\n"
    "ENDATA\n";

TEST(DiffTools, MpsReaderReadsSectionsRangesBoundsAndMarkers) {
  MpsProblem p;
  std::string error;
  ASSERT_TRUE(ReadMpsText(kSmallMps, p, error)) << error;
  EXPECT_EQ(p.name, "TESTLP");
  EXPECT_EQ(p.model.title, "TESTLP");
  EXPECT_EQ(p.objectiveRhs, -7.5);
  EXPECT_EQ(p.colNames, (std::vector<std::string>{"X1", "X2", "X3", "X4"}));
  EXPECT_EQ(p.rowNames, (std::vector<std::string>{"LIM1", "LIM2", "MYEQN", "RNGE"}));  // the second N row is dropped
  ASSERT_EQ(p.model.rows.size(), 4u);                                                  // a ranged row stays one row
  EXPECT_EQ(p.model.rows[2].label, "R3");
  // The L row with range 2.5 is 1.5 <= x1 + x2 <= 4 (the RHS2 set is
  // ignored); the E row with a negative range lies in [rhs - |R|, rhs]. The
  // marker block makes X2 integer (UP 7 keeps it general); UP with a negative
  // value and the default lower bound makes the lower bound -infinity.
  EXPECT_EQ(WriteLpFormat(p.model, 0, {}),
            "\\ written by the TAVO test tools\n"
            "Minimize\n"
            " obj: 1 C1 + 2 C2 - 1 C3 + 1 C4\n"
            "Subject To\n"
            " ROW1: 1 C1 + 1 C2 >= 1.5\n"
            " ROW2: 1 C1 + 1 C2 <= 4\n"
            " ROW3: 1 C1 >= 1\n"
            " ROW4: - 1 C2 + 1 C3 = 7\n"
            " ROW5: 1 C3 + 1 C4 >= -1\n"
            " ROW6: 1 C3 + 1 C4 <= 2\n"
            "Bounds\n"
            " 0 <= C1 <= 4\n"
            " 0 <= C2 <= 7\n"
            " C3 free\n"
            " -inf <= C4 <= -1\n"
            "General\n"
            " C2\n"
            "End\n");
}

// One data line in the fixed MPS layout (fields at columns 2, 5, 15, 25, 40, 50).
std::string FixedLine(const std::string& f1, const std::string& f2, const std::string& f3 = "",
                      const std::string& f4 = "", const std::string& f5 = "", const std::string& f6 = "") {
  std::string line(61, ' ');
  auto put = [&](int column, const std::string& f) { line.replace(column - 1, f.size(), f); };
  put(2, f1);
  put(5, f2);
  put(15, f3);
  put(25, f4);
  put(40, f5);
  put(50, f6);
  line.erase(line.find_last_not_of(' ') + 1);
  return line + "\n";
}

TEST(DiffTools, MpsReaderFallsBackToFixedColumnsForNamesWithBlanks) {
  std::string text = "NAME          SPACED\nROWS\n" + FixedLine("N", "OBJ ROW") + FixedLine("L", "LIM 1") +
                     "COLUMNS\n" + FixedLine("", "X 1", "OBJ ROW", "1.", "LIM 1", "2.") +
                     FixedLine("", "X 2", "LIM 1", "1.") + "RHS\n" + FixedLine("", "RHS 1", "LIM 1", "6.") +
                     "BOUNDS\n" + FixedLine("UP", "BND 1", "X 2", "3.") + FixedLine("BV", "BND 1", "X 1") + "ENDATA\n";
  MpsProblem p;
  std::string error;
  ASSERT_TRUE(ReadMpsText(text, p, error)) << error;
  ASSERT_EQ(p.model.vars.size(), 2u);
  EXPECT_EQ(p.colNames[0], "X 1");
  EXPECT_EQ(p.rowNames[0], "LIM 1");
  EXPECT_EQ(p.model.rows[0].rhs, 6.0);
  ASSERT_EQ(p.model.rows[0].terms.size(), 2u);
  EXPECT_EQ(p.model.rows[0].terms[0].coef, 2.0);
  EXPECT_EQ(p.model.vars[1].upper, 3.0);
  EXPECT_EQ(p.model.vars[0].kind, VarKind::kBinary);
}

TEST(DiffTools, MpsReaderRejectsBrokenFiles) {
  MpsProblem p;
  std::string error;
  EXPECT_FALSE(ReadMpsText("NAME X\nROWS\n N OBJ\nCOLUMNS\n    X1 NOSUCH 1.0\nENDATA\n", p, error));
  EXPECT_NE(error.find("COLUMNS"), std::string::npos) << error;
  EXPECT_FALSE(ReadMpsText("NAME X\nROWS\n N OBJ\nCOLUMNS\n    X1 OBJ 1.0\n", p, error));
  EXPECT_FALSE(ReadMpsText("NAME X\nROWS\n Q OBJ\nENDATA\n", p, error));
  EXPECT_FALSE(ReadMpsFile("/nonexistent/file.mps.gz", p, error));
}

TEST(DiffTools, ReferenceSolversReportStatusAndObjective) {
  if (!HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  ScratchDir dir;
  Model m = HandModel();
  m.vars[3].kind = VarKind::kContinuous;
  LexOutcome lex = SolveLexicographic(RefSolver::kGlpsol, m, dir.path());
  ASSERT_EQ(lex.status, RefStatus::kOptimal) << lex.detail;
  // Level 1: max 3x1 - 2.5x2 with 2x1 + x2 <= 8, x2 = 0.5 - x4 >= 0 ... x1 = 4, x2 = 0.
  EXPECT_NEAR(lex.goals[0], 12.0, 1e-9);
  EXPECT_NEAR(lex.goals[1], 3.0, 1e-7);  // x3 <= 3 and x1 - x3 >= -5 with x1 = 4
  EXPECT_EQ(CheckFeasible(m, lex.x, 1e-7, 0, false), "");

  Model unbounded;
  unbounded.vars = {{"X1"}, {"X2"}};
  unbounded.goals.push_back({true, {{0, 1}}});
  unbounded.rows.push_back({"", {{0, 1}, {1, -1}}, Sense::kLe, 3});
  EXPECT_EQ(SolveLexicographic(RefSolver::kGlpsol, unbounded, dir.path()).status, RefStatus::kUnbounded);
  Model infeasible = unbounded;
  infeasible.rows[0] = {"", {{0, 1}, {1, 1}}, Sense::kLe, -3};
  EXPECT_EQ(SolveLexicographic(RefSolver::kGlpsol, infeasible, dir.path()).status, RefStatus::kInfeasible);
  if (HaveCbc()) {
    Model mip = HandModel();
    LexOutcome a = SolveLexicographic(RefSolver::kGlpsol, mip, dir.path());
    LexOutcome b = SolveLexicographic(RefSolver::kCbc, mip, dir.path());
    ASSERT_EQ(a.status, RefStatus::kOptimal);
    ASSERT_EQ(b.status, RefStatus::kOptimal) << b.detail;
    for (std::size_t g = 0; g < a.goals.size(); ++g) EXPECT_NEAR(a.goals[g], b.goals[g], 1e-6);
    EXPECT_EQ(SolveLexicographic(RefSolver::kCbc, infeasible, dir.path()).status, RefStatus::kInfeasible);
  }
}

// The goal-row activity reads back as the goal value: a MAX row as it is, a
// MIN row negated. Checked on two one-line models with known optima.
TEST(DiffTools, TavoGoalRowActivityGivesTheGoalValue) {
  SolverSettings s = DefaultSettings();
  TavoOutcome mx = SolveWithTavo("MAX 3 X + 2 Y\r\nST\r\nX + Y <= 4\r\nX + 3 Y <= 6\r\nEND\r\nSUB X 3\r\n", s);
  ASSERT_TRUE(mx.parsed) << mx.log;
  ASSERT_EQ(mx.resultCode, kResultOptimal) << mx.log;
  EXPECT_NEAR(TavoGoalValue(mx, 0, true), 11.0, 1e-9);  // x = 3, y = 1
  EXPECT_NEAR(mx.xact[0], 3.0, 1e-9);
  EXPECT_NEAR(mx.xact[1], 1.0, 1e-9);
  TavoOutcome mn = SolveWithTavo("MIN 2 X + 5 Y\r\nST\r\nX + Y >= 3\r\nY >= 1\r\nEND\r\n", s);
  ASSERT_TRUE(mn.parsed) << mn.log;
  ASSERT_EQ(mn.resultCode, kResultOptimal) << mn.log;
  EXPECT_NEAR(TavoGoalValue(mn, 0, false), 9.0, 1e-9);  // x = 2, y = 1
}

}  // namespace
}  // namespace tavo::testsupport
