#include "tests/support/plausible_models.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <sstream>

#include "shell/calc_result.h"
#include "shell/calc_run.h"
#include "shell/codec.h"
#include "shell/recording_port.h"
#include "solver/bound_cases.h"
#include "solver/workspace.h"
#include "tests/support/reference_solver.h"
#include "tests/support/tavo_runner.h"

namespace tavo::testsupport {

namespace {

// The model text's infinity: "@" and "- @".
constexpr double kAt = 1.0e30;
// What a triage variant writes instead of "@".
constexpr double kBig = 1.0e4;

// Variable names people use; none is a keyword, some begin with E (the
// letter that would start an exponent) or end in digits.
const char* const kNamePool[] = {"X",  "Y",  "Z",  "A",  "B",  "C",  "D",  "P",    "Q",     "R",
                                 "W",  "OT", "X1", "X2", "X3", "Y1", "Y2", "PROD", "COST",  "LAB",
                                 "S1", "S2", "K",  "U",  "V",  "E1", "EX", "GO",   "HOURS", "T"};
const char* const kLabelPool[] = {"C1", "C2", "C3", "CAP", "DEMAND", "R1", "R2", "LIMIT", "MIX", "L1", "BAL", "HOURS"};

// One constraint row as the generator plans it.
enum class Form {
  kLe,           // terms <= rhs
  kGe,           // terms >= rhs
  kEq,           // terms = rhs
  kRangeUp,      // lo <= terms <= hi
  kRangeDown,    // hi >= terms >= lo
  kUnlimitedLe,  // terms <= @
  kUnlimitedGe,  // terms >= - @
};

struct PlanRow {
  Form form = Form::kLe;
  std::vector<Term> written;  // in the order written; a variable may repeat
  std::string label;
  double rhs = 0;         // kLe, kGe, kEq
  double lo = 0, hi = 0;  // ranges; -kInf / kInf are written "- @" / "@"
  bool sameLine = false;  // written on the line of the row before
};

// The coefficients a row or goal means: a later term of a variable replaces
// an earlier one.
std::vector<double> Dense(const std::vector<Term>& written, int n) {
  std::vector<double> d(n, 0.0);
  for (const Term& t : written) d[t.var] = t.coef;
  return d;
}

std::vector<Term> Meaning(const std::vector<Term>& written, int n) {
  std::vector<int> last(n, -1);
  for (std::size_t k = 0; k < written.size(); ++k) last[written[k].var] = static_cast<int>(k);
  std::vector<Term> out;
  for (std::size_t k = 0; k < written.size(); ++k)
    if (last[written[k].var] == static_cast<int>(k)) out.push_back(written[k]);
  return out;
}

// The text writer: words with their separators, in the varied ways the
// language allows.
class Writer {
 public:
  Writer(Rng& rng, bool lowerCase) : rng_(rng), lower_(lowerCase) {}

  std::string Name(const std::string& name) {
    std::string s = name;
    if (lower_ || rng_.Chance(0.04))
      for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  }

  std::string Keyword(const char* word) {
    std::string s = word;
    if (rng_.Chance(0.15))
      for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  }

  // A blank, now and then a comma or a tab (both separate words like a blank).
  std::string Gap() {
    if (rng_.Chance(0.06)) return ",";
    if (rng_.Chance(0.04)) return " , ";
    if (rng_.Chance(0.03)) return "\t";
    return " ";
  }

  std::string Number(double v) {
    std::string s = FormatFixed(std::fabs(v));
    if (s.rfind("0.", 0) == 0 && rng_.Chance(0.3)) s.erase(0, 1);  // ".5"
    return s;
  }

  // A signed value after an operator or at the start of a two-sided row:
  // "5", "- 5", "-5", "+ 5", "@", "- @", "-@".
  std::string Signed(double v) {
    std::string mag = std::isinf(v) ? "@" : Number(v);
    if (v < 0) return rng_.Chance(0.6) ? "- " + mag : "-" + mag;
    if (rng_.Chance(0.03)) return "+ " + mag;
    return mag;
  }

  // The terms of a row or goal. `afterOperator`: they follow the first
  // operator of a two-sided row, where a detached number would be read as a
  // right-hand side. A line may break between terms; the next line needs no
  // sign for a positive term.
  std::string Terms(const std::vector<Term>& terms, const std::vector<std::string>& names, bool afterOperator,
                    bool allowBreaks) {
    std::string out;
    bool lineStart = true;
    for (std::size_t k = 0; k < terms.size(); ++k) {
      const Term& t = terms[k];
      if (k > 0) {
        if (allowBreaks && rng_.Chance(0.1)) {
          out += rng_.Chance(0.5) ? "\r\n  " : "\r\n";
          lineStart = true;
        } else {
          out += Gap();
        }
      }
      bool sign = t.coef < 0 || !lineStart || rng_.Chance(0.05);
      bool detachedOk = !(afterOperator && k == 0);
      if (sign) {
        const char* s = t.coef < 0 ? "-" : "+";
        out += s;
        if (rng_.Chance(0.75)) out += " ";
        detachedOk = true;
      }
      const double a = std::fabs(t.coef);
      std::string coef;
      if (a == 1) {
        if (rng_.Chance(0.2)) coef = "1";
      } else {
        coef = Number(a);
      }
      out += coef;
      if (!coef.empty() && detachedOk && rng_.Chance(0.25)) out += " ";
      out += Name(names[t.var]);
      lineStart = false;
    }
    return out;
  }

