#include "model/mps_reader.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace tavo::exchange {
namespace {

enum class Section { kNone, kRows, kColumns, kRhs, kRanges, kBounds, kObjSense, kSkip };

// A row of the file: its type letter and its index among the model's rows
// (-1 for the objective, -2 for a dropped N row).
struct RowRef {
  char type = 'N';
  int index = -1;
};

bool ParseNumber(const std::string& s, double& v) {
  const char* first = s.data();
  const char* last = first + s.size();
  if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
  if (first == last) return false;
  const auto [end, ec] = std::from_chars(first, last, v);
  return ec == std::errc() && end == last;
}

std::vector<std::string> SplitBlanks(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : line) {
    if (c == ' ' || c == '\t') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

// Field of the fixed layout: 1-based columns [from, to], blanks trimmed.
std::string FixedField(const std::string& line, int from, int to) {
  if (static_cast<int>(line.size()) < from) return "";
  std::string f = line.substr(from - 1, to - from + 1);
  std::size_t b = f.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  std::size_t e = f.find_last_not_of(" \t");
  return f.substr(b, e - b + 1);
}

// The name field and the (row, value) pairs of a data line in the fixed
// layout: fields 2 to 4, and 5 to 6 when field 5 is not empty.
std::vector<std::string> FixedPairs(const std::string& line) {
  std::vector<std::string> f = {FixedField(line, 5, 12), FixedField(line, 15, 22), FixedField(line, 25, 36)};
  std::string f5 = FixedField(line, 40, 47);
  if (!f5.empty()) {
    f.push_back(f5);
    f.push_back(FixedField(line, 50, 61));
  }
  return f;
}

struct Reader {
  Reader(MpsModel& problem, std::string& message) : out(problem), error(message) {}

  MpsModel& out;
  std::string& error;
  std::unordered_map<std::string, RowRef> rows;
  std::unordered_map<std::string, int> cols;
  std::vector<char> lowerGiven;
  std::vector<char> integer;
  bool haveObjective = false;
  bool maximize = false;
  bool inIntegerBlock = false;
  std::string rhsSet, rangeSet, boundSet;
  bool rhsSetSeen = false, rangeSetSeen = false, boundSetSeen = false;
  std::vector<double> rangeValue;  // per model row; NaN-free: flagged by rangeGiven
  std::vector<char> rangeGiven;
  std::vector<char> rowType;  // per model row: 'E', 'L', 'G'
  std::string lastColumn;
  struct Objective {
    std::string name;
    double priority, weight;
    std::vector<Term> terms;
  };
  std::vector<Objective> objectives;  // N rows with priorities, in file order
  int lineNo = 0;

  bool Fail(const std::string& why) {
    error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  }

  bool KnownRow(const std::string& name) const { return rows.count(name) != 0; }

  bool AddRow(const std::string& line) {
    std::vector<std::string> f = SplitBlanks(line);
    double attr[4];
    if (f.size() == 6 && (f[0] == "N" || f[0] == "n") && ParseNumber(f[2], attr[0]) && ParseNumber(f[3], attr[1]) &&
        ParseNumber(f[4], attr[2]) && ParseNumber(f[5], attr[3])) {
      // An objective of a multi-objective model: priority, weight, tolerances.
      if (rows.count(f[1])) return Fail("row " + f[1] + " defined twice");
      RowRef ref;
      ref.type = 'N';
      ref.index = -3 - static_cast<int>(objectives.size());
      objectives.push_back({f[1], attr[0], attr[1], {}});
      rows[f[1]] = ref;
      return true;
    }
    if (f.size() > 2 && f[0].size() == 1) {
      // A name with blanks: the rest of the line from the name field on.
      std::string name = line.size() > 4 ? line.substr(4) : "";
      std::size_t e = name.find_last_not_of(" \t");
      f = {f[0], e == std::string::npos ? "" : name.substr(0, e + 1)};
    }
    if (f.size() != 2 || f[0].size() != 1 || f[1].empty()) return Fail("bad ROWS line");
    char type = static_cast<char>(std::toupper(static_cast<unsigned char>(f[0][0])));
    if (rows.count(f[1])) return Fail("row " + f[1] + " defined twice");
    RowRef ref;
    ref.type = type;
    if (type == 'N') {
      ref.index = haveObjective ? -2 : -1;
      if (!haveObjective) out.model.goalNames = {f[1]};
      haveObjective = true;
    } else if (type == 'E' || type == 'L' || type == 'G') {
      ref.index = static_cast<int>(out.model.rows.size());
      Row r;
      r.label = f[1];
      r.sense = type == 'E' ? Sense::kEq : type == 'L' ? Sense::kLe : Sense::kGe;
      r.rhs = 0;
      out.model.rows.push_back(r);
      out.rowNames.push_back(f[1]);
      rowType.push_back(type);
      rangeGiven.push_back(0);
      rangeValue.push_back(0);
    } else {
      return Fail("unknown row type " + f[0]);
    }
    rows[f[1]] = ref;
    return true;
  }

  // Name followed by (row, value) pairs, all rows known and values numbers.
  static bool PairsValid(const Reader& r, const std::vector<std::string>& f, std::size_t first) {
    if (f.size() <= first || (f.size() - first) % 2 != 0) return false;
    for (std::size_t k = first; k < f.size(); k += 2) {
      double v;
      if (!r.KnownRow(f[k]) || !ParseNumber(f[k + 1], v)) return false;
    }
    return true;
  }

  bool AddColumnEntries(const std::string& line) {
    std::vector<std::string> t = SplitBlanks(line);
    if (t.size() >= 3 && t[1] == "'MARKER'") {
      if (t[2].find("INTORG") != std::string::npos)
        inIntegerBlock = true;
      else if (t[2].find("INTEND") != std::string::npos)
        inIntegerBlock = false;
      return true;
    }
    std::vector<std::string> f;
    if ((t.size() == 3 || t.size() == 5) && PairsValid(*this, t, 1)) {
      f = t;
    } else {
      f = FixedPairs(line);
      if (f[1] == "'MARKER'") {
        if (f.size() >= 4 && f[3].find("INTORG") != std::string::npos) inIntegerBlock = true;
        if (f.size() >= 4 && f[3].find("INTEND") != std::string::npos) inIntegerBlock = false;
        return true;
      }
      if (f[0].empty() || !PairsValid(*this, f, 1)) return Fail("bad COLUMNS line: " + line);
    }
    const std::string& name = f[0];
    auto it = cols.find(name);
    int j;
    if (it == cols.end()) {
      j = static_cast<int>(out.model.vars.size());
      cols[name] = j;
      Var v;
      v.name = name;
      if (inIntegerBlock) {
        v.kind = VarKind::kInteger;
        v.lower = 0;
        v.upper = 1;
      }
      out.model.vars.push_back(v);
      out.colNames.push_back(name);
      lowerGiven.push_back(0);
      integer.push_back(inIntegerBlock ? 1 : 0);
    } else {
      j = it->second;
    }
    // A column seen for the first time has no entries to add to.
    const bool fresh = it == cols.end();
    bool contiguous = fresh || name == lastColumn;
    lastColumn = name;
    for (std::size_t k = 1; k + 1 < f.size(); k += 2) {
      double v = 0;
      ParseNumber(f[k + 1], v);
      const RowRef& ref = rows[f[k]];
      std::vector<Term>* terms = nullptr;
      if (ref.index == -1)
        terms = &out.model.goals[0].terms;
      else if (ref.index <= -3)
        terms = &objectives[-3 - ref.index].terms;
      else if (ref.index >= 0)
        terms = &out.model.rows[ref.index].terms;
      if (!terms) continue;
      // A repeated entry adds up (a column split over non-adjacent lines is
      // looked up the slow way).
      Term* found = nullptr;
      if (!terms->empty() && terms->back().var == j) {
        found = &terms->back();
      } else if (!contiguous) {
        for (Term& t : *terms)
          if (t.var == j) found = &t;
      }
      if (found)
        found->coef += v;
      else
        terms->push_back({j, v});
    }
    return true;
  }

  // RHS and RANGES lines: optional set name, then (row, value) pairs.
  bool SetValues(const std::string& line, bool ranges) {
    std::vector<std::string> t = SplitBlanks(line);
    std::string set;
    std::vector<std::string> pairs;
    bool ok = false;
    if (!t.empty() && t.size() <= 5) {
      if (t.size() % 2 == 1 && PairsValid(*this, t, 1)) {
        set = t[0];
        pairs.assign(t.begin() + 1, t.end());
        ok = true;
      } else if (t.size() % 2 == 0 && PairsValid(*this, t, 0)) {
        pairs = t;
        ok = true;
      }
    }
    if (!ok) {
      std::vector<std::string> f = FixedPairs(line);
      if (!PairsValid(*this, f, 1)) return Fail(std::string("bad ") + (ranges ? "RANGES" : "RHS") + " line: " + line);
      set = f[0];
      pairs.assign(f.begin() + 1, f.end());
    }
    std::string& chosen = ranges ? rangeSet : rhsSet;
    bool& seen = ranges ? rangeSetSeen : rhsSetSeen;
    if (!seen) {
      chosen = set;
      seen = true;
    } else if (set != chosen) {
      return true;  // a later set: not used
    }
    for (std::size_t k = 0; k + 1 < pairs.size(); k += 2) {
      double v = 0;
      ParseNumber(pairs[k + 1], v);
      const RowRef& ref = rows[pairs[k]];
      if (ref.index == -1) {
        if (!ranges) out.objectiveRhs = v;
        continue;
      }
      if (ref.index < 0) continue;
      if (ranges) {
        rangeGiven[ref.index] = 1;
        rangeValue[ref.index] = v;
      } else {
        out.model.rows[ref.index].rhs = v;
      }
    }
    return true;
  }

  bool SetBound(const std::string& line) {
    std::vector<std::string> t = SplitBlanks(line);
    if (t.empty()) return true;
    std::string type = t[0];
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool needsValue = type == "UP" || type == "LO" || type == "FX" || type == "LI" || type == "UI";
    bool known = needsValue || type == "FR" || type == "MI" || type == "PL" || type == "BV";
    if (!known) return Fail("unknown bound type " + t[0]);
    std::string set, col, value;
    bool ok = false;
    std::vector<std::string> rest(t.begin() + 1, t.end());
    double v;
    auto isCol = [&](const std::string& s) { return cols.count(s) != 0; };
    if (needsValue) {
      if (rest.size() == 3 && isCol(rest[1]) && ParseNumber(rest[2], v)) {
        set = rest[0], col = rest[1], value = rest[2], ok = true;
      } else if (rest.size() == 2 && isCol(rest[0]) && ParseNumber(rest[1], v)) {
        col = rest[0], value = rest[1], ok = true;
      }
    } else {
      if (rest.size() == 3 && isCol(rest[1])) {
        set = rest[0], col = rest[1], value = rest[2], ok = true;
      } else if (rest.size() == 2 && isCol(rest[1])) {
        set = rest[0], col = rest[1], ok = true;
      } else if (rest.size() == 2 && isCol(rest[0]) && ParseNumber(rest[1], v)) {
        col = rest[0], value = rest[1], ok = true;
      } else if (rest.size() == 1 && isCol(rest[0])) {
        col = rest[0], ok = true;
      }
    }
    if (!ok) {
      set = FixedField(line, 5, 12);
      col = FixedField(line, 15, 22);
      value = FixedField(line, 25, 36);
      if (!isCol(col) || (needsValue && !ParseNumber(value, v))) return Fail("bad BOUNDS line: " + line);
    }
    if (!boundSetSeen) {
      boundSet = set;
      boundSetSeen = true;
    } else if (set != boundSet) {
      return true;
    }
    int j = cols[col];
    Var& var = out.model.vars[j];
    double x = 0;
    if (!value.empty()) ParseNumber(value, x);
    // 1e30 and beyond mean "no bound", as MPS writers use them.
    if (x >= 1e30) x = kInf;
    if (x <= -1e30) x = -kInf;
    if (type == "UP" || type == "UI") {
      var.upper = x;
      if (x < 0 && !lowerGiven[j] && var.lower == 0) var.lower = -kInf;
      if (type == "UI") integer[j] = 1;
    } else if (type == "LO" || type == "LI") {
      var.lower = x;
      lowerGiven[j] = 1;
      if (type == "LI") integer[j] = 1;
    } else if (type == "FX") {
      var.lower = var.upper = x;
      lowerGiven[j] = 1;
    } else if (type == "FR") {
      var.lower = -kInf;
      var.upper = kInf;
      lowerGiven[j] = 1;
    } else if (type == "MI") {
      var.lower = -kInf;
      lowerGiven[j] = 1;
    } else if (type == "PL") {
      var.upper = kInf;
    } else if (type == "BV") {
      var.lower = 0;
      var.upper = 1;
      integer[j] = 1;
      lowerGiven[j] = 1;
    }
    return true;
  }

  void Finish() {
    for (std::size_t i = 0; i < out.model.rows.size(); ++i) {
      if (!rangeGiven[i]) continue;
      Row& r = out.model.rows[i];
      double R = rangeValue[i], b = r.rhs;
      double a = R < 0 ? -R : R;
      r.sense = Sense::kRange;
      if (rowType[i] == 'E') {
        r.lo = R >= 0 ? b : b - a;
        r.hi = R >= 0 ? b + a : b;
      } else if (rowType[i] == 'L') {
        r.lo = b - a;
        r.hi = b;
      } else {
        r.lo = b;
        r.hi = b + a;
      }
    }
    for (std::size_t j = 0; j < out.model.vars.size(); ++j) {
      Var& v = out.model.vars[j];
      if (!integer[j]) continue;
      v.kind = (v.lower == 0 && v.upper == 1) ? VarKind::kBinary : VarKind::kInteger;
    }
    out.model.goals[0].maximize = maximize;
    if (objectives.empty()) return;
    // Several prioritised objectives: one goal level per priority, highest
    // first; objectives of equal priority are blended by their weights.
    std::stable_sort(objectives.begin(), objectives.end(),
                     [](const Objective& a, const Objective& b) { return a.priority > b.priority; });
    std::vector<Goal> goals;
    std::vector<std::string> names;
    for (std::size_t k = 0; k < objectives.size();) {
      std::size_t e = k;
      std::vector<double> dense(out.model.vars.size(), 0.0);
      std::vector<char> used(out.model.vars.size(), 0);
      std::string name = objectives[k].name;
      while (e < objectives.size() && objectives[e].priority == objectives[k].priority) {
        for (const Term& t : objectives[e].terms) dense[t.var] += objectives[e].weight * t.coef, used[t.var] = 1;
        ++e;
      }
      Goal g;
      names.push_back(name);
      // minimise w*f: a negative weight makes the goal a maximisation of |w|*f.
      const bool single = e == k + 1;
      const double sign = single && objectives[k].weight < 0 ? -1.0 : 1.0;
      g.maximize = maximize != (sign < 0);
      for (std::size_t j = 0; j < dense.size(); ++j)
        if (used[j]) g.terms.push_back({static_cast<int>(j), sign * dense[j]});
      goals.push_back(g);
      k = e;
    }
    out.model.goals = goals;
    out.model.goalNames = names;
    out.priorities = true;
  }
};

}  // namespace

bool ReadMpsText(const std::string& text, MpsModel& out, std::string& error) {
  out = MpsModel{};
  out.model.goals.resize(1);
  Reader r(out, error);
  Section section = Section::kNone;
  std::istringstream in(text);
  std::string line;
  bool ended = false;
  while (std::getline(in, line)) {
    ++r.lineNo;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (line.empty() || line[0] == '*') continue;
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (line[0] != ' ' && line[0] != '\t') {
      static const std::unordered_map<std::string, Section> kSections = {{"ROWS", Section::kRows},
                                                                         {"COLUMNS", Section::kColumns},
                                                                         {"RHS", Section::kRhs},
                                                                         {"RANGES", Section::kRanges},
                                                                         {"BOUNDS", Section::kBounds}};
      std::vector<std::string> t = SplitBlanks(line);
      const std::string& word = t[0];
      if (word == "NAME") {
        out.name = t.size() > 1 ? t[1] : "";
        section = Section::kNone;
      } else if (kSections.count(word)) {
        section = kSections.at(word);
      } else if (word == "OBJSENSE") {
        section = Section::kObjSense;
        if (t.size() > 1) r.maximize = t[1].rfind("MAX", 0) == 0;
      } else if (word == "ENDATA") {
        ended = true;
        break;
      } else if (section == Section::kObjSense) {
        r.maximize = word.rfind("MAX", 0) == 0;
      } else {
        section = Section::kSkip;  // a section this reader does not know
      }
      continue;
    }
    bool ok = true;
    switch (section) {
      case Section::kRows:
        ok = r.AddRow(line);
        break;
      case Section::kColumns:
        ok = r.AddColumnEntries(line);
        break;
      case Section::kRhs:
        ok = r.SetValues(line, false);
        break;
      case Section::kRanges:
        ok = r.SetValues(line, true);
        break;
      case Section::kBounds:
        ok = r.SetBound(line);
        break;
      case Section::kObjSense: {
        std::vector<std::string> t = SplitBlanks(line);
        r.maximize = t[0].rfind("MAX", 0) == 0;
        break;
      }
      case Section::kNone:
        return r.Fail("data line outside a section");
      case Section::kSkip:
        break;
    }
    if (!ok) return false;
  }
  if (!ended) {
    error = "no ENDATA line";
    return false;
  }
  if (!r.haveObjective && r.objectives.empty()) {
    error = "no objective row";
    return false;
  }
  if (out.model.vars.empty()) {
    error = "no columns";
    return false;
  }
  r.Finish();
  std::string title;
  for (char c : out.name)
    if (std::isalnum(static_cast<unsigned char>(c)))
      title += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!title.empty() && !std::isalpha(static_cast<unsigned char>(title[0]))) title = "P" + title;
  out.model.title = title.substr(0, 18);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  text.clear();
  // gzopen reads plain files unchanged, so one path serves both.
  gzFile f = gzopen(path.c_str(), "rb");
  if (!f) return false;
  gzbuffer(f, 1 << 17);
  char buf[1 << 16];
  int got;
  while ((got = gzread(f, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(got));
  int status = Z_OK;
  gzerror(f, &status);
  const bool ok = got == 0 && (status == Z_OK || status == Z_STREAM_END);
  gzclose(f);
  return ok;
}

bool ReadMpsFile(const std::string& path, MpsModel& out, std::string& error) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    error = "cannot read " + path;
    return false;
  }
  return ReadMpsText(text, out, error);
}

}  // namespace tavo::exchange
