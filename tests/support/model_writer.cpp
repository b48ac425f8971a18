#include "tests/support/model_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace tavo::testsupport {

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
