// Problem set-up: sizes the solver arrays, prepares the branch-and-bound
// arrays of an integer model, and brings the model into the standard form the
// simplex works on (every constraint row in less-or-equal orientation and
// scaled by its range, every structural column substituted so that its
// variable is nonnegative, between 0 and 1, free or fixed).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"
#include "solver/bound_cases.h"
#include "solver/memory_limit.h"
#include "solver/solver_detail.h"

namespace tavo {

using solver_detail::At;

namespace {

// The column's name as the log shows it: its 8 stored characters without blanks.
std::string ColumnName(const Workspace& W, int j) {
  std::string name;
  const std::size_t at = static_cast<std::size_t>(j) * 8;
  for (std::size_t c = at; c < at + 8 && c < W.CNAME.size(); ++c) {
    if (W.CNAME[c] != ' ') name += W.CNAME[c];
  }
  return name;
}

// A row as the reports name it: goal rows by number, constraint rows by their
// label when they have one, otherwise by their number among the constraint rows.
std::string RowName(const Workspace& W, int i) {
  if (i < W.NGOALS) return T().goalRow + FormatInt(i + 1);
  const std::size_t at = static_cast<std::size_t>(i - W.NGOALS) * 18;
  std::string label;
  if (at + 18 <= W.RNAME.size()) {
    label.assign(W.RNAME, at, 18);
    while (!label.empty() && (label.back() == ' ' || label.back() == '\0')) label.pop_back();
  }
  if (!label.empty()) return label;
  return T().constraintRow + FormatInt(i - W.NGOALS + 1);
}

bool ColumnIsFinite(const double* col, int m) {
  for (int i = 0; i < m; ++i) {
    if (!std::isfinite(col[i])) return false;
  }
  return true;
}

// Bytes set-up is about to allocate (the solver arrays, the nonzero pattern
// and, for an integer model, the search arrays), in 128 bits so that nothing
// overflows.
unsigned __int128 SolverBytes(const Workspace& W, const SolverSettings& s) {
  using U = unsigned __int128;
  std::uint64_t nonzeros = 0;
  for (double a : W.AMAT) nonzeros += a != 0;
  const U length = static_cast<U>(s.BB_LENGTH > 1 ? s.BB_LENGTH : 1);
  U bytes = 0;
  W.ForEachArray([&](const char*, const auto& array, ArrayGroup group, std::int64_t size) {
    const U element = sizeof(array[0]);
    const U count = static_cast<U>(size > 0 ? size : 0);
    switch (group) {
      case ArrayGroup::kSolver:
        bytes += count * element;
        break;
      case ArrayGroup::kPattern:
        bytes += (size >= 0 ? count : static_cast<U>(nonzeros)) * element;
        break;
      case ArrayGroup::kSearch:
      case ArrayGroup::kParsedCopy:
        if (W.NINT != 0) bytes += (size >= 0 ? count : length) * element;
        break;
      default:
        break;
    }
  });
  return bytes;
}

std::string DecimalBytes(unsigned __int128 v) {
  if (v == 0) return "0";
  std::string s;
  while (v > 0) {
    s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  }
  return s;
}

// A row that restricts nothing: one side unlimited ("X + Y <= @",
// "X >= - @") or, two-sided, both. It keeps its place and its slack, but its
// coefficients and right-hand side become 0: the unlimited value would
// otherwise swallow every ordinary number it meets (a variable standing only
// in such a row ending at 1e30, a bounded model ending unbounded, an
// unbounded goal ending at about 1e30), and its variables are held by the
// other rows alone.
void ClearUnlimitedRows(Workspace& W) {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const int n = W.NSTRUC;
  for (int i = K; i < m; ++i) {
    const double b = W.XB[i], range = W.RANGE[i];
    bool open = false;
    if (range == 0) {
      open = (W.ROWTYP[i] == kRowLess && b >= kInfinity) || (W.ROWTYP[i] == kRowGreater && b <= -kInfinity);
    } else if (W.ROWTYP[i] != kRowEqual) {
      open = b >= kInfinity && b - range <= -kInfinity;
    }
    if (!open) continue;
    for (int j = 0; j < n; ++j) W.AMAT[At(j, m, i)] = 0.0;
    W.XB[i] = 0.0;
    W.RANGE[i] = 0.0;
  }
}

// Every constraint row in less-or-equal orientation and scaled by its range
// (matrix and right-hand side); a ranged row's slack lies between 0 and 1.
// Goal rows are never touched.
void OrientAndScaleRows(Workspace& W) {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const int n = W.NSTRUC;
  double* acol = W.ACOL.data();
  for (int j = 0; j < n; ++j) {
    double* col = W.AMAT.data() + At(j, m, 0);
    for (int i = 0; i < m; ++i) acol[i] = col[i];
    for (int i = K; i < m; ++i) {
      if (W.ROWTYP[i] == kRowGreater) acol[i] = -acol[i];
      if (W.RANGE[i] != 0 && W.ROWTYP[i] != kRowEqual) acol[i] = acol[i] / W.RANGE[i];
    }
    for (int i = 0; i < m; ++i) col[i] = acol[i];
  }
  // The right-hand sides likewise.
  for (int i = K; i < m; ++i) {
    if (W.ROWTYP[i] == kRowGreater) W.XB[i] = -W.XB[i];
    if (W.RANGE[i] != 0 && W.ROWTYP[i] != kRowEqual) {
      if (W.ROWTYP[i] == kRowGreater) {
        W.ROWTYP[i] = kRowLess;
        W.XB[i] += W.RANGE[i];
      }
      W.XB[i] = W.XB[i] / W.RANGE[i];
    }
  }
  for (int i = K; i < m; ++i) {
    if (W.RANGE[i] != 0) W.BNDFLG[n + i] = kBndUpper;
  }
}

// Substitutes x by the standard form's variable y in column `acol` (all
// rows, goal rows included) and moves the constant part into XB.
void SubstituteColumn(Workspace& W, BoundCase c, double u, double l, double* acol) {
  const int m = W.MROWS;
  switch (c) {
    case BoundCase::kNonpositive:  // x = -y
      for (int i = 0; i < m; ++i) acol[i] = -acol[i];
      break;
    case BoundCase::kAboveOnly:  // x = u - y
      for (int i = 0; i < m; ++i) acol[i] = -acol[i];
      for (int i = 0; i < m; ++i) W.XB[i] += acol[i] * u;
      break;
    case BoundCase::kLowerOnly:  // x = l + y
      for (int i = 0; i < m; ++i) W.XB[i] -= acol[i] * l;
      break;
    case BoundCase::kBetween: {  // x = l + (u - l)y
      for (int i = 0; i < m; ++i) W.XB[i] -= acol[i] * l;
      const double width = u - l;
      for (int i = 0; i < m; ++i) acol[i] *= width;
      break;
    }
    case BoundCase::kUpperOnly:  // x = u*y
      for (int i = 0; i < m; ++i) acol[i] *= u;
      break;
    case BoundCase::kFixed:  // x fixed at l
      for (int i = 0; i < m; ++i) W.XB[i] -= acol[i] * l;
      break;
    default:  // x = y
      break;
  }
}

// The kinds of the logical columns: nonnegative, or between 0 and 1 for a
// ranged row; artificial for a goal row, fixed at zero for an equality.
void AssignLogicalKinds(Workspace& W) {
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  for (int i = 0; i < m; ++i) {
    const int j = n + i;
    std::uint8_t kind = kKindNonnegative;
    if (W.BNDFLG[j] != 0) kind = W.BNDFLG[j];
    if (W.ROWTYP[i] == kRowGoal) {
      kind = kKindArtificial;
    } else if (W.ROWTYP[i] == kRowEqual) {
      kind = kKindFixedZero;
    }
    W.COLKND[j] = kind;
  }
}

}  // namespace

namespace solver_detail {

void BuildPattern(Workspace& W) {
  const std::int64_t m = W.MROWS;
  const std::int32_t n = W.NSTRUC;
  W.APATBEG.assign(static_cast<std::size_t>(n) + 1, 0);
  W.APATDENSE.assign(static_cast<std::size_t>(n), 0);
  W.APATROW.clear();
  W.APATVAL.clear();
  for (std::int32_t j = 0; j < n; ++j) {
    const double* col = W.AMAT.data() + At(j, m, 0);
    std::int64_t count = 0;
    for (std::int64_t i = 0; i < m; ++i) count += col[i] != 0;
    W.APATBEG[j] = static_cast<std::int64_t>(W.APATROW.size());
    if (ListIsWorthwhile(count, m)) {
      for (std::int64_t i = 0; i < m; ++i) {
        if (col[i] != 0) {
          W.APATROW.push_back(static_cast<std::int32_t>(i));
          W.APATVAL.push_back(col[i]);
        }
      }
    } else {
      W.APATDENSE[j] = 1;
    }
  }
  W.APATBEG[n] = static_cast<std::int64_t>(W.APATROW.size());
  W.APATM = W.MROWS;
}

void RefreshPatternValues(Workspace& W) {
  const std::int64_t m = W.MROWS;
  for (std::int32_t j = 0; j < W.NSTRUC; ++j) {
    const double* col = W.AMAT.data() + At(j, m, 0);
    for (std::int64_t p = W.APATBEG[j], e = W.APATBEG[static_cast<std::size_t>(j) + 1]; p < e; ++p)
      W.APATVAL[static_cast<std::size_t>(p)] = col[W.APATROW[static_cast<std::size_t>(p)]];
  }
}

}  // namespace solver_detail

int CalcRun::SetupAndSolve() {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const int n = W.NSTRUC;
  const int N = W.NCOLS;

  // 1. The set-up's time-stamp line.
  W.TSTAMP = port.Now();
  AppendTimeStampLine(T().g_bannerFileSetup, W.TSTAMP);

  // The inverse alone takes m*m doubles: refuse a model the machine cannot
  // hold before anything is allocated.
  const unsigned __int128 need = SolverBytes(W, settings);
  if (need > static_cast<unsigned __int128>(AvailableMemoryBytes())) {
    result.logText += T().outOfMemory + "solver arrays " + DecimalBytes(need) + " bytes" + T().detailEnd;
    ++W.NERR;
    port.ShowMessage(T().dataErrorBox, IconStyle::kStop);
    result.resultCode = kResultDataError;
    return kResultDataError;
  }

  // 2. The solver arrays, all zero.
  W.SizeSolverArrays();

  // INT written after FREE makes the variable a 0-1 variable (INT sets its
  // bounds 0 and 1); the leftover free mark would otherwise make the
  // declaration a contradictory combination.
  for (int j = 0; j < n; ++j) {
    std::uint8_t& f = W.BNDFLG[j];
    if ((f & kBndCaseFlags) == (kBndFree | kBndUpper)) f = static_cast<std::uint8_t>((f & ~kBndCaseFlags) | kBndUpper);
  }

  // 3. The search arrays of an integer model.
  if (W.NINT != 0) {
    W.SizeSearchArrays(settings.BB_LENGTH);
    W.g_haveIncumbent = 0;
    W.g_branchCount = -1;
    W.g_branchOptimalCount = 0;
    W.g_bbCurrent = 0;
    W.g_bbLastNode = 0;
    W.g_bbNodes[0].parent = -1;
    W.g_bbNodes[0].branchDir = -1;
    for (int k = 0; k < K; ++k) W.g_incumbentGoals[k] = -1.0e30;
    for (int j = 0; j < N; ++j) W.g_origColType[j] = W.BNDFLG[j];
    for (int j = 0; j < n; ++j) {
      W.g_origUpper[j] = W.UBND[j];
      W.g_origLower[j] = W.LBND[j];
    }
  }

  // 4.
  for (int i = 0; i < m; ++i) W.RACT[i] = 0;

  // Numbers too large for a double (written with hundreds of digits) read as
  // infinity; the solver would turn them into meaningless values.
  for (int j = 0; j < n; ++j) {
    if (!ColumnIsFinite(W.AMAT.data() + At(j, m, 0), m) || !std::isfinite(W.UBND[j]) || !std::isfinite(W.LBND[j])) {
      result.logText += T().setupNotFinite + ColumnName(W, j) + T().detailEnd;
      ++W.NERR;
    }
  }
  for (int i = 0; i < m; ++i) {
    if (!std::isfinite(W.XB[i]) || !std::isfinite(W.RANGE[i])) {
      result.logText += T().setupNotFinite + RowName(W, i) + T().detailEnd;
      ++W.NERR;
    }
  }

  // 5.
  TransformModel(1);

  // The ranged rows' logical columns are bounded between 0 and 1 from here
  // on; the branch and bound restores every column's flags from this copy
  // before each node, so it must know them too.
  if (W.NINT != 0) {
    for (int j = n; j < N; ++j) W.g_origColType[j] = W.BNDFLG[j];
  }

  // 6.
  if (W.NERR != 0) {
    port.ShowMessage(T().dataErrorBox, IconStyle::kStop);
    result.resultCode = kResultDataError;
    return kResultDataError;
  }

  // 7.
  result.logText += T().fileSetupError + FormatInt(W.NERR) + "\r\n\r\n";
  const int code = RunSolve();
  result.resultCode = code;
  return code;
}

void CalcRun::TransformModel(int mode) {
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const int N = W.NCOLS;
  double* acol = W.ACOL.data();

  // 1. (Set-up has sized the kinds; a direct call gets them sized here.)
  if (W.COLKND.size() != static_cast<std::size_t>(N)) W.COLKND.assign(static_cast<std::size_t>(N), 0);
  if (W.ATUPR.size() != static_cast<std::size_t>(N)) W.ATUPR.assign(static_cast<std::size_t>(N), 0);
  for (int j = 0; j < N; ++j) {
    W.COLKND[j] = 0;
    W.ATUPR[j] = 0;
  }

  // Which columns and rows hold only finite numbers on entry: a number that
  // overflows on the way is reported once, where it arises.
  std::vector<std::uint8_t> columnFinite(static_cast<std::size_t>(n));
  std::vector<std::uint8_t> rowFinite(static_cast<std::size_t>(m));
  for (int j = 0; j < n; ++j) columnFinite[j] = ColumnIsFinite(W.AMAT.data() + At(j, m, 0), m);
  for (int i = 0; i < m; ++i) rowFinite[i] = std::isfinite(W.XB[i]);

  // 2-3. Only in mode 1: the rows.
  if (mode == 1) {
    ClearUnlimitedRows(W);
    OrientAndScaleRows(W);
  }

  // 4. Bound substitution of every structural column, goal rows included.
  std::vector<int> overflowColumns;
  for (int j = 0; j < n; ++j) {
    W.BNDFLG[j] = NormaliseBoundFlags(W.BNDFLG[j]);
    std::uint8_t f = W.BNDFLG[j];
    const double u = W.UBND[j];
    const double l = W.LBND[j];
    double* col = W.AMAT.data() + At(j, m, 0);
    for (int i = 0; i < m; ++i) acol[i] = col[i];

    // 4.1 Equal bounds fix the column at its lower bound. A column without
    // lower bound (flag 8) has no lower bound to compare with.
    if ((f & kBndUpper) && !(f & kBndNoLower) && u == l) {
      f = FixedFlags(f);
      W.BNDFLG[j] = f;
      W.UBND[j] = 0;
    }
    // 4.2 Crossed bounds.
    if ((f & kBndUpper) && !(f & kBndNoLower) && u < l) {
      result.logText += T().setupBoundPrefix + ColumnName(W, j) + T().setupBoundSuffix;
      ++W.NERR;
    }
    // 4.3 Substitution of x by the standard form's variable y.
    SubstituteColumn(W, SubstitutionCase(f), u, l, acol);
    // 4.4 Back into the matrix.
    for (int i = 0; i < m; ++i) col[i] = acol[i];
    if (columnFinite[j] && !ColumnIsFinite(acol, m)) overflowColumns.push_back(j);
  }
  // The list of the nonzero rows of every column, for the solver.
  solver_detail::BuildPattern(W);

  // 5. Kinds of the structural columns.
  for (int j = 0; j < n; ++j) {
    const BoundCase c = ClassifyBounds(W.BNDFLG[j]);
    W.COLKND[j] = ColumnKindOf(c);
    if (c == BoundCase::kContradictory) {
      result.logText += T().setupFlagCombination;
      ++W.NERR;
    }
  }

  // 6. Kinds of the logical columns.
  AssignLogicalKinds(W);

  // 7.
  for (int i = 0; i < m; ++i) W.RHS[i] = W.XB[i];

  // Numbers that overflowed on the way (a huge coefficient times a bound).
  for (int j : overflowColumns) {
    result.logText += T().setupNotFinite + ColumnName(W, j) + T().detailEnd;
    ++W.NERR;
  }
  for (int i = 0; i < m; ++i) {
    if (rowFinite[i] && !std::isfinite(W.XB[i])) {
      result.logText += T().setupNotFinite + RowName(W, i) + T().detailEnd;
      ++W.NERR;
    }
  }
}

}  // namespace tavo
