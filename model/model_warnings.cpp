// The scan behind FindModelWarnings. It walks the text as the parser's
// counting pass does (title, goal section, constraint rows ending at their
// right-hand sides, declarations), with the same word reader on a parser
// state of its own, and notes for every name the rows it stands in.
#include "model/model_warnings.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
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

// A name as a string of characters: a double-byte character of code page
// 932 is one unit (lead byte * 256 + trail byte), so that an edit is
// counted in characters.
std::u16string Characters(const std::string& name) {
  std::u16string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(name[i]);
    if (IsCp932LeadByte(b) && i + 1 < name.size()) {
      out.push_back(static_cast<char16_t>(b << 8 | static_cast<unsigned char>(name[i + 1])));
      ++i;
    } else {
      out.push_back(static_cast<char16_t>(b));
    }
  }
  return out;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// How two names differ when they are one edit apart.
enum class Edit { kNone, kDigitsOnly, kOther };

// Longest name looked at for misspellings: the parser accepts no longer one.
constexpr std::size_t kMaxNameLength = 18;

// The keys of a name: the name itself (pos -1) and the name with the
// character at `pos` left out, each as a 64-bit hash (FNV-1a over the
// characters) with the character left out. Two names one edit apart always
// share a key; where each left its character out tells the edit.
struct EditKey {
  std::uint64_t hash = 0;
  int pos = -1;
  char16_t left = 0;
};

std::vector<EditKey> EditKeys(const std::u16string& chars) {
  auto hashWithout = [&](std::size_t skip) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      if (i == skip) continue;
      h = (h ^ static_cast<std::uint64_t>(chars[i])) * 1099511628211ull;
    }
    return h;
  };
  std::vector<EditKey> keys;
  keys.reserve(chars.size() + 1);
  keys.push_back({hashWithout(chars.size()), -1, 0});
  for (std::size_t skip = 0; skip < chars.size(); ++skip)
    keys.push_back({hashWithout(skip), static_cast<int>(skip), chars[skip]});
  return keys;
}

// True when a and b are one edit apart (checked character by character, so
// that a collision of two keys' hashes is never taken for an edit).
bool OneEditApart(const std::u16string& a, const std::u16string& b) {
  if (a.size() == b.size()) {
    std::size_t first = a.size(), count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] == b[i]) continue;
      if (count++ == 0) first = i;
      if (count > 2) return false;
    }
    return count == 1 || (count == 2 && first + 1 < a.size() && a[first] == b[first + 1] && a[first + 1] == b[first]);
  }
  const std::u16string& longer = a.size() > b.size() ? a : b;
  const std::u16string& shorter = a.size() > b.size() ? b : a;
  if (longer.size() != shorter.size() + 1) return false;
  std::size_t i = 0;
  while (i < shorter.size() && shorter[i] == longer[i]) ++i;
  for (; i < shorter.size(); ++i)
    if (shorter[i] != longer[i + 1]) return false;
  return true;
}

// The edit between name `a` and another name that share a key, from where
// each left a character out (a's key: posA, leftA; the other's: posB, leftB).
Edit EditBetween(const std::u16string& a, int posA, char16_t leftA, int posB, char16_t leftB) {
  auto kind = [](bool digitsOnly) { return digitsOnly ? Edit::kDigitsOnly : Edit::kOther; };
  if (posA < 0 && posB < 0) return Edit::kNone;                     // the same name
  if (posA < 0) return kind(IsDigit(leftB));                        // the other has one character more
  if (posB < 0) return kind(IsDigit(leftA));                        // the other has one character less
  if (posA == posB) return kind(IsDigit(leftA) && IsDigit(leftB));  // one character changed
  if (posA - posB == 1 || posB - posA == 1) {
    // Both left out the same character next to each other: two neighbours
    // swapped. (Otherwise the names differ in two places.)
    const int i = posA < posB ? posA : posB;
    if (leftA != leftB || a[i] == a[i + 1]) return Edit::kNone;
    return kind(IsDigit(a[i]) && IsDigit(a[i + 1]));
  }
  return Edit::kNone;
}

