// Differential fuzz of the whole run: plausible model texts (every row form,
// unlimited right-hand sides, declarations in any order with repeats and
// overrides) solved by TAVO and by glpsol level by level must agree on the
// outcome, on every goal's value and on a feasible reported point.
//
//   TAVO_DIFF_FUZZ_COUNT  number of models (default 300)
//   TAVO_DIFF_FUZZ_SEED   first seed (default 1); models use seed, seed+1, ...
//
// Each disagreement is printed with its seed and model text; running with
// TAVO_DIFF_FUZZ_SEED set to that seed and TAVO_DIFF_FUZZ_COUNT=1 replays it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "tests/support/plausible_models.h"
#include "tests/support/reference_solver.h"

namespace tavo::testsupport {
namespace {

std::uint64_t EnvNumber(const char* var, std::uint64_t fallback) {
  const char* v = std::getenv(var);
  if (!v || !*v) return fallback;
  char* end = nullptr;
  const unsigned long long n = std::strtoull(v, &end, 10);
  return end && *end == '\0' ? n : fallback;
}

// Disagreements printed in full; the rest as one line each.
constexpr int kPrintedInFull = 40;

TEST(DiffFuzz, PlausibleModelsAgreeWithGlpsol) {
  if (!HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  const int count = static_cast<int>(EnvNumber("TAVO_DIFF_FUZZ_COUNT", 300));
  const std::uint64_t first = EnvNumber("TAVO_DIFF_FUZZ_SEED", 1);
  ScratchDir dir;
  const SolverSettings settings = DefaultSettings();
  std::map<FuzzOutcome, int> outcomes;
  std::map<std::string, int> causes;
  std::string report;
  int disagreements = 0;
  for (int k = 0; k < count; ++k) {
    const std::uint64_t seed = first + static_cast<std::uint64_t>(k);
    const PlausibleModel model = PlausibleModelFor(seed);
    const FuzzVerdict v = JudgePlausibleModel(model, dir.path(), settings);
    ++outcomes[v.outcome];
    if (v.outcome == FuzzOutcome::kDisagree) {
      const std::string cause = CauseOfDisagreement(model, v, dir.path(), settings);
      ++causes[cause];
      std::string tags;
      for (const std::string& t : model.tags) tags += " " + t;
      report += "---- seed " + std::to_string(seed) + ": " + cause + " [" + tags + " ]\n";
      if (disagreements < kPrintedInFull) report += v.detail + "\n";
      ++disagreements;
    } else if (v.outcome == FuzzOutcome::kRelaxationUnbounded) {
      report += "---- seed " + std::to_string(seed) + ": unbounded relaxation of an integer model (TAVO: unbounded)\n";
    } else if (v.outcome == FuzzOutcome::kNoReference) {
      report += "---- seed " + std::to_string(seed) + ": no reference answer\n" + v.detail + "\n";
    }
  }
  std::string summary = std::to_string(count) + " models from seed " + std::to_string(first) + ":";
  for (const auto& [outcome, n] : outcomes)
    summary += std::string(" ") + FuzzOutcomeName(outcome) + " " + std::to_string(n) + ";";
  for (const auto& [cause, n] : causes) summary += "\n  " + std::to_string(n) + " x " + cause;
  std::printf("%s\n", summary.c_str());
  if (!report.empty()) std::printf("%s", report.c_str());
  EXPECT_EQ(disagreements, 0) << summary;
  EXPECT_EQ(outcomes[FuzzOutcome::kNoReference], 0) << "neither glpsol nor cbc answered some models";
  // The models exercise the solver, not only the parser and set-up.
  if (count >= 100) {
    EXPECT_GT(outcomes[FuzzOutcome::kAgreeOptimal], count / 3) << summary;
  }
}

// The parser stores exactly what the generator planned, for every feature
// the generator writes; without this a disagreement could be the
// generator's misreading. Needs no reference solver.
TEST(DiffFuzz, ParserStoresThePlannedForm) {
  for (std::uint64_t seed = 1; seed <= 1500; ++seed) {
    const PlausibleModel model = PlausibleModelFor(seed);
    const std::string why = CheckStoredAsPlanned(model);
    ASSERT_TRUE(why.empty()) << "seed " << seed << ":\n" << why << model.text;
  }
}

// The generator is a function of the seed, and over a few hundred seeds it
// writes every form the fuzz claims to cover.
TEST(DiffFuzz, GeneratorCoversTheLanguage) {
  EXPECT_EQ(PlausibleModelFor(77).text, PlausibleModelFor(77).text);
  EXPECT_NE(PlausibleModelFor(77).text, PlausibleModelFor(78).text);
  std::set<std::string> tags;
  std::string all;
  int dataErrors = 0, integerInfeasible = 0, multiGoal = 0;
  for (std::uint64_t seed = 1; seed <= 600; ++seed) {
    const PlausibleModel model = PlausibleModelFor(seed);
    for (const std::string& t : model.tags) tags.insert(t);
    all += model.text;
    dataErrors += model.expect == Expectation::kDataError;
    integerInfeasible += model.expect == Expectation::kInfeasible;
    multiGoal += model.meaning.goals.size() > 1;
  }
  for (const char* t : {"unlimited-only", "unlimited-row", "range-open-lower", "range-open-upper", "repeated-term",
                        "integer-boxed-by-row", "contradictory-bounds", "integer-without-value", "gin-then-free",
                        "free-then-sub", "free-then-int", "gin-then-fix", "fix-then-gin", "sub-then-int"})
    EXPECT_TRUE(tags.count(t)) << t;
  for (const char* word :
       {"\r\nMAX ", "\r\nMIN ", "TITLE ", "NAME ", "SUBJECT TO", ") ",   "INT ",     "GIN ",  "INTORG ", "INTEND",
        "FREE ",    "FIX ",     "SUB ",   "SLB ",  "END\r\n",    " >= ", " <= ",     " = ",   " == ",    " < ",
        " > ",      "- @",      "-@",     " @",    ",",          "! ",   "\r\n  + ", "\r\n- "})
    EXPECT_NE(all.find(word), std::string::npos) << word;
  EXPECT_GT(dataErrors, 5);
  EXPECT_GT(integerInfeasible, 0);
  EXPECT_GT(multiGoal, 150);
}

}  // namespace
}  // namespace tavo::testsupport