  std::string Operator(Form f) {
    switch (f) {
      case Form::kGe:
      case Form::kUnlimitedGe:
        return rng_.Chance(0.2) ? ">" : ">=";
      case Form::kEq:
        return rng_.Chance(0.3) ? "==" : "=";
      default:
        return rng_.Chance(0.2) ? "<" : "<=";
    }
  }

 private:
  Rng& rng_;
  bool lower_;
};

// The bounds the language gives a column from its stored flags and values.
// Returns false (with the reason) when set-up must refuse the combination.
bool BoundsOf(const StoredColumn& c, double& lo, double& up, std::string& why) {
  if (DeclaredBounds(c.flags, c.upper, c.lower, lo, up)) return true;
  why = c.name + ": bound flags " + std::to_string(c.flags) + " with upper " + std::to_string(c.upper) + " and lower " +
        std::to_string(c.lower) + " are a contradictory combination";
  return false;
}

// Uniform in [0, 1).
double Uniform(Rng& rng) { return static_cast<double>(rng.Next() >> 11) * 0x1.0p-53; }

// A value drawn for a right-hand side or bound: whole, now and then a half.
double Value(Rng& rng, int lo, int hi, double halfChance = 0.2) {
  double v = rng.Int(lo, hi);
  if (rng.Chance(halfChance)) v += 0.5;
  return v;
}

}  // namespace

PlausibleModel PlausibleModelFor(std::uint64_t seed, const PlausibleVariant& variant) {
  Rng rng(seed * 0x9e3779b97f4a7c15ULL + 12345);
  PlausibleModel p;
  p.seed = seed;
  auto tag = [&](const std::string& t) {
    if (std::find(p.tags.begin(), p.tags.end(), t) == p.tags.end()) p.tags.push_back(t);
  };

  // Variables (by generation number; columns are numbered later by first
  // appearance in the rows).
  std::vector<std::string> pool(std::begin(kNamePool), std::end(kNamePool));
  for (std::size_t k = pool.size(); k > 1; --k) std::swap(pool[k - 1], pool[rng.Int(0, static_cast<int>(k) - 1)]);
  const int n = rng.Int(2, 7);
  std::vector<std::string> names(pool.begin(), pool.begin() + n);
  // Some variables stand only in a row whose right-hand side is unlimited.
  int loners = 0;
  if (rng.Chance(0.3)) loners = rng.Chance(0.8) ? 1 : 2;
  loners = std::min(loners, n - 1);
  const int ordinary = n - loners;  // variables 0..ordinary-1 stand in ordinary rows

  auto coefficient = [&](int range) {
    double c = rng.Int(1, range);
    if (rng.Chance(0.12)) c += 0.5;
    return rng.Chance(0.3) ? -c : c;
  };

  std::vector<PlanRow> rows;
  const int rowCount = rng.Int(1, 5);
  for (int i = 0; i < rowCount; ++i) {
    PlanRow r;
    const double f = Uniform(rng);
    if (f < 0.30)
      r.form = Form::kLe;
    else if (f < 0.48)
      r.form = Form::kGe;
    else if (f < 0.58)
      r.form = Form::kEq;
    else if (f < 0.74)
      r.form = Form::kRangeUp;
    else if (f < 0.88)
      r.form = Form::kRangeDown;
    else if (f < 0.94)
      r.form = Form::kUnlimitedLe;
    else
      r.form = Form::kUnlimitedGe;
    const int terms = rng.Int(1, std::min(4, ordinary));
    for (int k = 0; k < terms; ++k) r.written.push_back({rng.Int(0, ordinary - 1), coefficient(6)});
    if (rng.Chance(0.06)) {  // the same variable again: the later term counts
      r.written.push_back({r.written[0].var, coefficient(6)});
      tag("repeated-term");
    }
    rows.push_back(r);
  }
  // A budget row over every ordinary variable keeps most models bounded.
  if (rng.Chance(0.75)) {
    PlanRow r;
    r.form = Form::kLe;
    for (int j = 0; j < ordinary; ++j) r.written.push_back({j, static_cast<double>(rng.Int(1, 3))});
    rows.insert(rows.begin() + rng.Int(0, static_cast<int>(rows.size())), r);
  }
  // Every ordinary variable stands in some row.
  for (int j = 0; j < ordinary; ++j) {
    bool seen = false;
    for (const PlanRow& r : rows)
      for (const Term& t : r.written) seen = seen || t.var == j;
    if (!seen) rows[rng.Int(0, static_cast<int>(rows.size()) - 1)].written.push_back({j, coefficient(6)});
  }
  // Rows of the loners: right-hand side unlimited, sometimes with others.
  for (int q = 0; q < loners; ++q) {
    PlanRow r;
    r.form = rng.Chance(0.5) ? Form::kUnlimitedLe : Form::kUnlimitedGe;
    r.written.push_back({ordinary + q, coefficient(3)});
    if (rng.Chance(0.3)) r.written.push_back({rng.Int(0, ordinary - 1), coefficient(4)});
    if (rng.Chance(0.5)) std::reverse(r.written.begin(), r.written.end());
    rows.insert(rows.begin() + rng.Int(0, static_cast<int>(rows.size())), r);
    tag("unlimited-only");
  }
  // Two-sided rows with an open side, written with "@".
  for (PlanRow& r : rows) {
    if ((r.form == Form::kRangeUp || r.form == Form::kRangeDown) && rng.Chance(0.2)) {
      r.lo = rng.Chance(0.5) ? -kInf : 0;  // marks which side is open; values follow
      r.hi = r.lo == 0 ? kInf : 0;
      if (rng.Chance(0.15)) r.lo = -kInf, r.hi = kInf;
    }
  }

  // Column order: first appearance in the rows as written.
  std::vector<int> column(n, -1);
  std::vector<int> order;
  for (const PlanRow& r : rows)
    for (const Term& t : r.written)
      if (column[t.var] < 0) {
        column[t.var] = static_cast<int>(order.size());
        order.push_back(t.var);
      }
  // Renumber everything by column.
  for (PlanRow& r : rows)
    for (Term& t : r.written) t.var = column[t.var];
  {
    std::vector<std::string> byColumn(n);
    for (int v = 0; v < n; ++v) byColumn[column[v]] = names[v];
    names = byColumn;
  }

  // Declarations, applied in the order written exactly as the parser stores them.
  p.columns.resize(n);
  for (int j = 0; j < n; ++j) p.columns[j].name = names[j];
  std::vector<std::string> decls;
  Writer w(rng, rng.Chance(0.1));
  std::vector<int> focus;  // a few variables get most declarations, so they meet
  for (int k = 0; k < 3; ++k) focus.push_back(rng.Int(0, n - 1));
  auto pick = [&]() { return rng.Chance(0.7) ? focus[rng.Int(0, 2)] : rng.Int(0, n - 1); };
  std::vector<std::string> seq;  // per column: the declarations it met, for tags
  seq.resize(n);
  auto met = [&](int j, const char* what) { seq[j] += std::string(seq[j].empty() ? "" : "-then-") + what; };
  int integerColumns = 0;
  auto makeInteger = [&](int j) {
    StoredColumn& c = p.columns[j];
    if (!(c.flags & kBndInteger)) ++integerColumns;
    return &c;
  };
  const int declCount = rng.Chance(0.2) ? 0 : rng.Int(1, 7);
  for (int d = 0; d < declCount; ++d) {
    const double f = Uniform(rng);
    std::string s;
    if (f < 0.08) {  // INT k
      int k = rng.Int(0, std::min(2, n));
      s = w.Keyword("INT") + " " + std::to_string(k);
      for (int j = 0; j < k; ++j) {
        StoredColumn* c = makeInteger(j);
        c->flags |= kBndInteger | kBndUpper;
        c->upper = 1, c->lower = 0;
        met(j, "int");
      }
      p.integerDeclarations += k;
    } else if (f < 0.20 || (f < 0.44 && integerColumns < 3)) {  // INT, GIN or INTORG with names
      const bool zeroOne = f < 0.20;
      const bool intorg = !zeroOne && rng.Chance(0.35);
      s = w.Keyword(zeroOne ? "INT" : intorg ? "INTORG" : "GIN");
      const int count = rng.Int(1, 2);
      for (int k = 0; k < count; ++k) {
        int j = pick();
        s += (k == 0 ? std::string(" ") : w.Gap()) + w.Name(names[j]);
        StoredColumn* c = makeInteger(j);
        if (zeroOne) {
          c->flags |= kBndInteger | kBndUpper;
          c->upper = 1, c->lower = 0;
          met(j, "int");
        } else {
          c->flags |= kBndInteger;
          met(j, "gin");
        }
        ++p.integerDeclarations;
      }
      if (intorg && rng.Chance(0.7)) s += " " + w.Keyword("INTEND");
    } else if (f < 0.62) {  // FREE
      int j = pick();
      s = w.Keyword("FREE") + " " + w.Name(names[j]);
      p.columns[j].flags = kBndFree;
      met(j, "free");
    } else if (f < 0.68) {  // FIX
      int j = pick();
      double v = Value(rng, 0, 5, 0.3);
      s = w.Keyword("FIX") + " " + w.Name(names[j]) + " " + w.Number(v);
      p.columns[j].flags = kBndFixed;
      p.columns[j].upper = 0, p.columns[j].lower = v;
      met(j, "fix");
    } else if (f < 0.88) {  // SUB
      int j = pick();
      double v = Value(rng, 0, 8);
      s = w.Keyword("SUB") + " " + w.Name(names[j]) + w.Gap() + w.Number(v);
      StoredColumn& c = p.columns[j];
      c.upper = v;
      c.flags = (c.flags & kBndFree) ? (kBndUpper | kBndNoLower) : (c.flags | kBndUpper);
      met(j, "sub");
    } else {  // SLB
      int j = pick();
      double v = Value(rng, 0, 4);
      s = w.Keyword("SLB") + " " + w.Name(names[j]) + " " + w.Number(v);
      StoredColumn& c = p.columns[j];
      c.lower = v;
      c.flags = (c.flags & kBndFree) ? kBndLower : (c.flags | kBndLower);
      met(j, "slb");
    }
    decls.push_back(s);
  }
  for (int j = 0; j < n; ++j)
    if (seq[j].find("-then-") != std::string::npos) tag(seq[j]);

  // The meaning of every column; integer bounds rounded inwards.
  p.meaning.vars.resize(n);
  std::vector<double> x0(n, 0.0);  // a reference point inside the bounds
  std::vector<PlanRow> boxRows;
  for (int j = 0; j < n; ++j) {
    Var& v = p.meaning.vars[j];
    v.name = names[j];
    const StoredColumn& c = p.columns[j];
    double lo = 0, up = kInf;
    std::string why;
    if (!BoundsOf(c, lo, up, why)) {
      // Set-up refuses the model before anything is solved.
      if (p.expect != Expectation::kDataError) p.expect = Expectation::kDataError, p.expectWhy = why;
      tag("contradictory-bounds");
      lo = 0, up = kInf;
    }
    const bool integer = (c.flags & kBndInteger) != 0;
    if (integer) {
      v.kind = VarKind::kInteger;
      if (lo != -kInf) lo = std::ceil(lo);
      if (up != kInf) up = std::floor(up);
      if (lo > up) {
        if (p.expect == Expectation::kSolve)
          p.expect = Expectation::kInfeasible, p.expectWhy = c.name + ": no integer value within its bounds";
        tag("integer-without-value");
        lo = up = 0;
      }
    }
    v.lower = lo, v.upper = up;
    // The reference point.
    if (lo != -kInf && up != kInf) {
      x0[j] = integer ? rng.Int(static_cast<int>(lo), static_cast<int>(up)) : lo + (up - lo) * rng.Int(0, 4) / 4.0;
    } else if (lo != -kInf) {
      x0[j] = lo + rng.Int(0, 4);
    } else if (up != kInf) {
      x0[j] = up - rng.Int(0, 4);
    } else {
      x0[j] = rng.Int(-3, 4);
    }
    // An integer variable without both bounds gets a row that boxes it, so
    // that the search stays small.
    if (integer && (lo == -kInf || up == kInf)) {
      PlanRow b;
      b.written.push_back({j, 1.0});
      const double a = x0[j] - rng.Int(0, 3), z = x0[j] + rng.Int(1, 4);
      if (lo == -kInf && up == kInf) {
        b.form = rng.Chance(0.5) ? Form::kRangeUp : Form::kRangeDown;
        b.lo = a, b.hi = z;
      } else if (lo == -kInf) {
        b.form = Form::kGe, b.rhs = a;
      } else {
        b.form = Form::kLe, b.rhs = z;
      }
      b.written[0].coef = 1.0;
      boxRows.push_back(b);
      tag("integer-boxed-by-row");
    }
  }
  // Box rows with their right-hand sides fixed already.
  const std::size_t boxStart = rows.size();
  for (PlanRow& b : boxRows) rows.push_back(b);

  // Right-hand sides from the reference point, some drawn freely.
  for (std::size_t i = 0; i < boxStart; ++i) {
    PlanRow& r = rows[i];
    double act = 0;
    for (const Term& t : Meaning(r.written, n)) act += t.coef * x0[t.var];
    const bool free = rng.Chance(0.12);
    auto slack = [&]() { return Value(rng, 0, 3); };
    switch (r.form) {
      case Form::kLe:
        r.rhs = free ? Value(rng, -4, 15) : act + slack();
        break;
      case Form::kGe:
        r.rhs = free ? Value(rng, -4, 15) : act - slack();
        break;
      case Form::kEq:
        r.rhs = free ? Value(rng, -4, 15) : act;
        break;
      case Form::kRangeUp:
      case Form::kRangeDown: {
        const bool openLo = r.lo == -kInf, openHi = r.hi == kInf;
        double lo = free ? Value(rng, -4, 10) : act - slack();
        double hi = lo + Value(rng, 1, 5);
        if (!free && hi < act) hi = act + 1;
        r.lo = openLo ? -kInf : lo;
        r.hi = openHi ? kInf : hi;
        if (openLo) tag("range-open-lower");
        if (openHi) tag("range-open-upper");
        break;
      }
      case Form::kUnlimitedLe:
      case Form::kUnlimitedGe:
        tag("unlimited-row");
        break;
    }
  }

  // Triage variants: "@" written as a large ordinary number (after every
  // draw, so that the rest of the text stays the same).
  for (std::size_t i = 0; i < boxStart; ++i) {
    PlanRow& r = rows[i];
    if (variant.finiteOpenRanges && (r.form == Form::kRangeUp || r.form == Form::kRangeDown)) {
      if (r.lo == -kInf) r.lo = -kBig;
      if (r.hi == kInf) r.hi = kBig;
    }
    if (variant.finiteUnlimitedRows && r.form == Form::kUnlimitedLe) r.form = Form::kLe, r.rhs = kBig;
    if (variant.finiteUnlimitedRows && r.form == Form::kUnlimitedGe) r.form = Form::kGe, r.rhs = -kBig;
  }

  // Labels, and now and then a row on the line of the one before.
  std::vector<std::string> labels(std::begin(kLabelPool), std::end(kLabelPool));
  int labelNo = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    PlanRow& r = rows[i];
    if (rng.Chance(0.3) && labelNo < static_cast<int>(labels.size())) r.label = labels[labelNo++];
    const bool oneSided = r.form != Form::kRangeUp && r.form != Form::kRangeDown;
    const bool prevOneSided = i > 0 && rows[i - 1].form != Form::kRangeUp && rows[i - 1].form != Form::kRangeDown;
    if (i > 0 && oneSided && prevOneSided && r.label.empty() && rng.Chance(0.06)) r.sameLine = true;
  }

