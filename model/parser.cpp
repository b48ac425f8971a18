// The model parser: turns the model text into the workspace in two passes.
// The counting pass (CountModel) finds the goal rows, rows and variables and
// registers names and row labels; the workspace is then sized exactly; the
// storing pass (the body of ParseModel) reads the text again and stores
// coefficients, right-hand sides, row types, ranges, bounds and kinds. Every
// fault found is a line of the calculation log and counts in NERR; parsing
// goes on after most of them so that one run lists as many as it can.
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/word_reader.h"
#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo {

namespace {

bool IsDeclarationKeyword(const std::string& w) {
  if (w.size() < 3 || w.size() > 6) return false;  // most words end here
  return Is(w, "END") || Is(w, "INT") || Is(w, "GIN") || Is(w, "INTORG") || Is(w, "INTEND") || Is(w, "FIX") ||
         Is(w, "FREE") || Is(w, "SUB") || Is(w, "SLB");
}

bool IsGoalKeyword(const std::string& w) { return Is(w, "MAX") || Is(w, "MIN"); }

bool IsConstraintHeading(const std::string& w) { return Is(w, "ST") || Is(w, "SUBJECT"); }

bool IsBareNumber(const std::string& word, const std::string& numPart) {
  return !word.empty() && numPart.size() == word.size();
}

bool IsRelational(int cls) { return cls == kTokGreater || cls == kTokLess || cls == kTokEqual; }

// The part of a declaration value that the C library's atof reads as a
// decimal number: sign, digits, point, digits, exponent. (Words such as "INF"
// or "0X1P3" are not numbers in a model.)
std::string DecimalPrefix(const std::string& w) {
  std::size_t i = 0;
  if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < w.size() && w[i] >= '0' && w[i] <= '9') ++i, ++digits;
  if (i < w.size() && w[i] == '.') {
    ++i;
    while (i < w.size() && w[i] >= '0' && w[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return {};
  if (i < w.size() && (w[i] == 'E' || w[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < w.size() && (w[j] == '+' || w[j] == '-')) ++j;
    std::size_t k = j;
    while (k < w.size() && w[k] >= '0' && w[k] <= '9') ++k;
    if (k > j) i = k;
  }
  return w.substr(0, i);
}

// Bytes of memory a new allocation can have: the system's estimate of
// available memory (free memory plus what it can reclaim), else the physical
// memory, else a terabyte.
unsigned long long AvailableMemoryBytes() {
  if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    unsigned long long kb = 0;
    bool found = false;
    while (std::fgets(line, sizeof line, f)) {
      if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
        found = true;
        break;
      }
    }
    std::fclose(f);
    if (found) return kb * 1024ULL;
  }
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 1ULL << 40;
  return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

// Longest model text the parser takes: positions and counts are 32-bit.
constexpr std::size_t kMaxTextBytes = static_cast<std::size_t>(INT_MAX) - 16;

// Adds without passing INT_MAX (counts of integer declarations).
int SaturatingAdd(int a, long long b) {
  long long s = static_cast<long long>(a) + b;
  if (s > INT_MAX) return INT_MAX;
  if (s < INT_MIN) return INT_MIN;
  return static_cast<int>(s);
}

}  // namespace

// ---------------------------------------------------------------------------
// Message helpers of the parser.

namespace {

// "Line " + n + message, for the messages that carry no detail (they end with
// their own line end).
void AppendLineMessage(CalcRun& run, const std::string& message) {
  run.result.logText += T().linePrefix;
  run.result.logText += FormatInt(run.P.g_lineNo);
  run.result.logText += message;
  ++run.W.NERR;
}

// The value of a number of the model text; a number too long for a double
// (hundreds of digits) is reported and read as 0.
double NumberValue(CalcRun& run, const std::string& number, const std::string& word) {
  double v = CAtof(number);
  if (!std::isfinite(v)) {
    run.ReportLineError(T().msgNumberTooLarge, word);
    return 0.0;
  }
  return v;
}

// Coefficient of a term: its numeric part ("1" when empty), negated after a
// minus sign word.
double Coefficient(CalcRun& run, const std::string& numPart, int sign, const std::string& word) {
  double v = numPart.empty() ? 1.0 : NumberValue(run, numPart, word);
  return sign == 2 ? -v : v;
}

}  // namespace

// ---------------------------------------------------------------------------
// Counting pass.

void CalcRun::CountModel() {
  static const std::string kNoText;
  const std::string& text = P.g_text ? *P.g_text : kNoText;

  P.g_boundRowCount = 0;
  P.g_haveRowLabels = 0;
  P.g_inConstraints = 0;
  W.CNAME.clear();
  W.CNAME.reserve(100 * 8);
  W.RNAME.assign(50 * 18, '\0');
  P.g_varNames.clear();
  P.g_varIndex.Clear();
  P.g_lineTerms = 0;

  // Goal section: each MAX or MIN is one goal row; its words are skipped up
  // to the next heading. A relational operator ends the row and the word
  // after it must be the next heading.
  std::string& w = P.g_token;
  w = ReadTerm(text);
  for (;;) {
    if (w.empty()) break;  // the text has ended
    if (!IsGoalKeyword(w)) {
      if (!IsConstraintHeading(w)) ReportLineError(T().msgBadHeading, w);
      break;
    }
    ++W.NGOALS;
    ++W.MROWS;
    w = ReadTerm(text);
    if (Is(w, "+") || Is(w, "-")) w = ReadTerm(text);
    for (;;) {
      if (w.empty() || IsGoalKeyword(w) || IsConstraintHeading(w)) break;
      if (IsRelational(P.g_tokenClass)) {
        w = ReadTerm(text);
        break;
      }
      w = ReadTerm(text);
    }
  }
  if (W.NERR != 0) return;
  if (!IsConstraintHeading(w)) {
    result.logText += T().msgNoSt;
    ++W.NERR;
    return;
  }

  // Constraint section with the declarations.
  P.g_inConstraints = 1;
  for (;;) {
    P.g_namePart.clear();
    w = ReadTerm(text);
    if (Is(w, "TO")) w = ReadTerm(text);
    if (w.empty()) break;  // the text has ended

    if (IsDeclarationKeyword(w)) {
      if (Is(w, "INT")) {
        int savedPos = P.g_textPos, savedLine = P.g_lineNo;
        std::string x = ReadWord(text);
        if (!x.empty() && NumericLength(x) == x.size()) {
          int k = CAtoi(x);
          if (k <= W.NSTRUC) W.NINT = SaturatingAdd(W.NINT, k);
        } else {
          // A list of names up to the next declaration keyword.
          for (;;) {
            if (x.empty() || IsDeclarationKeyword(x)) {
              P.g_textPos = savedPos;
              P.g_lineNo = savedLine;
              break;
            }
            P.g_namePart = x;
            if (FindVariable(W.NSTRUC))
              W.NINT = SaturatingAdd(W.NINT, 1);
            else
              ReportLineError(T().msgUndefinedVar, x);
            savedPos = P.g_textPos;
            savedLine = P.g_lineNo;
            x = ReadWord(text);
          }
        }
      } else if (Is(w, "GIN") || Is(w, "INTORG")) {
        bool unknown = false;
        for (;;) {
          const int savedPos = P.g_textPos, savedLine = P.g_lineNo;
          std::string x = ReadWord(text);
          if (x.empty() || IsDeclarationKeyword(x)) {
            P.g_textPos = savedPos;
            P.g_lineNo = savedLine;
            break;
          }
          P.g_namePart = x;
          if (FindVariable(W.NSTRUC)) {
            W.NINT = SaturatingAdd(W.NINT, 1);
          } else {
            ReportLineError(T().msgUndefinedVar, x);
            unknown = true;
            break;
          }
        }
        if (unknown) break;  // the final checks follow
      } else if (Is(w, "SUB") || Is(w, "SLB")) {
        std::string name = ReadTerm(text);
        P.g_namePart = name;
        if (FindVariable(W.NSTRUC)) ++P.g_boundRowCount;
        ReadWord(text);  // the value
      } else if (Is(w, "FIX")) {
        ReadWord(text);
        ReadWord(text);
      } else if (Is(w, "FREE")) {
        ReadWord(text);
      }
      continue;  // END, INTEND: nothing
    }

    const int cls = P.g_tokenClass;
    if (cls == kTokLabel) {
      // The label of the row being read, first 18 bytes, blank padded.
      const std::size_t entry = static_cast<std::size_t>(W.MROWS - W.NGOALS);
      if (W.RNAME.size() < (entry + 1) * 18) {
        std::size_t rows = W.RNAME.size() / 18;
        while (rows < entry + 1) rows += 50;
        W.RNAME.resize(rows * 18, '\0');
      }
      std::string label = w.substr(0, 18);
      label.resize(18, ' ');
      W.RNAME.replace(entry * 18, 18, label);
      P.g_haveRowLabels = 1;
      continue;
    }
    if (cls == kTokPlus || cls == kTokMinus) continue;
    if (IsRelational(cls)) {
      if (P.g_lineTerms == 0) continue;  // first operator of a two-sided row
      std::string rhs = ReadWord(text);
      if (Is(rhs, "+") || Is(rhs, "-")) ReadWord(text);
      ++W.MROWS;
      P.g_lineTerms = 0;
      continue;
    }
    if (w.size() > P.g_numPart.size()) {
      P.g_namePart.assign(w, P.g_numPart.size(), std::string::npos);
      if (!IsValidName()) {
        ReportLineError(T().msgInvalidName, P.g_namePart);
        return;  // no final checks
      }
      if (!FindVariable(W.NSTRUC)) {
        std::string stored = P.g_namePart.substr(0, 8);
        stored.resize(8, ' ');
        W.CNAME += stored;
        P.g_varNames.push_back(P.g_namePart);
        P.g_varIndex.Insert(W.NSTRUC, P.g_varNames);
        ++W.NSTRUC;
      }
    }
  }

  // Final checks.
  if (W.NGOALS == 0) {
    result.logText += T().msgNoObjective;
    ++W.NERR;
  }
  if (W.MROWS == 0) {
    result.logText += T().msgNoConstraint;
    ++W.NERR;
  }
  if (W.NSTRUC == 0) {
    result.logText += T().msgNoVariable;
    ++W.NERR;
  }
}

// ---------------------------------------------------------------------------
// The whole parse: start, title, counting pass, sizing, storing pass, end.

int CalcRun::ParseModel(std::string text) {
  W.NSTRUC = 0;
  W.MROWS = 0;
  W.NGOALS = 0;
  W.NCOLS = 0;
  W.g_bbState = 0;
  P.g_inConstraints = 0;
  P.g_inDeclarations = 0;
  result.logText = T().logHeader;
  W.TSTART = port.Now();
  AppendTimeStampLine(T().g_bannerDataInput, W.TSTART);
  W.NERR = 0;
  W.NINT = 0;
  P.g_lineNo = 1;
  P.g_textPos = 0;
  P.g_tokenClass = kTokPlain;
  P.g_lineTerms = 0;
  P.g_boundRowCount = 0;
  P.g_haveRowLabels = 0;
  P.g_token.clear();
  P.g_numPart.clear();
  P.g_namePart.clear();
  P.g_text = &text;

  if (text.empty()) {
    result.logText += T().noInputData;
    result.logText += "\r\n";
    ++W.NERR;
    return 0;
  }
  if (text.size() > kMaxTextBytes) {
    result.logText += T().outOfMemory + FormatInt(static_cast<long long>(text.size())) + " BYTES" + T().detailEnd;
    ++W.NERR;
    return 0;
  }

  // Title.
  std::string& w = P.g_token;
  w = ReadTerm(text);
  if (Is(w, "NAME") || Is(w, "TITLE")) {
    w = ReadTerm(text);
    P.g_modelTitle = w;
  } else {
    P.g_modelTitle = T().defaultTitle;
    P.g_textPos = 0;
    P.g_lineNo = 1;
    P.g_tokenClass = kTokPlain;
  }
  const int bodyPos = P.g_textPos;
  const int bodyLine = P.g_lineNo;
  const int bodyClass = P.g_tokenClass;

  CountModel();
  if (W.NERR != 0) return 0;

  // Bound rows: under sensitivity analysis each SUB/SLB becomes a row of its
  // own, unless the model declares integer variables.
  const bool boundRows = settings.SENSITIVITY != 0 && W.NINT == 0;
  if (!boundRows) {
    P.g_boundRowCount = 0;
  } else {
    long long rows = static_cast<long long>(W.MROWS) + P.g_boundRowCount;
    W.MROWS = rows > INT_MAX ? INT_MAX : static_cast<int>(rows);
  }
  P.g_textPos = bodyPos;
  P.g_lineNo = bodyLine;
  P.g_tokenClass = bodyClass;
  P.g_inConstraints = 0;

  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const long long ncols = static_cast<long long>(n) + m;
  // The coefficient matrix is dense: refuse a model whose matrix does not fit
  // the machine's memory instead of failing half-way.
  const unsigned long long cells = static_cast<unsigned long long>(n) * static_cast<unsigned long long>(m);
  if (ncols > INT_MAX || cells > W.AMAT.max_size() || cells > AvailableMemoryBytes() / sizeof(double)) {
    result.logText += T().outOfMemory + FormatInt(m) + " ROWS x " + FormatInt(n) + " VARIABLES" + T().detailEnd;
    ++W.NERR;
    return 0;
  }
  W.NCOLS = static_cast<int>(ncols);

  // Sizing (every entry zero).
  W.CNAME.resize(static_cast<std::size_t>(n) * 8, ' ');
  if (P.g_haveRowLabels == 1)
    W.RNAME.resize(static_cast<std::size_t>(m - W.NGOALS) * 18, '\0');
  else
    W.RNAME.clear();
  W.ROWTYP.assign(m, 0);
  W.BNDFLG.assign(W.NCOLS, 0);
  W.XB.assign(m, 0.0);
  W.RHS.assign(m, 0.0);
  W.RANGE.assign(m, 0.0);
  W.UBND.assign(n, 0.0);
  W.LBND.assign(n, 0.0);
  W.ACOL.assign(m, 0.0);
  AssignZeros(W.AMAT, static_cast<std::size_t>(cells));
  W.NINT = 0;

  // ---- Storing pass ----
  int r = 0;  // row being stored
  int s = 0;  // sign state: 0 none, 1 plus, 2 minus
  const std::size_t mm = static_cast<std::size_t>(m);
  auto amat = [&](int col, int row) -> double& { return W.AMAT[static_cast<std::size_t>(col) * mm + row]; };
  P.g_lineTerms = 0;
  w = ReadTerm(text);

  // Goal rows.
  while (IsGoalKeyword(w)) {
    const double multiplier = Is(w, "MAX") ? -1.0 : 1.0;
    bool unregistered = false;
    s = 0;
    while (P.g_textPos < static_cast<int>(text.size())) {
      P.g_namePart.clear();
      w = ReadTerm(text);
      if (w.empty() || IsGoalKeyword(w) || IsConstraintHeading(w)) break;
      const int cls = P.g_tokenClass;
      if (cls == kTokPlus || cls == kTokMinus) {
        if (P.g_lineTerms == 0) P.g_lineTerms = 1;
        s = cls == kTokPlus ? 1 : 2;
      } else if (IsRelational(cls)) {
        ReportLineError(T().msgGoalHasOperator, w);
      } else if (IsBareNumber(w, P.g_numPart)) {
        ReportLineError(T().msgInvalidName, w);
      } else if (P.g_lineTerms >= 2 && s == 0) {
        ReportLineError(T().msgMissingSign, w);
      } else {
        P.g_namePart.assign(w, P.g_numPart.size(), std::string::npos);
        if (!FindVariable(W.NSTRUC)) {
          ReportLineError(T().msgUnregisteredVar, w);
          w = ReadTerm(text);
          unregistered = true;
          break;
        }
        const double v = Coefficient(*this, P.g_numPart, s, w) * multiplier;
        if (r < m) amat(W.JCUR, r) = v;
        s = 0;
      }
    }
    if (r < m) W.ROWTYP[r] = kRowGoal;
    ++r;
    if (unregistered) {
      // Move on to the next heading.
      while (!w.empty() && !IsGoalKeyword(w) && !IsConstraintHeading(w)) w = ReadTerm(text);
    }
  }

  // Constraint rows.
  P.g_inConstraints = 1;
  w = ReadTerm(text);
  if (Is(w, "TO")) w = ReadTerm(text);
  std::vector<int> rowColumns;  // columns written in the row being stored
  // Right-hand side, type and range of row r; o1 is the first operator of a
  // two-sided row (0 for a one-sided row) with lower value lo.
  auto storeRow = [&](int o1, int o2, double lo, double v) {
    std::uint8_t rowType = static_cast<std::uint8_t>(o2);
    double rhs = v, range = 0.0;
    if (o1 != 0) {
      if (v > lo && o1 == kTokLess && o2 == kTokLess) {
        range = v - lo;
        rowType = kRowLess;
      } else if (v < lo && o1 == kTokGreater && o2 == kTokGreater) {
        rhs = lo;
        range = lo - v;
        rowType = kRowLess;
      } else {
        AppendLineMessage(*this, T().msgRangeContradiction);
      }
    }
    if (r < m) {
      W.XB[r] = rhs;
      W.ROWTYP[r] = rowType;
      W.RANGE[r] = range;
    }
  };
  for (;;) {
    // Row start.
    if (w.empty() || IsDeclarationKeyword(w)) break;
    int o1 = 0, o2 = 0;
    double lo = 0.0, v = 0.0;
    s = 0;
    rowColumns.clear();
    for (;;) {
      if (w.empty() || IsDeclarationKeyword(w)) {
        // A row without its right-hand side.
        if (o1 != 0 || Is(w, "INTORG") || Is(w, "END")) {
          for (int j : rowColumns) amat(j, r) = 0.0;  // the unfinished row is dropped
          break;
        }
        AppendLineMessage(*this, T().msgRhsMissing);
        return 0;
      }
      const int cls = P.g_tokenClass;
      if (cls == kTokLabel) {
        // stored by the counting pass
      } else if (cls == kTokPlus) {
        s = 1;
      } else if (cls == kTokMinus) {
        s = 2;
      } else if (IsRelational(cls) && P.g_lineTerms == 0) {
        o1 = cls;
      } else if (IsRelational(cls)) {
        // The row's operator: the right-hand side follows.
        o2 = cls;
        w = ReadTerm(text);
        bool negative = false;
        std::string p;
        if (Is(w, "+") || Is(w, "-")) {
          negative = Is(w, "-");
          w = ReadWord(text);
          p = w.substr(0, NumericLength(w));
        } else {
          p = P.g_numPart;
        }
        v = 0.0;
        if (p.empty() || p.size() != w.size()) {
          ReportLineError(T().msgRhsNotNumber, w);
        } else {
          v = Is(p, "@") ? kInfinity : NumberValue(*this, p, w);
          if (negative) v = -v;
        }
        P.g_lineTerms = 0;
        storeRow(o1, o2, lo, v);
        w = ReadTerm(text);
        ++r;
        break;  // next row
      } else if (IsBareNumber(w, P.g_numPart) && P.g_lineTerms == 0) {
        // The lower value of a two-sided row, when an operator follows.
        const std::string held = P.g_numPart;
        if (o1 != 0) {
          // The row already has its operator, written at the start of this
          // line: the number is its right-hand side. Reported, and read as
          // the row the user meant so that the rows after it read normally.
          ReportLineError(T().msgOperatorAtLineStart, held);
          v = Is(held, "@") ? kInfinity : NumberValue(*this, held, held);
          if (s == 2) v = -v;
          storeRow(0, o1, 0.0, v);
          w = ReadTerm(text);
          ++r;
          break;  // next row
        }
        w = ReadTerm(text);
        if (IsRelational(P.g_tokenClass)) {
          o1 = P.g_tokenClass;
          if (Is(held, "@"))
            lo = s == 2 ? -kInfinity : kInfinity;
          else
            lo = s == 2 ? -NumberValue(*this, held, held) : NumberValue(*this, held, held);
          s = 0;
        } else {
          continue;  // the word after the number is read as part of the row
        }
      } else if (IsBareNumber(w, P.g_numPart)) {
        if (P.g_lineTerms > 1) ReportLineError(T().msgInvalidName, w);
      } else {
        // A term.
        P.g_namePart.assign(w, P.g_numPart.size(), std::string::npos);
        if (!FindVariable(W.NSTRUC)) {
          ReportLineError(T().msgUndefinedVar, P.g_namePart);
        } else {
          const double c = Coefficient(*this, P.g_numPart, s, w);
          if (r < m) {
            amat(W.JCUR, r) = c;
            rowColumns.push_back(W.JCUR);
          }
        }
        if (s == 0 && P.g_lineTerms > 1) ReportLineError(T().msgMissingSign, w);
        s = 0;
      }
      w = ReadTerm(text);
    }
  }

  // Declarations.
  P.g_inDeclarations = 1;
  int intPrefix = 0;  // leading columns that hold exactly the state of the last "INT k"
  auto touched = [&](int j) {
    if (j < intPrefix) intPrefix = j;
  };
  for (;;) {
    if (w.empty()) break;
    if (Is(w, "INTEND") || Is(w, "END")) {
      w = ReadTerm(text);
      continue;
    }
    if (Is(w, "GIN") || Is(w, "INTORG")) {
      std::string x;
      for (;;) {
        x = ReadTerm(text);
        if (x.empty() || IsDeclarationKeyword(x)) break;
        P.g_namePart = x;
        if (!FindVariable(W.NSTRUC)) {
          ReportLineError(T().msgUndefinedVar, x);
        } else {
          touched(W.JCUR);
          W.BNDFLG[W.JCUR] |= kBndInteger;
          W.NINT = SaturatingAdd(W.NINT, 1);
        }
      }
      w = x;
      continue;
    }
    if (Is(w, "FREE")) {
      std::string x = ReadTerm(text);
      P.g_namePart = x;
      if (!FindVariable(W.NSTRUC)) {
        ReportLineError(T().msgUndefinedVar, x);
      } else {
        touched(W.JCUR);
        W.BNDFLG[W.JCUR] = kBndFree;
      }
      w = ReadTerm(text);
      continue;
    }
    if (Is(w, "FIX")) {
      std::string x = ReadTerm(text);
      P.g_namePart = x;
      if (!FindVariable(W.NSTRUC)) {
        ReportLineError(T().msgUndefinedVar, x);
      } else {
        const int j = W.JCUR;
        std::string value = ReadTerm(text);
        if (P.g_numPart.empty()) {
          ReportLineError(T().msgFixNotNumber, value);
        } else {
          touched(j);
          W.UBND[j] = 0.0;
          W.LBND[j] = NumberValue(*this, DecimalPrefix(value), value);
          W.BNDFLG[j] = kBndFixed;
        }
      }
      w = ReadTerm(text);
      continue;
    }
    if (Is(w, "INT")) {
      std::string x = ReadTerm(text);
      if (IsBareNumber(x, P.g_numPart)) {
        const int k = CAtoi(x);
        if (k > W.NSTRUC) {
          ReportLineError(T().msgTooManyInts, "INT " + FormatInt(k));
        } else if (k > 0) {
          // Columns below intPrefix already hold what this declaration sets.
          for (int j = intPrefix; j < k; ++j) {
            W.BNDFLG[j] |= kBndInteger | kBndUpper;
            W.UBND[j] = 1.0;
            W.LBND[j] = 0.0;
          }
          if (k > intPrefix) intPrefix = k;
          W.NINT = SaturatingAdd(W.NINT, k);
        }
        w = ReadTerm(text);
      } else {
        // A list of names up to the next declaration keyword.
        while (!x.empty() && !IsDeclarationKeyword(x)) {
          P.g_namePart = x;
          if (!FindVariable(W.NSTRUC)) {
            ReportLineError(T().msgUndefinedVar, x);
          } else {
            const int j = W.JCUR;
            touched(j);
            W.BNDFLG[j] |= kBndInteger | kBndUpper;
            W.UBND[j] = 1.0;
            W.LBND[j] = 0.0;
            W.NINT = SaturatingAdd(W.NINT, 1);
          }
          x = ReadTerm(text);
        }
        w = x;
      }
      continue;
    }
    if (Is(w, "SUB") || Is(w, "SLB")) {
      const bool upper = Is(w, "SUB");
      std::string x = ReadTerm(text);
      P.g_namePart = x;
      if (!FindVariable(W.NSTRUC)) {
        ReportLineError(T().msgUndefinedVar, x);
      } else {
        const int j = W.JCUR;
        touched(j);
        std::string value = ReadTerm(text);
        const double b = NumberValue(*this, DecimalPrefix(value), value);
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
        if (boundRows) {
          if (r < m) {
            amat(j, r) = 1.0;
            W.XB[r] = b;
            W.ROWTYP[r] = upper ? kRowLess : kRowGreater;
          }
          ++r;
        }
      }
      w = ReadTerm(text);
      continue;
    }
    ReportLineError(T().msgUndefinedDecl, w);
    break;
  }

  if (W.NERR != 0) return 0;
  result.logText += T().summaryHas + FormatInt(W.MROWS) + T().summaryRows + FormatInt(W.NSTRUC) + T().summaryVariables +
                    FormatInt(W.NERR) + "\r\n\r\n";
  return 1;
}

}  // namespace tavo
