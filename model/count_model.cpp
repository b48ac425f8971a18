// The counting pass of the model parser (CountModel): finds the goal rows,
// the constraint rows and the variables, registers the variable names and
// the row labels, and checks the headings and names. It reads the same words
// as the storing pass, so that the storing pass meets exactly what was
// counted here.
#include <string>

#include "model/parser_steps.h"
#include "shell/codec.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo {

using namespace parsing;

namespace {

// What the counting pass does after one word of the constraint section.
enum class CountStep {
  kGoOn,            // read the next word
  kEndWithChecks,   // the pass ends; the final checks follow
  kEndImmediately,  // the pass ends without final checks
};

// Fresh name tables: room for 100 names and 50 row labels.
void ResetCountingTables(CalcRun& run) {
  run.P.g_boundRowCount = 0;
  run.P.g_haveRowLabels = 0;
  run.P.g_inConstraints = 0;
  run.W.CNAME.clear();
  run.W.CNAME.reserve(100 * 8);
  run.W.RNAME.assign(50 * 18, '\0');
  run.P.g_varNames.clear();
  run.P.g_varIndex.Clear();
  run.P.g_lineTerms = 0;
}

// The goal section: each MAX or MIN is one goal row; its words are skipped up
// to the next heading. A relational operator ends the row and the word after
// it must be the next heading. Returns true when the constraint heading
// follows without error; otherwise the counting pass ends here.
bool CountGoalSection(CalcRun& run, const std::string& text) {
  std::string& w = run.P.g_token;
  w = run.ReadTerm(text);
  for (;;) {
    if (w.empty()) break;  // the text has ended
    if (!IsGoalKeyword(w)) {
      if (!IsConstraintHeading(w)) run.ReportLineError(T().msgBadHeading, w);
      break;
    }
    ++run.W.NGOALS;
    ++run.W.MROWS;
    w = run.ReadTerm(text);
    if (Is(w, "+") || Is(w, "-")) w = run.ReadTerm(text);
    for (;;) {
      if (w.empty() || IsGoalKeyword(w) || IsConstraintHeading(w)) break;
      if (IsRelational(run.P.g_tokenClass)) {
        w = run.ReadTerm(text);
        break;
      }
      w = run.ReadTerm(text);
    }
  }
  if (run.W.NERR != 0) return false;
  if (!IsConstraintHeading(w)) {
    run.result.logText += T().msgNoSt;
    ++run.W.NERR;
    return false;
  }
  return true;
}

// INT k counts k integer declarations when k is not more than the variables
// known so far; INT with names counts each known name and reports the
// unknown ones. The word that ends the list is read again.
void CountIntDeclaration(CalcRun& run, const std::string& text) {
  ParserState& P = run.P;
  int savedPos = P.g_textPos, savedLine = P.g_lineNo;
  std::string x = run.ReadWord(text);
  if (!x.empty() && NumericLength(x) == x.size()) {
    int k = CAtoi(x);
    if (k <= run.W.NSTRUC) run.W.NINT = SaturatingAdd(run.W.NINT, k);
    return;
  }
  // A list of names up to the next declaration keyword.
  for (;;) {
    if (x.empty() || IsDeclarationKeyword(x)) {
      P.g_textPos = savedPos;
      P.g_lineNo = savedLine;
      return;
    }
    P.g_namePart = x;
    if (run.FindVariable(run.W.NSTRUC))
      run.W.NINT = SaturatingAdd(run.W.NINT, 1);
    else
      run.ReportLineError(T().msgUndefinedVar, x);
    savedPos = P.g_textPos;
    savedLine = P.g_lineNo;
    x = run.ReadWord(text);
  }
}

// GIN and INTORG name lists: each known name counts one integer
// declaration; the first unknown name is reported and ends the counting
// pass (returns false).
bool CountIntegerList(CalcRun& run, const std::string& text) {
  ParserState& P = run.P;
  for (;;) {
    const int savedPos = P.g_textPos, savedLine = P.g_lineNo;
    std::string x = run.ReadWord(text);
    if (x.empty() || IsDeclarationKeyword(x)) {
      P.g_textPos = savedPos;
      P.g_lineNo = savedLine;
      return true;
    }
    P.g_namePart = x;
    if (!run.FindVariable(run.W.NSTRUC)) {
      run.ReportLineError(T().msgUndefinedVar, x);
      return false;
    }
    run.W.NINT = SaturatingAdd(run.W.NINT, 1);
  }
}

// SUB and SLB on a known variable may become bound rows; unknown names are
// reported by the storing pass.
void CountBoundDeclaration(CalcRun& run, const std::string& text) {
  std::string name = run.ReadTerm(text);
  run.P.g_namePart = name;
  if (run.FindVariable(run.W.NSTRUC)) ++run.P.g_boundRowCount;
  run.ReadWord(text);  // the value
}

// One declaration keyword (in P.g_token) with the words that belong to it.
CountStep CountDeclaration(CalcRun& run, const std::string& text) {
  const std::string& w = run.P.g_token;
  if (Is(w, "INT")) {
    CountIntDeclaration(run, text);
  } else if (Is(w, "GIN") || Is(w, "INTORG")) {
    if (!CountIntegerList(run, text)) return CountStep::kEndWithChecks;
  } else if (Is(w, "SUB") || Is(w, "SLB")) {
    CountBoundDeclaration(run, text);
  } else if (Is(w, "FIX")) {
    run.ReadWord(text);
    run.ReadWord(text);
  } else if (Is(w, "FREE")) {
    run.ReadWord(text);
  }
  return CountStep::kGoOn;  // END, INTEND: nothing
}

// A row label: the first 18 bytes (never half a character), blank padded, become the RNAME entry of
// the row being read; the table grows by 50 rows when it is full.
void CountRowLabel(CalcRun& run) {
  const std::size_t entry = static_cast<std::size_t>(run.W.MROWS - run.W.NGOALS);
  std::string& names = run.W.RNAME;
  if (names.size() < (entry + 1) * 18) {
    std::size_t rows = names.size() / 18;
    while (rows < entry + 1) rows += 50;
    names.resize(rows * 18, '\0');
  }
  names.replace(entry * 18, 18, FixedWidthCp932(run.P.g_token, 18));
  run.P.g_haveRowLabels = 1;
}

// The row's operator after its terms: the right-hand side (with its sign
// word) ends the row.
void CountRightHandSide(CalcRun& run, const std::string& text) {
  std::string rhs = run.ReadWord(text);
  if (Is(rhs, "+") || Is(rhs, "-")) run.ReadWord(text);
  ++run.W.MROWS;
  run.P.g_lineTerms = 0;
}

// A term: its name is checked and, when new, registered as the next
// variable. An invalid name ends the counting pass at once.
CountStep CountTerm(CalcRun& run) {
  ParserState& P = run.P;
  P.g_namePart.assign(P.g_token, P.g_numPart.size(), std::string::npos);
  if (!run.IsValidName()) {
    run.ReportLineError(T().msgInvalidName, P.g_namePart);
    return CountStep::kEndImmediately;
  }
  if (!run.FindVariable(run.W.NSTRUC)) {
    run.W.CNAME += FixedWidthCp932(P.g_namePart, 8);
    P.g_varNames.push_back(P.g_namePart);
    P.g_varIndex.Insert(run.W.NSTRUC, P.g_varNames);
    ++run.W.NSTRUC;
  }
  return CountStep::kGoOn;
}

// One word of a constraint row (in P.g_token): a label, a sign word, an
// operator, a term; a bare number among the terms is passed over.
CountStep CountRowWord(CalcRun& run, const std::string& text) {
  const ParserState& P = run.P;
  const int cls = P.g_tokenClass;
  if (cls == kTokLabel) {
    CountRowLabel(run);
    return CountStep::kGoOn;
  }
  if (cls == kTokPlus || cls == kTokMinus) return CountStep::kGoOn;
  if (IsRelational(cls)) {
    // Without terms before it, the first operator of a two-sided row.
    if (P.g_lineTerms != 0) CountRightHandSide(run, text);
    return CountStep::kGoOn;
  }
  if (P.g_token.size() > P.g_numPart.size()) return CountTerm(run);
  return CountStep::kGoOn;
}

// A model needs a goal row, a constraint row and a variable.
void CountFinalChecks(CalcRun& run) {
  if (run.W.NGOALS == 0) {
    run.result.logText += T().msgNoObjective;
    ++run.W.NERR;
  }
  if (run.W.MROWS == 0) {
    run.result.logText += T().msgNoConstraint;
    ++run.W.NERR;
  }
  if (run.W.NSTRUC == 0) {
    run.result.logText += T().msgNoVariable;
    ++run.W.NERR;
  }
}

}  // namespace

// The counting pass: the goal section, then the constraint section with the
// declarations, word by word, then the final checks.
void CalcRun::CountModel() {
  static const std::string kNoText;
  const std::string& text = P.g_text ? *P.g_text : kNoText;

  ResetCountingTables(*this);
  if (!CountGoalSection(*this, text)) return;

  P.g_inConstraints = 1;
  std::string& w = P.g_token;
  for (;;) {
    P.g_namePart.clear();
    w = ReadTerm(text);
    if (Is(w, "TO")) w = ReadTerm(text);
    if (w.empty()) break;  // the text has ended
    const CountStep step = IsDeclarationKeyword(w) ? CountDeclaration(*this, text) : CountRowWord(*this, text);
    if (step == CountStep::kEndWithChecks) break;
    if (step == CountStep::kEndImmediately) return;
  }
  CountFinalChecks(*this);
}

}  // namespace tavo
