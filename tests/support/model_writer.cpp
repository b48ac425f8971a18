#include "tests/support/model_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tavo::testsupport {

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
  // The fewest significant digits that read back to the same double.
  char buf[512];
  int digits = 17;
  for (int p = 1; p <= 17; ++p) {
    std::snprintf(buf, sizeof buf, "%.*e", p - 1, v);
    if (std::strtod(buf, nullptr) == v) {
      digits = p;
      break;
    }
  }
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

namespace {

constexpr int kTermsPerLine = 8;
// How a long row goes on in the next line: the model text's and the LP file's.
constexpr const char* kTavoBreak = "\r\n ";
constexpr const char* kLpBreak = "\n   ";

// Appends the terms "3 X1 - 2 X2 + 0.5 X3", starting a new line with
// `lineBreak` every few terms (a continuation line starts with its sign word).
// With `afterOperator` (the terms of a two-sided row of the model text follow
// its first operator) an unsigned first term is written with its coefficient
// attached ("5X1"): a detached number right after an operator reads as a
// right-hand side.
void AppendTerms(std::string& out, const Model& model, const std::vector<Term>& terms, const char* lineBreak,
                 bool afterOperator = false) {
  for (std::size_t k = 0; k < terms.size(); ++k) {
    const Term& t = terms[k];
    if (k > 0 && k % kTermsPerLine == 0) out += lineBreak;
    if (t.coef < 0)
      out += (k == 0 ? "- " : " - ");
    else if (k > 0)
      out += " + ";
    out += FormatFixed(t.coef);
    if (!(afterOperator && k == 0 && t.coef >= 0)) out += ' ';
    out += model.vars[t.var].name;
  }
}

// A signed number for the model text: "5" or "- 5".
std::string TavoSigned(double v) { return v < 0 ? "- " + FormatFixed(v) : FormatFixed(v); }

std::string LpSigned(double v) { return v < 0 ? "-" + FormatFixed(v) : FormatFixed(v); }

}  // namespace

std::string WriteTavoModel(const Model& model) {
  const int n = static_cast<int>(model.vars.size());
  std::string out;
  if (!model.title.empty()) out += "TITLE " + model.title + "\r\n";
  for (const Goal& g : model.goals) {
    out += g.maximize ? "MAX " : "MIN ";
    AppendTerms(out, model, g.terms, kTavoBreak);
    out += "\r\n";
  }
  out += "ST\r\n";

  // Rows written for bounds that a declaration cannot carry.
  struct BoundRow {
    int var;
    std::string text;  // "<= 5", ">= - 3", or a whole two-sided line
    bool twoSided;
  };
  std::vector<BoundRow> boundRows;
  std::string free, sub, slb, fix, ints, gins;
  for (int j = 0; j < n; ++j) {
    const Var& v = model.vars[j];
    const std::string& name = v.name;
    if (v.kind == VarKind::kBinary) {
      ints += " " + name;
      continue;
    }
    double lo = v.lower, up = v.upper;
    if (lo >= 0) {
      if (up == lo) {
        fix += "FIX " + name + " " + FormatFixed(lo) + "\r\n";
      } else {
        if (lo > 0) slb += "SLB " + name + " " + FormatFixed(lo) + "\r\n";
        if (up != kInf) sub += "SUB " + name + " " + FormatFixed(up) + "\r\n";
      }
    } else {
      free += "FREE " + name + "\r\n";
      if (up != kInf && up >= 0) sub += "SUB " + name + " " + FormatFixed(up) + "\r\n";
      if (lo != -kInf) {
        if (up != kInf && up < 0) {
          if (lo < up)
            boundRows.push_back({j, TavoSigned(lo) + " <= 1" + name + " <= " + TavoSigned(up), true});
          else
            boundRows.push_back({j, "= " + TavoSigned(up), false});
        } else {
          boundRows.push_back({j, ">= " + TavoSigned(lo), false});
        }
      } else if (up != kInf && up < 0) {
        boundRows.push_back({j, "<= " + TavoSigned(up), false});
      }
    }
    if (v.kind == VarKind::kInteger) gins += " " + name;
  }

  // Which variables stand in some constraint row; the others get a zero
  // term in the first row so that the model text declares them.
  std::vector<char> seen(n, 0);
  std::vector<const Row*> written;
  for (const Row& r : model.rows) {
    if (r.sense == Sense::kRange && r.lo == -kInf && r.hi == kInf) continue;  // no restriction
    written.push_back(&r);
    for (const Term& t : r.terms) seen[t.var] = 1;
  }
  for (const BoundRow& b : boundRows) seen[b.var] = 1;
  std::vector<Term> padding;
  for (int j = 0; j < n; ++j)
    if (!seen[j]) padding.push_back({j, 0.0});

  bool paddingDone = padding.empty();
  auto writeRow = [&](const Row& r) {
    std::vector<Term> terms = r.terms;
    if (!paddingDone) {
      terms.insert(terms.end(), padding.begin(), padding.end());
      paddingDone = true;
    }
    if (terms.empty()) terms.push_back({0, 0.0});
    const Row plain = Plain(r);
    if (plain.sense == Sense::kRange) {
      if (!r.label.empty()) out += r.label + ")\r\n";
      out += TavoSigned(r.lo) + " <= ";
      AppendTerms(out, model, terms, kTavoBreak, true);
      out += " <= " + TavoSigned(r.hi) + "\r\n";
      return;
    }
    if (!r.label.empty()) out += r.label + ") ";
    AppendTerms(out, model, terms, kTavoBreak);
    out += plain.sense == Sense::kLe ? " <= " : plain.sense == Sense::kGe ? " >= " : " = ";
    out += TavoSigned(plain.rhs) + "\r\n";
  };
  for (const Row* r : written) writeRow(*r);
  if (!paddingDone) {
    Row r;
    r.sense = Sense::kGe;
    r.rhs = 0;
    writeRow(r);
  }
  for (const BoundRow& b : boundRows) {
    if (b.twoSided)
      out += b.text + "\r\n";
    else
      out += "1 " + model.vars[b.var].name + " " + b.text + "\r\n";
  }
  out += "END\r\n";
  out += free + sub + slb + fix;
  if (!ints.empty()) out += "INT" + ints + "\r\n";
  if (!gins.empty()) out += "GIN" + gins + "\r\n";
  return out;
}

