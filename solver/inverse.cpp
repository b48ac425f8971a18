// The basis inverse: an explicit dense m*m matrix BINV held column by column
// (element (k, i) at i*m + k). Unpacking a column, FTRAN, the elementary
// update after a pivot, the rebuild from the basic columns, the starting
// basis and the feasibility test of the basic solution.
//
// The loops skip zero entries of the columns and of the inverse; the order in
// which every sum is formed is that of the plain loops, so the results are
// the same bit for bit.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "shell/calc_run.h"
#include "solver/solver_detail.h"
#include "solver/vector_kernels.h"
#include "solver/workspace_checks.h"

namespace tavo {

using solver_detail::At;

void CalcRun::LoadColumn() {
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const int j = W.JCUR;
  double* acol = W.ACOL.data();
  if (j < n) {
    std::memcpy(acol, W.AMAT.data() + At(j, m, 0), sizeof(double) * static_cast<std::size_t>(m));
  } else {
    std::memset(acol, 0, sizeof(double) * static_cast<std::size_t>(m));
    acol[j - n] = 1.0;
  }
}

// ALPHA = B^-1 * column JCUR. For every nonzero entry a of the column (rows
// ascending) and every k with |B^-1(k,i)| >= ETOL: ALPHA[k] += a*B^-1(k,i),
// and a sum that falls below ETOL in magnitude becomes 0.
void CalcRun::Ftran() {
  const std::int64_t m = W.MROWS;
  const double etol = settings.ETOL;
  double* alpha = W.ALPHA.data();
  std::memset(alpha, 0, sizeof(double) * static_cast<std::size_t>(m));
  LoadColumn();
  const double* acol = W.ACOL.data();
  const double* binv = W.BINV.data();
  // The unpacked column is scanned rather than the matrix pattern: it is
  // there anyway, and FTRAN also serves columns that set-up has not seen.
  for (std::int64_t i = 0; i < m; ++i) {
    const double a = acol[i];
    if (a == 0) continue;
    vector_kernels::AddMultipleSnapped(alpha, binv + At(i, m, 0), a, etol, m);
  }
}

// The Gauss-Jordan step of the pivot in row r = ILEAVE. ALPHA holds the
// entering column with ALPHA[r] = -1, PIVNEG minus the old pivot element.
void CalcRun::UpdateInverse() {
  const std::int64_t m = W.MROWS;
  const std::int64_t r = W.ILEAVE;
  const double etol = settings.ETOL;
  const double pivneg = W.PIVNEG;
  const double* alpha = W.ALPHA.data();
  double* binv = W.BINV.data();

  // Rows of ALPHA that are not zero: adding ETAMUL*0 would change nothing
  // (the inverse never holds a negative zero), so only these are touched.
  std::int32_t* nz = W.NZROWS.data();
  std::int64_t count = 0;
  for (std::int64_t k = 0; k < m; ++k) {
    if (alpha[k] != 0) nz[count++] = static_cast<std::int32_t>(k);
  }
  const bool sparse = solver_detail::ListIsWorthwhile(count, m);

  // Row r of the inverse is read first, in one sweep of independent loads
  // (it lies across every column), giving the columns to change and their
  // multipliers. Changing a column never touches row r of another column, so
  // this is the order of the plain loop. ETAMUL ends as the multiplier of
  // the last column looked at.
  if (W.ETACOLS.size() < static_cast<std::size_t>(m)) {  // workspaces built by hand
    W.ETACOLS.resize(static_cast<std::size_t>(m));
    W.ETAVALS.resize(static_cast<std::size_t>(m));
  }
  std::int32_t* etaCols = W.ETACOLS.data();
  double* etaVals = W.ETAVALS.data();
  std::int64_t changed = 0;
  for (std::int64_t i = 0; i < m; ++i) {
    const double b = binv[At(i, m, r)];
    if (!(std::fabs(b) >= etol)) continue;
    const double eta = b / pivneg;
    W.ETAMUL = eta;
    if (!(std::fabs(eta) >= etol)) continue;
    etaCols[changed] = static_cast<std::int32_t>(i);
    etaVals[changed++] = eta;
  }

  for (std::int64_t p = 0; p < changed; ++p) {
    double* col = binv + At(etaCols[p], m, 0);
    const double eta = etaVals[p];
    col[r] = 0;
    if (sparse) {
      for (std::int64_t q = 0; q < count; ++q) {
        const std::int32_t k = nz[q];
        col[k] += eta * alpha[k];
      }
    } else {
      vector_kernels::AddMultiple(col, alpha, eta, m);
    }
  }
}

void CalcRun::Reinvert() {
  const std::int64_t m = W.MROWS;
  const int K = W.NGOALS;
  const int N = W.NCOLS;
  const double etol = settings.ETOL;
  const double ztol = settings.ZTOL;
  double* xb = W.XB.data();

  // 1. Start from the right-hand side and the identity; the constraint rows
  // whose basic column is to be placed again are marked -1.
  for (std::int64_t i = 0; i < m; ++i) xb[i] = W.RHS[i];
  for (std::int64_t i = K; i < m; ++i) {
    if (W.JHEAD[i] != 0) W.JHEAD[i] = -1;
  }
  std::fill(W.BINV.begin(), W.BINV.end(), 0.0);
  for (std::int64_t i = 0; i < m; ++i) W.BINV[At(i, m, i)] = 1.0;

  // 2.
  W.PH2SEEN = W.PHASE == 2 ? 1 : 0;
  W.PHASE = 1;

  // 3. Every column in index order. FTRAN of a column that is neither basic
  // nor at its upper bound has no effect on the result, so it is skipped.
  int last = -1;
  bool dropped = false;
  for (int j = 0; j < N; ++j) {
    const bool upper = W.ATUPR[j] != 0;
    const bool basic = W.KINBAS[j] != 0;
    if (!upper && !basic) continue;
    last = j;
    W.JCUR = j;
    Ftran();
    const double* alpha = W.ALPHA.data();
    if (upper) {
      for (std::int64_t i = 0; i < m; ++i) xb[i] -= alpha[i];
    }
    if (!basic) continue;
    W.KINBAS[j] = 0;
    // The largest pivot among the rows still to be placed; the first wins
    // a tie. A zero entry is never a pivot.
    std::int64_t r = -1;
    double best = 0;
    for (std::int64_t i = K; i < m; ++i) {
      if (W.JHEAD[i] != -1) continue;
      const double v = std::fabs(alpha[i]);
      if (v > best) {
        best = v;
        r = i;
      }
    }
    if (r < 0 || !(best >= ztol)) {  // left out of the basis
      dropped = true;
      continue;
    }
    W.JHEAD[r] = j + 1;
    W.KINBAS[j] = static_cast<std::int32_t>(r + 1);
    W.ILEAVE = static_cast<std::int32_t>(r);
    W.PIVNEG = -W.ALPHA[r];
    W.ALPHA[r] = -1;
    UpdateInverse();
    const double t = xb[r] / W.PIVNEG;
    xb[r] = 0;
    for (std::int64_t i = 0; i < m; ++i) {
      const double a = alpha[i];
      if (std::fabs(a) >= etol) xb[i] += t * a;
    }
  }
  // The work vectors end as the full pass over every column leaves them.
  if (N > 0 && last != N - 1) {
    W.JCUR = N - 1;
    Ftran();
  }

  // 4. Rows without a basic column keep their unit column; a basic column
  // flagged at its upper bound counts its 1.
  //
  // The unit column of a row whose basic column was left out (the basis had
  // become singular) is the row's own logical column: that column becomes
  // basic when it is free to (not basic elsewhere, not artificial), so that
  // the feasibility test judges the row by its real bounds. Kept as a bare
  // artificial, a row at zero would count as infeasible while no price could
  // ever drive it out, and the solve would end without a feasible solution.
  const int n = W.NSTRUC;
  for (std::int64_t i = K; i < m; ++i) {
    if (W.JHEAD[i] != -1) continue;
    W.JHEAD[i] = 0;
    const int logical = n + static_cast<int>(i);
    if (dropped && W.KINBAS[logical] == 0 && W.COLKND[logical] != kKindArtificial) {
      W.JHEAD[i] = logical + 1;
      W.KINBAS[logical] = static_cast<std::int32_t>(i + 1);
    }
  }
  for (std::int64_t r = 0; r < m; ++r) {
    const int jh = W.JHEAD[r];
    if (jh > 0 && W.ATUPR[jh - 1]) xb[r] += 1;
  }

  // The values must satisfy the rows they stand for (see RefineBasicValues).
  solver_detail::RefineBasicValues(W);

  // 5.
  for (std::int64_t i = 0; i < m; ++i) {
    if (xb[i] != 0 && std::fabs(xb[i]) < etol) xb[i] = 0;
  }
#if defined(TAVO_CHECK_WORKSPACE) && TAVO_CHECK_WORKSPACE
  AbortOnWorkspaceViolation(W, "a reinversion");
#endif
}

// The starting basis: every column (structural or logical, not artificial)
// whose only nonzero entry lies in a constraint row is marked basic there; a
// later column overwrites an earlier one in the header, and the reinversion
// places the marked columns in index order, so the lowest-numbered of several
// singletons of one row ends up basic.
//
// Goal rows keep their own unit column: a column whose only entry lies in a
// goal row is not marked.
void CalcRun::CrashBasis() {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const int N = W.NCOLS;
  W.PHASE = 1;
  solver_detail::EnsurePattern(W);
  std::fill(W.JHEAD.begin(), W.JHEAD.begin() + m, 0);
  std::fill(W.KINBAS.begin(), W.KINBAS.begin() + N, 0);
  for (int j = 0; j < N; ++j) {
    if (W.COLKND[j] == kKindArtificial) continue;
    int count = 0;
    int row = -1;
    solver_detail::ForEachNonzero(W, j, [&](std::int32_t i, double) {
      ++count;
      row = i;
    });
    if (count != 1 || row < K) continue;
    W.JHEAD[row] = j + 1;
    W.KINBAS[j] = row + 1;
  }
  Reinvert();
}

void CalcRun::TestFeasible() {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const double ztol = settings.ZTOL;
  W.INFEAS = 0;
  for (int i = K; i < m; ++i) {
    const int jh = W.JHEAD[i];
    if (jh == 0) {  // an artificial is basic
      W.INFEAS = 1;
      return;
    }
    const std::uint8_t kind = W.COLKND[jh - 1];
    double& x = W.XB[i];
    if (kind == kKindBounded && std::fabs(x - 1) < ztol) x = 1;
    if (kind != kKindFree && std::fabs(x) >= ztol &&
        (x < 0 || kind == kKindFixedZero || (kind == kKindBounded && x > 1))) {
      W.INFEAS = 1;
      return;
    }
  }
}

}  // namespace tavo
