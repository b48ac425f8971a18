// The faults the differential fuzz found, each as the smallest model text
// that showed it, and the declaration orders whose meaning the language
// fixes (so that the fuzz's reading of them stays the solver's reading).
// Every case runs the whole parse, set-up and solve in-process.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "shell/calc_result.h"
#include "shell/settings.h"
#include "tests/support/tavo_runner.h"

namespace tavo::testsupport {
namespace {

struct RunCase {
  const char* what;
  const char* text;  // lines separated by '/', written with CR LF
  int resultCode;
  std::map<std::string, double> values;  // expected activities by column name
};

std::string Text(const char* lines) {
  std::string out;
  for (const char* c = lines; *c; ++c) {
    if (*c == '/') {
      out += "\r\n";
    } else {
      out += *c;
    }
  }
  return out + "\r\n";
}

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.what; }

// clang-format off
const RunCase kCases[] = {
    // A variable standing only in a row whose right-hand side is unlimited
    // is held by nothing; the rest of the model decides the answer.
    {"UnlimitedRowDoesNotMakeABoundedModelUnbounded", "MIN D/ST/D <= 3/- Y <= @/END", kResultOptimal, {{"D", 0}, {"Y", 0}}},
    {"UnlimitedLowerRowDoesNotMakeABoundedModelUnbounded", "MAX X/ST/X <= 10/B >= - @/END", kResultOptimal, {{"X", 10}, {"B", 0}}},
    {"VariableInAnUnlimitedRowStaysAtZero", "MAX X/ST/X <= 10/B <= @/END", kResultOptimal, {{"X", 10}, {"B", 0}}},
    {"VariableInAnUnlimitedRowWithOthersStaysAtZero", "MIN Y/ST/Y >= 1/3X + Y <= @/END/FREE X", kResultOptimal, {{"X", 0}, {"Y", 1}}},
    // A goal held only by an unlimited row is unbounded, whatever the coefficient.
    {"GoalHeldOnlyByAnUnlimitedRowIsUnbounded", "MAX X/ST/2X <= @/END", kResultUnbounded, {}},
    {"GoalHeldOnlyByAnUnlimitedLowerRowIsUnbounded", "MIN X/ST/Y = 4/3X >= - @/END/FREE X", kResultUnbounded, {}},
    {"InfeasibleBesideAnUnlimitedRowStaysInfeasible", "MAX B/ST/2U <= - 2/3U + B <= @/END", kResultInfeasible, {}},
    // A two-sided row with one side written @ is the one-sided row on its
    // other side; both sides @ restrict nothing.
    {"OpenUpperSideKeepsTheLowerSide", "MIN X/ST/2 <= X <= @/END", kResultOptimal, {{"X", 2}}},
    {"OpenFirstValueKeepsTheLowerSide", "MIN X/ST/@ >= X >= 2/END", kResultOptimal, {{"X", 2}}},
    {"OpenLowerSideKeepsTheUpperSide", "MAX X/ST/- @ <= X <= 5/END", kResultOptimal, {{"X", 5}}},
    {"OpenSecondValueKeepsTheUpperSide", "MAX X/ST/5 >= X >= - @/END", kResultOptimal, {{"X", 5}}},
    {"OpenLowerSideOfAFreeSum", "MIN X/ST/- @ <= X - Y <= 5/Y <= 2/END/FREE X", kResultUnbounded, {}},
    {"OpenSideOfANegatedRow", "MAX R/ST/@ >= - R >= 1/END/FREE R", kResultOptimal, {{"R", -1}}},
    {"BothSidesOpenRestrictNothing", "MAX X/ST/- @ <= X - Y <= @/X <= 4/END", kResultOptimal, {{"X", 4}, {"Y", 0}}},
    // FREE leaves the values of an earlier SLB, SUB or FIX behind; they
    // must not move the variable or its branches.
    {"FreeAfterSlbBasic", "MIN GO/ST/GO >= - 3/END/SLB GO 1/FREE GO", kResultOptimal, {{"GO", -3}}},
    {"FreeAfterFix", "MIN Y + X/ST/Y >= 1/X >= - 4/END/FIX X 1/FREE X", kResultOptimal, {{"X", -4}, {"Y", 1}}},
    {"FreeIntegerAfterSubBranchesPastTheOldBound", "MIN - GO/ST/GO <= 2.5/END/SUB GO 1/FREE GO/GIN GO", kResultOptimal, {{"GO", 2}}},
    {"FreeIntegerAfterSlbBranchesPastTheOldBound", "MIN GO/ST/GO >= - 2.5/END/SLB GO 3/FREE GO/GIN GO", kResultOptimal, {{"GO", -2}}},
    // Declarations in the order written: FIX and FREE replace every earlier
    // flag, the integer mark included; GIN after FIX keeps the variable
    // fixed and integer.
    {"FixAfterGinIsContinuous", "MAX X/ST/X <= 10/GIN X/FIX X 1.5", kResultOptimal, {{"X", 1.5}}},
    {"GinAfterFixAtAFractionHasNoSolution", "MAX X/ST/X <= 10/FIX X 1.5/GIN X", kResultInfeasible, {}},
    {"FreeAfterGinIsContinuous", "MAX O/ST/O <= 10.5/GIN O/FREE O", kResultOptimal, {{"O", 10.5}}},
    {"SubAfterFreeIntegerDropsTheIntegerMark", "MAX O/ST/O <= 10.5/FREE O/GIN O/SUB O 8.5", kResultOptimal, {{"O", 8.5}}},
    {"IntAfterFreeIsZeroOne", "MAX O/ST/O <= 10.5/FREE O/INT O", kResultOptimal, {{"O", 1}}},
};
// clang-format on

class DiffFuzzCases : public testing::TestWithParam<RunCase> {};

TEST_P(DiffFuzzCases, SolvesAsTheModelMeans) {
  const RunCase& c = GetParam();
  const std::string text = Text(c.text);
  const TavoOutcome t = SolveWithTavo(text, DefaultSettings());
  ASSERT_TRUE(t.parsed) << text;
  ASSERT_EQ(t.resultCode, c.resultCode) << text;
  for (const auto& [name, want] : c.values) {
    bool found = false;
    for (std::size_t j = 0; j < t.names.size() && j < t.x.size(); ++j) {
      if (t.names[j] != name) continue;
      found = true;
      EXPECT_NEAR(t.x[j], want, 1e-6) << name << "\n" << text;
    }
    EXPECT_TRUE(found) << name << " is not a column\n" << text;
  }
  for (double v : t.x) EXPECT_LT(std::fabs(v), 1e15) << "a value stands at infinity\n" << text;
}

std::string CaseName(const testing::TestParamInfo<RunCase>& info) { return info.param.what; }

INSTANTIATE_TEST_SUITE_P(Found, DiffFuzzCases, testing::ValuesIn(kCases), CaseName);

}  // namespace
}  // namespace tavo::testsupport