std::string WriteLpFormat(const Model& model, int level, const std::vector<double>& levelValues, double relTol) {
  const int n = static_cast<int>(model.vars.size());
  std::string out = "\\ written by the TAVO test tools\n";
  const Goal& goal = model.goals.at(level);
  out += goal.maximize ? "Maximize\n" : "Minimize\n";
  // Every variable stands in the objective, in model order (zero where the
  // goal has none), so that the solvers number the columns as the model does.
  std::vector<double> dense(n, 0.0);
  for (const Term& t : goal.terms) dense.at(t.var) += t.coef;
  std::vector<Term> objective;
  for (int j = 0; j < n; ++j) objective.push_back({j, dense[j]});
  out += " obj: ";
  AppendTerms(out, model, objective, kLpBreak);
  out += "\nSubject To\n";
  int rowNo = 0;
  auto row = [&](const std::vector<Term>& terms, const char* op, double rhs) {
    out += " ROW" + std::to_string(++rowNo) + ": ";
    if (terms.empty())
      out += "0 " + model.vars.at(0).name;
    else
      AppendTerms(out, model, terms, kLpBreak);
    out += std::string(" ") + op + " " + LpSigned(rhs) + "\n";
  };
  for (const Row& original : model.rows) {
    const Row r = Plain(original);
    switch (r.sense) {
      case Sense::kLe:
        row(r.terms, "<=", r.rhs);
        break;
      case Sense::kGe:
        row(r.terms, ">=", r.rhs);
        break;
      case Sense::kEq:
        row(r.terms, "=", r.rhs);
        break;
      case Sense::kRange:  // two rows (none when both sides are open)
        if (r.lo != -kInf) row(r.terms, ">=", r.lo);
        if (r.hi != kInf) row(r.terms, "<=", r.hi);
        break;
    }
  }
  for (int g = 0; g < level; ++g) {
    double v = levelValues.at(g);
    double tol = relTol * std::max(1.0, std::fabs(v));
    const Goal& earlier = model.goals[g];
    std::vector<Term> terms = earlier.terms;
    if (earlier.maximize)
      row(terms, ">=", v - tol);
    else
      row(terms, "<=", v + tol);
  }
  if (rowNo == 0) row({}, ">=", 0);

  std::string bounds, general, binary;
  for (int j = 0; j < n; ++j) {
    const Var& v = model.vars[j];
    if (v.kind == VarKind::kBinary) {
      binary += " " + v.name + "\n";
      continue;
    }
    if (v.kind == VarKind::kInteger) general += " " + v.name + "\n";
    double lo = v.lower, up = v.upper;
    if (lo == -kInf && up == kInf) {
      bounds += " " + v.name + " free\n";
    } else if (lo == -kInf) {
      bounds += " -inf <= " + v.name + " <= " + LpSigned(up) + "\n";
    } else if (up == kInf) {
      if (lo != 0) bounds += " " + v.name + " >= " + LpSigned(lo) + "\n";
    } else if (lo == up) {
      bounds += " " + v.name + " = " + LpSigned(lo) + "\n";
    } else {
      bounds += " " + LpSigned(lo) + " <= " + v.name + " <= " + LpSigned(up) + "\n";
    }
  }
  if (!bounds.empty()) out += "Bounds\n" + bounds;
  if (!general.empty()) out += "General\n" + general;
  if (!binary.empty()) out += "Binary\n" + binary;
  out += "End\n";
  return out;
}

