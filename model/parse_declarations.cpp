// The storing pass of the model parser, declarations: INT, GIN and
// INTORG ... INTEND, FREE, FIX, SUB and SLB, taking effect in the order
// written. Words are read raw here (the word reader does not classify them
// once g_inDeclarations is set); a name is looked up by copying the word to
// g_namePart.
#include <string>

#include "model/parser_steps.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo::parsing {

namespace {

// Looks the word up as a variable name; an unknown name is reported.
bool KnownVariable(CalcRun& run, const std::string& word) {
  run.P.g_namePart = word;
  if (run.FindVariable(run.W.NSTRUC)) return true;
  run.ReportLineError(T().msgUndefinedVar, word);
  return false;
}

// A declaration changes column j: the columns below it no longer all hold
// what the last "INT k" set.
void Touched(CalcRun& run, int j) {
  int& intPrefix = run.P.g_store.intPrefix;
  if (j < intPrefix) intPrefix = j;
}

// Column j becomes a 0-1 variable: integer, bounds 0 and 1.
void MakeZeroOne(CalcRun& run, int j) {
  run.W.BNDFLG[j] |= kBndInteger | kBndUpper;
  run.W.UBND[j] = 1.0;
  run.W.LBND[j] = 0.0;
}

// GIN name ... and INTORG name ... INTEND: general integer variables, bounds
// unchanged. The list ends at the next declaration keyword.
void StoreIntegerList(CalcRun& run, const std::string& text) {
  std::string x;
  for (;;) {
    x = run.ReadTerm(text);
    if (x.empty() || IsDeclarationKeyword(x)) break;
    if (KnownVariable(run, x)) {
      Touched(run, run.W.JCUR);
      run.W.BNDFLG[run.W.JCUR] |= kBndInteger;
      run.W.NINT = SaturatingAdd(run.W.NINT, 1);
    }
  }
  run.P.g_token = x;
}

// FREE name: neither lower nor upper bound; replaces all earlier flags.
void StoreFree(CalcRun& run, const std::string& text) {
  if (KnownVariable(run, run.ReadTerm(text))) {
    Touched(run, run.W.JCUR);
    run.W.BNDFLG[run.W.JCUR] = kBndFree;
  }
  run.P.g_token = run.ReadTerm(text);
}

// FIX name value: the variable is fixed at the value, which must begin with
// a digit, '.' or '@'.
void StoreFix(CalcRun& run, const std::string& text) {
  if (KnownVariable(run, run.ReadTerm(text))) {
    const int j = run.W.JCUR;
    std::string value = run.ReadTerm(text);
    if (run.P.g_numPart.empty()) {
      run.ReportLineError(T().msgFixNotNumber, value);
    } else {
      Touched(run, j);
      run.W.UBND[j] = 0.0;
      run.W.LBND[j] = NumberValue(run, DecimalPrefix(value), value);
      run.W.BNDFLG[j] = kBndFixed;
    }
  }
  run.P.g_token = run.ReadTerm(text);
}

// INT k: the first k variables become 0-1 variables (k not more than the
// variables). Columns below intPrefix already hold what this sets, so a
// long run of "INT k" declarations costs no more than their largest k.
void StoreIntCount(CalcRun& run, const std::string& text, const std::string& number) {
  int& intPrefix = run.P.g_store.intPrefix;
  const int k = CAtoi(number);
  if (k > run.W.NSTRUC) {
    run.ReportLineError(T().msgTooManyInts, "INT " + FormatInt(k));
  } else if (k > 0) {
    for (int j = intPrefix; j < k; ++j) MakeZeroOne(run, j);
    if (k > intPrefix) intPrefix = k;
    run.W.NINT = SaturatingAdd(run.W.NINT, k);
  }
  run.P.g_token = run.ReadTerm(text);
}

// INT k, or INT name name ...: a name list runs to the next declaration
// keyword or the end of the text, and the word that ends it is read again.
void StoreInt(CalcRun& run, const std::string& text) {
  std::string x = run.ReadTerm(text);
  if (IsBareNumber(x, run.P.g_numPart)) {
    StoreIntCount(run, text, x);
    return;
  }
  while (!x.empty() && !IsDeclarationKeyword(x)) {
    if (KnownVariable(run, x)) {
      Touched(run, run.W.JCUR);
      MakeZeroOne(run, run.W.JCUR);
      run.W.NINT = SaturatingAdd(run.W.NINT, 1);
    }
    x = run.ReadTerm(text);
  }
  run.P.g_token = x;
}

// SUB name value (upper bound) and SLB name value (lower bound). An upper
// bound keeps an earlier FREE for the lower side; a lower bound ends it.
// With bound rows on, the bound is also a row of its own.
void StoreBound(CalcRun& run, const std::string& text, bool upper) {
  Workspace& W = run.W;
  StoringCursor& c = run.P.g_store;
  if (KnownVariable(run, run.ReadTerm(text))) {
    const int j = W.JCUR;
    Touched(run, j);
    std::string value = run.ReadTerm(text);
    const double b = NumberValue(run, DecimalPrefix(value), value);
    if (upper) {
      W.UBND[j] = b;
      if (W.BNDFLG[j] & kBndFree)
        W.BNDFLG[j] = kBndUpper | kBndNoLower;
      else
        W.BNDFLG[j] |= kBndUpper;
    } else {
      W.LBND[j] = b;
      if (W.BNDFLG[j] & kBndFree)
        W.BNDFLG[j] = kBndLower;
      else
        W.BNDFLG[j] |= kBndLower;
    }
    if (c.boundRows) {
      if (c.row < W.MROWS) {
        Amat(run, j, c.row) = 1.0;
        W.XB[c.row] = b;
        W.ROWTYP[c.row] = upper ? kRowLess : kRowGreater;
      }
      ++c.row;
    }
  }
  run.P.g_token = run.ReadTerm(text);
}

}  // namespace

void StoreDeclarations(CalcRun& run, const std::string& text) {
  run.P.g_inDeclarations = 1;
  run.P.g_store.intPrefix = 0;
  const std::string& w = run.P.g_token;
  for (;;) {
    if (w.empty()) return;
    if (Is(w, "INTEND") || Is(w, "END")) {
      run.P.g_token = run.ReadTerm(text);
    } else if (Is(w, "GIN") || Is(w, "INTORG")) {
      StoreIntegerList(run, text);
    } else if (Is(w, "FREE")) {
      StoreFree(run, text);
    } else if (Is(w, "FIX")) {
      StoreFix(run, text);
    } else if (Is(w, "INT")) {
      StoreInt(run, text);
    } else if (Is(w, "SUB")) {
      StoreBound(run, text, true);
    } else if (Is(w, "SLB")) {
      StoreBound(run, text, false);
    } else {
      run.ReportLineError(T().msgUndefinedDecl, w);
      return;
    }
  }
}

}  // namespace tavo::parsing
