// The workspace checks: the basis-inverse check on a textbook basis, on a
// perturbed inverse and on a singular basis; the invariants, one broken at a
// time; both after solves of the bundled examples and of generated models;
// and the abort of the checking build's hook.
#include "solver/workspace_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "report_support.h"
#include "tests/support/model_writer.h"

namespace tavo {
namespace {

// Two constraint rows and two structural columns, both basic:
//   B = | 2 1 |   inverse  | 0.6 -0.2 |
//       | 1 3 |            | -0.2 0.4 |
// with no goal row, so that the inverse is exactly the textbook one.
void TextbookBasis(Workspace& W) {
  W.MROWS = 2;
  W.NGOALS = 0;
  W.NSTRUC = 2;
  W.NCOLS = 4;
  W.AMAT = {2, 1, 1, 3};
  W.XB = {5, 10};
  W.RHS = W.XB;
  W.RANGE = {0, 0};
  W.UBND = {0, 0};
  W.LBND = {0, 0};
  W.ROWTYP = {kRowLess, kRowLess};
  W.BNDFLG = {0, 0, 0, 0};
  W.ACOL = {0, 0};
  W.CNAME = "X       Y       ";
  W.SizeSolverArrays();
  W.COLKND = {kKindNonnegative, kKindNonnegative, kKindNonnegative, kKindNonnegative};
  W.JHEAD = {1, 2};
  W.KINBAS = {1, 2, 0, 0};
  W.BINV = {0.6, -0.2, -0.2, 0.4};  // column-major
}

TEST(InverseCheck, TextbookInverseHolds) {
  Workspace W;
  TextbookBasis(W);
  ASSERT_EQ(CheckWorkspaceInvariants(W), "");
  std::string why;
  EXPECT_TRUE(CheckInverse(W, 1e-12, &why)) << why;
}

TEST(InverseCheck, PerturbedOrSingularInverseIsCaught) {
  struct Case {
    const char* name;
    std::function<void(Workspace&)> spoil;
    const char* where;  // the entry the message must name
  };
  const std::vector<Case> cases = {
      {"one entry off by 1e-4", [](Workspace& W) { W.BINV[1] += 1e-4; }, "row 1, column 0"},
      {"rows swapped", [](Workspace& W) { std::swap(W.BINV[0], W.BINV[1]); }, "row 0, column 0"},
      {"singular basis",
       [](Workspace& W) {
         W.AMAT = {2, 1, 4, 2};
       },
       "column"},
      {"not a number", [](Workspace& W) { W.BINV[3] = std::nan(""); }, "nan"},
  };
  for (const Case& c : cases) {
    Workspace W;
    TextbookBasis(W);
    c.spoil(W);
    std::string why;
    EXPECT_FALSE(CheckInverse(W, 1e-9, &why)) << c.name;
    EXPECT_NE(why.find(c.where), std::string::npos) << c.name << ": " << why;
  }
  // A perturbation far below the tolerance passes.
  Workspace W;
  TextbookBasis(W);
  W.BINV[1] += 1e-15;
  EXPECT_TRUE(CheckInverse(W, 1e-9, nullptr));
}

TEST(WorkspaceInvariants, EachViolationIsNamed) {
  struct Case {
    const char* name;
    std::function<void(Workspace&)> spoil;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"columns miscounted", [](Workspace& W) { W.NCOLS = 5; }, "NCOLS 5 is not NSTRUC + MROWS"},
      {"goals above rows", [](Workspace& W) { W.NGOALS = 3; }, "NGOALS 3 outside 0 to MROWS 2"},
      {"model array short", [](Workspace& W) { W.XB.pop_back(); }, "XB has 1 entries instead of 2"},
      {"matrix short", [](Workspace& W) { W.AMAT.pop_back(); }, "AMAT has 3 entries instead of 4"},
      {"solver array short", [](Workspace& W) { W.BINV.pop_back(); }, "BINV has 3 entries instead of 4"},
      {"labels of the wrong length", [](Workspace& W) { W.RNAME.assign(20, ' '); },
       "RNAME has 20 bytes instead of 18 a constraint row"},
      {"unknown row type", [](Workspace& W) { W.ROWTYP[1] = 7; }, "row 1 has type 7"},
      {"goal type below the goals", [](Workspace& W) { W.ROWTYP[0] = kRowGoal; }, "row 0 has type 1"},
      {"logical column flagged", [](Workspace& W) { W.BNDFLG[3] = kBndFree; }, "logical column 3 has bound flags 16"},
      {"unknown kind", [](Workspace& W) { W.COLKND[2] = 9; }, "column 2 has kind 9"},
      {"header out of range", [](Workspace& W) { W.JHEAD[1] = 5; }, "JHEAD of row 1 is 5"},
      {"headers disagree", [](Workspace& W) { W.KINBAS[1] = 1; }, "KINBAS of column 1 names row 0, whose JHEAD is 1"},
      {"basic twice", [](Workspace& W) { W.JHEAD[1] = 1; }, "KINBAS of column 1 names row 1, whose JHEAD is 1"},
      {"ATUPR not a flag", [](Workspace& W) { W.ATUPR[0] = 2; }, "ATUPR of column 0 is 2"},
      {"pattern rows out of range",
       [](Workspace& W) {
         W.APATBEG = {0, 1, 1};
         W.APATROW = {4};
         W.APATVAL = {2};
         W.APATDENSE = {0, 1};
         W.APATM = 2;
       },
       "APATROW holds row 4 in column 0"},
  };
  for (const Case& c : cases) {
    Workspace W;
    TextbookBasis(W);
    c.spoil(W);
    EXPECT_EQ(CheckWorkspaceInvariants(W), c.message) << c.name;
  }
}

// The basis part (what the checking build runs after a reinversion) leaves
// the model's other arrays alone but not the arrays the inverse reads.
TEST(WorkspaceInvariants, BasisPartCoversWhatTheInverseReads) {
  Workspace W;
  TextbookBasis(W);
  W.RANGE.clear();
  EXPECT_EQ(CheckBasisInvariants(W), "");
  EXPECT_EQ(CheckWorkspaceInvariants(W), "RANGE has 0 entries instead of 2");
  W.RHS.clear();
  EXPECT_EQ(CheckBasisInvariants(W), "RHS has 0 entries instead of 2");
  TextbookBasis(W);
  W.KINBAS[3] = 2;
  EXPECT_EQ(CheckBasisInvariants(W), "KINBAS of column 3 names row 1, whose JHEAD is 2");
}

TEST(WorkspaceInvariants, ParsedModelBeforeSetUpHolds) {
  reporttest::KeptRun r("MAX X + Y\r\nST\r\nC1) X + Y <= 4\r\nX - Y >= -2\r\nEND\r\nINT X\r\n");
  ASSERT_TRUE(r.Parse());
  EXPECT_EQ(CheckWorkspaceInvariants(r.W), "");
  // A goal row with a basic column breaks the rule that goal rows keep
  // their own unit column.
  r.W.SizeSolverArrays();
  EXPECT_EQ(CheckWorkspaceInvariants(r.W), "");
  r.W.JHEAD[0] = 1;
  r.W.KINBAS[0] = 1;
  EXPECT_EQ(CheckWorkspaceInvariants(r.W), "goal row 0 has column 0 basic");
}

std::string ReadExample(const std::string& name) {
  std::ifstream in(std::string(TAVO_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// After a solve the basis, the inverse and the sizes all hold, for the
// bundled examples (linear, goal and integer models) with and without the
// sensitivity analysis.
TEST(WorkspaceChecks, HoldAfterSolvingTheExamples) {
  for (const char* name : {"goals.tvd", "knapsack.tvd", "plan.tvd", "trucks.tvd"}) {
    for (int sensitivity : {0, 1}) {
      SolverSettings settings = DefaultSettings();
      settings.SENSITIVITY = sensitivity;
      reporttest::KeptRun r(ReadExample(name), settings);
      ASSERT_EQ(r.Solve(), kResultOptimal) << name;
      EXPECT_EQ(CheckWorkspaceInvariants(r.W), "") << name;
      if (sensitivity == 1 && r.W.NINT == 0) continue;  // the reports took the substitution off the matrix
      std::string why;
      EXPECT_TRUE(CheckInverse(r.W, 1e-9, &why)) << name << ": " << why;
    }
  }
}

// The same on generated models of every row type and bound case, solved to
// whatever end they come (optimal, infeasible, unbounded).
TEST(WorkspaceChecks, HoldAfterSolvingGeneratedModels) {
  testsupport::GenOptions options;
  options.maxGoals = 2;
  options.intChance = 0.2;
  options.boxAll = true;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    testsupport::Rng rng(seed);
    const testsupport::Model model = testsupport::RandomModel(rng, options);
    reporttest::KeptRun r(testsupport::WriteTavoModel(model));
    if (r.Solve() < 0) continue;
    EXPECT_EQ(CheckWorkspaceInvariants(r.W), "") << "seed " << seed;
    if (r.code == kResultDataError) continue;
    std::string why;
    EXPECT_TRUE(CheckInverse(r.W, 1e-9, &why)) << "seed " << seed << ": " << why;
  }
}

TEST(WorkspaceChecksDeathTest, CheckingBuildAbortsWithTheViolation) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Workspace W;
  TextbookBasis(W);
  EXPECT_EXIT(
      {
        AbortOnWorkspaceViolation(W, "a test");
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  W.JHEAD[1] = 5;
  EXPECT_DEATH(AbortOnWorkspaceViolation(W, "a test"), "workspace check after a test: JHEAD of row 1 is 5");
  TextbookBasis(W);
  W.BINV[0] = 1;
  EXPECT_DEATH(AbortOnWorkspaceViolation(W, "a reinversion"), "workspace check after a reinversion: BINV times");
}

}  // namespace
}  // namespace tavo
