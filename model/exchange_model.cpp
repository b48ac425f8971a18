#include "model/exchange_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavo::exchange {

bool Model::HasIntegers() const {
  for (const Var& v : vars)
    if (v.kind != VarKind::kContinuous) return true;
  return false;
}

double Model::Lower(int j) const { return vars[j].kind == VarKind::kBinary ? 0.0 : vars[j].lower; }

double Model::Upper(int j) const { return vars[j].kind == VarKind::kBinary ? 1.0 : vars[j].upper; }

Row Plain(const Row& r) {
  Row plain = r;
  if (r.sense != Sense::kRange || (r.lo == -kInf && r.hi == kInf)) return plain;
  if (r.lo == -kInf) {
    plain.sense = Sense::kLe, plain.rhs = r.hi;
  } else if (r.hi == kInf) {
    plain.sense = Sense::kGe, plain.rhs = r.lo;
  } else if (r.lo == r.hi) {
    plain.sense = Sense::kEq, plain.rhs = r.lo;
  }
  return plain;
}

namespace {

// The fewest significant digits (1..17) that read back to |value|.
int ShortestDigits(double v) {
  char buf[64];
  for (int p = 1; p <= 17; ++p) {
    std::snprintf(buf, sizeof buf, "%.*e", p - 1, v);
    if (std::strtod(buf, nullptr) == v) return p;
  }
  return 17;
}

}  // namespace

std::string FormatFixed(double value) {
  double v = std::fabs(value);
  if (v == 0 || !std::isfinite(v)) return "0";
  char buf[512];
  const int digits = ShortestDigits(v);
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
  int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  int decimals = std::max(0, digits - 1 - exponent);
  if (decimals > 340) decimals = 340;
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

std::string FormatShort(double value) {
  if (value == 0) return "0";
  if (std::isinf(value)) return value > 0 ? "1e+30" : "-1e+30";
  char buf[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", value);
    return buf;
  }
  for (int p = 1; p <= 17; ++p) {
    std::snprintf(buf, sizeof buf, "%.*g", p, value);
    if (std::strtod(buf, nullptr) == value) break;
  }
  return buf;
}

}  // namespace tavo::exchange