  // Goals.
  const double gk = Uniform(rng);
  const int goals = gk < 0.5 ? 1 : gk < 0.8 ? 2 : 3;
  std::vector<std::vector<Term>> goalWritten(goals);
  std::vector<bool> maximize(goals);
  for (int g = 0; g < goals; ++g) {
    maximize[g] = rng.Chance(0.5);
    if (rng.Chance(0.03)) {
      tag("empty-goal");
      continue;
    }
    const int terms = rng.Int(1, std::min(3, n));
    for (int k = 0; k < terms; ++k) goalWritten[g].push_back({rng.Int(0, n - 1), coefficient(6)});
  }

  // The meaning: goals and rows.
  for (int g = 0; g < goals; ++g) p.meaning.goals.push_back({maximize[g], Meaning(goalWritten[g], n)});
  for (const PlanRow& r : rows) {
    Row m;
    m.label = r.label;
    m.terms = Meaning(r.written, n);
    switch (r.form) {
      case Form::kLe:
        m.sense = Sense::kLe, m.rhs = r.rhs;
        break;
      case Form::kGe:
        m.sense = Sense::kGe, m.rhs = r.rhs;
        break;
      case Form::kEq:
        m.sense = Sense::kEq, m.rhs = r.rhs;
        break;
      case Form::kRangeUp:
      case Form::kRangeDown:
        m.sense = Sense::kRange, m.lo = r.lo, m.hi = r.hi;
        break;
      case Form::kUnlimitedLe:
      case Form::kUnlimitedGe:
        m.sense = Sense::kRange, m.lo = -kInf, m.hi = kInf;
        break;
    }
    p.meaning.rows.push_back(m);
  }

