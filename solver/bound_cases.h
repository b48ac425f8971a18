// The bound cases of a structural column: which combination of bound flags
// (BNDFLG) means which kind of variable, how set-up substitutes it into a
// variable y of the standard form, which simplex kind y gets, and how a value
// of y maps back to the model's variable x. Set-up, the branch and bound, the
// reports and the test harness all read the flags through these functions.
//
//   case            flags (integer bit aside)   x in terms of y       kind of y
//   kNonnegative    none                        x = y                 nonnegative
//   kLowerOnly      lower                       x = l + y             nonnegative
//   kUpperOnly      upper                       x = u*y               between 0 and 1
//   kBetween        upper | lower               x = l + (u - l)*y     between 0 and 1
//   kFixed          fixed                       x = l                 fixed at zero
//   kNonpositive    no-lower                    x = -y                nonnegative
//   kAboveOnly      no-lower | upper            x = u - y             nonnegative
//   kFree           free                        x = y                 free
//   kContradictory  any other combination       (set-up reports it)   nonnegative
#pragma once

#include <cstdint>
#include <limits>

#include "solver/workspace.h"

namespace tavo {

enum class BoundCase : std::uint8_t {
  kNonnegative,
  kLowerOnly,
  kUpperOnly,
  kBetween,
  kFixed,
  kNonpositive,
  kAboveOnly,
  kFree,
  kContradictory,
};

// Every bound flag except the integer mark, which never changes the case.
constexpr std::uint8_t kBndCaseFlags = kBndUpper | kBndLower | kBndFixed | kBndNoLower | kBndFree;
// The flags a node's branching never touches: free, integer and the unused
// high bits.
constexpr std::uint8_t kBndHighNibble = 0xF0;

inline bool IsInteger(std::uint8_t flags) { return (flags & kBndInteger) != 0; }

// Both an upper and a lower bound are declared (whatever else is set).
inline bool HasBothBounds(std::uint8_t flags) { return (flags & (kBndUpper | kBndLower)) == (kBndUpper | kBndLower); }

// The flags that spell each plain case (the integer mark aside): the one
// table both directions are read from.
struct BoundCaseFlags {
  BoundCase boundCase;
  std::uint8_t flags;
};
inline constexpr BoundCaseFlags kBoundCaseTable[] = {
    {BoundCase::kNonnegative, 0},
    {BoundCase::kLowerOnly, kBndLower},
    {BoundCase::kUpperOnly, kBndUpper},
    {BoundCase::kBetween, kBndUpper | kBndLower},
    {BoundCase::kFixed, kBndFixed},
    {BoundCase::kNonpositive, kBndNoLower},
    {BoundCase::kAboveOnly, kBndNoLower | kBndUpper},
    {BoundCase::kFree, kBndFree},
};

// The case the flags spell exactly (the integer mark aside). This decides the
// column's kind and how the reports take its value back.
inline BoundCase ClassifyBounds(std::uint8_t flags) {
  const std::uint8_t f = flags & kBndCaseFlags;
  for (const BoundCaseFlags& entry : kBoundCaseTable) {
    if (entry.flags == f) return entry.boundCase;
  }
  return BoundCase::kContradictory;
}

// The flags that spell a case (no integer mark; kContradictory, which no
// flags spell, gives fixed | free).
inline std::uint8_t FlagsOf(BoundCase c) {
  for (const BoundCaseFlags& entry : kBoundCaseTable) {
    if (entry.boundCase == c) return entry.flags;
  }
  return kBndFixed | kBndFree;
}

// The case by which set-up substitutes the column and the branch and bound
// takes the substitution off again: the first flag set in the order
// no-lower, lower, upper, fixed. For every combination ClassifyBounds accepts
// it is the same case; a contradictory combination (which set-up reports and
// refuses to solve) is still substituted and undone the same way.
inline BoundCase SubstitutionCase(std::uint8_t flags) {
  if (flags & kBndNoLower)
    return (flags & kBndCaseFlags) == (kBndNoLower | kBndUpper) ? BoundCase::kAboveOnly : BoundCase::kNonpositive;
  if (flags & kBndLower) return (flags & kBndUpper) ? BoundCase::kBetween : BoundCase::kLowerOnly;
  if (flags & kBndUpper) return BoundCase::kUpperOnly;
  if (flags & kBndFixed) return BoundCase::kFixed;
  return (flags & kBndFree) ? BoundCase::kFree : BoundCase::kNonnegative;
}

// The substitution negates the column (x = -y or x = u - y), so its reduced
// cost changes sign in the model's terms.
inline bool IsNegated(BoundCase c) { return c == BoundCase::kNonpositive || c == BoundCase::kAboveOnly; }

// The substitution scales y to lie between 0 and 1.
inline bool IsScaledToUnit(BoundCase c) { return c == BoundCase::kUpperOnly || c == BoundCase::kBetween; }

// The simplex kind (COLKND) of a structural column in this case. A
// contradictory column is given the nonnegative kind; set-up reports it.
inline std::uint8_t ColumnKindOf(BoundCase c) {
  switch (c) {
    case BoundCase::kUpperOnly:
    case BoundCase::kBetween:
      return kKindBounded;
    case BoundCase::kFixed:
      return kKindFixedZero;
    case BoundCase::kFree:
      return kKindFree;
    default:
      return kKindNonnegative;
  }
}

// The flags of a column fixed at its lower bound by meeting bounds: the high
// nibble (free, integer) kept, the bound flags replaced by the fixed flag.
inline std::uint8_t FixedFlags(std::uint8_t flags) {
  return static_cast<std::uint8_t>((flags & kBndHighNibble) | kBndFixed);
}

// Brings the combinations that declarations and branchings leave into the
// plain cases: a free or bounded-above-only column that received a lower
// bound from a branch has that lower bound; a free column that received an
// upper bound only is bounded above only; a column fixed by its branches is
// fixed. At the root none of these combinations reach here except "no lower
// bound, upper bound, lower bound" (FREE, SUB and SLB of one variable), which
// means the variable lies between its two bounds.
inline std::uint8_t NormaliseBoundFlags(std::uint8_t f) {
  std::uint8_t low = f & kBndCaseFlags;
  const std::uint8_t high = f & static_cast<std::uint8_t>(~kBndCaseFlags);
  if ((low & kBndFixed) && (low & (kBndFree | kBndNoLower)) && !(low & (kBndUpper | kBndLower))) low = kBndFixed;
  if ((low & kBndFree) && (low & (kBndUpper | kBndLower)) && !(low & kBndFixed)) {
    low &= static_cast<std::uint8_t>(~kBndFree);
    if ((low & (kBndUpper | kBndLower)) == kBndUpper) low |= kBndNoLower;
  }
  if ((low & kBndNoLower) && (low & kBndLower)) low &= static_cast<std::uint8_t>(~kBndNoLower);
  return static_cast<std::uint8_t>(high | low);
}

// The bounds the model language gives a column from its parsed flags and
// values (u, l: UBND, LBND), the integer mark aside: lo and up, infinite
// where there is no bound. False when the combination contradicts itself
// (set-up refuses it). The declarations' orders that leave extra marks mean:
// INT after FREE, a 0-1 variable; FREE, SUB and SLB, both bounds; an upper
// bound equal to the lower one fixes the variable there.
inline bool DeclaredBounds(std::uint8_t flags, double u, double l, double& lo, double& up) {
  constexpr double kNone = std::numeric_limits<double>::infinity();
  std::uint8_t t = flags & kBndCaseFlags;
  if (t == (kBndFree | kBndUpper)) t = kBndUpper;
  if (t == (kBndNoLower | kBndUpper | kBndLower)) t = kBndUpper | kBndLower;
  const bool upperOnTop = (t & kBndUpper) && !(t & kBndNoLower);
  if (upperOnTop && u == l) t = static_cast<std::uint8_t>((t & ~(kBndUpper | kBndLower)) | kBndFixed);
  if (upperOnTop && u < l) return false;
  switch (ClassifyBounds(t)) {
    case BoundCase::kNonnegative:
      lo = 0, up = kNone;
      return true;
    case BoundCase::kUpperOnly:
      lo = 0, up = u;
      return true;
    case BoundCase::kLowerOnly:
      lo = l, up = kNone;
      return true;
    case BoundCase::kBetween:
      lo = l, up = u;
      return true;
    case BoundCase::kFixed:
      lo = up = l;
      return true;
    case BoundCase::kNonpositive:
      lo = -kNone, up = 0;
      return true;
    case BoundCase::kAboveOnly:
      lo = -kNone, up = u;
      return true;
    case BoundCase::kFree:
      lo = -kNone, up = kNone;
      return true;
    case BoundCase::kContradictory:
      break;
  }
  return false;
}

// The model's value of a basic column from its value y in the standard form
// (u, l: UBND, LBND). A scale or bound that is 0 is not applied: a bound of 0
// with its flag cleared means "no bound".
inline double BasicValueBack(BoundCase c, double y, double u, double l) {
  switch (c) {
    case BoundCase::kNonpositive:
      return -y;
    case BoundCase::kAboveOnly:
      return -y + u;
    case BoundCase::kUpperOnly:
      if (u != 0) y *= u;
      break;
    case BoundCase::kBetween:
      if (u != 0) y *= (u - l);
      break;
    default:
      break;
  }
  // A free column has no lower bound: its LBND may still hold the value of
  // an SLB or FIX written before its FREE.
  if (l != 0 && c != BoundCase::kFree) y += l;
  return y;
}

// The model's value of a column from where it sits off the basis (or, fixed,
// anywhere): `value` is the value so far (0), returned unchanged where the
// position says nothing. `atUpper` is ATUPR, `basic` whether KINBAS is set.
inline double PositionValueBack(BoundCase c, bool atUpper, bool basic, double u, double l, double value) {
  switch (c) {
    case BoundCase::kFixed:
      return l;
    case BoundCase::kNonpositive:
    case BoundCase::kAboveOnly:
      return basic ? value : u;
    case BoundCase::kBetween:
      if (atUpper) return u;
      return basic ? value : l;
    default:
      if (c == BoundCase::kUpperOnly && atUpper) value = u;
      if (c != BoundCase::kFree && l != 0 && !basic) value = l;
      return value;
  }
}

}  // namespace tavo
