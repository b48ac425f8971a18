#include "model/exchange_model.h"

#include <algorithm>
#include <charconv>
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

std::string FormatFixed(double value) {
  double v = std::fabs(value);
  if (v == 0 || !std::isfinite(v)) return "0";
  // The shortest fixed notation that reads back to the same double.
  char buf[400];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

std::string FormatShort(double value) {
  if (value == 0) return "0";
  if (std::isinf(value)) return value > 0 ? "1e+30" : "-1e+30";
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc() ? end : buf);
}

}  // namespace tavo::exchange