  // The stored form of the rows.
  for (int g = 0; g < goals; ++g) {
    StoredRow s;
    s.type = kRowGoal;
    s.coef = Dense(goalWritten[g], n);
    for (double& c : s.coef) c = maximize[g] ? -c : c;
    p.rows.push_back(s);
  }
  for (const PlanRow& r : rows) {
    StoredRow s;
    s.coef = Dense(r.written, n);
    const double lo = r.lo == -kInf ? -kAt : r.lo, hi = r.hi == kInf ? kAt : r.hi;
    switch (r.form) {
      case Form::kLe:
        s.type = kRowLess, s.rhs = r.rhs;
        break;
      case Form::kGe:
        s.type = kRowGreater, s.rhs = r.rhs;
        break;
      case Form::kEq:
        s.type = kRowEqual, s.rhs = r.rhs;
        break;
      case Form::kRangeUp:
      case Form::kRangeDown:
        // With one side "@" the row is stored as the one-sided row on its
        // finite side (a width of 1e30 would swallow the finite side).
        if (lo == -kAt && hi != kAt) {
          s.type = kRowLess, s.rhs = hi;
        } else if (hi == kAt && lo != -kAt) {
          s.type = kRowGreater, s.rhs = lo;
        } else {
          s.type = kRowLess, s.rhs = hi, s.range = hi - lo;
        }
        break;
      case Form::kUnlimitedLe:
        s.type = kRowLess, s.rhs = kAt;
        break;
      case Form::kUnlimitedGe:
        s.type = kRowGreater, s.rhs = -kAt;
        break;
    }
    p.rows.push_back(s);
  }

