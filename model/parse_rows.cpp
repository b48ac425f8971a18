// The storing pass of the model parser, rows: the goal rows (coefficients
// times -1 for MAX, +1 for MIN) and the constraint rows with their
// right-hand sides, types and ranges. Nothing is written at or beyond the
// row count fixed between the passes: after an error the text may be met as
// more rows than were counted, and such rows are read but not stored.
#include <string>

#include "model/parser_steps.h"
#include "shell/texts.h"

namespace tavo::parsing {

namespace {

// ---------------------------------------------------------------------------
// Goal rows.

// One named term of a goal row (in P.g_token). Returns false when its name
// is not a variable of the constraint rows: the goal row then ends, with the
// word after the term in hand.
bool StoreGoalTerm(CalcRun& run, const std::string& text, double multiplier) {
  ParserState& P = run.P;
  StoringCursor& c = P.g_store;
  const std::string& w = P.g_token;
  P.g_namePart.assign(w, P.g_numPart.size(), std::string::npos);
  if (!run.FindVariable(run.W.NSTRUC)) {
    run.ReportLineError(T().msgUnregisteredVar, w);
    P.g_token = run.ReadTerm(text);
    return false;
  }
  const double v = Coefficient(run, P.g_numPart, c.sign, w) * multiplier;
  if (c.row < run.W.MROWS) Amat(run, run.W.JCUR, c.row) = v;
  c.sign = 0;
  return true;
}

// One goal row, from its MAX or MIN in hand up to the next heading.
void StoreGoalRow(CalcRun& run, const std::string& text) {
  ParserState& P = run.P;
  StoringCursor& c = P.g_store;
  std::string& w = P.g_token;
  const double multiplier = Is(w, "MAX") ? -1.0 : 1.0;
  bool unregistered = false;
  c.sign = 0;
  while (P.g_textPos < static_cast<int>(text.size())) {
    P.g_namePart.clear();
    w = run.ReadTerm(text);
    if (w.empty() || IsGoalKeyword(w) || IsConstraintHeading(w)) break;
    const int cls = P.g_tokenClass;
    if (cls == kTokPlus || cls == kTokMinus) {
      if (P.g_lineTerms == 0) P.g_lineTerms = 1;
      c.sign = cls == kTokPlus ? 1 : 2;
    } else if (IsRelational(cls)) {
      run.ReportLineError(T().msgGoalHasOperator, w);
    } else if (IsBareNumber(w, P.g_numPart)) {
      run.ReportLineError(T().msgInvalidName, w);
    } else if (P.g_lineTerms >= 2 && c.sign == 0) {
      run.ReportLineError(T().msgMissingSign, w);
    } else if (!StoreGoalTerm(run, text, multiplier)) {
      unregistered = true;
      break;
    }
  }
  if (c.row < run.W.MROWS) run.W.ROWTYP[c.row] = kRowGoal;
  ++c.row;
  if (unregistered) {
    // Move on to the next heading.
    while (!w.empty() && !IsGoalKeyword(w) && !IsConstraintHeading(w)) w = run.ReadTerm(text);
  }
}

// ---------------------------------------------------------------------------
// Constraint rows.

// A constraint row being read: its first operator (0 for a one-sided row)
// and the lower value of a two-sided row.
struct OpenRow {
  int o1 = 0;
  double lo = 0.0;
};

// How the reading of a constraint row goes on after one word.
enum class RowStep {
  kReadNext,    // read the next word of the row
  kKeepWord,    // the word in hand belongs to the row and is looked at again
  kRowStored,   // the row is complete; the word after it is in hand
  kRowDropped,  // an unfinished row was dropped; the keyword in hand ends the rows
  kMissingRhs,  // a row without right-hand side: the parse ends
};

// Right-hand side, type and range of the row being stored; o1 is the first
// operator of a two-sided row (0 for a one-sided row) with lower value lo.
void StoreRowValues(CalcRun& run, int o1, int o2, double lo, double v) {
  std::uint8_t rowType = static_cast<std::uint8_t>(o2);
  double rhs = v, range = 0.0;
  if (o1 != 0) {
    // The row's lower and upper value, whichever way round it was written.
    double lower = 0.0, upper = 0.0;
    bool valid = true;
    if (v > lo && o1 == kTokLess && o2 == kTokLess) {
      lower = lo, upper = v;
    } else if (v < lo && o1 == kTokGreater && o2 == kTokGreater) {
      lower = v, upper = lo;
    } else {
      AppendLineMessage(run, T().msgRangeContradiction);
      valid = false;
    }
    if (valid && upper >= kInfinity && lower > -kInfinity) {
      // "2 <= X <= @": the one-sided row on the finite side (as a range its
      // width 1e30 - 2 would be 1e30 and swallow the 2).
      rowType = kRowGreater, rhs = lower;
    } else if (valid && lower <= -kInfinity && upper < kInfinity) {
      rowType = kRowLess, rhs = upper;  // "- @ <= X <= 5"
    } else if (valid) {
      rowType = kRowLess, rhs = upper, range = upper - lower;
    }
  }
  const int r = run.P.g_store.row;
  if (r < run.W.MROWS) {
    run.W.XB[r] = rhs;
    run.W.ROWTYP[r] = rowType;
    run.W.RANGE[r] = range;
  }
}

// The row's operator (class o2) after its terms: reads the right-hand side
// (a number or "@", with an optional sign word before it), stores the row
// and reads the word after it.
void StoreRightHandSide(CalcRun& run, const std::string& text, const OpenRow& row, int o2) {
  ParserState& P = run.P;
  std::string& w = P.g_token;
  w = run.ReadTerm(text);
  bool negative = false;
  std::string p;
  if (Is(w, "+") || Is(w, "-")) {
    negative = Is(w, "-");
    w = run.ReadWord(text);
    p = w.substr(0, NumericLength(w));
  } else {
    p = P.g_numPart;
  }
  double v = 0.0;
  if (p.empty() || p.size() != w.size()) {
    run.ReportLineError(T().msgRhsNotNumber, w);
  } else {
    v = Is(p, "@") ? kInfinity : NumberValue(run, p, w);
    if (negative) v = -v;
  }
  P.g_lineTerms = 0;
  StoreRowValues(run, row.o1, o2, row.lo, v);
  w = run.ReadTerm(text);
  ++P.g_store.row;
}

// A bare number before any term of its line. With an operator after it, it
// is the lower value of a two-sided row. When the row already has its
// operator (written at the start of this line) the number is its right-hand
// side: that is reported, and the row is read as the user meant it so that
// the rows after it read normally.
RowStep StoreLowerValue(CalcRun& run, const std::string& text, OpenRow& row) {
  ParserState& P = run.P;
  StoringCursor& c = P.g_store;
  std::string& w = P.g_token;
  const std::string held = P.g_numPart;
  if (row.o1 != 0) {
    run.ReportLineError(T().msgOperatorAtLineStart, held);
    double v = Is(held, "@") ? kInfinity : NumberValue(run, held, held);
    if (c.sign == 2) v = -v;
    StoreRowValues(run, 0, row.o1, 0.0, v);
    w = run.ReadTerm(text);
    ++c.row;
    return RowStep::kRowStored;
  }
  w = run.ReadTerm(text);
  if (!IsRelational(P.g_tokenClass)) return RowStep::kKeepWord;  // read as part of the row
  row.o1 = P.g_tokenClass;
  if (Is(held, "@"))
    row.lo = c.sign == 2 ? -kInfinity : kInfinity;
  else
    row.lo = c.sign == 2 ? -NumberValue(run, held, held) : NumberValue(run, held, held);
  c.sign = 0;
  return RowStep::kReadNext;
}

// A named term of a constraint row: its coefficient is stored (a later term
// of the same variable replaces an earlier one).
void StoreRowTerm(CalcRun& run) {
  ParserState& P = run.P;
  StoringCursor& c = P.g_store;
  const std::string& w = P.g_token;
  P.g_namePart.assign(w, P.g_numPart.size(), std::string::npos);
  if (!run.FindVariable(run.W.NSTRUC)) {
    run.ReportLineError(T().msgUndefinedVar, P.g_namePart);
  } else {
    const double coefficient = Coefficient(run, P.g_numPart, c.sign, w);
    if (c.row < run.W.MROWS) {
      Amat(run, run.W.JCUR, c.row) = coefficient;
      c.rowColumns.push_back(run.W.JCUR);
    }
  }
  if (c.sign == 0 && P.g_lineTerms > 1) run.ReportLineError(T().msgMissingSign, w);
  c.sign = 0;
}

// The text ends, or a declaration keyword comes, inside a row. A two-sided
// row still open, or INTORG or END, drops the unfinished row without a
// message; otherwise the missing right-hand side is reported.
RowStep EndUnfinishedRow(CalcRun& run, const OpenRow& row) {
  StoringCursor& c = run.P.g_store;
  const std::string& w = run.P.g_token;
  if (row.o1 != 0 || Is(w, "INTORG") || Is(w, "END")) {
    for (int j : c.rowColumns) Amat(run, j, c.row) = 0.0;
    return RowStep::kRowDropped;
  }
  AppendLineMessage(run, T().msgRhsMissing);
  return RowStep::kMissingRhs;
}

// One word of a constraint row (in P.g_token).
RowStep StoreRowWord(CalcRun& run, const std::string& text, OpenRow& row) {
  ParserState& P = run.P;
  StoringCursor& c = P.g_store;
  const std::string& w = P.g_token;
  if (w.empty() || IsDeclarationKeyword(w)) return EndUnfinishedRow(run, row);
  const int cls = P.g_tokenClass;
  if (cls == kTokLabel) {
    // stored by the counting pass
  } else if (cls == kTokPlus) {
    c.sign = 1;
  } else if (cls == kTokMinus) {
    c.sign = 2;
  } else if (IsRelational(cls) && P.g_lineTerms == 0) {
    row.o1 = cls;
  } else if (IsRelational(cls)) {
    StoreRightHandSide(run, text, row, cls);
    return RowStep::kRowStored;
  } else if (IsBareNumber(w, P.g_numPart) && P.g_lineTerms == 0) {
    return StoreLowerValue(run, text, row);
  } else if (IsBareNumber(w, P.g_numPart)) {
    if (P.g_lineTerms > 1) run.ReportLineError(T().msgInvalidName, w);
  } else {
    StoreRowTerm(run);
  }
  return RowStep::kReadNext;
}

// One constraint row, from its first word in hand. A row ends only at its
// right-hand side: line breaks do not end rows.
RowStep StoreConstraintRow(CalcRun& run, const std::string& text) {
  OpenRow row;
  run.P.g_store.sign = 0;
  run.P.g_store.rowColumns.clear();
  for (;;) {
    const RowStep step = StoreRowWord(run, text, row);
    if (step == RowStep::kReadNext)
      run.P.g_token = run.ReadTerm(text);
    else if (step != RowStep::kKeepWord)
      return step;
  }
}

}  // namespace

void StoreGoalRows(CalcRun& run, const std::string& text) {
  while (IsGoalKeyword(run.P.g_token)) StoreGoalRow(run, text);
}

bool StoreConstraintRows(CalcRun& run, const std::string& text) {
  std::string& w = run.P.g_token;
  run.P.g_inConstraints = 1;
  w = run.ReadTerm(text);
  if (Is(w, "TO")) w = run.ReadTerm(text);
  for (;;) {
    if (w.empty() || IsDeclarationKeyword(w)) return true;  // the declarations follow
    if (StoreConstraintRow(run, text) == RowStep::kMissingRhs) return false;
  }
}

}  // namespace tavo::parsing
