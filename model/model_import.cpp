#include "model/model_import.h"

#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "model/lp_reader.h"
#include "model/model_writers.h"
#include "model/mps_reader.h"

namespace tavo::exchange {
namespace {

// The label of the row that registers columns which stand in no row.
constexpr const char* kRegisterLabel = "UNUSED";

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool IsReserved(const std::string& w) {
  static const std::unordered_set<std::string> kReserved = {"NAME", "TITLE", "MAX", "MIN", "ST",     "SUBJECT",
                                                            "TO",   "END",   "INT", "GIN", "INTORG", "INTEND",
                                                            "FIX",  "FREE",  "SUB", "SLB"};
  return kReserved.count(w) != 0;
}

bool IsNameTail(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.'; }

// A row label the model text reads back as itself: 1 to 18 characters, a
// letter first, then letters, digits, '_' or '.'.
bool IsPlainLabel(const std::string& s) {
  if (s.empty() || s.size() > 18 || !(s[0] >= 'A' && s[0] <= 'Z')) return false;
  for (char c : s)
    if (!IsNameTail(c)) return false;
  return true;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      // Control characters and bytes outside ASCII (the file's encoding is unknown) as \u00XX.
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Up to five names of a list, "A, B, C and 4 more".
std::string Some(const std::vector<std::string>& names) {
  std::string s;
  for (std::size_t k = 0; k < names.size() && k < 5; ++k) s += (k ? ", " : "") + names[k];
  if (names.size() > 5) s += " and " + std::to_string(names.size() - 5) + " more";
  return s;
}

// Gives every name in `names` a valid form: kept (upper-cased) when `valid`
// accepts it and no earlier name took it, else prefix + its number. Returns
// the originals of the names that changed, by new name, in order.
std::vector<std::pair<std::string, std::string>> Rename(std::vector<std::string*> names, const char* prefix,
                                                        bool (*valid)(const std::string&),
                                                        std::unordered_set<std::string>& taken) {
  std::vector<std::pair<std::string, std::string>> changed;
  std::vector<char> keep(names.size(), 0);
  for (std::size_t k = 0; k < names.size(); ++k) {
    const std::string up = Upper(*names[k]);
    if (valid(up) && taken.insert(up).second) keep[k] = 1;
  }
  for (std::size_t k = 0; k < names.size(); ++k) {
    std::string& name = *names[k];
    std::string next;
    if (keep[k]) {
      next = Upper(name);
    } else {
      next = prefix + std::to_string(k + 1);
      for (int extra = 1; taken.count(next); ++extra)
        next = prefix + std::to_string(k + 1) + "_" + std::to_string(extra);
      taken.insert(next);
    }
    if (next != name) changed.emplace_back(next, name);
    name = next;
  }
  return changed;
}

bool ValidColumn(const std::string& s) { return IsPlainModelName(s); }
bool ValidLabel(const std::string& s) { return IsPlainLabel(s); }

}  // namespace

SourceFormat FormatOfPath(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (p.size() > 3 && p.compare(p.size() - 3, 3, ".gz") == 0) p.resize(p.size() - 3);
  return p.size() > 3 && p.compare(p.size() - 3, 3, ".lp") == 0 ? SourceFormat::kLp : SourceFormat::kMps;
}

bool IsPlainModelName(const std::string& s) {
  if (s.empty() || s.size() > 8 || !(s[0] >= 'A' && s[0] <= 'Z') || IsReserved(s)) return false;
  for (char c : s)
    if (!IsNameTail(c)) return false;
  return true;
}

bool ImportModelText(const std::string& text, SourceFormat format, const std::string& sourceName, ImportOutcome& out,
                     std::string& error) {
  out = ImportOutcome{};
  Model& model = out.model;
  double constant = 0;
  bool priorities = false;
  std::string title;
  if (format == SourceFormat::kMps) {
    MpsModel mps;
    if (!ReadMpsText(text, mps, error)) return false;
    model = std::move(mps.model);
    constant = mps.objectiveRhs == 0 ? 0.0 : -mps.objectiveRhs;  // the RHS entry is the negated constant
    priorities = mps.priorities;
    title = mps.name;
  } else {
    LpModel lp;
    if (!ReadLpText(text, lp, error)) return false;
    model = std::move(lp.model);
    constant = lp.objectiveConstant;
    priorities = lp.priorities;
  }
  std::vector<std::string>& notes = out.notes;

  // Integer columns must be non-negative: the search branches on values from 0 up.
  for (const Var& v : model.vars) {
    if (v.kind == VarKind::kContinuous) continue;
    if (v.lower < 0 || v.upper < 0) {
      error = "integer column " + v.name + " may take negative values (lower bound " + FormatShort(v.lower) +
              "): the branch and bound method cannot branch on it";
      return false;
    }
    if (v.upper < v.lower) {
      error = "column " + v.name + " has an upper bound below its lower bound";
      return false;
    }
  }
  for (const Var& v : model.vars)
    if (v.upper < v.lower) {
      error = "column " + v.name + " has an upper bound below its lower bound";
      return false;
    }
  for (const Goal& g : model.goals)
    for (const Term& t : g.terms)
      if (!std::isfinite(t.coef)) {
        error = "an objective coefficient of " + model.vars[t.var].name + " is not a finite number";
        return false;
      }
  for (const Row& r : model.rows)
    for (const Term& t : r.terms)
      if (!std::isfinite(t.coef)) {
        error = "row " + r.label + " has a coefficient that is not a finite number";
        return false;
      }

  for (const Row& r : model.rows)
    if (std::isnan(r.rhs) || std::isnan(r.lo) || std::isnan(r.hi)) {
      error = "row " + r.label + " has a right-hand side or range that is not a number";
      return false;
    }
  for (const Var& v : model.vars)
    if (std::isnan(v.lower) || std::isnan(v.upper)) {
      error = "column " + v.name + " has a bound that is not a number";
      return false;
    }

  // A two-sided row whose lower side lies above its upper side has no
  // solution; the model text cannot write it as one row, so it becomes two.
  {
    std::vector<Row> rows;
    std::size_t split = 0;
    for (Row& r : model.rows) {
      if (r.sense == Sense::kRange && r.lo != -kInf && r.hi != kInf && r.lo > r.hi) {
        Row upper = r;
        upper.label.clear();
        upper.sense = Sense::kLe, upper.rhs = r.hi;
        r.sense = Sense::kGe, r.rhs = r.lo;
        rows.push_back(std::move(r));
        rows.push_back(std::move(upper));
        ++split;
      } else {
        rows.push_back(std::move(r));
      }
    }
    model.rows = std::move(rows);
    if (split)
      notes.push_back(std::to_string(split) +
                      " two-sided rows have their lower side above the upper side (no solution): written as two rows");
  }

  // The source's names, then the valid forms.
  std::unordered_set<std::string> takenCols;
  std::vector<std::string*> colNames;
  for (Var& v : model.vars) colNames.push_back(&v.name);
  const auto renamedCols = Rename(colNames, "C", ValidColumn, takenCols);
  std::unordered_set<std::string> takenRows = {kRegisterLabel};
  std::vector<std::string*> rowNames;
  for (Row& r : model.rows) rowNames.push_back(&r.label);
  auto renamedRows = Rename(rowNames, "R", ValidLabel, takenRows);
  // Rows the source left unnamed get labels, but have no original to keep.
  std::erase_if(renamedRows, [](const auto& p) { return p.second.empty(); });
  std::size_t caseOnly = 0;
  for (const auto& [now, was] : renamedCols)
    if (Upper(was) == now) ++caseOnly;
  if (renamedCols.size() > caseOnly) {
    std::vector<std::string> list;
    for (const auto& [now, was] : renamedCols)
      if (Upper(was) != now) list.push_back(was + " -> " + now);
    notes.push_back(std::to_string(list.size()) +
                    " column names are not valid model names (longer than 8 characters, not starting with a letter, "
                    "holding other characters than letters, digits, '_' and '.', reserved, or taken): renamed (" +
                    Some(list) + "); the name map keeps the originals");
  }
  {
    std::vector<std::string> list;
    for (const auto& [now, was] : renamedRows)
      if (Upper(was) != now) list.push_back(was + " -> " + now);
    if (!list.empty())
      notes.push_back(std::to_string(list.size()) + " row names are not valid row labels: renamed (" + Some(list) +
                      "); the name map keeps the originals");
  }
  std::string cleanTitle;
  for (char c : Upper(title))
    if (IsNameTail(c) && c != '.') cleanTitle += c;
  if (!cleanTitle.empty() && !(cleanTitle[0] >= 'A' && cleanTitle[0] <= 'Z')) cleanTitle = "P" + cleanTitle;
  model.title = cleanTitle.substr(0, 18);

  // Bounds the declarations cannot carry (negative values) become rows.
  {
    std::vector<std::string> list;
    for (const Var& v : model.vars) {
      if (v.kind != VarKind::kContinuous) continue;
      const bool row = (v.lower < 0 && v.lower != -kInf) || v.upper < 0;
      if (row) list.push_back(v.name);
    }
    if (!list.empty())
      notes.push_back(std::to_string(list.size()) +
                      " columns have negative bounds, which declarations cannot give: FREE and a bound row each (" +
                      Some(list) + ")");
  }
  // Rows that restrict nothing are left out; columns in no row are registered.
  {
    std::size_t free = 0;
    std::vector<char> seen(model.vars.size(), 0);
    for (const Row& r : model.rows) {
      if (r.sense == Sense::kRange && r.lo == -kInf && r.hi == kInf) {
        ++free;
        continue;
      }
      for (const Term& t : r.terms) seen[t.var] = 1;
    }
    std::vector<std::string> list;
    for (std::size_t j = 0; j < model.vars.size(); ++j) {
      const Var& v = model.vars[j];
      const bool boundRow = v.kind == VarKind::kContinuous && ((v.lower < 0 && v.lower != -kInf) || v.upper < 0);
      if (!seen[j] && !boundRow) list.push_back(v.name);
    }
    if (free) notes.push_back(std::to_string(free) + " rows restrict nothing (no finite side) and are left out");
    if (!list.empty())
      notes.push_back(std::to_string(list.size()) + " columns stand in no row; row " + kRegisterLabel +
                      " (all coefficients 0) makes them known to the model (" + Some(list) + ")");
  }
  if (model.goals.size() > 1 || priorities)
    notes.push_back(std::to_string(model.goals.size()) +
                    " prioritised objectives become goal rows, highest priority first");

  TavoWriteOptions options;
  options.registerLabel = kRegisterLabel;
  if (constant != 0) {
    options.comments.push_back("objective constant " + FormatShort(constant) +
                               " (not part of the model: add it to the first goal's value)");
    notes.push_back("the objective constant " + FormatShort(constant) +
                    " is not part of the model: it is noted in the title comment and in the name map");
  }
  out.modelText = WriteTavoModel(model, options);

  // The name map.
  std::string& js = out.namesJson;
  js = "{\n  \"source\": " + JsonString(sourceName) + ",\n  \"objectiveConstant\": " + Number(constant) +
       ",\n  \"goals\": [";
  for (std::size_t g = 0; g < model.goals.size(); ++g)
    js += std::string(g ? ", " : "") + "{\"row\": " + std::to_string(g + 1) +
          ", \"name\": " + JsonString(g < model.goalNames.size() ? model.goalNames[g] : std::string()) +
          ", \"sense\": \"" + (model.goals[g].maximize ? "MAX" : "MIN") + "\"}";
  js += "],\n  \"columns\": {";
  for (std::size_t k = 0; k < renamedCols.size(); ++k)
    js += std::string(k ? ",\n    " : "\n    ") + JsonString(renamedCols[k].first) + ": " +
          JsonString(renamedCols[k].second);
  js += renamedCols.empty() ? "},\n" : "\n  },\n";
  js += "  \"rows\": {";
  for (std::size_t k = 0; k < renamedRows.size(); ++k)
    js += std::string(k ? ",\n    " : "\n    ") + JsonString(renamedRows[k].first) + ": " +
          JsonString(renamedRows[k].second);
  js += renamedRows.empty() ? "}\n}\n" : "\n  }\n}\n";
  return true;
}

}  // namespace tavo::exchange