  // The text.
  std::string& out = p.text;
  if (rng.Chance(0.3)) out += "! " + std::string(rng.Chance(0.5) ? "generated model" : "a plan") + "\r\n";
  if (rng.Chance(0.4))
    out += w.Keyword(rng.Chance(0.5) ? "TITLE" : "NAME") + " " + w.Name("PLAN" + std::to_string(seed % 100)) + "\r\n";
  for (int g = 0; g < goals; ++g) {
    out += w.Keyword(maximize[g] ? "MAX" : "MIN");
    if (!goalWritten[g].empty()) out += " " + w.Terms(goalWritten[g], names, false, true);
    out += "\r\n";
  }
  {
    const double f = Uniform(rng);
    out += f < 0.6 ? w.Keyword("ST") : f < 0.85 ? w.Keyword("SUBJECT") + " " + w.Keyword("TO") : w.Keyword("SUBJECT");
    out += "\r\n";
  }
  for (const PlanRow& r : rows) {
    if (r.sameLine) {
      out.erase(out.size() - 2);  // the line end of the row before
      out += "   ";
    }
    const bool twoSided = r.form == Form::kRangeUp || r.form == Form::kRangeDown;
    if (!r.label.empty()) out += r.label + (twoSided && rng.Chance(0.5) ? ")\r\n" : ") ");
    if (twoSided) {
      const bool up = r.form == Form::kRangeUp;
      const std::string op = up ? (rng.Chance(0.2) ? "<" : "<=") : (rng.Chance(0.2) ? ">" : ">=");
      out += w.Signed(up ? r.lo : r.hi) + " " + op + " ";
      out += w.Terms(r.written, names, true, true);
      out += " " + op + " " + w.Signed(up ? r.hi : r.lo);
    } else {
      out += w.Terms(r.written, names, false, true);
      const bool tight = rng.Chance(0.08);  // "2Y<=10"
      out += (tight ? "" : " ") + w.Operator(r.form) + (tight ? "" : " ");
      switch (r.form) {
        case Form::kUnlimitedLe:
          out += w.Signed(kInf);
          break;
        case Form::kUnlimitedGe:
          out += w.Signed(-kInf);
          break;
        default:
          out += w.Signed(r.rhs);
      }
    }
    const bool nextOnThisLine = &r != &rows.back() && (&r + 1)->sameLine;
    if (!nextOnThisLine && rng.Chance(0.06)) out += " ! note";
    out += "\r\n";
  }
  if (rng.Chance(decls.empty() ? 0.7 : 0.6)) out += w.Keyword("END") + "\r\n";
  for (std::size_t d = 0; d < decls.size(); ++d) {
    out += decls[d];
    out += (d + 1 < decls.size() && rng.Chance(0.15)) ? " " : "\r\n";
  }
  if (variant.clearStaleBounds) {
    std::string clear;
    for (int j = 0; j < n; ++j) {
      StoredColumn& c = p.columns[j];
      if ((c.flags & 31) != kBndFree || (c.lower == 0 && c.upper == 0)) continue;
      if (c.lower != 0) clear += "SLB " + c.name + " 0\r\n";
      if (c.upper != 0) clear += "SUB " + c.name + " 0\r\n";
      clear += "FREE " + c.name + "\r\n";
      c.lower = c.upper = 0;
      if (c.flags & kBndInteger) {
        clear += "GIN " + c.name + "\r\n";
        ++p.integerDeclarations;
      }
    }
    if (!clear.empty()) {
      if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
      out += clear;
    }
  }
  return p;
}

