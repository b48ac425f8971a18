// Differential tests of the linear solver: seeded random models, solved by
// TAVO and by glpsol (goal programs level by level), must agree on status and
// on every goal's value, and TAVO's activities must satisfy the model.
// A failure prints the model text and both answers; the seed reproduces it.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/diff_harness.h"

namespace tavo::testsupport {
namespace {

// clang-format off
const FamilyCase kFamilies[] = {
    {"SingleGoalMixedRows", 1000, 160, {}},
    {"GoalProgramsLevelByLevel", 2000, 120, {.minVars = 3, .maxGoals = 3}},
    {"RangesEqualitiesAndLabels", 3000, 80,
     {.maxGoals = 2, .rangeChance = 0.35, .eqChance = 0.2, .geChance = 0.2, .labels = true}},
    {"FreeFixedAndNegativeBounds", 4000, 80,
     {.maxGoals = 2, .boundChance = 0.4, .freeChance = 0.3, .negBoundChance = 0.25}},
    // Small coefficient ranges and dense rows give many ties in pricing and
    // in the ratio test, and degenerate vertices (the right-hand sides come
    // from an integral point).
    {"DegenerateAndTied", 5000, 80, {.minRows = 4, .maxGoals = 2, .coefRange = 2, .density = 0.9, .halfCoefChance = 0}},
    // Wider models than the rest, up to the size the suite allows.
    {"LargerModels", 6000, 60,
     {.minVars = 8, .maxVars = 12, .minRows = 6, .maxRows = 10, .maxGoals = 2, .rangeChance = 0.15}},
    // Medium models whose solves run past 3 m iterations, where the cycling
    // history starts to bar (entering column, leaving row) pairs.
    {"MediumDegenerateModelsReachTheCyclingHistory", 7000, 40,
     {.minVars = 40, .maxVars = 60, .minRows = 25, .maxRows = 40, .coefRange = 2, .density = 0.5, .eqChance = 0.15,
      .halfCoefChance = 0, .budgetRowChance = 0.8}},
    // Small models with a reinversion every two iterations, which rebuilds
    // the inverse and the basic values mid-solve and sends phase 2 back
    // through the feasibility test.
    {"FrequentReinversion", 8000, 100, {.maxGoals = 2, .rangeChance = 0.2, .freeChance = 0.15}, RefSolver::kGlpsol,
     /*noInvert=*/2},
};
// clang-format on

class DiffLp : public testing::TestWithParam<FamilyCase> {};

TEST_P(DiffLp, AgreesWithGlpsol) { ExpectFamilyAgrees(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Seeded, DiffLp, testing::ValuesIn(kFamilies), FamilyName);

// The parser stores exactly the model written: random models of every
// feature, then a long row broken over lines with awkward numbers.
TEST(DiffLpModelText, ReadsBackExactly) {
  GenOptions o{.maxGoals = 3,
               .rangeChance = 0.3,
               .freeChance = 0.2,
               .negBoundChance = 0.2,
               .intChance = 0.2,
               .binChance = 0.1,
               .halfCoefChance = 0.5};
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    Rng rng(seed);
    o.labels = seed % 2 == 0;
    const Model m = RandomModel(rng, o);
    const std::string text = WriteTavoModel(m);
    ASSERT_EQ(CheckModelTextReadsBack(m, text), "") << "seed " << seed << "\n" << text;
  }
  Model m;
  Goal g{true, {}};
  Row r{"LONGROW", {}, Sense::kRange, 0, -0.000123, 98765432.125};
  for (int j = 0; j < 30; ++j) {
    m.vars.push_back({"V" + std::to_string(j + 1)});
    g.terms.push_back({j, (j % 3 == 0 ? -1 : 1) * (j + 0.1)});
    r.terms.push_back({j, (j % 2 == 0 ? -1 : 1) * 1.0 / (j + 3)});
  }
  m.goals.push_back(g);
  m.rows.push_back(r);
  m.rows.push_back({"", {{4, 1e-7}, {29, 123456789012.5}}, Sense::kGe, -1e-5});
  EXPECT_EQ(CheckModelTextReadsBack(m, WriteTavoModel(m)), "") << WriteTavoModel(m);
}

}  // namespace
}  // namespace tavo::testsupport
