#include "model/model_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace tavo::exchange {
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

std::string WriteTavoModel(const Model& model, const TavoWriteOptions& options) {
  const int n = static_cast<int>(model.vars.size());
  std::string out;
  if (!model.title.empty()) out += "TITLE " + model.title + "\r\n";
  for (const std::string& c : options.comments) out += "! " + c + "\r\n";
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

  bool paddingDone = padding.empty() || !options.registerLabel.empty();
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
  } else if (!padding.empty()) {
    // A row of zero terms: it restricts nothing and only makes the columns known.
    Row r;
    r.label = options.registerLabel;
    r.terms = padding;
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
  std::string out = "\\ written by TAVO\n";
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

}  // namespace tavo::exchange

namespace tavo::exchange {

std::string WriteLpMultiObjective(const Model& model) {
  const int goals = static_cast<int>(model.goals.size());
  std::string out = "\\ written by TAVO: one objective per goal level, the first level first\n";
  out += "Minimize multi-objectives\n";
  for (int g = 0; g < goals; ++g) {
    const Goal& goal = model.goals[g];
    // Earlier levels take higher priorities; a maximised goal is minimised with weight -1.
    out += " G" + std::to_string(g + 1) + ": Priority=" + std::to_string(goals - g) +
           " Weight=" + (goal.maximize ? "-1" : "1") + " AbsTol=0 RelTol=0\n   ";
    if (goal.terms.empty())
      out += "0 " + model.vars.at(0).name;
    else
      AppendTerms(out, model, goal.terms, kLpBreak);
    out += "\n";
  }
  // The constraints, bounds and kinds are those of the single-objective form.
  const std::string single = WriteLpFormat(model, 0, {});
  out += single.substr(single.find("\nSubject To\n") + 1);
  return out;
}

std::string WriteFreeMps(const Model& model, int level, const std::vector<double>& levelValues, double relTol) {
  const int n = static_cast<int>(model.vars.size());
  const bool multi = level < 0 && model.goals.size() > 1;
  std::string out = "* written by TAVO\n";
  out += "NAME " + (model.title.empty() ? std::string("TAVO") : model.title) + "\n";
  if (!multi && model.goals.at(level < 0 ? 0 : level).maximize) out += "OBJSENSE\n    MAX\n";

  struct MpsRow {
    std::string name;
    char type;
    const std::vector<Term>* terms;
    double rhs;
    double range;  // 0: none
    std::string extra;
  };
  std::vector<MpsRow> rows;
  const int goals = static_cast<int>(model.goals.size());
  if (multi) {
    for (int g = 0; g < goals; ++g) {
      const Goal& goal = model.goals[g];
      rows.push_back({"G" + std::to_string(g + 1), 'N', &goal.terms, 0, 0,
                      " " + std::to_string(goals - g) + (goal.maximize ? " -1" : " 1") + " 0 0"});
    }
  } else {
    rows.push_back({"OBJ", 'N', &model.goals.at(level < 0 ? 0 : level).terms, 0, 0, ""});
  }
  int rowNo = 0;
  for (const Row& original : model.rows) {
    const Row r = Plain(original);
    const std::string name = "R" + std::to_string(++rowNo);
    switch (r.sense) {
      case Sense::kLe:
        rows.push_back({name, 'L', &original.terms, r.rhs, 0, ""});
        break;
      case Sense::kGe:
        rows.push_back({name, 'G', &original.terms, r.rhs, 0, ""});
        break;
      case Sense::kEq:
        rows.push_back({name, 'E', &original.terms, r.rhs, 0, ""});
        break;
      case Sense::kRange:  // an L row with its range; nothing when both sides are open
        if (r.lo != -kInf && r.hi != kInf) rows.push_back({name, 'L', &original.terms, r.hi, r.hi - r.lo, ""});
        break;
    }
  }
  for (int g = 0; g < level; ++g) {
    const double v = levelValues.at(g);
    const double tol = relTol * std::max(1.0, std::fabs(v));
    const Goal& earlier = model.goals[g];
    rows.push_back({"H" + std::to_string(g + 1), earlier.maximize ? 'G' : 'L', &earlier.terms,
                    earlier.maximize ? v - tol : v + tol, 0, ""});
  }

  out += "ROWS\n";
  for (const MpsRow& r : rows) out += std::string(" ") + r.type + " " + r.name + r.extra + "\n";

  // Column-wise entries; a column in no row gets a zero entry in the first objective.
  std::vector<std::vector<std::pair<int, double>>> byColumn(n);
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (const Term& t : *rows[i].terms) byColumn.at(t.var).push_back({static_cast<int>(i), t.coef});
  out += "COLUMNS\n";
  bool inIntegers = false;
  int marker = 0;
  for (int j = 0; j < n; ++j) {
    const bool integer = model.vars[j].kind != VarKind::kContinuous;
    if (integer != inIntegers) {
      out +=
          std::string(" MARKER") + std::to_string(++marker) + " 'MARKER' " + (integer ? "'INTORG'" : "'INTEND'") + "\n";
      inIntegers = integer;
    }
    const std::string& name = model.vars[j].name;
    if (byColumn[j].empty()) out += " " + name + " " + rows[0].name + " 0\n";
    for (const auto& [i, coef] : byColumn[j]) out += " " + name + " " + rows[i].name + " " + FormatShort(coef) + "\n";
  }
  if (inIntegers) out += std::string(" MARKER") + std::to_string(++marker) + " 'MARKER' 'INTEND'\n";

  out += "RHS\n";
  for (const MpsRow& r : rows)
    if (r.type != 'N' && r.rhs != 0) out += " RHS " + r.name + " " + FormatShort(r.rhs) + "\n";
  std::string ranges;
  for (const MpsRow& r : rows)
    if (r.range != 0) ranges += " RNG " + r.name + " " + FormatShort(r.range) + "\n";
  if (!ranges.empty()) out += "RANGES\n" + ranges;

  std::string bounds;
  for (int j = 0; j < n; ++j) {
    const Var& v = model.vars[j];
    const std::string& name = v.name;
    if (v.kind == VarKind::kBinary) {
      bounds += " BV BND " + name + "\n";
      continue;
    }
    const double lo = v.lower, up = v.upper;
    if (lo == -kInf && up == kInf) {
      bounds += " FR BND " + name + "\n";
      continue;
    }
    if (lo == up) {
      bounds += " FX BND " + name + " " + FormatShort(lo) + "\n";
      continue;
    }
    if (lo == -kInf)
      bounds += " MI BND " + name + "\n";
    else if (lo != 0 || up < 0)
      bounds += " LO BND " + name + " " + FormatShort(lo) + "\n";
    if (up != kInf)
      bounds += " UP BND " + name + " " + FormatShort(up) + "\n";
    else if (v.kind == VarKind::kInteger)
      bounds += " PL BND " + name + "\n";  // integer columns are unbounded above, whatever a reader assumes
  }
  if (!bounds.empty()) out += "BOUNDS\n" + bounds;
  out += "ENDATA\n";
  return out;
}

}  // namespace tavo::exchange