double GoalValue(const Model& model, int g, const std::vector<double>& x) {
  double s = 0;
  for (const Term& t : model.goals.at(g).terms) s += t.coef * x.at(t.var);
  return s;
}

std::string CheckFeasible(const Model& model, const std::vector<double>& x, double tol, double xError,
                          bool checkIntegrality) {
  std::string worstText;
  double worst = 0;
  auto note = [&](double violation, const std::string& what) {
    if (violation > worst) {
      worst = violation;
      worstText = what;
    }
  };
  for (std::size_t i = 0; i < model.rows.size(); ++i) {
    const Row& r = model.rows[i];
    double ax = 0, absSum = 0;
    for (const Term& t : r.terms) {
      ax += t.coef * x.at(t.var);
      absSum += std::fabs(t.coef);
    }
    double lo = -kInf, hi = kInf;
    switch (r.sense) {
      case Sense::kLe:
        hi = r.rhs;
        break;
      case Sense::kGe:
        lo = r.rhs;
        break;
      case Sense::kEq:
        lo = hi = r.rhs;
        break;
      case Sense::kRange:
        lo = r.lo;
        hi = r.hi;
        break;
    }
    double slackLo = lo == -kInf ? 0 : tol * (1 + std::fabs(lo)) + xError * absSum;
    double slackHi = hi == kInf ? 0 : tol * (1 + std::fabs(hi)) + xError * absSum;
    std::ostringstream what;
    what.precision(17);
    if (lo != -kInf && ax < lo - slackLo) {
      what << "row " << i + 1 << ": activity " << ax << " below " << lo;
      note((lo - ax) / (1 + std::fabs(lo)), what.str());
    }
    if (hi != kInf && ax > hi + slackHi) {
      what << "row " << i + 1 << ": activity " << ax << " above " << hi;
      note((ax - hi) / (1 + std::fabs(hi)), what.str());
    }
  }
  for (std::size_t j = 0; j < model.vars.size(); ++j) {
    double lo = model.Lower(static_cast<int>(j)), up = model.Upper(static_cast<int>(j));
    double v = x.at(j);
    std::ostringstream what;
    what.precision(17);
    if (lo != -kInf && v < lo - tol * (1 + std::fabs(lo)) - xError) {
      what << "variable " << model.vars[j].name << " = " << v << " below its lower bound " << lo;
      note((lo - v) / (1 + std::fabs(lo)), what.str());
    }
    if (up != kInf && v > up + tol * (1 + std::fabs(up)) + xError) {
      what << "variable " << model.vars[j].name << " = " << v << " above its upper bound " << up;
      note((v - up) / (1 + std::fabs(up)), what.str());
    }
    if (checkIntegrality && model.vars[j].kind != VarKind::kContinuous) {
      double f = std::fabs(v - std::round(v));
      if (f > tol + xError) {
        what << "integer variable " << model.vars[j].name << " = " << v << " is fractional";
        note(f, what.str());
      }
    }
  }
  return worstText;
}

std::uint64_t Rng::Next() {
  std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

int Rng::Int(int lo, int hi) {
  std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
  return lo + static_cast<int>(Next() % span);
}

bool Rng::Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }

