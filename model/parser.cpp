// The model parser: turns the model text into the workspace in two passes.
// The counting pass (CountModel, count_model.cpp) finds the goal rows, rows
// and variables and registers names and row labels; the workspace is then
// sized exactly; the storing pass reads the text again and stores
// coefficients, right-hand sides, row types, ranges (parse_rows.cpp), bounds
// and kinds (parse_declarations.cpp). Every fault found is a line of the
// calculation log and counts in NERR; parsing goes on after most of them so
// that one run lists as many as it can.
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "model/parser_steps.h"
#include "shell/numbers.h"
#include "shell/texts.h"
#include "solver/memory_limit.h"

namespace tavo {

// ---------------------------------------------------------------------------
// Helpers shared by the parser's steps.

namespace parsing {

bool IsDeclarationKeyword(const std::string& w) {
  if (w.size() < 3 || w.size() > 6) return false;  // most words end here
  return Is(w, "END") || Is(w, "INT") || Is(w, "GIN") || Is(w, "INTORG") || Is(w, "INTEND") || Is(w, "FIX") ||
         Is(w, "FREE") || Is(w, "SUB") || Is(w, "SLB");
}

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

int SaturatingAdd(int a, long long b) {
  long long s = static_cast<long long>(a) + b;
  if (s > INT_MAX) return INT_MAX;
  if (s < INT_MIN) return INT_MIN;
  return static_cast<int>(s);
}

void AppendLineMessage(CalcRun& run, const std::string& message) {
  run.result.logText += T().linePrefix;
  run.result.logText += FormatInt(run.P.g_lineNo);
  run.result.logText += message;
  ++run.W.NERR;
}

double NumberValue(CalcRun& run, const std::string& number, const std::string& word) {
  double v = CAtof(number);
  if (!std::isfinite(v)) {
    run.ReportLineError(T().msgNumberTooLarge, word);
    return 0.0;
  }
  return v;
}

double Coefficient(CalcRun& run, const std::string& numPart, int sign, const std::string& word) {
  double v = numPart.empty() ? 1.0 : NumberValue(run, numPart, word);
  return sign == 2 ? -v : v;
}

}  // namespace parsing

using namespace parsing;

namespace {

// Longest model text the parser takes: positions and counts are 32-bit.
constexpr std::size_t kMaxTextBytes = static_cast<std::size_t>(INT_MAX) - 16;

// Start of a parse: counts and parser state reset, the log heading and the
// Data Input line with the time the parse began.
void StartParse(CalcRun& run, const std::string& text) {
  Workspace& W = run.W;
  ParserState& P = run.P;
  W.NSTRUC = 0;
  W.MROWS = 0;
  W.NGOALS = 0;
  W.NCOLS = 0;
  W.g_bbState = 0;
  P.g_inConstraints = 0;
  P.g_inDeclarations = 0;
  run.result.logText = T().logHeader;
  W.TSTART = run.port.Now();
  run.AppendTimeStampLine(T().g_bannerDataInput, W.TSTART);
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
}

// NAME or TITLE as the first word: the word after it is the model's title.
// Otherwise the title is the default one and the body begins at the start.
void ReadTitle(CalcRun& run, const std::string& text) {
  ParserState& P = run.P;
  std::string& w = P.g_token;
  w = run.ReadTerm(text);
  if (Is(w, "NAME") || Is(w, "TITLE")) {
    w = run.ReadTerm(text);
    P.g_modelTitle = w;
  } else {
    P.g_modelTitle = T().defaultTitle;
    P.g_textPos = 0;
    P.g_lineNo = 1;
    P.g_tokenClass = kTokPlain;
  }
}

// Bound rows: under sensitivity analysis each SUB/SLB on a known variable
// becomes a row of its own, unless the model declares integer variables.
// The decision holds for the whole storing pass.
bool DecideBoundRows(CalcRun& run) {
  const bool boundRows = run.settings.SENSITIVITY != 0 && run.W.NINT == 0;
  if (!boundRows) {
    run.P.g_boundRowCount = 0;
  } else {
    long long rows = static_cast<long long>(run.W.MROWS) + run.P.g_boundRowCount;
    run.W.MROWS = rows > INT_MAX ? INT_MAX : static_cast<int>(rows);
  }
  return boundRows;
}

// Sizes the workspace for the counted model, every entry zero. The
// coefficient matrix is dense: a model whose matrix does not fit the memory
// the process may still take is refused (false) before anything is
// allocated, instead of failing half-way.
bool SizeWorkspace(CalcRun& run) {
  Workspace& W = run.W;
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const long long ncols = static_cast<long long>(n) + m;
  const unsigned long long cells = static_cast<unsigned long long>(n) * static_cast<unsigned long long>(m);
  if (ncols > INT_MAX || cells > W.AMAT.max_size() || cells > AvailableMemoryBytes() / sizeof(double)) {
    run.result.logText += T().outOfMemory + FormatInt(m) + " ROWS x " + FormatInt(n) + " VARIABLES" + T().detailEnd;
    ++W.NERR;
    return false;
  }
  W.NCOLS = static_cast<int>(ncols);

  W.CNAME.resize(static_cast<std::size_t>(n) * 8, ' ');
  if (run.P.g_haveRowLabels == 1)
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
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// The whole parse: start, title, counting pass, sizing, storing pass (goal
// rows, constraint rows, declarations), end.

int CalcRun::ParseModel(std::string text) {
  StartParse(*this, text);
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

  ReadTitle(*this, text);
  const int bodyPos = P.g_textPos;
  const int bodyLine = P.g_lineNo;
  const int bodyClass = P.g_tokenClass;

  CountModel();
  if (W.NERR != 0) return 0;

  const bool boundRows = DecideBoundRows(*this);
  P.g_textPos = bodyPos;
  P.g_lineNo = bodyLine;
  P.g_tokenClass = bodyClass;
  P.g_inConstraints = 0;
  if (!SizeWorkspace(*this)) return 0;

  // The storing pass.
  P.g_store = StoringCursor{};
  P.g_store.boundRows = boundRows;
  P.g_lineTerms = 0;
  P.g_token = ReadTerm(text);
  StoreGoalRows(*this, text);
  if (!StoreConstraintRows(*this, text)) return 0;
  StoreDeclarations(*this, text);

  if (W.NERR != 0) return 0;
  result.logText += T().summaryHas + FormatInt(W.MROWS) + T().summaryRows + FormatInt(W.NSTRUC) + T().summaryVariables +
                    FormatInt(W.NERR) + "\r\n\r\n";
  return 1;
}

}  // namespace tavo
