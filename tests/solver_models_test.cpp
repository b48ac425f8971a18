// Whole solves of small models worked out by hand: row types, two-sided rows,
// bounds of every kind, MAX and MIN, goal programs of two and three levels,
// the tie rule of the ratio test, and the ends other than optimal (no
// feasible solution, no finite solution, iteration limit, forced
// termination in either phase). Values are read from the workspace.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"
#include "shell/texts.h"

namespace tavo {
namespace {

// Lines joined with CR LF.
std::string Model(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) s += std::string(l) + "\r\n";
  return s;
}

// One run kept open after the solve so that the workspace can be read.
struct SolveRun {
  explicit SolveRun(std::string text) : modelText(std::move(text)) { run.settings = DefaultSettings(); }

  int Solve() {
    run.modelText = modelText;
    parsed = run.ParseModel(modelText) == 1;
    if (!parsed) return -1;
    code = run.SetupAndSolve();
    return code;
  }

  // Column j of the model by its name.
  int Col(const std::string& name) const {
    for (int j = 0; j < W.NSTRUC; ++j) {
      std::string s = W.CNAME.substr(static_cast<std::size_t>(j) * 8, 8);
      while (!s.empty() && s.back() == ' ') s.pop_back();
      if (s == name) return j;
    }
    ADD_FAILURE() << "no column " << name;
    return 0;
  }

  // The model variable's value, taken back from the basis through the bound
  // substitution of its flags.
  double X(const std::string& name) const {
    const int j = Col(name);
    const double y = W.KINBAS[j] > 0 ? W.XB[W.KINBAS[j] - 1] : (W.ATUPR[j] ? 1.0 : 0.0);
    const double u = W.UBND[j];
    const double l = W.LBND[j];
    switch (W.BNDFLG[j] & 31) {
      case 8: return -y;
      case 9: return u - y;
      case 2: return l + y;
      case 3: return l + (u - l) * y;
      case 1: return u * y;
      case 4: return l;
      default: return y;
    }
  }

  // Goal row k's value: its right-hand side (0) minus its linear form, so
  // the objective of a MAX row and minus the objective of a MIN row.
  double Goal(int k) const { return W.XB[k]; }

  const std::string& Log() const { return run.result.logText; }

