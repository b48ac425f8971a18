// Number conversions of the system: the report number format, six-decimal
// rounding and the C library's conversions, all independent of the user's
// locale (the decimal point is always ".").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavo {

// The report number format: 10 significant digits. With e the decimal exponent
// of the rounded value, fixed notation when -1 <= e <= 9, otherwise a mantissa
// and a signed three-digit exponent; trailing zeros dropped, the decimal point
// always kept. 3 -> "3.", 0.05 -> "5.e-002", 1e30 -> "1.e+030".
std::string FormatReal(double value);

// Plain decimal integer with a leading minus sign for negatives.
std::string FormatInt(long long value);

// Rounds half away from zero to six decimals, through a 64-bit integer.
// A value whose scaled form does not fit that integer (or is not finite) is
// returned unchanged instead of overflowing.
double ROUND6(double x);

// The C library's conversions in the "C" locale.
double CAtof(std::string_view text);
int CAtoi(std::string_view text);
// strtod: the longest leading part that forms a number; `consumed` (optional)
// receives its length, 0 when the text does not begin with a number.
double CStrtod(std::string_view text, std::size_t* consumed = nullptr);

}  // namespace tavo
