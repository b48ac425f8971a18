// The run's outcome in structured form: the figures of the reports taken
// from the workspace right after the reports are built (the same values the
// texts show, at full precision), and the run's counters at its end.
#include "shell/outcome.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_text.h"
#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"
#include "solver/bound_cases.h"

namespace tavo {

namespace {

constexpr std::size_t kNameWidth = 8;

bool Unlimited(double v) { return v == kInfinity || v == -kInfinity; }

std::string TrimBlanks(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// The fields of the last `count` lines of a report text, split at tabs.
std::vector<std::vector<std::string_view>> LastLineFields(std::string_view text, int count) {
  std::vector<std::vector<std::string_view>> lines;
  if (count <= 0) return lines;
  std::size_t end = text.size();
  while (static_cast<int>(lines.size()) < count && end > 0) {
    std::size_t stop = end;
    if (stop > 0 && text[stop - 1] == '\n') --stop;
    if (stop > 0 && text[stop - 1] == '\r') --stop;
    const std::size_t nl = text.rfind('\n', stop == 0 ? 0 : stop - 1);
    const std::size_t start = nl == std::string_view::npos ? 0 : nl + 1;
    std::vector<std::string_view> fields;
    std::string_view line = text.substr(start, stop - start);
    for (std::size_t at = 0;;) {
      const std::size_t tab = line.find('\t', at);
      fields.push_back(line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
      if (tab == std::string_view::npos) break;
      at = tab + 1;
    }
    lines.push_back(std::move(fields));
    if (nl == std::string_view::npos) break;
    end = start;
  }
  std::reverse(lines.begin(), lines.end());
  return lines;
}

bool ParseReportNumber(std::string_view s, double& out) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr == s.data()) return false;
  out = v;
  return true;
}

// The fields of the `count` lines of a report table whose column titles are
// `titles`: the lines after the titles and the rule below them.
std::vector<std::vector<std::string_view>> TableLineFields(std::string_view text, const std::string& titles,
                                                           int count) {
  std::vector<std::vector<std::string_view>> lines;
  std::size_t at = text.find(titles);
  if (at == std::string_view::npos || count <= 0) return lines;
  at = text.find('\n', at + titles.size());  // the rule below the titles
  if (at == std::string_view::npos) return lines;
  ++at;
  while (static_cast<int>(lines.size()) < count && at < text.size()) {
    std::size_t end = text.find('\n', at);
    std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
      const std::size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
      if (tab == std::string_view::npos) break;
      from = tab + 1;
    }
    lines.push_back(std::move(fields));
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return lines;
}

// A figure computed here at full precision is kept when the report shows the
// same figure; when the report's text says otherwise, the report's number
// stands, so that the document never contradicts the texts.
void Reconcile(double& value, std::string_view shown) {
  if (FormatReal(value) == shown) return;
  double parsed;
  if (ParseReportNumber(shown, parsed)) value = parsed;
}

// The same for a limit that may be unlimited (negative here).
void ReconcileLimit(double& value, std::string_view shown) {
  if (shown == T().unlimited) {
    value = -1;
    return;
  }
  if (value >= 0 && FormatReal(value) == shown) return;
  double parsed;
  if (ParseReportNumber(shown, parsed)) value = std::fabs(parsed);
}

bool SameTexts(const CapturedSolution& c, const std::string& columns, const std::string& rows,
               const std::string& error) {
  return c.valid && c.columnsText == columns && c.rowsText == rows && c.errorText == error;
}

}  // namespace

// One pass that copies every figure of the reports just built, section by
// section in the order the texts print them; kept whole so that the copy can
// be read against the reports line by line.
void CalcRun::CaptureSolution() {
  // The solution captured before is kept when it has meanwhile become the
  // search's incumbent (its texts were saved as the incumbent's).
  if (W.g_haveIncumbent == 1 &&
      SameTexts(capturedLast, W.g_incumbentReports[0], W.g_incumbentReports[1], W.g_incumbentReports[2])) {
    capturedIncumbent = capturedLast;
  }
  CapturedSolution& cap = capturedLast;
  cap = CapturedSolution{};
  OutcomeSolution& s = cap.solution;
  const int n = W.NSTRUC;
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const bool round = settings.ROUND != 0;

  s.goals.assign(static_cast<std::size_t>(K), 0.0);
  for (int g = 0; g < K && g < static_cast<int>(W.RACT.size()); ++g) s.goals[static_cast<std::size_t>(g)] = W.RACT[g];

  // Columns: the value, and (below) the status and first-goal reduced cost
  // that the columns report wrote. The status here is only the fallback for a
  // text that could not be read back.
  s.columns.reserve(static_cast<std::size_t>(n));
  for (int j = 0; j < n; ++j) {
    OutcomeColumn col;
    if (static_cast<std::size_t>(j) < P.g_varNames.size()) {
      col.name = P.g_varNames[static_cast<std::size_t>(j)];
    } else {
      const std::size_t start = static_cast<std::size_t>(j) * kNameWidth;
      col.name = TrimBlanks(start < W.CNAME.size() ? W.CNAME.substr(start, kNameWidth) : std::string());
    }
    col.value = W.XACT[j];
    if (W.ATUPR[j] || (col.value != 0 && W.KINBAS[j] == 0)) {
      col.status = "BD";
    } else if (col.value != 0) {
      col.status = "BS";
    }
    s.columns.push_back(std::move(col));
  }
  // The status words and reduced costs exactly as the columns report wrote
  // them (its lines are the last n of the text; the words are the report's).
  const auto lines = LastLineFields(result.columnsText, n);
  if (static_cast<int>(lines.size()) == n) {
    for (int j = 0; j < n; ++j) {
      const auto& f = lines[static_cast<std::size_t>(j)];
      if (f.size() != 5) continue;
      OutcomeColumn& col = s.columns[static_cast<std::size_t>(j)];
      col.status = (f[2] == "BD" || f[2] == "BS") ? std::string(f[2]) : std::string();
      ParseReportNumber(f[4], col.reducedCost);
    }
  }

  // Rows: the listed rows with their dual prices for every goal level (row k
  // of the basis inverse prices goal k).
  const bool ranging = settings.SENSITIVITY != 0 && W.NINT == 0;
  const int listed = m - P.g_boundRowCount;
  s.rows.reserve(static_cast<std::size_t>(listed > 0 ? listed : 0));
  for (int i = 0; i < listed; ++i) {
    OutcomeRow row;
    row.label = TrimBlanks(RowLabel(*this, i));
    row.type = W.ROWTYP[i];
    row.ranged = i >= K && W.RANGE[i] != 0;
    row.activity = W.RACT[i];
    row.dualPrices.assign(static_cast<std::size_t>(K), 0.0);
    if (i >= K) {
      for (int k = 0; k < K; ++k) {
        double p = W.BINV[static_cast<std::size_t>(i) * m + k];
        if (W.RANGE[i] != 0 && W.ROWTYP[i] != kRowEqual) p /= W.RANGE[i];
        if (std::fabs(p) < settings.ETOL) p = 0;
        if (W.ROWTYP[i] == kRowGreater) p = -p;
        if (round) p = ROUND6(p);
        row.dualPrices[static_cast<std::size_t>(k)] = p;
      }
    }
    if (i < K || row.activity != 0) {
      row.status = "BS";
    } else if (W.ROWTYP[i] == kRowEqual) {
      row.status = "EQ";
    }
    if (ranging && i >= K) {
      // The limits as the ranging table shows them.
      double increase = W.ALPHA[i];
      double decrease = W.ACOL[i];
      const double range = W.RANGE[i];
      if (range > 0) {
        if (!Unlimited(increase)) increase *= range;
        if (!Unlimited(decrease)) {
          decrease *= range;
          if (std::fabs(decrease) > range) decrease = range;
        }
      }
      row.haveRanging = true;
      row.rhs = W.XB[i];
      row.increase = Unlimited(increase) ? -1 : std::fabs(increase);
      row.decrease = Unlimited(decrease) ? -1 : std::fabs(decrease);
    }
    s.rows.push_back(std::move(row));
  }

  // The statuses, first-goal prices and ranging figures as the rows report
  // and its ranging table wrote them.
  const auto rowLines = TableLineFields(result.rowsText, T().rowsTitles, listed);
  if (static_cast<int>(rowLines.size()) == listed) {
    for (int i = 0; i < listed; ++i) {
      const auto& f = rowLines[static_cast<std::size_t>(i)];
      if (f.size() != 4) continue;
      OutcomeRow& row = s.rows[static_cast<std::size_t>(i)];
      row.status = (f[1] == "BS" || f[1] == "EQ") ? std::string(f[1]) : std::string();
      if (!row.dualPrices.empty()) Reconcile(row.dualPrices[0], f[3]);
    }
  }
  if (ranging && listed > K) {
    const auto rangeLines = TableLineFields(result.rowsText, T().sensitivityTitles, listed - K);
    if (static_cast<int>(rangeLines.size()) == listed - K) {
      for (int i = K; i < listed; ++i) {
        const auto& f = rangeLines[static_cast<std::size_t>(i - K)];
        if (f.size() != 4) continue;
        OutcomeRow& row = s.rows[static_cast<std::size_t>(i)];
        Reconcile(row.rhs, f[1]);
        ReconcileLimit(row.increase, f[2]);
        ReconcileLimit(row.decrease, f[3]);
      }
    }
  }

  s.residualTotal = W.g_residualTotal;
  s.residualMax = W.g_residualMax;
  s.priceCheckTotal = W.g_priceCheckTotal;
  s.priceCheckMax = W.g_priceCheckMax;
  cap.columnsText = result.columnsText;
  cap.rowsText = result.rowsText;
  cap.errorText = result.errorText;
  cap.valid = true;
}

void CalcRun::CollectOutcome(bool setupReached) {
  RunOutcome& o = outcome;
  o = RunOutcome{};
  o.ran = setupReached;
  o.resultCode = result.resultCode;
  o.title = P.g_modelTitle;
  o.goalCount = W.NGOALS;
  o.rowCount = W.MROWS;
  o.columnCount = W.NSTRUC;
  o.integerCount = W.NINT;
  o.dataErrorCount = W.NERR;
  o.attainmentTolerance = settings.ETOL;
  if (!setupReached) return;
  o.iterations = W.ITERLP > 0 ? static_cast<long long>(W.ITERLP) - 1 : 0;
  o.branches = W.g_branchOptimalCount;
  if (W.NINT != 0 && (o.resultCode == kResultForcedFeasible || o.resultCode == kResultForcedInfeasible))
    o.branches = static_cast<long long>(W.g_branchCount) + 1;
  o.elapsedSeconds = std::chrono::duration<double>(port.Now() - W.TSTART).count();
  if (o.elapsedSeconds < 0) o.elapsedSeconds = 0;
  // The solution whose texts the run shows: the last one built, or the
  // search's incumbent restored at its end.
  const std::string& c = result.columnsText;
  const std::string& r = result.rowsText;
  const std::string& e = result.errorText;
  if (c.empty() && r.empty() && e.empty()) return;
  if (SameTexts(capturedLast, c, r, e)) {
    o.solution = capturedLast.solution;
    o.haveSolution = true;
  } else if (SameTexts(capturedIncumbent, c, r, e)) {
    o.solution = capturedIncumbent.solution;
    o.haveSolution = true;
  }
}

}  // namespace tavo