  std::string modelText;
  Workspace W;
  RecordingPort port;
  CalcRun run{W, port};
  bool parsed = false;
  int code = -1;
};

constexpr double kTol = 1e-9;

// ---- Row types ----

TEST(SolverModels, LessOrEqualRowsMax) {
  SolveRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 6", "X <= 3"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 3, kTol);
  EXPECT_NEAR(r.X("Y"), 1, kTol);
  EXPECT_NEAR(r.Goal(0), 11, kTol);
  // X enters and row 3 leaves; Y enters with a tie between rows 1 and 2.
  EXPECT_EQ(r.W.ITER, 2);
  EXPECT_EQ(r.W.ITERLP, 2);
  EXPECT_EQ(r.port.fields[kFieldResultCode], "1");
  EXPECT_EQ(r.port.fields[kFieldIterations], "1");
  EXPECT_EQ(r.port.fields[kFieldFeasibility], T().feasible);
  // Continuous model: the reports read the basis (BuildReports ran).
  ASSERT_EQ(r.W.XACT.size(), 2u);
  EXPECT_NEAR(r.W.XACT[r.Col("X")], 3, 1e-6);
  EXPECT_NEAR(r.W.XACT[r.Col("Y")], 1, 1e-6);
}

TEST(SolverModels, GreaterOrEqualRowsMinNeedPhaseOne) {
  SolveRun r(Model({"MIN 2X + 3Y", "ST", "X + Y >= 4", "X <= 3"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 3, kTol);
  EXPECT_NEAR(r.X("Y"), 1, kTol);
  EXPECT_NEAR(r.Goal(0), -9, kTol);  // MIN: the goal row holds minus the objective
}

TEST(SolverModels, EqualityRow) {
  SolveRun r(Model({"MIN X + Y", "ST", "X + 2Y = 4", "3X + Y >= 2"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 0, kTol);
  EXPECT_NEAR(r.X("Y"), 2, kTol);
  EXPECT_NEAR(r.Goal(0), -2, kTol);
}

TEST(SolverModels, TwoSidedRowsOfBothDirections) {
  {
    SolveRun r(Model({"MAX X + Y", "ST", "2 <= X + Y <= 5", "X <= 4"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.Goal(0), 5, kTol);
  }
  {
    SolveRun r(Model({"MIN X + Y", "ST", "2 <= X + Y <= 5", "X <= 4"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.Goal(0), -2, kTol);
    EXPECT_NEAR(r.X("X") + r.X("Y"), 2, kTol);
  }
  {
    // lo >= terms >= hi is stored as terms <= lo with range lo - hi.
    SolveRun r(Model({"MIN X - Y", "ST", "5 >= X >= 1", "2 <= Y <= 3"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 1, kTol);
    EXPECT_NEAR(r.X("Y"), 3, kTol);
    EXPECT_NEAR(r.Goal(0), 2, kTol);
  }
  {
    SolveRun r(Model({"MAX X - Y", "ST", "5 >= X >= 1", "2 <= Y <= 3"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 5, kTol);
    EXPECT_NEAR(r.X("Y"), 2, kTol);
  }
  {
    // A negative lower value.
    SolveRun r(Model({"MIN X - Y", "ST", "- 3 <= X - Y <= 2", "Y <= 10"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.Goal(0), 3, kTol);
  }
}

// ---- Bounds ----

TEST(SolverModels, UpperBoundMovesByABoundFlip) {
  SolveRun r(Model({"MAX X + Y", "ST", "X + 2Y <= 10", "END", "SUB X 4"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 4, kTol);
  EXPECT_NEAR(r.X("Y"), 3, kTol);
  EXPECT_NEAR(r.Goal(0), 7, kTol);
  // X only moved to its bound: nonbasic at 1 of its scaled range.
  EXPECT_EQ(r.W.KINBAS[r.Col("X")], 0);
  EXPECT_EQ(r.W.ATUPR[r.Col("X")], 1);
  EXPECT_EQ(r.W.COLKND[r.Col("X")], kKindBounded);
}

TEST(SolverModels, LowerBound) {
  SolveRun r(Model({"MIN X + Y", "ST", "X + Y >= 1", "END", "SLB X 3"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 3, kTol);
  EXPECT_NEAR(r.X("Y"), 0, kTol);
  EXPECT_NEAR(r.Goal(0), -3, kTol);
}

TEST(SolverModels, UpperAndLowerBound) {
  {
    SolveRun r(Model({"MAX 2X + Y", "ST", "X + Y <= 10", "END", "SUB X 5", "SLB X 2"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 5, kTol);
    EXPECT_NEAR(r.X("Y"), 5, kTol);
    EXPECT_NEAR(r.Goal(0), 15, kTol);
  }
  {
    SolveRun r(Model({"MIN 2X + Y", "ST", "X + Y <= 10", "END", "SUB X 5", "SLB X 2"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 2, kTol);
    EXPECT_NEAR(r.Goal(0), -4, kTol);
  }
}

TEST(SolverModels, EqualBoundsFixTheColumn) {
  SolveRun r(Model({"MAX X + Y", "ST", "X + Y <= 10", "END", "SUB X 5", "SLB X 5"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  const int x = r.Col("X");
  EXPECT_EQ(r.W.BNDFLG[x], kBndFixed);
  EXPECT_EQ(r.W.COLKND[x], kKindFixedZero);
  EXPECT_EQ(r.W.KINBAS[x], 0);
  EXPECT_NEAR(r.X("X"), 5, kTol);
  EXPECT_NEAR(r.X("Y"), 5, kTol);
}

TEST(SolverModels, FixedColumn) {
  SolveRun r(Model({"MAX X + Y", "ST", "X + Y <= 10", "X + 2Y <= 14", "END", "FIX X 3"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 3, kTol);
  EXPECT_NEAR(r.X("Y"), 5.5, kTol);
  EXPECT_NEAR(r.Goal(0), 8.5, kTol);
}

TEST(SolverModels, FreeColumn) {
  SolveRun r(Model({"MIN X", "ST", "X + Y >= - 5", "Y <= 2", "END", "FREE X"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), -7, kTol);
  EXPECT_NEAR(r.X("Y"), 2, kTol);
  EXPECT_NEAR(r.Goal(0), 7, kTol);
  EXPECT_EQ(r.W.COLKND[r.Col("X")], kKindFree);
}

TEST(SolverModels, FreeColumnWithUpperBound) {
  {
    SolveRun r(Model({"MIN 2X + Y", "ST", "X + Y >= 1", "Y <= 5", "END", "FREE X", "SUB X 3"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_EQ(r.W.BNDFLG[r.Col("X")], kBndNoLower | kBndUpper);
    EXPECT_NEAR(r.X("X"), -4, kTol);
    EXPECT_NEAR(r.X("Y"), 5, kTol);
    EXPECT_NEAR(r.Goal(0), 3, kTol);
  }
  {
    SolveRun r(Model({"MAX X", "ST", "X + Y >= 1", "Y <= 5", "END", "FREE X", "SUB X 3"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 3, kTol);
  }
}

// FREE X then SUB X 0 means x <= 0; the unset lower bound 0 must not make
// the column "fixed" (which the flags would then call contradictory).
TEST(SolverModels, FreeColumnWithUpperBoundZero) {
  {
    SolveRun r(Model({"MIN X", "ST", "X + Y >= - 3", "Y <= 1", "END", "FREE X", "SUB X 0"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), -4, kTol);
    EXPECT_NEAR(r.Goal(0), 4, kTol);
  }
  {
    SolveRun r(Model({"MAX X + Y", "ST", "X + Y >= - 3", "Y <= 1", "END", "FREE X", "SUB X 0"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 0, kTol);
    EXPECT_NEAR(r.Goal(0), 1, kTol);
  }
}

// A nonnegative column with upper bound 0 is fixed at 0.
TEST(SolverModels, UpperBoundZeroFixesANonnegativeColumn) {
  SolveRun r(Model({"MAX X + Y", "ST", "X + Y <= 5", "END", "SUB X 0"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_EQ(r.W.COLKND[r.Col("X")], kKindFixedZero);
  EXPECT_NEAR(r.X("X"), 0, kTol);
  EXPECT_NEAR(r.X("Y"), 5, kTol);
}

// FREE, SUB and SLB of one variable: it lies between its two bounds.
TEST(SolverModels, FreeThenBothBounds) {
  for (const char* goal : {"MAX X", "MIN X"}) {
    SolveRun r(Model({goal, "ST", "X + Y <= 10", "END", "FREE X", "SUB X 4", "SLB X 1"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_EQ(r.W.BNDFLG[r.Col("X")], kBndUpper | kBndLower);
    EXPECT_NEAR(r.X("X"), goal[1] == 'A' ? 4 : 1, kTol) << goal;
  }
}

// A bounded column that no row limits stops at its bound (a bound flip), it
// does not make the problem unbounded.
TEST(SolverModels, BoundedColumnWithoutLimitingRow) {
  SolveRun r(Model({"MAX X", "ST", "Y - X <= 2", "END", "SUB X 5"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 5, kTol);
  EXPECT_NEAR(r.Goal(0), 5, kTol);
  EXPECT_EQ(r.W.ATUPR[r.Col("X")], 1);
}

// A column whose only entry lies in a goal row never becomes basic in the
// goal row: goal rows keep their own unit column.
TEST(SolverModels, GoalRowKeepsItsUnitColumn) {
  SolveRun r(Model({"MIN X + Y", "ST", "0X + Y >= 2"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_EQ(r.W.JHEAD[0], 0);
  EXPECT_NEAR(r.X("X"), 0, kTol);
  EXPECT_NEAR(r.X("Y"), 2, kTol);
  EXPECT_NEAR(r.Goal(0), -2, kTol);
  EXPECT_NEAR(r.W.XACT[r.Col("X")], 0, kTol);
  EXPECT_NEAR(r.W.RACT[0], -2, kTol);
}

// Phase 1 takes a free basic column below zero for what it is, a value
// like any other: counting its row into the infeasibility gradient cancelled
// the gradient here and ended the solve without a feasible solution.
// (Reference optimum from glpsol: -26.4891146589.)
TEST(SolverModels, FreeBasicColumnBelowZeroIsNotAnInfeasibility) {
  SolveRun r(Model({"MIN - 1 X1 - 6 X2 + 5 X3 - 1 X4", "ST", "1.5 X1 + 5 X2 + 1 X3 - 6 X4 <= 51.5",
                    "- 5 X1 - 6.5 X2 - 6 X3 - 3 X4 >= - 33.5", "- 2 X1 + 3.5 X2 + 1 X3 - 8 X4 <= 35.5",
                    "5 X1 - 2 X3 - 1.5 X4 <= 31", "- 1 X1 + 6.5 X2 + 2 X3 + 2 X4 = 20",
                    "2 X1 + 2 X2 + 2 X3 + 2 X4 <= 11", "- 4 <= 1X4 <= - 3", "END", "FREE X4", "SLB X2 2"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.Goal(0), 26.4891146589, 1e-9);
  EXPECT_NEAR(r.X("X4"), -3.17198838897, 1e-9);
}

// X's entry 1e-12 in row 1 lies below the pivot tolerance, so the ratio
// test passes row 1 over and X moves to 100, leaving row 1 at -1e-10, out of
// its bounds. Phase 1 pricing repairs that (Y enters) and the solve goes on
// to the optimum X = 100; it does not fall back to the last feasible basis
// (X = 0) and call that optimal.
TEST(SolverModels, FeasibilityLostInPhaseTwoIsRepaired) {
  SolveRun r(Model({"MAX X", "ST", "0.000000000001X - Y <= 0", "Y <= 1", "X <= 100"}));
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  EXPECT_NEAR(r.X("X"), 100, 1e-9);
  EXPECT_NEAR(r.X("Y"), 1e-10, 1e-15);
  EXPECT_NEAR(r.Goal(0), 100, 1e-9);
  // Phase 2 was entered once: one set of phase-change lines in the log.
  std::size_t count = 0;
  for (std::size_t at = r.Log().find("PHASE 2 BEGIN"); at != std::string::npos;
       at = r.Log().find("PHASE 2 BEGIN", at + 1))
    ++count;
  EXPECT_EQ(count, 1u);
}

// ---- Goal programs ----

TEST(SolverModels, TwoLevelsLowerLevelDecidesAmongOptima) {
  {
    SolveRun r(Model({"MAX X + Y", "MIN X", "ST", "X + Y <= 4"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 0, kTol);
    EXPECT_NEAR(r.X("Y"), 4, kTol);
    EXPECT_NEAR(r.Goal(0), 4, kTol);
    EXPECT_NEAR(r.Goal(1), 0, kTol);
  }
  {
    SolveRun r(Model({"MAX X + Y", "MAX X", "ST", "X + Y <= 4"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 4, kTol);
    EXPECT_NEAR(r.Goal(1), 4, kTol);
  }
  {
    // Y would help goal 1 but costs goal 0 once X is at 4: never chosen.
    SolveRun r(Model({"MAX X", "MAX Y", "ST", "X + Y <= 4"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 4, kTol);
    EXPECT_NEAR(r.X("Y"), 0, kTol);
    EXPECT_NEAR(r.Goal(1), 0, kTol);
  }
}

TEST(SolverModels, ThreeLevels) {
  {
    SolveRun r(Model({"MAX X + Y + Z", "MIN X", "MAX Y", "ST", "X + Y + Z <= 6", "X >= 1"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 1, kTol);
    EXPECT_NEAR(r.X("Y"), 5, kTol);
    EXPECT_NEAR(r.X("Z"), 0, kTol);
    EXPECT_NEAR(r.Goal(0), 6, kTol);
    EXPECT_NEAR(r.Goal(1), -1, kTol);
    EXPECT_NEAR(r.Goal(2), 5, kTol);
  }
  {
    SolveRun r(Model({"MAX X + Y + Z", "MIN X", "MIN Y", "ST", "X + Y + Z <= 6", "X >= 1"}));
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    EXPECT_NEAR(r.X("X"), 1, kTol);
    EXPECT_NEAR(r.X("Y"), 0, kTol);
    EXPECT_NEAR(r.X("Z"), 5, kTol);
    EXPECT_NEAR(r.Goal(2), 0, kTol);
  }
}

// ---- The tie rule ----

// Rows 1 and 2 both hold 0 and give X the degenerate ratio 1e-20: the tie
// rule compares row 1 and row 2 of the inverse over its columns, and at
// column 1 row 1's entry (1) exceeds row 2's (0), so row 2 leaves. Row 3's
// ratio 3 loses to the degenerate rows.
TEST(SolverModels, DegenerateRowsTieRule) {
  SolveRun r(Model({"MAX X", "ST", "X - Y <= 0", "X - 2Y <= 0", "X + Y <= 3"}));
  std::vector<std::int32_t> afterFirstPivot;
  r.port.onPump = [&](long long p) {
    if (p == 2) afterFirstPivot = r.W.JHEAD;
  };
  ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
  ASSERT_EQ(afterFirstPivot.size(), 4u);
  EXPECT_EQ(afterFirstPivot[2], r.Col("X") + 1);
  EXPECT_EQ(afterFirstPivot[1], r.W.NSTRUC + 1 + 1);  // row 1 keeps its slack
  EXPECT_NEAR(r.X("X"), 1.5, kTol);
  EXPECT_NEAR(r.X("Y"), 1.5, kTol);
}

// The second pivot of this model ties rows 1 (ratio 1/1) and 2 (ratio 3/3);
// the tie rule makes row 2 leave. With ICODE on, the confirmation
// reinversion then places the basic columns in index order (X in the first
// free row with the largest entry).
TEST(SolverModels, TieRuleAndConfirmingReinversion) {
  for (int icode : {0, 1}) {
    SolveRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 6", "X <= 3"}));
    r.run.settings.ICODE = icode;
    std::vector<std::int32_t> afterSecondPivot;
    r.port.onPump = [&](long long p) {
      if (p == 3) afterSecondPivot = r.W.JHEAD;
    };
    ASSERT_EQ(r.Solve(), kResultOptimal) << r.Log();
    const int x = r.Col("X") + 1;
    const int y = r.Col("Y") + 1;
    const int slack1 = r.W.NSTRUC + 1 + 1;
    EXPECT_EQ(afterSecondPivot, (std::vector<std::int32_t>{0, slack1, y, x})) << icode;
    // One pass per iteration, one more to find no entering column, and one
    // more (after the reinversion) to confirm.
    EXPECT_EQ(r.port.pumps, icode ? 4 : 3);
    if (icode) {
      EXPECT_EQ(r.W.JHEAD, (std::vector<std::int32_t>{0, x, y, slack1}));
    } else {
      EXPECT_EQ(r.W.JHEAD, afterSecondPivot);
    }
    EXPECT_NEAR(r.X("X"), 3, kTol);
    EXPECT_NEAR(r.X("Y"), 1, kTol);
  }
}

// ---- Ends other than optimal ----

TEST(SolverModels, NoFeasibleSolution) {
  SolveRun r(Model({"MIN X", "ST", "X + Y <= 1", "X + Y >= 3"}));
  ASSERT_EQ(r.Solve(), kResultInfeasible) << r.Log();
  EXPECT_EQ(r.run.result.resultCode, kResultInfeasible);
  EXPECT_TRUE(r.Log().ends_with("*** PHASE 1 BEGIN ***\r\n\r\n" + T().g_msgNoFeasible)) << r.Log();
  EXPECT_EQ(r.port.fields[kFieldResultCode], "2");
  EXPECT_EQ(r.port.fields.count(kFieldFeasibility), 0u);
  EXPECT_TRUE(r.run.result.columnsText.empty());
}

TEST(SolverModels, NoFiniteSolution) {
  SolveRun r(Model({"MAX X", "ST", "X - Y <= 1"}));
  ASSERT_EQ(r.Solve(), kResultUnbounded) << r.Log();
  EXPECT_TRUE(r.Log().ends_with("*** PHASE 2 BEGIN ***\r\n\r\n" + T().g_msgNoFinite)) << r.Log();
  EXPECT_EQ(r.port.fields[kFieldResultCode], "3");
}

TEST(SolverModels, IterationLimit) {
  SolveRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 6", "X <= 3"}));
  r.run.settings.MAXITERATE = 1;
  ASSERT_EQ(r.Solve(), kResultIterationLimit) << r.Log();
  EXPECT_EQ(r.W.ITER, 1);  // the second pivot would reach the limit
  EXPECT_TRUE(r.Log().ends_with(T().g_msgIterLimit));
  EXPECT_EQ(r.port.fields[kFieldResultCode], "4");
}

TEST(SolverModels, ForcedTerminationInPhaseOne) {
  SolveRun r(Model({"MIN 2X + 3Y", "ST", "X + Y >= 4", "X <= 3"}));
  g_forceStop.store(1);  // a request left from before the run is cleared by the driver
  r.port.onPump = [](long long p) {
    if (p == 1) g_forceStop.store(1);
  };
  ASSERT_EQ(r.Solve(), kResultForcedInfeasible) << r.Log();
  EXPECT_EQ(r.port.pumps, 1);
  EXPECT_TRUE(r.Log().ends_with("*** PHASE 1 BEGIN ***\r\n\r\n" + T().g_msgNoFeasible)) << r.Log();
  EXPECT_EQ(r.port.fields.count(kFieldResultCode), 0u);
  EXPECT_TRUE(r.run.result.columnsText.empty());
  g_forceStop.store(0);
}

TEST(SolverModels, ForcedTerminationInPhaseTwo) {
  SolveRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 6", "X <= 3"}));
  r.port.onPump = [](long long p) {
    if (p == 2) g_forceStop.store(1);
  };
  ASSERT_EQ(r.Solve(), kResultForcedFeasible) << r.Log();
  EXPECT_EQ(r.W.ITERLP, 1);
  const std::string stamp = T().g_bannerPrimal + "2026/12/06 12:00:00\r\n";
  EXPECT_TRUE(r.Log().ends_with("*** PHASE 2 BEGIN ***\r\n\r\n" + stamp + T().forcedTermination +
                                "     Iterations = 0\r\nElapsed Time = 00:00:00"))
      << r.Log();
  EXPECT_EQ(r.port.fields.count(kFieldResultCode), 0u);
  EXPECT_FALSE(r.run.result.columnsText.empty());  // the reports of the point reached
  EXPECT_NEAR(r.X("X"), 3, kTol);                  // after the first pivot
  g_forceStop.store(0);
}

// ---- The log ----

TEST(SolverModels, LogOfAnOptimalContinuousRun) {
  SolveRun r(Model({"MAX 3X + 2Y", "ST", "X + Y <= 4", "X + 3Y <= 6", "X <= 3"}));
  ASSERT_EQ(r.Solve(), kResultOptimal);
  const std::string date = "2026/12/06 12:00:00\r\n";
  const std::string expected = T().logHeader + T().g_bannerDataInput + date +
                               " THIS PROBLEM HAS 4 ROWS,  2 VARIABLES  DATA ERROR = 0\r\n\r\n" +
                               T().g_bannerFileSetup + date + " FILE SETUP ERROR = 0\r\n\r\n" +
                               T().g_bannerPrimal + date + "*** PHASE 1 BEGIN ***\r\n\r\n" + T().g_bannerPrimal +
                               date + "** PHASE 1 END ** SOLUTION IS FEASIBLE\r\n\r\n" + T().g_bannerPrimal + date +
                               "*** PHASE 2 BEGIN ***\r\n\r\n" + T().g_bannerPrimal + date +
                               "** PHASE 2 END ** SOLUTION IS OPTIMAL\r\n\r\n" + "     Iterations = 1\r\n" +
                               "Elapsed Time = 00:00:00";
  EXPECT_EQ(r.Log(), expected);
}

// Progress: the feasibility word once, the iteration count every pass.
TEST(SolverModels, ProgressFieldsEveryPass) {
  SolveRun r(Model({"MIN 2X + 3Y", "ST", "X + Y >= 4", "X <= 3"}));
  ASSERT_EQ(r.Solve(), kResultOptimal);
  std::vector<std::string> iterations;
  int feasible = 0;
  for (const auto& [id, text] : r.port.fieldWrites) {
    if (id == kFieldIterations) iterations.push_back(text);
    if (id == kFieldFeasibility) ++feasible;
  }
  EXPECT_EQ(feasible, 1);
  ASSERT_EQ(static_cast<long long>(iterations.size()), r.port.pumps);
  EXPECT_EQ(iterations.front(), "-1");
  EXPECT_EQ(iterations.back(), std::to_string(r.W.ITER - 1));
}

}  // namespace
}  // namespace tavo