// What the scan knows of a name (its entry in names_ has the same number).
struct NameUse {
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
    const int id = index_.Find(name, names_);
    if (id >= 0) uses_[id].declared = true;
  }

  // A named term of the current row (the word as read, P_ describing it).
  void NameInRow(const std::string& word) {
    const std::string& numPart = P_.g_numPart;
    const std::string_view name = std::string_view(word).substr(numPart.size());
    const int line = P_.g_lineNo;
    if (name[0] < 'A' || name[0] > 'Z') return;  // an invalid name: the parser reports it
    if (!numPart.empty() && !P_.g_joinedNumber && LooksLikeExponent(name))
      Warn(line, WarningKind::kExponentLikeName, T().warnExponentName, word);
    else if (name.find_first_of("+-*/.") != std::string::npos)
      Warn(line, WarningKind::kOperatorInName, T().warnOperatorInName, std::string(name));

    int id = index_.Find(name, names_);
    if (id < 0) {
      id = static_cast<int>(uses_.size());
      names_.emplace_back(name);
      uses_.push_back({{}, line, -1, false, false});
      index_.Insert(id, names_);
    }
    NameUse& use = uses_[id];
    if (inConstraints_) use.inConstraint = true;
    if (!use.rows.empty() && use.rows.back() == row_) {
      if (use.warnedRepeatRow != row_)
        Warn(line, WarningKind::kRepeatedInRow, T().warnRepeatedInRow, std::string(name));
      use.warnedRepeatRow = row_;
      return;
    }
    use.rows.push_back(row_);
  }

  // "E2X" or "E-2X" after a number reads like an exponent.
  static bool LooksLikeExponent(std::string_view name) {
    auto digit = [&](std::size_t i) { return i < name.size() && name[i] >= '0' && name[i] <= '9'; };
    if (name[0] != 'E') return false;
    return digit(1) || ((name.size() > 1 && (name[1] == '+' || name[1] == '-')) && digit(2));
  }

  static bool StandsIn(const NameUse& use, int row) {
    return std::binary_search(use.rows.begin(), use.rows.end(), row);
  }

  // Variables of one row whose names are one edit from a variable elsewhere.
  void FindLikelyMisspellings() {
    // The keys of every variable, sorted by hash.
    struct Entry {
      std::uint64_t hash;
      int id;
      int pos;
      char16_t left;
      bool operator<(const Entry& o) const { return hash < o.hash; }
    };
    std::vector<std::u16string> chars(uses_.size());
    std::vector<Entry> entries;
    bool anyCandidate = false;
    for (std::size_t v = 0; v < uses_.size(); ++v) {
      const NameUse& use = uses_[v];
      if (!use.inConstraint || names_[v].size() > 2 * kMaxNameLength) continue;
      chars[v] = Characters(names_[v]);
      if (chars[v].size() > kMaxNameLength) continue;
      for (const EditKey& k : EditKeys(chars[v])) entries.push_back({k.hash, static_cast<int>(v), k.pos, k.left});
      anyCandidate = anyCandidate || IsCandidate(v, chars[v]);
    }
    if (!anyCandidate) return;
    std::sort(entries.begin(), entries.end());

    for (std::size_t v = 0; v < uses_.size(); ++v) {
      if (!IsCandidate(v, chars[v])) continue;
      const NameUse& use = uses_[v];
      const int row = use.rows[0];
      int similar = -1;
      bool sibling = false;
      for (const EditKey& k : EditKeys(chars[v])) {
        auto [from, to] = std::equal_range(entries.begin(), entries.end(), Entry{k.hash, 0, 0, 0});
        for (auto e = from; e != to && !sibling; ++e) {
          if (e->id == static_cast<int>(v)) continue;
          const Edit edit = EditBetween(chars[v], k.pos, k.left, e->pos, e->left);
          if (edit == Edit::kNone || !OneEditApart(chars[v], chars[e->id])) continue;
          if (StandsIn(uses_[e->id], row))
            sibling = true;  // a pair written side by side
          else if (edit == Edit::kOther && (similar < 0 || e->id < similar))
            similar = e->id;
        }
        if (sibling) break;
      }
      if (sibling || similar < 0) continue;
      Warn(use.firstLine, WarningKind::kLikelyMisspelt,
           T().warnMisspeltPrefix + names_[similar] + T().warnMisspeltSuffix, names_[v]);
    }
  }

  // A variable that may be a misspelling: it stands in one row, is named in
  // no declaration and has 3 to 18 characters.
  bool IsCandidate(std::size_t v, const std::u16string& chars) const {
    const NameUse& use = uses_[v];
    return use.inConstraint && !use.declared && use.rows.size() == 1 && chars.size() >= 3 &&
           chars.size() <= kMaxNameLength;
  }

  const std::string& text_;
  ParserState P_;
  bool inConstraints_ = false;
  int row_ = -1;                    // the row being read: goal rows and constraint rows in the order written
  std::vector<std::string> names_;  // the names, in the order of first occurrence
  NameIndex index_;                 // name -> its entry in names_ and uses_
  std::vector<NameUse> uses_;       // in the order of first occurrence
  std::vector<ModelWarning> out_;
};

}  // namespace

std::vector<ModelWarning> FindModelWarnings(const std::string& modelTextCp932) {
  return WarningScan(modelTextCp932).Run();
}

}  // namespace tavo
