#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "shell/numbers.h"

namespace tavo {
namespace {

TEST(ReportNumberFormat, MatchesTheRuntimeForm) {
  EXPECT_EQ(FormatReal(3), "3.");
  EXPECT_EQ(FormatReal(0), "0.");
  EXPECT_EQ(FormatReal(-2.5), "-2.5");
  EXPECT_EQ(FormatReal(1234567890), "1234567890.");
  EXPECT_EQ(FormatReal(0.05), "5.e-002");
  EXPECT_EQ(FormatReal(1e30), "1.e+030");
  EXPECT_EQ(FormatReal(-1e30), "-1.e+030");
  EXPECT_EQ(FormatReal(1234567890123.0), "1.23456789e+012");
  EXPECT_EQ(FormatReal(5e-13), "5.e-013");
  EXPECT_EQ(FormatReal(0.1234567891234), "0.1234567891");
  EXPECT_EQ(FormatReal(-3e-12), "-3.e-012");
  EXPECT_EQ(FormatReal(1e-300), "1.e-300");
}

TEST(ReportNumberFormat, RoundingThatCarriesIntoTheNextExponent) {
  // 9999999999.5 rounds to 1.000000000e10: exponent 10, so exponent form.
  EXPECT_EQ(FormatReal(9999999999.5), "1.e+010");
  // 0.099999999995 rounds up to 0.1 (exponent -1): fixed form.
  EXPECT_EQ(FormatReal(0.099999999996), "0.1");
  EXPECT_EQ(FormatReal(999999999.99999), "1000000000.");
}

TEST(Round6, HalfAwayFromZero) {
  EXPECT_DOUBLE_EQ(ROUND6(1.2345675), 1.234568);
  EXPECT_DOUBLE_EQ(ROUND6(-1.2345675), -1.234568);
  EXPECT_DOUBLE_EQ(ROUND6(0.0000004), 0.0);
  EXPECT_DOUBLE_EQ(ROUND6(-0.0000004), 0.0);
  EXPECT_DOUBLE_EQ(ROUND6(2.0), 2.0);
}

TEST(Round6, ValuesBeyondTheIntegerRangeComeBackUnchanged) {
  EXPECT_EQ(ROUND6(1e30), 1e30);
  EXPECT_EQ(ROUND6(-1e30), -1e30);
  EXPECT_EQ(ROUND6(1e12), 1e12);             // 1e19 scaled: just beyond 2^63
  EXPECT_DOUBLE_EQ(ROUND6(9.2e11), 9.2e11);  // still inside: rounded normally
  EXPECT_TRUE(std::isinf(ROUND6(INFINITY)));
}

TEST(CConversions, IgnoreTheUsersLocale) {
  // A locale with a decimal comma must not change how numbers read.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_DOUBLE_EQ(CAtof("2.5"), 2.5);
  std::setlocale(LC_NUMERIC, saved.c_str());

  EXPECT_DOUBLE_EQ(CAtof("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(CAtof(""), 0.0);
  EXPECT_DOUBLE_EQ(CAtof("abc"), 0.0);
  std::size_t used = 0;
  EXPECT_DOUBLE_EQ(CStrtod("5.0e-13xyz", &used), 5.0e-13);
  EXPECT_EQ(used, 7u);
  EXPECT_DOUBLE_EQ(CStrtod("x", &used), 0.0);
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(CAtoi("12abc"), 12);
  EXPECT_EQ(CAtoi("abc"), 0);
  EXPECT_EQ(CAtoi("-7"), -7);
  EXPECT_EQ(CAtoi(std::string(300, '9')), 2147483647);  // saturates, no overflow
}

}  // namespace
}  // namespace tavo
