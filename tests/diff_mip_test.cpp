// Differential tests of the branch and bound: seeded random integer models
// (0-1 and general integer variables, goal programs) solved by TAVO and by
// glpsol or cbc level by level. Status and every goal's value must agree,
// and TAVO's point must be integral and feasible. The models stay small so
// that the search never comes near the node-table limit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "solver/workspace.h"
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

// Denser rows and wider boxes: searches of hundreds of nodes, deep enough to
// exercise the node order, the "branch without effect" closing and the
// incumbent comparisons many times per model.
TEST(DiffMip, LongerSearches) {
  GenOptions o = SmallInteger();
  o.minVars = 10;
  o.maxVars = 14;
  o.minRows = 4;
  o.maxRows = 7;
  o.density = 0.8;
  o.coefRange = 15;
  o.intChance = 0.7;
  o.binChance = 0.2;
  o.eqChance = 0.15;
  CheckFamily("longer searches", o, 17000, 30);
}

// With a node table of a few entries the search stops early. Whatever it
// returns must still be sound: an integer-feasible point whose first goal is
// not better than the true optimum, or no solution (code 2) only when the
// table ran full.
TEST(DiffMip, SmallNodeTableStopsSoundly) {
  if (!HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  GenOptions o = SmallInteger();
  o.minVars = 8;
  o.maxVars = 12;
  o.density = 0.8;
  o.coefRange = 15;
  o.intChance = 0.7;
  o.binChance = 0.2;
  SolverSettings settings = DefaultSettings();
  settings.BB_LENGTH = 10;
  ScratchDir dir;
  int full = 0, unsound = 0;
  std::string report;
  for (std::uint64_t seed = 18000; seed < 18060; ++seed) {
    Rng rng(seed);
    Model m = RandomModel(rng, o);
    const std::string text = WriteTavoModel(m);
    TavoOutcome t = SolveWithTavo(text, settings);
    LexOutcome ref = SolveLexicographic(RefSolver::kGlpsol, m, dir.path());
    if (!t.parsed || ref.status == RefStatus::kFailed) continue;
    full += t.tableFull;
    std::string why;
    if (t.resultCode == kResultOptimal) {
      std::vector<std::string> names;
      for (const Var& v : m.vars) names.push_back(v.name);
      std::vector<double> x;
      if (!InModelOrder(t, names, x)) {
        why = "columns do not match";
      } else {
        std::string bad = CheckFeasible(m, x, 1e-6, 5e-7, true);
        if (!bad.empty()) why = "reported point not feasible: " + bad;
        if (ref.status != RefStatus::kOptimal) {
          why += " reference says " + std::string(RefStatusName(ref.status));
        } else {
          const double v = TavoGoalValue(t, 0, m.goals[0].maximize), best = ref.goals[0];
          const double tol = 1e-6 * std::max(1.0, std::fabs(best));
          if (m.goals[0].maximize ? v > best + tol : v < best - tol)
            why += " goal 1 " + std::to_string(v) + " better than the optimum " + std::to_string(best);
        }
      }
    } else if (t.resultCode == kResultInfeasible) {
      if (ref.status == RefStatus::kOptimal && !t.tableFull) why = "no solution reported without a full table";
    } else if (StatusOfResultCode(t.resultCode) != ref.status) {
      why = "result code " + std::to_string(t.resultCode) + ", reference " + RefStatusName(ref.status);
    }
    if (!why.empty()) {
      if (unsound++ < 3) report += "seed " + std::to_string(seed) + ": " + why + "\n" + text + "\n";
    }
  }
  std::printf("small node table: %d of 60 searches ran the table full, %d unsound outcomes\n", full, unsound);
  EXPECT_EQ(unsound, 0) << report;
  EXPECT_GE(full, 15) << "the table should run full in a good part of the searches";
}

}  // namespace
}  // namespace tavo::testsupport
