// The scan behind FindModelWarnings. It walks the text as the parser's
// counting pass does (title, goal section, constraint rows ending at their
// right-hand sides, declarations), with the same word reader on a parser
// state of its own, and notes for every name the rows it stands in.
#include "model/model_warnings.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/parser_steps.h"
#include "shell/codec.h"
#include "shell/texts.h"

namespace tavo {

using parsing::IsConstraintHeading;
using parsing::IsDeclarationKeyword;
using parsing::IsGoalKeyword;
using parsing::IsRelational;

namespace {

// A name as a list of characters (a double-byte character of code page 932
// is one character), so that an edit is counted in characters.
std::vector<std::string> Characters(const std::string& name) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n = IsCp932LeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size() ? 2 : 1;
    out.emplace_back(name, i, n);
    i += n;
  }
  return out;
}

bool IsDigit(const std::string& c) { return c.size() == 1 && c[0] >= '0' && c[0] <= '9'; }

// How two names differ when they are one edit apart.
enum class Edit { kNone, kDigitsOnly, kOther };

Edit OneEdit(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() == b.size()) {
    std::size_t first = a.size(), count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] == b[i]) continue;
      if (count++ == 0) first = i;
      if (count > 2) return Edit::kNone;
    }
    if (count == 1) return IsDigit(a[first]) && IsDigit(b[first]) ? Edit::kDigitsOnly : Edit::kOther;
    if (count == 2 && first + 1 < a.size() && a[first] == b[first + 1] && a[first + 1] == b[first] &&
        a[first] != a[first + 1])
      return IsDigit(a[first]) && IsDigit(a[first + 1]) ? Edit::kDigitsOnly : Edit::kOther;
    return Edit::kNone;
  }
  const std::vector<std::string>& longer = a.size() > b.size() ? a : b;
  const std::vector<std::string>& shorter = a.size() > b.size() ? b : a;
  if (longer.size() != shorter.size() + 1) return Edit::kNone;
  std::size_t i = 0;
  while (i < shorter.size() && shorter[i] == longer[i]) ++i;
  for (std::size_t k = i; k < shorter.size(); ++k)
    if (shorter[k] != longer[k + 1]) return Edit::kNone;
  return IsDigit(longer[i]) ? Edit::kDigitsOnly : Edit::kOther;
}

// The name itself and the name with each one character left out: two names
// one edit apart always share one of these keys.
std::vector<std::string> EditKeys(const std::vector<std::string>& chars) {
  std::vector<std::string> keys;
  std::string whole;
  for (const std::string& c : chars) whole += c;
  keys.push_back(whole);
  for (std::size_t skip = 0; skip < chars.size(); ++skip) {
    std::string key;
    for (std::size_t i = 0; i < chars.size(); ++i)
      if (i != skip) key += chars[i];
    keys.push_back(std::move(key));
  }
  return keys;
}

// A name as the scan knows it.
struct NameUse {
  std::string name;
  std::vector<int> rows;      // rows it stands in, ascending, each once
  int firstLine = 0;          // line of its first term
  int warnedRepeatRow = -1;   // row of its last repeated-term warning
  bool inConstraint = false;  // it stands in a constraint row: a variable
  bool declared = false;      // named in a declaration
};

class WarningScan {
 public:
  explicit WarningScan(const std::string& text) : text_(text) { P_.g_text = &text; }

  std::vector<ModelWarning> Run() {
    if (text_.empty()) return {};
    ReadTitle();
    if (ScanGoalSection()) ScanConstraintSection();
    FindLikelyMisspellings();
    std::stable_sort(out_.begin(), out_.end(),
                     [](const ModelWarning& a, const ModelWarning& b) { return a.line < b.line; });
    return std::move(out_);
  }

 private:
  std::string Term() { return ReadTermIn(P_, text_, nullptr); }
  std::string Word() { return ReadWordIn(P_, text_); }

  void Warn(int line, WarningKind kind, const std::string& text, const std::string& detail) {
    out_.push_back({line, kind, text + "( " + detail + " )"});
  }

  void NewRow() { ++row_; }

  void ReadTitle() {
    const std::string w = Term();
    if (Is(w, "NAME") || Is(w, "TITLE")) {
      Term();
      return;
    }
    P_.g_textPos = 0;
    P_.g_lineNo = 1;
    P_.g_tokenClass = kTokPlain;
  }

  // Goal rows, each from MAX or MIN to the next heading, as the counting
  // pass reads them. True when the constraint section follows.
  bool ScanGoalSection() {
    std::string w = Term();
    while (IsGoalKeyword(w)) {
      NewRow();
      w = Term();
      for (;;) {
        if (w.empty() || IsGoalKeyword(w) || IsConstraintHeading(w)) break;
        if (IsRelational(P_.g_tokenClass)) {
          w = Term();
          break;
        }
        if (P_.g_tokenClass == kTokPlain && w.size() > P_.g_numPart.size()) NameInRow(w);
        w = Term();
      }
    }
    return IsConstraintHeading(w);
  }

  // Constraint rows end at their right-hand sides; the declarations name
  // variables.
  void ScanConstraintSection() {
    inConstraints_ = true;
    NewRow();
    for (;;) {
      P_.g_namePart.clear();
      std::string w = Term();
      if (Is(w, "TO")) w = Term();
      if (w.empty()) return;
      if (IsDeclarationKeyword(w)) {
        ScanDeclaration(w);
        continue;
      }
      const int cls = P_.g_tokenClass;
      if (cls == kTokLabel || cls == kTokPlus || cls == kTokMinus) continue;
      if (IsRelational(cls)) {
        if (P_.g_lineTerms == 0) continue;  // first operator of a two-sided row
        const std::string rhs = Word();
        if (Is(rhs, "+") || Is(rhs, "-")) Word();
        P_.g_lineTerms = 0;
        NewRow();
        continue;
      }
      if (w.size() > P_.g_numPart.size()) NameInRow(w);
    }
  }

