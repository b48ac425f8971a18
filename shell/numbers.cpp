#include "shell/numbers.h"

#include <locale.h>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tavo {
namespace {

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

void StripTrailingZeros(std::string& digits) {
  // `digits` holds a mantissa with a decimal point; zeros after it go, the
  // point stays.
  std::size_t dot = digits.find('.');
  if (dot == std::string::npos) {
    digits.push_back('.');
    return;
  }
  std::size_t end = digits.size();
  while (end > dot + 1 && digits[end - 1] == '0') --end;
  digits.resize(end);
}

}  // namespace

std::string FormatReal(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  if (value == 0.0) return "0.";
  char buf[64];
  // Round to 10 significant digits first; its exponent decides the notation.
  std::snprintf(buf, sizeof buf, "%.9e", value);
  std::string s(buf);
  std::size_t epos = s.find('e');
  int exponent = std::atoi(s.c_str() + epos + 1);
  if (exponent >= -1 && exponent <= 9) {
    std::snprintf(buf, sizeof buf, "%.*f", 9 - exponent, value);
    std::string fixed(buf);
    StripTrailingZeros(fixed);
    return fixed;
  }
  std::string mantissa = s.substr(0, epos);
  StripTrailingZeros(mantissa);
  std::snprintf(buf, sizeof buf, "e%c%03d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
  return mantissa + buf;
}

std::string FormatInt(long long value) { return std::to_string(value); }

double ROUND6(double x) {
  double scaled = x >= 0 ? (x * 1.0e7 + 5.0) / 10.0 : (x * 1.0e7 - 5.0) / 10.0;
  // 2^63 is exactly representable; anything at or beyond it cannot be
  // truncated into a signed 64-bit integer.
  if (!(std::fabs(scaled) < 9223372036854775808.0)) return x;
  return static_cast<double>(static_cast<long long>(scaled)) / 1.0e6;
}

double CStrtod(std::string_view text, std::size_t* consumed) {
  std::string copy(text);  // strtod needs a terminated string
  char* end = nullptr;
  double v = strtod_l(copy.c_str(), &end, CLocale());
  if (consumed) *consumed = static_cast<std::size_t>(end - copy.c_str());
  return v;
}

double CAtof(std::string_view text) { return CStrtod(text); }

int CAtoi(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate in 64 bits and saturate, so that a number of hundreds of
  // digits gives INT_MAX rather than undefined behaviour.
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v <= INT_MAX) v = v * 10 + (text[i] - '0');
  }
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace tavo
