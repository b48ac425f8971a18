// Differential tests of the branch and bound: seeded random integer models
// (0-1 and general integer variables, goal programs) solved by TAVO and by
// glpsol or cbc level by level. Status and every goal's value must agree,
// and TAVO's point must be integral and feasible. The models stay small (at
// most 10 variables and 6 rows unless a family says otherwise, every
// variable boxed) so that the search never comes near the node-table limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "solver/workspace.h"
#include "tests/support/diff_harness.h"

namespace tavo::testsupport {
namespace {

// clang-format off
const FamilyCase kFamilies[] = {
    {"BinariesWithContinuous", 11000, 100, {.maxVars = 10, .maxRows = 6, .binChance = 0.6, .boxAll = true}},
    {"GeneralIntegersInBoxes", 12000, 100,
     {.maxVars = 10, .maxRows = 6, .intChance = 0.7, .halfCoefChance = 0.2, .boxAll = true}},
    {"IntegerGoalPrograms", 13000, 70,
     {.maxVars = 10, .maxRows = 6, .maxGoals = 3, .intChance = 0.5, .binChance = 0.2, .boxAll = true}},
    {"EqualitiesAndRanges", 14000, 60,
     {.maxVars = 10, .maxRows = 6, .rangeChance = 0.25, .eqChance = 0.25, .intChance = 0.6, .labels = true,
      .boxAll = true}},
    // Integer variables without a lower bound or with a negative one (the
    // model text declares them FREE, with SUB and bound rows).
    {"IntegersWithFreeAndNegativeBounds", 15000, 50,
     {.maxVars = 10, .maxRows = 6, .boundChance = 0.8, .freeChance = 0.25, .negBoundChance = 0.3, .intChance = 0.6}},
    // The same kind of models against a second, independent solver.
    {"MixedAgainstCbc", 16000, 40,
     {.maxVars = 10, .maxRows = 6, .maxGoals = 2, .intChance = 0.4, .binChance = 0.3, .boxAll = true},
     RefSolver::kCbc},
    // Denser rows and wider boxes: searches of hundreds of nodes, deep enough
    // to exercise the node order, the "branch without effect" closing and the
    // incumbent comparisons many times per model.
    {"LongerSearches", 17000, 30,
     {.minVars = 10, .maxVars = 14, .minRows = 4, .maxRows = 7, .coefRange = 15, .density = 0.8, .eqChance = 0.15,
      .intChance = 0.7, .binChance = 0.2, .boxAll = true}},
};
// clang-format on

class DiffMip : public testing::TestWithParam<FamilyCase> {};

TEST_P(DiffMip, AgreesWithTheReference) { ExpectFamilyAgrees(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Seeded, DiffMip, testing::ValuesIn(kFamilies), FamilyName);

// With a node table of a few entries the search stops early. Whatever it
// returns must still be sound: an integer-feasible point whose first goal is
// not better than the true optimum, or no solution (code 2) only when the
// table ran full.
TEST(DiffMip, SmallNodeTableStopsSoundly) {
  if (!HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  const GenOptions o{.minVars = 8,
                     .maxVars = 12,
                     .maxRows = 6,
                     .coefRange = 15,
                     .density = 0.8,
                     .intChance = 0.7,
                     .binChance = 0.2,
                     .boxAll = true};
  SolverSettings settings = DefaultSettings();
  settings.BB_LENGTH = 10;
  ScratchDir dir;
  int full = 0, unsound = 0, stoppedCount = 0;
  std::string report;
  for (std::uint64_t seed = 18000; seed < 18060; ++seed) {
    Rng rng(seed);
    Model m = RandomModel(rng, o);
    const std::string text = WriteTavoModel(m);
    TavoOutcome t = SolveWithTavo(text, settings);
    LexOutcome ref = SolveLexicographic(RefSolver::kGlpsol, m, dir.path());
    if (!t.parsed || ref.status == RefStatus::kFailed) continue;
    full += t.tableFull;
    // A finished search must be right; a search the table cut short must
    // say so (6 with a feasible incumbent no better than the optimum, or 7).
    std::string why;
    const bool stopped = t.resultCode == kResultForcedFeasible || t.resultCode == kResultForcedInfeasible;
    if (t.resultCode == kResultOptimal || t.resultCode == kResultForcedFeasible) {
      why = PointViolation(t, m, true);
      if (ref.status != RefStatus::kOptimal) {
        why += " reference says " + std::string(RefStatusName(ref.status));
      } else {
        const double v = TavoGoalValue(t, 0, m.goals[0].maximize), best = ref.goals[0];
        const double tol = 1e-6 * std::max(1.0, std::fabs(best));
        if (m.goals[0].maximize ? v > best + tol : v < best - tol)
          why += " goal 1 " + std::to_string(v) + " better than the optimum " + std::to_string(best);
        if (t.resultCode == kResultOptimal && std::fabs(v - best) > tol && m.goals.size() == 1)
          why += " called optimal at " + std::to_string(v) + ", optimum " + std::to_string(best);
      }
    } else if (t.resultCode == kResultForcedInfeasible) {
      if (!t.tableFull) why = "stopped without a full table";
    } else if (StatusOfResultCode(t.resultCode) != ref.status) {
      why = "result code " + std::to_string(t.resultCode) + ", reference " + RefStatusName(ref.status);
    }
    stoppedCount += stopped;
    if (!why.empty() && unsound++ < 3) report += "seed " + std::to_string(seed) + ": " + why + "\n" + text + "\n";
  }
  std::printf("small node table: %d of 60 searches ran the table full, %d were cut short, %d unsound outcomes\n", full,
              stoppedCount, unsound);
  EXPECT_EQ(unsound, 0) << report;
  EXPECT_GE(full, 15) << "the table should run full in a good part of the searches";
}

}  // namespace
}  // namespace tavo::testsupport