bool HasStaleBounds(const PlausibleModel& model) {
  for (const StoredColumn& c : model.columns)
    if ((c.flags & 31) == kBndFree && (c.lower != 0 || c.upper != 0)) return true;
  return false;
}

std::string CheckStoredAsPlanned(const PlausibleModel& p) {
  auto workspace = std::make_unique<Workspace>();
  RecordingPort port;
  port.recordWrites = false;
  CalcRun run(*workspace, port);
  run.settings = DefaultSettings();
  run.modelText = p.text;
  if (run.ParseModel(p.text) != 1) return "the model text was rejected:\n" + CrLfToLf(Cp932ToUtf8(run.result.logText));
  const Workspace& W = *workspace;
  std::ostringstream why;
  why.precision(17);
  int differences = 0;
  auto differ = [&](const std::string& what) {
    if (differences++ < 12) why << what << "\n";
  };
  const int n = static_cast<int>(p.columns.size());
  const int m = static_cast<int>(p.rows.size());
  if (W.NSTRUC != n || W.MROWS != m || W.NGOALS != static_cast<int>(p.meaning.goals.size())) {
    why << "dimensions: " << W.MROWS << " rows, " << W.NGOALS << " goals, " << W.NSTRUC << " variables instead of " << m
        << ", " << p.meaning.goals.size() << ", " << n << "\n";
    return why.str();
  }
  for (int j = 0; j < n; ++j) {
    std::string name;
    for (int k = 0; k < 8; ++k) {
      const char ch = W.CNAME[static_cast<std::size_t>(j) * 8 + k];
      if (ch != ' ' && ch != '\0') name += ch;
    }
    const StoredColumn& c = p.columns[j];
    if (name != c.name.substr(0, 8)) differ("column " + std::to_string(j + 1) + " is " + name + ", not " + c.name);
    std::ostringstream o;
    o.precision(17);
    if (W.BNDFLG[j] != c.flags) o << c.name << ": flags " << int(W.BNDFLG[j]) << " instead of " << c.flags << "; ";
    if (W.UBND[j] != c.upper) o << c.name << ": UBND " << W.UBND[j] << " instead of " << c.upper << "; ";
    if (W.LBND[j] != c.lower) o << c.name << ": LBND " << W.LBND[j] << " instead of " << c.lower << "; ";
    if (!o.str().empty()) differ(o.str());
  }
  for (int i = 0; i < m; ++i) {
    const StoredRow& r = p.rows[i];
    std::ostringstream o;
    o.precision(17);
    if (W.ROWTYP[i] != r.type) o << "type " << int(W.ROWTYP[i]) << " instead of " << r.type << "; ";
    if (W.XB[i] != r.rhs) o << "right-hand side " << W.XB[i] << " instead of " << r.rhs << "; ";
    if (W.RANGE[i] != r.range) o << "range " << W.RANGE[i] << " instead of " << r.range << "; ";
    for (int j = 0; j < n; ++j) {
      const double a = W.AMAT[static_cast<std::size_t>(j) * m + i];
      if (a != r.coef[j]) o << p.columns[j].name << " " << a << " instead of " << r.coef[j] << "; ";
    }
    if (!o.str().empty()) differ("row " + std::to_string(i + 1) + ": " + o.str());
  }
  if (W.NINT != p.integerDeclarations)
    differ("NINT " + std::to_string(W.NINT) + " instead of " + std::to_string(p.integerDeclarations));
  if (differences > 12) why << "(" << differences - 12 << " more)\n";
  return why.str();
}

const char* FuzzOutcomeName(FuzzOutcome outcome) {
  switch (outcome) {
    case FuzzOutcome::kAgreeOptimal:
      return "agree optimal";
    case FuzzOutcome::kAgreeInfeasible:
      return "agree infeasible";
    case FuzzOutcome::kAgreeUnbounded:
      return "agree unbounded";
    case FuzzOutcome::kAgreeDataError:
      return "agree data error";
    case FuzzOutcome::kDisagree:
      return "disagree";
    case FuzzOutcome::kRelaxationUnbounded:
      return "unbounded relaxation of an integer model";
    case FuzzOutcome::kNoReference:
      break;
  }
  return "no reference answer";
}

