// Differential tests of the linear solver: seeded random models, solved by
// TAVO and by glpsol (goal programs level by level), must agree on status and
// on every goal's value, and TAVO's activities must satisfy the model.
// A failure prints the model text and both answers; the seed reproduces it.
#include <gtest/gtest.h>

#include "tests/support/diff_harness.h"

namespace tavo::testsupport {
namespace {

void CheckFamily(const char* name, const GenOptions& options, std::uint64_t seedBase, int count,
                 const SolverSettings& settings = DefaultSettings()) {
  if (!HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  FamilySummary s = RunFamily(options, seedBase, count, RefSolver::kGlpsol, 3, settings);
  std::printf("%s\n", SummaryLine(name, s).c_str());
  EXPECT_EQ(s.mismatches, 0) << SummaryLine(name, s) << "\n" << s.report;
  EXPECT_EQ(s.referenceFailed, 0) << "glpsol gave no answer for some models";
  // The family must exercise the solver, not only the parser.
  EXPECT_GT(s.optimal, count / 4) << SummaryLine(name, s);
}

TEST(DiffLp, SingleGoalMixedRows) {
  GenOptions o;
  CheckFamily("single goal", o, 1000, 160);
}

TEST(DiffLp, GoalProgramsLevelByLevel) {
  GenOptions o;
  o.maxGoals = 3;
  o.minVars = 3;
  CheckFamily("goal programs", o, 2000, 120);
}

TEST(DiffLp, RangesEqualitiesAndLabels) {
  GenOptions o;
  o.labels = true;
  o.rangeChance = 0.35;
  o.eqChance = 0.2;
  o.geChance = 0.2;
  o.maxGoals = 2;
  CheckFamily("ranges and labels", o, 3000, 80);
}

TEST(DiffLp, FreeFixedAndNegativeBounds) {
  GenOptions o;
  o.freeChance = 0.3;
  o.negBoundChance = 0.25;
  o.boundChance = 0.4;
  o.maxGoals = 2;
  CheckFamily("free and negative bounds", o, 4000, 80);
}

// Small coefficient ranges and dense rows give many ties in pricing and in
// the ratio test, and degenerate vertices (the right-hand sides come from an
// integral point).
TEST(DiffLp, DegenerateAndTied) {
  GenOptions o;
  o.coefRange = 2;
  o.density = 0.9;
  o.halfCoefChance = 0;
  o.minRows = 4;
  o.maxGoals = 2;
  CheckFamily("degenerate and tied", o, 5000, 80);
}

// Wider models than the rest, up to the size the suite allows.
TEST(DiffLp, LargerModels) {
  GenOptions o;
  o.minVars = 8;
  o.maxVars = 12;
  o.minRows = 6;
  o.maxRows = 10;
  o.maxGoals = 2;
  o.rangeChance = 0.15;
  CheckFamily("larger", o, 6000, 60);
}

// Medium models whose solves run past 3 m iterations, where the cycling
// history starts to bar (entering column, leaving row) pairs.
TEST(DiffLp, MediumDegenerateModelsReachTheCyclingHistory) {
  GenOptions o;
  o.minVars = 40;
  o.maxVars = 60;
  o.minRows = 25;
  o.maxRows = 40;
  o.coefRange = 2;
  o.density = 0.5;
  o.halfCoefChance = 0;
  o.eqChance = 0.15;
  o.budgetRowChance = 0.8;
  CheckFamily("medium degenerate", o, 7000, 40);
}

// The same small models with a reinversion every few iterations, which
// rebuilds the inverse and the basic values mid-solve and sends phase 2 back
// through the feasibility test.
TEST(DiffLp, FrequentReinversion) {
  GenOptions o;
  o.maxGoals = 2;
  o.freeChance = 0.15;
  o.rangeChance = 0.2;
  SolverSettings s = DefaultSettings();
  s.NOINVERT = 2;
  CheckFamily("frequent reinversion", o, 8000, 100, s);
}

}  // namespace
}  // namespace tavo::testsupport
