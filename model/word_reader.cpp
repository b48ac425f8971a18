// The word reader: the lexical layer of the model parser. ReadWord cuts the
// model text into words and counts lines, ReadTerm classifies a word and
// joins a detached coefficient with its name, IsValidName checks a variable
// name and FindVariable looks a name up in the variable table.
//
// The text is code page 932; bytes are compared one at a time. No trail byte
// of a double-byte character equals a separator, an operator character, '!',
// '(' or ')', so double-byte characters pass through words unchanged.
#include <string>

#include "model/word_reader.h"
#include "shell/calc_run.h"
#include "shell/codec.h"
#include "shell/texts.h"

namespace tavo {

namespace {

inline bool IsSeparator(char c) { return c == '\n' || c == '\r' || c == '\t' || c == ' ' || c == ','; }

inline bool IsOperatorChar(char c) { return c == '>' || c == '<' || c == '='; }

inline bool IsWordEnder(char c) { return IsSeparator(c) || IsOperatorChar(c); }

}  // namespace

std::size_t NumericLength(const std::string& word) {
  std::size_t i = 0;
  while (i < word.size() && ((word[i] >= '0' && word[i] <= '9') || word[i] == '.' || word[i] == '@')) ++i;
  return i;
}

void UpperCaseCp932(std::string& word) {
  const std::size_t n = word.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(word[i]);
    if (IsCp932LeadByte(b)) {
      ++i;  // the trail byte (if any) is never changed
      continue;
    }
    if (b >= 'a' && b <= 'z') word[i] = static_cast<char>(b - ('a' - 'A'));
  }
}

int OperatorClass(const std::string& word) {
  if (word.empty()) return kTokPlain;
  switch (word[0]) {
    case '>':
      return kTokGreater;
    case '<':
      return kTokLess;
    case '=':
      return kTokEqual;
    default:
      return kTokPlain;
  }
}

// Next word of the text, upper-cased; empty when the text has ended.
// Every line feed the reader moves past adds 1 to the line number and starts
// a new count of the line's terms. (With CR LF line ends this is the moment
// the reader steps onto the line feed; counting on passing also keeps the
// line numbers right for text with bare LF line ends.)
std::string ReadWordIn(ParserState& P, const std::string& text) {
  std::string word;
  const int n = static_cast<int>(text.size());
  int& pos = P.g_textPos;
  if (pos < 0) pos = 0;
  if (pos >= n) return word;

  // Separators.
  while (IsSeparator(text[pos])) {
    if (text[pos] == '\n') {
      ++P.g_lineNo;
      P.g_lineTerms = 0;
    }
    ++pos;
    if (pos >= n) return word;
  }

  // A relational operator is a word of its own: ">", "<", "=", ">=", "<=", "==".
  if (IsOperatorChar(text[pos])) {
    word.push_back(text[pos]);
    ++pos;
    if (pos < n && text[pos] == '=') {
      word.push_back('=');
      ++pos;
    }
    return word;
  }

  for (;;) {
    char c = text[pos];
    if (IsWordEnder(c)) break;
    if (c == '!') {
      // Comments run to the line end; the line end and the blanks after it
      // are skipped too, and the word goes on with whatever byte follows.
      while (pos < n && text[pos] == '!') {
        while (pos < n && text[pos] != '\r' && text[pos] != '\n') ++pos;
        while (pos < n && (text[pos] == '\r' || text[pos] == '\n' || text[pos] == '\t' || text[pos] == ' ')) {
          if (text[pos] == '\n') {
            ++P.g_lineNo;
            P.g_lineTerms = 0;
          }
          ++pos;
        }
      }
      if (pos >= n) break;
      c = text[pos];
    }
    word.push_back(c);
    ++pos;
    if (pos >= n) break;
    if ((c == '+' || c == '-') && word.size() == 1) return word;  // a sign word
    if (text[pos] == ')') {
      P.g_tokenClass = kTokLabel;
      ++pos;
      break;
    }
  }
  UpperCaseCp932(word);
  return word;
}