namespace {

// Agreement of goal values, activities and feasibility. The reports round
// activities to six decimals, so a reported value may carry 5e-7 and a row
// sum that much times its coefficients.
constexpr double kValueTol = 1e-6;
constexpr double kFeasTol = 1e-6;
constexpr double kRounding = 5e-7;
// A reported value this large stands at the model text's infinity.
constexpr double kAtInfinity = 1e15;

const char* ResultName(int code) {
  switch (code) {
    case kResultDataError:
      return "data error";
    case kResultOptimal:
      return "optimal";
    case kResultInfeasible:
      return "infeasible";
    case kResultUnbounded:
      return "unbounded";
    case kResultIterationLimit:
      return "iteration limit";
    case kResultSearchDataError:
      return "data error in the search";
    default:
      return "forced termination";
  }
}

std::string Answers(const PlausibleModel& p, const TavoOutcome& t, const std::vector<double>& x,
                    const LexOutcome* lex) {
  std::ostringstream s;
  s.precision(12);
  s << "TAVO: ";
  if (!t.parsed) {
    s << "model rejected";
  } else {
    s << ResultName(t.resultCode) << " (code " << t.resultCode << ")";
    if (t.resultCode == kResultOptimal && t.goalActivity.size() == p.meaning.goals.size()) {
      s << ", goals";
      for (std::size_t g = 0; g < p.meaning.goals.size(); ++g)
        s << " " << TavoGoalValue(t, static_cast<int>(g), p.meaning.goals[g].maximize);
      s << ", x =";
      for (std::size_t j = 0; j < x.size(); ++j) s << " " << p.meaning.vars[j].name << "=" << x[j];
    }
  }
  s << "\n";
  if (lex) {
    s << "reference: " << RefStatusName(lex->status);
    if (lex->status != RefStatus::kOptimal) s << " at level " << lex->level + 1;
    if (!lex->goals.empty()) {
      s << ", goals";
      for (double v : lex->goals) s << " " << v;
    }
    if (lex->status == RefStatus::kOptimal) {
      s << ", x =";
      for (std::size_t j = 0; j < lex->x.size() && j < p.meaning.vars.size(); ++j)
        s << " " << p.meaning.vars[j].name << "=" << lex->x[j];
    }
    s << "\n";
  } else {
    s << "language: " << (p.expect == Expectation::kDataError ? "data error" : "infeasible") << " (" << p.expectWhy
      << ")\n";
  }
  return s.str();
}

}  // namespace

FuzzVerdict JudgePlausibleModel(const PlausibleModel& p, const std::string& scratchDir,
                                const SolverSettings& settings) {
  FuzzVerdict v;
  const std::string text = "model text (seed " + std::to_string(p.seed) + "):\n" + CrLfToLf(p.text);
  const std::string stored = CheckStoredAsPlanned(p);
  if (!stored.empty()) {
    v.outcome = FuzzOutcome::kDisagree;
    v.kind = stored.rfind("the model text was rejected", 0) == 0 ? "rejected" : "stored form";
    v.detail = stored + text;
    return v;
  }
  const TavoOutcome t = SolveWithTavo(p.text, settings);
  std::vector<double> x;
  if (t.parsed && t.resultCode == kResultOptimal) InModelOrder(t, p.meaning, x);
  if (!t.parsed) {
    v.outcome = FuzzOutcome::kDisagree;
    v.kind = "rejected";
    v.detail = CrLfToLf(Cp932ToUtf8(t.log)) + text;
    return v;
  }
  const RefStatus tavoStatus = StatusOfResultCode(t.resultCode);

  // An integer model whose continuous relaxation is unbounded: the run ends
  // with that first solve (the search starts only from an optimal one), so
  // TAVO answers unbounded where the reference may find that no integer
  // point exists, or an integer optimum.
  auto endsAtUnboundedRelaxation = [&]() {
    if (tavoStatus != RefStatus::kUnbounded || !p.meaning.HasIntegers()) return false;
    Model relaxed = p.meaning;
    for (Var& var : relaxed.vars) var.kind = VarKind::kContinuous;
    return SolveLexicographic(RefSolver::kGlpsol, relaxed, scratchDir, 1e-11).status == RefStatus::kUnbounded;
  };

  // Outcomes the language decides alone.
  if (p.expect == Expectation::kInfeasible && endsAtUnboundedRelaxation()) {
    v.outcome = FuzzOutcome::kRelaxationUnbounded;
    v.detail = "the language: infeasible\n" + text;
    return v;
  }
  if (p.expect != Expectation::kSolve) {
    const bool dataError = p.expect == Expectation::kDataError;
    const bool agree = dataError ? t.resultCode == kResultDataError : tavoStatus == RefStatus::kInfeasible;
    v.outcome = !agree      ? FuzzOutcome::kDisagree
                : dataError ? FuzzOutcome::kAgreeDataError
                            : FuzzOutcome::kAgreeInfeasible;
    if (!agree) {
      v.kind = std::string("status ") + ResultName(t.resultCode) + "/" + (dataError ? "data error" : "infeasible");
      v.detail = Answers(p, t, x, nullptr) + text;
    }
    return v;
  }

  // Earlier levels are held within 1e-11 of their value: values near the
  // triage variants' 10000 would otherwise let later levels drift by more
  // than the comparison allows.
  LexOutcome lex = SolveLexicographic(RefSolver::kGlpsol, p.meaning, scratchDir, 1e-11);
  // glpsol's integer preprocessing aborts on a few small models; cbc answers those.
  if (lex.status == RefStatus::kFailed && HaveCbc()) {
    LexOutcome other = SolveLexicographic(RefSolver::kCbc, p.meaning, scratchDir, 1e-11);
    if (other.status != RefStatus::kFailed) lex = other;
  }
  if (lex.status == RefStatus::kFailed) {
    v.outcome = FuzzOutcome::kNoReference;
    v.detail = lex.detail + "\n" + text;
    return v;
  }
  std::ostringstream why;
  why.precision(12);
  std::string kind;
  auto fault = [&](const std::string& k, const std::string& what) {
    if (kind.empty()) kind = k;
    why << what << "\n";
  };
  // A model that is infeasible and has an unbounded direction besides may
  // be called either by glpsol; whether any point satisfies the rows and
  // bounds is then settled by a solve without goal.
  if (tavoStatus == RefStatus::kInfeasible && lex.status == RefStatus::kUnbounded) {
    Model feasibility = p.meaning;
    feasibility.goals.assign(1, Goal{});
    if (SolveLexicographic(RefSolver::kGlpsol, feasibility, scratchDir).status == RefStatus::kInfeasible) {
      v.outcome = FuzzOutcome::kAgreeInfeasible;
      return v;
    }
  }
  if (lex.status != RefStatus::kUnbounded && endsAtUnboundedRelaxation()) {
    v.outcome = FuzzOutcome::kRelaxationUnbounded;
    v.detail = std::string("the reference: ") + RefStatusName(lex.status) + "\n" + text;
    return v;
  }
  if (tavoStatus != lex.status) {
    fault(std::string("status ") + ResultName(t.resultCode) + "/" + RefStatusName(lex.status),
          std::string("status differs: TAVO ") + ResultName(t.resultCode) + ", reference " + RefStatusName(lex.status));
  } else if (tavoStatus == RefStatus::kOptimal) {
    const Model& model = p.meaning;
    if (x.size() != model.vars.size() || t.goalActivity.size() != model.goals.size()) {
      fault("report", "TAVO's columns or goal values do not match the model");
    } else {
      for (std::size_t j = 0; j < x.size(); ++j)
        if (!std::isfinite(x[j]) || std::fabs(x[j]) >= kAtInfinity) {
          std::ostringstream o;
          o << model.vars[j].name << " = " << x[j] << " stands at infinity";
          fault("value at infinity", o.str());
        }
      for (std::size_t g = 0; g < model.goals.size(); ++g) {
        const Goal& goal = model.goals[g];
        const double reported = TavoGoalValue(t, static_cast<int>(g), goal.maximize);
        const double fromX = GoalValue(model, static_cast<int>(g), x);
        double absSum = 0;
        for (const Term& term : goal.terms) absSum += std::fabs(term.coef);
        std::ostringstream o;
        o.precision(12);
        if (!Agree(reported, lex.goals[g], kValueTol)) {
          o << "goal " << g + 1 << ": TAVO " << reported << ", reference " << lex.goals[g];
          fault("goal value", o.str());
        } else if (std::fabs(fromX - reported) > kValueTol * std::max(1.0, std::fabs(reported)) + kRounding * absSum) {
          o << "goal " << g + 1 << ": reported " << reported << " but the reported activities give " << fromX;
          fault("goal not matching point", o.str());
        }
      }
      const std::string infeasible = CheckFeasible(model, x, kFeasTol, kRounding, model.HasIntegers());
      if (!infeasible.empty()) fault("infeasible point", "TAVO's point is not feasible: " + infeasible);
    }
  }
  if (kind.empty()) {
    v.outcome = lex.status == RefStatus::kOptimal      ? FuzzOutcome::kAgreeOptimal
                : lex.status == RefStatus::kInfeasible ? FuzzOutcome::kAgreeInfeasible
                                                       : FuzzOutcome::kAgreeUnbounded;
    return v;
  }
  v.outcome = FuzzOutcome::kDisagree;
  v.kind = kind;
  v.detail = why.str() + Answers(p, t, x, &lex) + text;
  return v;
}

