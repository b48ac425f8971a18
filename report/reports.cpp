// The solution reports: values taken back from the solver's standard form to
// the model's own terms, the columns report, the rows report with its dual
// prices, the right-hand-side ranging table and the goal-attainment analysis,
// and the error information text.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "report/report_text.h"
#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"
#include "solver/bound_cases.h"

namespace tavo {

namespace {

constexpr std::size_t kNameWidth = 8;    // bytes of a column name in CNAME
constexpr std::size_t kLabelWidth = 18;  // bytes of a row label in RNAME

// Sizes a solution array to at least `n` entries and clears the first n.
void ClearPrefix(std::vector<double>& v, int n) {
  if (n < 0) n = 0;
  if (v.size() < static_cast<std::size_t>(n)) v.resize(static_cast<std::size_t>(n));
  std::fill(v.begin(), v.begin() + n, 0.0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Report text helpers (shared with the ranging table).

std::string ReportRule(char c, int count) { return std::string(static_cast<std::size_t>(count), c) + "\r\n"; }

std::string ReportNumber::operator()(double v) {
  if (!std::isfinite(v)) ++nonFinite;
  return FormatReal(v);
}

std::string RowLabel(const CalcRun& run, int row) {
  const Workspace& W = run.W;
  if (row < W.NGOALS) return T().goalRow + FormatInt(static_cast<long long>(row) + 1);
  const long long q = static_cast<long long>(row) - W.NGOALS;  // 0-based among the constraint rows
  if (run.P.g_haveRowLabels) {
    std::string label(kLabelWidth, ' ');
    const std::size_t start = static_cast<std::size_t>(q) * kLabelWidth;
    for (std::size_t k = 0; k < kLabelWidth; ++k) {
      const std::size_t at = start + k;
      // A row without a label holds zero bytes; they print as blanks.
      if (at < W.RNAME.size() && W.RNAME[at] != '\0') label[k] = W.RNAME[at];
    }
    return label;
  }
  return T().constraintRow + FormatInt(q + 1);
}

// ---------------------------------------------------------------------------

void CalcRun::MapValuesBack() {
  const int n = W.NSTRUC;
  const int m = W.MROWS;

  // 1. Logical columns of ranged rows were scaled by the range width.
  for (int r = 0; r < m; ++r) {
    const int h = W.JHEAD[r];
    if (h > n) {
      const int q = h - n - 1;
      if (W.RANGE[q] != 0) W.ALPHA[r] *= W.RANGE[q];
    }
  }

  // 2. Basic structural columns back through their bound substitution; a
  // column scaled to lie between 0 and 1 is no longer at its upper bound.
  for (int r = 0; r < m; ++r) {
    const int h = W.JHEAD[r];
    if (h < 1 || h > n) continue;
    const int c = h - 1;
    const BoundCase bc = ClassifyBounds(W.BNDFLG[c]);
    W.ALPHA[r] = BasicValueBack(bc, W.ALPHA[r], W.UBND[c], W.LBND[c]);
    if (IsScaledToUnit(bc)) W.ATUPR[c] = 0;
  }

  // 3. Values of the nonbasic (and fixed) structural columns.
  for (int c = 0; c < n; ++c) {
    W.XVAL[c] = PositionValueBack(ClassifyBounds(W.BNDFLG[c]), W.ATUPR[c] != 0, W.KINBAS[c] != 0, W.UBND[c], W.LBND[c],
                                  W.XVAL[c]);
  }
}

namespace {

// How a column's bound rows (the rows the sensitivity analysis adds for its
// SUB and SLB declarations) change what the columns report says of it.
struct BoundRowHold {
  double reducedCost = 0;  // the priced reduced cost, the bound rows' prices taken in
  bool held = false;       // basic, but held at a bound by its bound row
  bool atUpper = false;    // held at the upper bound of a column between 0 and 1
};

// A bound row says no more than its column's bound, so the report reads the
// column as if the row were not there. The price of a bound row belongs to
// its column: the reduced cost is priced over the model's own rows only (the
// bound rows' shares taken out of `priced`). A basic column whose bound row
// is tight (the row's slack off the basis) sits at that bound as a column
// off the basis would, and is reported so.
BoundRowHold HoldByBoundRows(CalcRun& run, int j, double priced) {
  Workspace& W = run.W;
  BoundRowHold hold;
  hold.reducedCost = priced;
  const int m = W.MROWS;
  const int first = m - run.P.g_boundRowCount;
  if (first >= m || W.DJ.empty()) return hold;
  // ACOL holds the column as PriceColumn used it.
  const double* a = W.ACOL.data();
  bool touches = false;
  for (int r = first; r < m; ++r) touches = touches || a[r] != 0;
  if (!touches) return hold;

  const double ztol = run.settings.ZTOL;
  const double* pi = W.PI.data();  // the first goal's prices
  double s = 0;
  for (int i = 0; i < first; ++i) {
    if (std::fabs(pi[i]) >= ztol && a[i] != 0) s += pi[i] * a[i];
  }
  hold.reducedCost = std::fabs(s) < run.settings.ETOL ? 0.0 : s;

  if (W.KINBAS[j] == 0) return hold;
  for (int r = first; r < m; ++r) {
    if (a[r] == 0 || W.KINBAS[W.NSTRUC + r] != 0) continue;
    hold.held = true;
    hold.atUpper = W.ROWTYP[r] == kRowLess && IsScaledToUnit(ClassifyBounds(W.BNDFLG[j]));
  }
  return hold;
}

// The columns report: one line a structural column with its status, its
// activity and its reduced cost for the first goal.
void AppendColumnsReport(CalcRun& run, ReportNumber& num) {
  Workspace& W = run.W;
  const Texts& tx = T();
  const int n = W.NSTRUC;
  const bool round = run.settings.ROUND != 0;
  std::string& cols = run.result.columnsText;
  cols += tx.columnsHeader;
  cols += tx.modelNameOpen + run.P.g_modelTitle + tx.modelNameClose;
  cols += ReportRule('-', 81);
  cols += tx.columnsTitles;
  cols += ReportRule('-', 81);
  for (int j = 0; j < n; ++j) {
    W.JCUR = j;
    run.PriceColumn();
    double d = W.DJ.empty() ? 0.0 : W.DJ[0];
    const BoundRowHold hold = HoldByBoundRows(run, j, d);
    d = hold.reducedCost;
    // Pricing measures a bounded column per unit of its upper bound, but a
    // column with both bounds was scaled by their width: per unit of the
    // model variable its reduced cost is the priced value times u / (u - l).
    const double u = W.UBND[j], l = W.LBND[j];
    if (W.COLKND[j] == kKindBounded && HasBothBounds(W.BNDFLG[j]) && u > 0 && u - l > 0) d *= u / (u - l);
    if (std::fabs(d) < run.settings.ZTOL) d = 0;
    d = ROUND6(d);  // reduced costs are always shown to six decimals
    if (IsNegated(SubstitutionCase(W.BNDFLG[j]))) d = -d;

    double x = W.XACT[j];
    if (round) {
      x = ROUND6(x);
      W.XACT[j] = x;
    }

    const std::string* status = &tx.statusWord[0];
    if (hold.held) {
      // Read as the column at the bound its row holds it to.
      if (hold.atUpper || x != 0) status = &tx.statusWord[1];
    } else if (W.ATUPR[j] || (x != 0 && W.KINBAS[j] == 0)) {
      status = &tx.statusWord[1];
    } else if (x != 0) {
      status = &tx.statusWord[2];
    }

    std::string name(kNameWidth, ' ');
    const std::size_t start = static_cast<std::size_t>(j) * kNameWidth;
    for (std::size_t k = 0; k < kNameWidth && start + k < W.CNAME.size(); ++k) name[k] = W.CNAME[start + k];

    cols += FormatInt(static_cast<long long>(j) + 1);
    cols += '\t';
    cols += name;
    cols += '\t';
    cols += *status;
    cols += '\t';
    cols += num(x);
    cols += '\t';
    cols += num(d);
    cols += "\r\n";
  }
}

// The rows table of the rows report: one line a listed row with its status,
// its activity and its dual price for the first goal.
void AppendRowsTable(CalcRun& run, ReportNumber& num) {
  Workspace& W = run.W;
  const Texts& tx = T();
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const bool round = run.settings.ROUND != 0;
  std::string& rows = run.result.rowsText;
  rows += tx.rowsHeader;
  rows += '\t' + tx.modelNameOpen + run.P.g_modelTitle + tx.modelNameClose;
  rows += ReportRule('-', 80);
  rows += tx.rowsTitles;
  rows += ReportRule('-', 80);
  const int listedRows = m - run.P.g_boundRowCount;
  for (int i = 0; i < listedRows; ++i) {
    double p = 0;
    if (i >= K) {
      p = W.BINV[static_cast<std::size_t>(i) * m + 0];
      // A two-sided row is held divided by its range width; its price is
      // shown per unit of the model's right-hand side, like its slack.
      if (W.RANGE[i] != 0 && W.ROWTYP[i] != kRowEqual) p /= W.RANGE[i];
      if (std::fabs(p) < run.settings.ETOL) p = 0;
      if (W.ROWTYP[i] == kRowGreater) p = -p;
    }
    if (round) {
      W.RACT[i] = ROUND6(W.RACT[i]);
      p = ROUND6(p);
    }
    const std::string* status = &tx.statusWord[0];
    if (i < K || W.RACT[i] != 0) {
      status = &tx.statusWord[2];
    } else if (W.ROWTYP[i] == kRowEqual) {
      status = &tx.statusWord[3];
    }
    rows += RowLabel(run, i);
    rows += '\t';
    rows += *status;
    rows += '\t';
    rows += num(W.RACT[i]);
    rows += '\t';
    rows += num(p);
    rows += "\r\n";
  }
}

// The goal-attainment analysis that ends the rows report.
void AppendGoalAnalysis(CalcRun& run, ReportNumber& num) {
  Workspace& W = run.W;
  const Texts& tx = T();
  std::string& rows = run.result.rowsText;
  rows += "\r\n";
  rows += ReportRule('*', 31);
  rows += tx.goalAnalysisTitle;
  rows += ReportRule('*', 31);
  rows += "\r\n";
  for (int g = 0; g < W.NGOALS; ++g) {
    rows += tx.goalRow;
    rows += FormatInt(static_cast<long long>(g) + 1);
    rows += '\t';
    const double v = std::fabs(W.RACT[g]);
    if (v < run.settings.ETOL) {
      rows += tx.goalAttained;
    } else {
      rows += tx.goalValue;
      rows += num(v);
      rows += "\r\n";
    }
  }
}

// The error information text: the residual and the shadow-price figures,
// and the count of numbers in the reports that are not finite.
void AppendErrorInformation(CalcRun& run, ReportNumber& num) {
  Workspace& W = run.W;
  const Texts& tx = T();
  std::string& err = run.result.errorText;
  err += tx.errorHeader;
  err += tx.errorTolerance;
  err += tx.errorTotal + num(W.g_residualTotal) + tx.errorMax + num(W.g_residualMax) + "\r\n\r\n";
  err += tx.errorShadowPrice;
  err += tx.errorTotal + num(W.g_priceCheckTotal) + tx.errorMax + num(W.g_priceCheckMax) + "\r\n";
  if (num.nonFinite > 0) {
    // A value that is not a finite number (an overflow in the arithmetic)
    // must not pass for a result: say so where the accuracy is reported,
    // with the count of such numbers in the three reports.
    err += T().setupNotFinite + FormatInt(num.nonFinite) + T().detailEnd;
  }
}

// The model's values from the basis: ALPHA (the basic values, taken back by
// MapValuesBack) distributed by the basis header, then the values of the
// columns off the basis from XVAL.
void DistributeValues(Workspace& W) {
  const int n = W.NSTRUC;
  const int m = W.MROWS;
  const int N = W.NCOLS;
  for (int r = 0; r < m; ++r) {
    const int c = W.JHEAD[r];
    if (c == 0) {
      W.RACT[r] = W.ALPHA[r];
    } else if (c > n) {
      W.RACT[c - n - 1] = W.ALPHA[r];
    } else {
      W.XACT[c - 1] = W.ALPHA[r];
    }
  }
  for (int c = 0; c < N; ++c) {
    if (W.XVAL[c] == 0) continue;
    if (c < n) {
      W.XACT[c] = W.XVAL[c];
    } else {
      W.RACT[c - n] = W.XVAL[c];
    }
  }
}

}  // namespace

// Values first (every call), then, when `flag` is 1, one builder per text.
void CalcRun::BuildReports(int flag) {
  const int m = W.MROWS;
  result.columnsText.clear();
  result.rowsText.clear();
  result.errorText.clear();
  ClearPrefix(W.XACT, W.NSTRUC);
  ClearPrefix(W.XVAL, W.NCOLS);
  ClearPrefix(W.RACT, m);

  ComputeErrorFigures();
  for (int r = 0; r < m; ++r) W.ALPHA[r] = W.XB[r];
  MapValuesBack();
  DistributeValues(W);
  if (flag != 1) return;

  ReportNumber num;
  AppendColumnsReport(*this, num);
  AppendRowsTable(*this, num);
  if (settings.SENSITIVITY != 0 && W.NINT == 0) {
    RangeRightHandSides();
    for (int i = 0; i < m; ++i) W.XB[i] = W.RHS[i];
    // Its last step finishes the rows: range widths and >= orientation.
    UndoBoundSubstitution();
    AppendRangingTable(*this, num);
  }
  AppendGoalAnalysis(*this, num);
  AppendErrorInformation(*this, num);
  CaptureSolution();

  const double first =
      (W.g_haveIncumbent == 1 && !W.g_incumbentGoals.empty()) ? W.g_incumbentGoals[0] : (m > 0 ? W.RACT[0] : 0.0);
  port.SetField(ProgressField::kFirstGoal, FormatReal(std::fabs(first)));
}

}  // namespace tavo