// Next word with its classification (g_tokenClass) and numeric part
// (g_numPart). A bare number is joined with the name word after it ("3 X" is
// the term "3X"), except when it stands after a relational operator (a
// right-hand side) or before one (the lower value of a two-sided row).
std::string ReadTermIn(ParserState& P, const std::string& text, CalcRun* reporter) {
  P.g_numPart.clear();
  P.g_joinedNumber = false;
  const int previous = P.g_tokenClass;
  P.g_tokenClass = kTokPlain;
  std::string word = ReadWordIn(P, text);
  if (P.g_tokenClass == kTokLabel || word.empty()) return word;

  P.g_tokenClass = previous;
  const std::size_t numLen = NumericLength(word);
  if (numLen > 0) P.g_numPart.assign(word, 0, numLen);
  if (P.g_inDeclarations == 1) return word;

  const int op = OperatorClass(word);
  if (op != kTokPlain) {
    P.g_tokenClass = op;
    return word;
  }
  if (word[0] == '+') {
    P.g_tokenClass = kTokPlus;
    return word;
  }
  if (word[0] == '-') {
    P.g_tokenClass = kTokMinus;
    return word;
  }

  if (numLen == word.size()) {
    // A bare number: look at the word after it.
    const int savedPos = P.g_textPos;
    const int savedLine = P.g_lineNo;
    P.g_namePart = word;
    std::string next = ReadWordIn(P, text);
    if (next.empty()) {
      P.g_tokenClass = kTokPlain;  // the last word of the text
      return word;
    }
    const int nextOp = OperatorClass(next);
    if (nextOp != kTokPlain) {
      if (P.g_lineTerms == 0) {
        // The lower value of a two-sided row: the operator is read next.
        P.g_textPos = savedPos;
        P.g_lineNo = savedLine;
        P.g_tokenClass = kTokPlain;
        return word;
      }
      // A number after the terms of a line, right before the operator.
      if (reporter) reporter->ReportLineError(T().msgInvalidName, P.g_numPart);
      P.g_tokenClass = nextOp;  // the operator goes on as the operator it is
      P.g_numPart.clear();
      return next;
    }
    P.g_tokenClass = previous;
    if (previous == kTokGreater || previous == kTokLess || previous == kTokEqual) {
      // A right-hand side: the next word stays for the next read.
      P.g_textPos = savedPos;
      P.g_lineNo = savedLine;
      P.g_tokenClass = kTokPlain;
      return word;
    }
    word += next;  // a detached coefficient and its name
    P.g_joinedNumber = true;
  }
  P.g_tokenClass = kTokPlain;
  if (word.size() > P.g_numPart.size() && !Is(word, "MAX") && !Is(word, "MIN")) ++P.g_lineTerms;
  return word;
}

std::string CalcRun::ReadWord(const std::string& text) { return ReadWordIn(P, text); }

std::string CalcRun::ReadTerm(const std::string& text) { return ReadTermIn(P, text, this); }

// 1 when g_namePart is an acceptable variable name: a letter first, no
// parenthesis, at most 18 bytes.
int CalcRun::IsValidName() {
  const std::string& name = P.g_namePart;
  if (name.empty() || name.size() > 18) return 0;
  if (name[0] < 'A' || name[0] > 'Z') return 0;
  for (char c : name) {
    if (c == '(' || c == ')') return 0;
  }
  return 1;
}

// 1 when g_namePart is the name of one of the first `count` variables, with
// JCUR its column; otherwise 0 with JCUR = count. Whole names are compared.
// Variables registered by the parser are found through the name index (the
// first occurrence wins, as a scan in column order would find it); table
// entries beyond the registered names are compared with the 8 stored bytes.
int CalcRun::FindVariable(int count) {
  const std::string& name = P.g_namePart;
  if (count < 0) count = 0;
  W.JCUR = count;
  if (name.empty()) return 0;

  const int registered = static_cast<int>(P.g_varNames.size());
  const int col = P.g_varIndex.Find(name, P.g_varNames);
  if (col >= 0 && col < count) {
    W.JCUR = col;
    return 1;
  }
  // Entries of CNAME that the parser did not register itself.
  if (name.size() > 8) return 0;
  const int entries = static_cast<int>(W.CNAME.size() / 8);
  const int last = count < entries ? count : entries;
  for (int i = registered; i < last; ++i) {
    const char* entry = W.CNAME.data() + static_cast<std::size_t>(i) * 8;
    if (W.CNAME.compare(static_cast<std::size_t>(i) * 8, name.size(), name) != 0) continue;
    if (name.size() < 8 && entry[name.size()] != ' ') continue;
    W.JCUR = i;
    return 1;
  }
  return 0;
}

}  // namespace tavo