std::string CauseOfDisagreement(const PlausibleModel& model, const FuzzVerdict& verdict, const std::string& scratchDir,
                                const SolverSettings& settings) {
  if (verdict.kind == "stored form" || verdict.kind == "rejected") return "model text read otherwise: " + verdict.kind;
  auto has = [&](const char* tag) { return std::find(model.tags.begin(), model.tags.end(), tag) != model.tags.end(); };
  const bool stale = HasStaleBounds(model);
  const bool unlimited = has("unlimited-row");
  const bool open = has("range-open-lower") || has("range-open-upper");
  const std::string& k = verdict.kind;

  const std::string staleName = "FREE after SLB, SUB or FIX: the old bound values still act (" + k + ")";
  std::string unlimitedName = "unlimited row: " + k;
  if (k == "status unbounded/optimal" || k == "status unbounded/infeasible")
    unlimitedName = "unlimited row: a model with a finite answer ends unbounded";
  else if (k == "value at infinity")
    unlimitedName = "unlimited row: a variable left at 1e30";
  else if (k == "status optimal/unbounded")
    unlimitedName = "unlimited row: an unbounded goal ends optimal near 1e30";
  const std::string openName = "two-sided row with an @ side: its finite side is lost (" + k + ")";
  // Variants as bit sets: 1 stale bounds cleared, 2 unlimited rows finite, 4 open sides finite.
  const int available = (stale ? 1 : 0) | (unlimited ? 2 : 0) | (open ? 4 : 0);
  for (int set : {1, 2, 4, 3, 5, 6, 7}) {
    if ((set & available) != set) continue;
    PlausibleVariant v;
    v.clearStaleBounds = set & 1;
    v.finiteUnlimitedRows = set & 2;
    v.finiteOpenRanges = set & 4;
    const FuzzVerdict again = JudgePlausibleModel(PlausibleModelFor(model.seed, v), scratchDir, settings);
    if (again.outcome == FuzzOutcome::kDisagree || again.outcome == FuzzOutcome::kNoReference) continue;
    std::string name;
    if (set & 1) name = staleName;
    if (set & 2) name += (name.empty() ? "" : " + ") + unlimitedName;
    if (set & 4) name += (name.empty() ? "" : " + ") + openName;
    return name;
  }
  return "unexplained: " + k;
}

}  // namespace tavo::testsupport
