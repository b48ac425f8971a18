// The bound cases: every flag byte read the same way by the classification
// and the substitution order, the flags of each case read back, declarations
// brought to their plain case, and values taken back through each case's
// substitution.
#include "solver/bound_cases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavo {
namespace {

TEST(BoundCases, ClassificationAndSubstitutionOrderAgreeOnEveryPlainCase) {
  int plain = 0;
  for (int f = 0; f < 256; ++f) {
    const auto flags = static_cast<std::uint8_t>(f);
    const BoundCase c = ClassifyBounds(flags);
    // The integer mark never changes the case.
    EXPECT_EQ(ClassifyBounds(static_cast<std::uint8_t>(flags | kBndInteger)), c) << f;
    if (c == BoundCase::kContradictory) continue;
    ++plain;
    EXPECT_EQ(SubstitutionCase(flags), c) << f;
    EXPECT_EQ(FlagsOf(c), flags & kBndCaseFlags) << f;
    EXPECT_EQ(ColumnKindOf(c), IsScaledToUnit(c)        ? kKindBounded
                               : c == BoundCase::kFixed ? kKindFixedZero
                               : c == BoundCase::kFree  ? kKindFree
                                                        : kKindNonnegative)
        << f;
  }
  EXPECT_EQ(plain, 8 * 8);  // 8 cases, each with the integer and the two high bits free
  // A contradictory combination is substituted by its first flag.
  EXPECT_EQ(SubstitutionCase(kBndUpper | kBndFixed), BoundCase::kUpperOnly);
  EXPECT_EQ(SubstitutionCase(kBndNoLower | kBndFree), BoundCase::kNonpositive);
  EXPECT_EQ(ColumnKindOf(BoundCase::kContradictory), kKindNonnegative);
}

TEST(BoundCases, DeclarationsAreBroughtToTheirPlainCase) {
  struct Case {
    std::uint8_t flags, plain;
  };
  const std::vector<Case> cases = {
      {kBndFree | kBndLower, kBndLower},                             // FREE, then SLB
      {kBndFree | kBndUpper, kBndNoLower | kBndUpper},               // FREE, then SUB
      {kBndNoLower | kBndUpper | kBndLower, kBndUpper | kBndLower},  // FREE, SUB and SLB
      {kBndFixed | kBndFree, kBndFixed},                             // fixed by its branches
      {kBndFixed | kBndNoLower, kBndFixed},
      {kBndInteger | kBndFree | kBndUpper, kBndInteger | kBndNoLower | kBndUpper},
      {kBndUpper | kBndLower, kBndUpper | kBndLower},                        // plain cases stay
      {kBndFixed | kBndFree | kBndUpper, kBndFixed | kBndFree | kBndUpper},  // contradictory stays
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseBoundFlags(c.flags), c.plain) << int(c.flags);
  EXPECT_EQ(FixedFlags(kBndInteger | kBndFree | kBndUpper | kBndLower), kBndInteger | kBndFree | kBndFixed);
}

// x from y as each case's substitution defines it, with u = 5 and l = 2.
TEST(BoundCases, BasicValuesGoBackThroughTheSubstitution) {
  const double u = 5, l = 2;
  struct Case {
    BoundCase c;
    double y, x;
  };
  const std::vector<Case> cases = {
      {BoundCase::kNonnegative, 3, 5},    // x = y, plus a lower bound value left in LBND
      {BoundCase::kLowerOnly, 3, 5},      // x = l + y
      {BoundCase::kUpperOnly, 0.5, 4.5},  // x = u*y (+ l as stored)
      {BoundCase::kBetween, 0.5, 3.5},    // x = l + (u - l)y
      {BoundCase::kNonpositive, 3, -3},   // x = -y
      {BoundCase::kAboveOnly, 3, 2},      // x = u - y
  };
  for (const Case& c : cases) EXPECT_EQ(BasicValueBack(c.c, c.y, u, l), c.x) << int(c.c);
  // A bound of 0 is no bound: nothing is scaled or added.
  EXPECT_EQ(BasicValueBack(BoundCase::kUpperOnly, 0.5, 0, 0), 0.5);
  EXPECT_EQ(BasicValueBack(BoundCase::kBetween, 0.5, 0, 0), 0.5);
}

TEST(BoundCases, ColumnsOffTheBasisTakeTheirBound) {
  const double u = 5, l = 2;
  struct Case {
    BoundCase c;
    bool atUpper, basic;
    double x;
  };
  const std::vector<Case> cases = {
      {BoundCase::kFixed, false, true, l},  // fixed: its value wherever it sits
      {BoundCase::kAboveOnly, false, false, u}, {BoundCase::kAboveOnly, false, true, 7},
      {BoundCase::kBetween, true, false, u},    {BoundCase::kBetween, false, false, l},
      {BoundCase::kBetween, false, true, 7},    {BoundCase::kLowerOnly, false, false, l},
      {BoundCase::kLowerOnly, false, true, 7},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PositionValueBack(c.c, c.atUpper, c.basic, u, l, 7), c.x)
        << int(c.c) << " at upper " << c.atUpper << " basic " << c.basic;
  // Between 0 and its upper bound (no lower bound): at its upper bound.
  EXPECT_EQ(PositionValueBack(BoundCase::kUpperOnly, true, false, u, 0, 0), u);
  EXPECT_EQ(PositionValueBack(BoundCase::kUpperOnly, false, false, u, 0, 0), 0);
}

}  // namespace
}  // namespace tavo