Model RandomModel(Rng& rng, const GenOptions& o) {
  Model m;
  const int n = rng.Int(o.minVars, o.maxVars);
  const int rows = rng.Int(o.minRows, o.maxRows);
  const int goals = rng.Int(1, std::max(1, o.maxGoals));
  auto coef = [&]() {
    int c = 0;
    while (c == 0) c = rng.Int(-o.coefRange, o.coefRange);
    double v = c;
    if (rng.Chance(o.halfCoefChance)) v += (v > 0 ? 0.5 : -0.5);
    return v;
  };

  // Variables and their bounds; a reference point x0 inside the bounds lets
  // most right-hand sides keep the model feasible.
  std::vector<double> x0(n, 0);
  for (int j = 0; j < n; ++j) {
    Var v;
    v.name = "X" + std::to_string(j + 1);
    if (rng.Chance(o.binChance)) {
      v.kind = VarKind::kBinary;
      v.lower = 0;
      v.upper = 1;
      x0[j] = rng.Int(0, 1);
      m.vars.push_back(v);
      continue;
    }
    if (rng.Chance(o.intChance)) v.kind = VarKind::kInteger;
    if (rng.Chance(o.freeChance)) {
      v.lower = -kInf;
      v.upper = kInf;
      if (rng.Chance(0.3)) v.upper = rng.Int(0, 6);
    } else if (rng.Chance(o.negBoundChance)) {
      v.lower = -rng.Int(1, 6);
      if (rng.Chance(0.5)) v.upper = v.lower + rng.Int(0, 8);
    } else {
      if (rng.Chance(o.boundChance)) v.lower = rng.Int(1, 4);
      if (rng.Chance(o.boundChance) || o.boxAll) v.upper = v.lower + rng.Int(0, 8);
      if (rng.Chance(0.03)) v.upper = v.lower;  // fixed
    }
    if (o.boxAll && v.upper == kInf) v.upper = (v.lower == -kInf ? 0 : v.lower) + rng.Int(1, 8);
    if (o.boxAll && v.lower == -kInf) v.lower = v.upper - rng.Int(1, 8);
    double lo = v.lower == -kInf ? -3 : v.lower;
    double up = v.upper == kInf ? lo + 5 : v.upper;
    x0[j] = rng.Int(static_cast<int>(lo), static_cast<int>(up));
    m.vars.push_back(v);
  }

  for (int i = 0; i < rows; ++i) {
    Row r;
    if (o.labels) r.label = "R" + std::to_string(i + 1);
    for (int j = 0; j < n; ++j)
      if (rng.Chance(o.density)) r.terms.push_back({j, coef()});
    if (r.terms.empty()) r.terms.push_back({rng.Int(0, n - 1), coef()});
    double ax = 0;
    for (const Term& t : r.terms) ax += t.coef * x0[t.var];
    // Mostly consistent with x0; sometimes an arbitrary right-hand side.
    bool arbitrary = rng.Chance(o.arbitraryRhsChance);
    double base = arbitrary ? rng.Int(-20, 20) : ax;
    double p = static_cast<double>(rng.Next() >> 11) * 0x1.0p-53;
    if (p < o.rangeChance) {
      r.sense = Sense::kRange;
      r.lo = base - rng.Int(0, 6);
      r.hi = r.lo + rng.Int(1, 10);
      if (!arbitrary && r.hi < ax) r.hi = ax + rng.Int(0, 3);
    } else if (p < o.rangeChance + o.eqChance) {
      r.sense = Sense::kEq;
      r.rhs = base;
    } else if (p < o.rangeChance + o.eqChance + o.geChance) {
      r.sense = Sense::kGe;
      r.rhs = base - rng.Int(0, 6);
    } else {
      r.sense = Sense::kLe;
      r.rhs = base + rng.Int(0, 6);
    }
    m.rows.push_back(r);
  }

  if (rng.Chance(o.budgetRowChance)) {
    Row r;
    if (o.labels) r.label = "R" + std::to_string(rows + 1);
    double ax = 0;
    for (int j = 0; j < n; ++j) {
      double c = rng.Int(1, 3);
      r.terms.push_back({j, c});
      ax += c * x0[j];
    }
    r.sense = Sense::kLe;
    r.rhs = ax + rng.Int(0, 10);
    m.rows.push_back(r);
  }

  for (int g = 0; g < goals; ++g) {
    Goal goal;
    goal.maximize = rng.Chance(0.5);
    for (int j = 0; j < n; ++j)
      if (rng.Chance(0.7)) goal.terms.push_back({j, coef()});
    if (goal.terms.empty()) goal.terms.push_back({rng.Int(0, n - 1), coef()});
    m.goals.push_back(goal);
  }
  return m;
}

}  // namespace tavo::testsupport
