// Differential tests of the branch and bound: seeded random integer models
// (0-1 and general integer variables, goal programs) solved by TAVO and by
// glpsol or cbc level by level. Status and every goal's value must agree,
// and TAVO's point must be integral and feasible. The models stay small so
// that the search never comes near the node-table limit.
#include <gtest/gtest.h>

#include "tests/support/diff_harness.h"

namespace tavo::testsupport {
namespace {

GenOptions SmallInteger() {
  GenOptions o;
  o.minVars = 2;
  o.maxVars = 10;
  o.minRows = 2;
  o.maxRows = 6;
  o.coefRange = 9;
  o.boxAll = true;
  return o;
}

void CheckFamily(const char* name, const GenOptions& options, std::uint64_t seedBase, int count,
                 RefSolver solver = RefSolver::kGlpsol) {
  if (solver == RefSolver::kGlpsol && !HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  if (solver == RefSolver::kCbc && !HaveCbc()) GTEST_SKIP() << "cbc is not installed";
  FamilySummary s = RunFamily(options, seedBase, count, solver);
  std::printf("%s\n", SummaryLine(name, s).c_str());
  EXPECT_EQ(s.mismatches, 0) << SummaryLine(name, s) << "\n" << s.report;
  EXPECT_EQ(s.referenceFailed, 0);
  EXPECT_GT(s.optimal, count / 4) << SummaryLine(name, s);
}

TEST(DiffMip, BinariesWithContinuous) {
  GenOptions o = SmallInteger();
  o.binChance = 0.6;
  CheckFamily("binaries", o, 11000, 100);
}

TEST(DiffMip, GeneralIntegersInBoxes) {
  GenOptions o = SmallInteger();
  o.intChance = 0.7;
  o.halfCoefChance = 0.2;
  CheckFamily("general integers", o, 12000, 100);
}

TEST(DiffMip, IntegerGoalPrograms) {
  GenOptions o = SmallInteger();
  o.intChance = 0.5;
  o.binChance = 0.2;
  o.maxGoals = 3;
  CheckFamily("integer goal programs", o, 13000, 70);
}

TEST(DiffMip, EqualitiesAndRanges) {
  GenOptions o = SmallInteger();
  o.intChance = 0.6;
  o.eqChance = 0.25;
  o.rangeChance = 0.25;
  o.labels = true;
  CheckFamily("integer equalities and ranges", o, 14000, 60);
}

// Integer variables without a lower bound or with a negative one (the model
// text declares them FREE, with SUB and bound rows).
TEST(DiffMip, IntegersWithFreeAndNegativeBounds) {
  GenOptions o = SmallInteger();
  o.boxAll = false;
  o.intChance = 0.6;
  o.freeChance = 0.25;
  o.negBoundChance = 0.3;
  o.boundChance = 0.8;
  CheckFamily("free and negative integers", o, 15000, 50);
}

// The same kind of models against a second, independent solver.
TEST(DiffMip, MixedAgainstCbc) {
  GenOptions o = SmallInteger();
  o.intChance = 0.4;
  o.binChance = 0.3;
  o.maxGoals = 2;
  CheckFamily("mixed (cbc)", o, 16000, 40, RefSolver::kCbc);
}

}  // namespace
}  // namespace tavo::testsupport