  void ScanDeclaration(const std::string& keyword) {
    if (Is(keyword, "INT") || Is(keyword, "GIN") || Is(keyword, "INTORG")) {
      // A name list up to the next declaration keyword (INT may give a count).
      for (bool first = true;; first = false) {
        const int pos = P_.g_textPos, line = P_.g_lineNo;
        const std::string x = Word();
        if (first && Is(keyword, "INT") && !x.empty() && NumericLength(x) == x.size()) return;
        if (x.empty() || IsDeclarationKeyword(x)) {
          P_.g_textPos = pos;
          P_.g_lineNo = line;
          return;
        }
        Declared(x);
      }
    }
    if (Is(keyword, "SUB") || Is(keyword, "SLB")) {
      Declared(Term());
      Word();  // the value
    } else if (Is(keyword, "FIX")) {
      Declared(Word());
      Word();  // the value
    } else if (Is(keyword, "FREE")) {
      Declared(Word());
    }
  }

  void Declared(const std::string& name) {
    auto it = index_.find(name);
    if (it != index_.end()) uses_[it->second].declared = true;
  }

  // A named term of the current row (the word as read, P_ describing it).
  void NameInRow(const std::string& word) {
    const std::string& numPart = P_.g_numPart;
    const std::string name = word.substr(numPart.size());
    const int line = P_.g_lineNo;
    if (name[0] < 'A' || name[0] > 'Z') return;  // an invalid name: the parser reports it
    if (!numPart.empty() && !P_.g_joinedNumber && LooksLikeExponent(name))
      Warn(line, WarningKind::kExponentLikeName, T().warnExponentName, word);
    else if (name.find_first_of("+-*/.") != std::string::npos)
      Warn(line, WarningKind::kOperatorInName, T().warnOperatorInName, name);

    auto [it, added] = index_.try_emplace(name, static_cast<int>(uses_.size()));
    if (added) uses_.push_back({name, {}, line, -1, false, false});
    NameUse& use = uses_[it->second];
    if (inConstraints_) use.inConstraint = true;
    if (!use.rows.empty() && use.rows.back() == row_) {
      if (use.warnedRepeatRow != row_) Warn(line, WarningKind::kRepeatedInRow, T().warnRepeatedInRow, name);
      use.warnedRepeatRow = row_;
      return;
    }
    use.rows.push_back(row_);
  }

  // "E2X" or "E-2X" after a number reads like an exponent.
  static bool LooksLikeExponent(const std::string& name) {
    auto digit = [&](std::size_t i) { return i < name.size() && name[i] >= '0' && name[i] <= '9'; };
    if (name[0] != 'E') return false;
    return digit(1) || ((name.size() > 1 && (name[1] == '+' || name[1] == '-')) && digit(2));
  }

  static bool StandsIn(const NameUse& use, int row) {
    return std::binary_search(use.rows.begin(), use.rows.end(), row);
  }

  // Variables of one row whose names are one edit from a variable elsewhere.
  void FindLikelyMisspellings() {
    std::vector<std::vector<std::string>> chars(uses_.size());
    std::unordered_map<std::string, std::vector<int>> byKey;
    for (std::size_t v = 0; v < uses_.size(); ++v) {
      if (!uses_[v].inConstraint) continue;
      chars[v] = Characters(uses_[v].name);
      for (std::string& key : EditKeys(chars[v])) byKey[std::move(key)].push_back(static_cast<int>(v));
    }
    for (std::size_t v = 0; v < uses_.size(); ++v) {
      const NameUse& use = uses_[v];
      if (!use.inConstraint || use.declared || use.rows.size() != 1 || chars[v].size() < 3) continue;
      const int row = use.rows[0];
      int similar = -1;
      bool sibling = false;
      for (const std::string& key : EditKeys(chars[v])) {
        auto it = byKey.find(key);
        if (it == byKey.end()) continue;
        for (int u : it->second) {
          if (u == static_cast<int>(v)) continue;
          const Edit edit = OneEdit(chars[v], chars[u]);
          if (edit == Edit::kNone) continue;
          if (StandsIn(uses_[u], row)) {
            sibling = true;  // a pair written side by side
            break;
          }
          if (edit == Edit::kOther && (similar < 0 || u < similar)) similar = u;
        }
        if (sibling) break;
      }
      if (sibling || similar < 0) continue;
      Warn(use.firstLine, WarningKind::kLikelyMisspelt,
           T().warnMisspeltPrefix + uses_[similar].name + T().warnMisspeltSuffix, use.name);
    }
  }

  const std::string& text_;
  ParserState P_;
  bool inConstraints_ = false;
  int row_ = -1;  // the row being read: goal rows and constraint rows in the order written
  std::unordered_map<std::string, int> index_;  // name -> its entry in uses_
  std::vector<NameUse> uses_;                   // in the order of first occurrence
  std::vector<ModelWarning> out_;
};

}  // namespace

std::vector<ModelWarning> FindModelWarnings(const std::string& modelTextCp932) {
  return WarningScan(modelTextCp932).Run();
}

}  // namespace tavo
