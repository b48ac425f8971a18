// The two-phase primal revised simplex with an explicit dense basis inverse,
// lexicographic pricing over the goal rows (row 0 highest), columns bounded
// between 0 and 1 with bound flips, a rule for degenerate rows and a history
// against cycling.
//
// Goal rows 0..K-1 keep their own unit column basic: XB[k] is the value of
// goal row k (its right-hand side minus its linear form) and row k of the
// inverse is goal k's price vector. Only constraint rows pivot.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"
#include "solver/solver_detail.h"

namespace tavo {

using solver_detail::At;

namespace {

constexpr double kStartRatio = 1.0e30;  // THETA before the ratio test
constexpr double kDegenerateNumerator = 1.0e-20;

// A value within `etol` of 0 or of 1 becomes exactly 0 or 1.
inline void Snap(double& x, double etol) {
  if (std::fabs(x) < etol) {
    x = 0;
  } else if (std::fabs(x - 1) < etol) {
    x = 1;
  }
}

// Whether the basic value x of a column of the given kind passes the
// feasibility test (a value within ZTOL of 1 counts as 1 for a bounded column).
bool WithinBounds(double x, std::uint8_t kind, double ztol) {
  if (kind == kKindFree) return true;
  if (kind == kKindBounded && std::fabs(x - 1) < ztol) x = 1;
  return !(std::fabs(x) >= ztol && (x < 0 || kind == kKindFixedZero || (kind == kKindBounded && x > 1)));
}

// Whether the pivot that ILEAVE, THETA and BNDENT describe (the step as Pivot
// takes it, snapped as Pivot snaps) keeps every constraint row whose basic
// column is within its bounds within them. The leaving row is left out (its
// column leaves the basis); rows already outside their bounds are phase 1's
// business. No leaving row for a column that cannot flip is not a step.
bool StepKeepsBounds(const Workspace& W, const SolverSettings& s) {
  if (W.ILEAVE < 0 && W.BNDENT != 1) return false;
  const double etol = s.ETOL;
  const double ztol = s.ZTOL;
  double theta = W.THETA < etol ? 0.0 : W.THETA;
  const bool flip = W.BNDENT == 1 && (theta > 1 || W.ILEAVE < 0);
  if (flip) theta = 1;
  const double step = static_cast<double>(W.IDIR) * theta;
  for (int i = W.NGOALS; i < W.MROWS; ++i) {
    if (!flip && i == W.ILEAVE) continue;
    const int jh = W.JHEAD[i];
    if (jh == 0) continue;  // an artificial: outside in any case
    const std::uint8_t kind = W.COLKND[jh - 1];
    const double x = W.XB[i];
    if (!WithinBounds(x, kind, ztol)) continue;
    double next = x - step * W.ALPHA[i];
    Snap(next, etol);
    if (!WithinBounds(next, kind, ztol)) return false;
  }
  return true;
}

// The limit of one row for the entering column, as the written rule takes
// it, except that a row barred by the cycling history counts and a basic
// column fixed at zero limits both ways; with `slack` > 0 the bound is
// relaxed by that much (the first pass of the two-pass test). Returns false
// when the row does not limit the step.
bool RowLimit(const Workspace& W, int i, double ztol, double slack, double& ratio, std::uint8_t& upper) {
  const int jh = W.JHEAD[i];
  const std::uint8_t kind = jh > 0 ? W.COLKND[jh - 1] : kKindArtificial;
  if (kind == kKindFree) return false;
  const double a = W.ALPHA[i];
  if (std::fabs(a) < ztol) return false;
  const double d = static_cast<double>(W.IDIR) * a;
  const double x = W.XB[i];
  double u = x - 1;
  if (std::fabs(u) < ztol) u = 0;
  if (x == 0) {
    if (d > 0 || kind == kKindFixedZero) {
      ratio = slack / std::fabs(d);
      upper = 0;
      return true;
    }
    if (kind == kKindBounded) {
      ratio = (u - slack) / d;
      upper = 1;
      return true;
    }
    return false;
  }
  if (d * x > 0) {
    // Towards zero; an infeasible row (phase 1) is not relaxed.
    ratio = (x > 0 ? x + slack : x) / d;
    upper = 0;
    return true;
  }
  if (kind == kKindBounded && d * u >= 0) {
    ratio = d * u > 0 ? (u - slack) / d : slack / std::fabs(d);
    upper = 1;
    return true;
  }
  return false;
}

// The plain bounded ratio test in two passes: the smallest ratio with every
// bound relaxed by half of ZTOL, then among the rows whose own ratio lies
// within that limit the one with the largest pivot element. The step is that
// row's ratio (never below 0), so no column within its bounds leaves them by
// ZTOL or more. The `barred` rows (the cycling history's) are passed over.
void SafeRatioTest(Workspace& W, const SolverSettings& s, const std::int32_t* barred, int nbarred) {
  const double ztol = s.ZTOL;
  const double slack = 0.5 * ztol;
  const auto isBarred = [&](int i) {
    return nbarred > 0 && std::find(barred, barred + nbarred, i) != barred + nbarred;
  };
  double limit = kStartRatio;
  bool any = false;
  for (int i = W.NGOALS; i < W.MROWS; ++i) {
    if (isBarred(i)) continue;
    double ratio;
    std::uint8_t upper;
    if (RowLimit(W, i, ztol, slack, ratio, upper) && ratio < limit) {
      limit = ratio;
      any = true;
    }
  }
  int best = -1;
  double bestPivot = 0;
  double theta = kStartRatio;
  std::uint8_t bestUpper = 0;
  if (any) {
    for (int i = W.NGOALS; i < W.MROWS; ++i) {
      if (isBarred(i)) continue;
      double ratio;
      std::uint8_t upper;
      if (!RowLimit(W, i, ztol, 0.0, ratio, upper) || ratio > limit) continue;
      if (std::fabs(W.ALPHA[i]) > bestPivot) {
        best = i;
        bestPivot = std::fabs(W.ALPHA[i]);
        theta = ratio > 0 ? ratio : 0.0;
        bestUpper = upper;
      }
    }
  }
  W.ILEAVE = best;
  W.THETA = best >= 0 ? theta : kStartRatio;
  if (best >= 0) W.LVUPR = bestUpper;
}

// The progress fields of one pass: the feasibility mark (linear models),
// the iteration count and the elapsed time.
void ShowProgress(CalcRun& run) {
  Workspace& W = run.W;
  if (W.NINT == 0 && W.INFEAS == 0 && W.FEASSHOWN == 0) {
    run.port.SetField(ProgressField::kFeasibility, T().feasible);
    W.FEASSHOWN = 1;
  }
  run.port.SetField(ProgressField::kIterations, FormatInt(static_cast<long long>(W.ITER) - 1));
  W.TNOW = run.port.Now();
  run.port.SetField(ProgressField::kElapsed, run.ElapsedText(W.TNOW));
}

// After the feasibility test of a pass: keeps a feasible basis, falls back
// to phase 1 pricing when phase 2 lost feasibility, and moves to phase 2 when
// the basis is feasible (logged once a run).
void TrackFeasibility(CalcRun& run, bool& phase2Logged) {
  Workspace& W = run.W;
  const int m = W.MROWS;
  // 2.7 Keep the feasible basis. Feasibility lost in phase 2 without a
  // reinversion in this pass (a row whose entry lies below the pivot
  // tolerance, so the ratio test passes it over, moved past ZTOL) is
  // repaired by phase 1 pricing from the current basis, as after a
  // reinversion, and phase 2 resumes without new log lines. Going back to
  // the saved basis and calling it optimal would report a point that is
  // not optimal.
  if (W.INFEAS == 0) {
    std::copy(W.JHEAD.begin(), W.JHEAD.begin() + m, W.JHSAVE.begin());
    std::copy(W.KINBAS.begin(), W.KINBAS.end(), W.KBSAVE.begin());
  } else if (W.PHASE == 2) {
    W.PHASE = 1;
    W.PH2SEEN = 1;
  }
  // 2.8 The change is logged once a run, also when a repair in phase 1
  // (whose reinversions clear PH2SEEN) leads back to phase 2.
  if (W.INFEAS == 0 && W.PHASE == 1) {
    W.PHASE = 2;
    if (W.PH2SEEN == 0 && W.g_bbState == 0 && !phase2Logged) {
      phase2Logged = true;
      W.TSTAMP = run.port.Now();
      run.AppendTimeStampLine(T().g_bannerPrimal, W.TSTAMP);
      run.result.logText += T().g_msgPhase1End;
      W.TSTAMP = run.port.Now();
      run.AppendTimeStampLine(T().g_bannerPrimal, W.TSTAMP);
      run.result.logText += T().g_msgPhase2Begin;
    }
  }
}

// Keeps the pair (entering column, leaving row) in the history against
// cycling; a full history keeps its newer half.
void RecordCycle(Workspace& W) {
  W.CYCHIST[static_cast<std::size_t>(W.NCYC)] = {W.JENTER, W.ILEAVE};
  ++W.NCYC;
  if (W.NCYC >= kCycleHistorySize) {
    for (int c = 0; c < kCycleHistoryKept; ++c) W.CYCHIST[c] = W.CYCHIST[c + kCycleHistoryKept];
    W.NCYC = kCycleHistoryKept;
  }
}

}  // namespace

namespace solver_detail {

// The divisor that turns a bounded (kind 1) structural column's entries into
// prices per unit of the model variable: its upper bound. A bound of 0 or
// below only arises for a column whose branch-and-bound bounds are negative;
// the width of the bounds (always positive for a bounded column) serves then.
double PricingDivisor(const Workspace& W, int j) {
  const double u = W.UBND[j];
  if (u > 0) return u;
  const double width = u - W.LBND[j];
  if (width > 0) return width;
  return 1.0;
}

}  // namespace solver_detail

int CalcRun::RunSimplex() {
  const int m = W.MROWS;
  const int K = W.NGOALS;

  // 1.
  W.ITSINV = 0;
  W.SMODE = 1;
  W.NCYC = 0;
  solver_detail::EnsurePattern(W);
  solver_detail::RefreshPatternValues(W);
  const std::size_t priceSize = static_cast<std::size_t>(m) * static_cast<std::size_t>(K > 0 ? K : 0);
  if (W.PI.size() != priceSize) W.PI.assign(priceSize, 0.0);
  if (W.PIMASK.size() != priceSize) W.PIMASK.assign(priceSize, 0.0);
  if (W.NZROWS.size() != static_cast<std::size_t>(m)) W.NZROWS.assign(static_cast<std::size_t>(m), 0);
  CrashBasis();
  // Whether the change to phase 2 has been logged in this run.
  bool phase2Logged = false;

  int code = 0;
  const long long historyFrom = 3LL * m;
  for (;;) {
    // 2.1
    if (W.JENTER == -1) break;
    // 2.2
    if (W.ITSINV >= settings.NOINVERT || W.INVREQ == 4) {
      Reinvert();
      W.ITSINV = 0;
    }
    // 2.3
    TestFeasible();
    // 2.4 Progress.
    ShowProgress(*this);
    // 2.5, 2.6 One window message, then the forced-termination request.
    port.PumpOneMessage();
    if (g_forceStop.load() != 0) {
      return (W.PHASE == 2 || W.g_haveIncumbent == 1) ? kResultForcedFeasible : kResultForcedInfeasible;
    }
    // 2.7, 2.8
    TrackFeasibility(*this, phase2Logged);
    // 2.9
    BuildPrices();
    ChooseEntering();
    // 2.10 No candidate: optimal or infeasible. A solution is confirmed once
    // by a fresh reinversion and pricing when ICODE asks for it.
    if (W.JENTER == -1) {
      code = 1 + W.INFEAS;
      if (code == kResultOptimal && settings.ICODE != 0 && W.INVREQ != 4) {
        W.INVREQ = 4;
        W.JENTER = -2;
      }
      continue;
    }
    // 2.11
    W.JCUR = W.JENTER;
    Ftran();
    ChooseLeaving();
    // 2.12 No row limits the entering column. A bounded column still stops
    // at its other bound (the bound flip of the pivot); any other column can
    // grow without limit.
    if (W.ILEAVE == -1 && W.BNDENT != 1) {
      code = kResultUnbounded;
      break;
    }
    // 2.13
    if (static_cast<long long>(W.ITER) > historyFrom) RecordCycle(W);
    // 2.14
    if (W.ITER >= settings.MAXITERATE) {
      code = kResultIterationLimit;
      break;
    }
    // 2.15
    Pivot();
    if (W.BFLIP == 0) {
      const int r = W.ILEAVE;
      if (W.JHEAD[r] != 0) W.KINBAS[W.JHEAD[r] - 1] = 0;
      W.KINBAS[W.JENTER] = r + 1;
      W.JHEAD[r] = W.JENTER + 1;
    }
    // 2.16
    W.INVREQ = 0;
    W.ITER += 1;
    W.ITSINV += 1;
  }
  // 3.
  port.SetField(ProgressField::kResultCode, FormatInt(code));
  return code;
}

// PI row k = row k of the inverse. In phase 1 only the first price vector is
// used: the gradient of the sum of infeasibilities over the constraint rows.
void CalcRun::BuildPrices() {
  const std::int64_t m = W.MROWS;
  const int K = W.NGOALS;
  const double ztol = settings.ZTOL;
  const double* binv = W.BINV.data();
  double* pi = W.PI.data();

  if (W.PHASE == 2) {
    for (int k = 0; k < K; ++k) {
      double* row = pi + At(k, m, 0);
      for (std::int64_t i = 0; i < m; ++i) row[i] = binv[At(i, m, k)];
    }
  } else {
    std::fill(W.PI.begin(), W.PI.end(), 0.0);
    if (W.GRADSIGN.size() != static_cast<std::size_t>(m)) W.GRADSIGN.assign(static_cast<std::size_t>(m), 0.0);
    if (W.NZROWS.size() != static_cast<std::size_t>(m)) W.NZROWS.assign(static_cast<std::size_t>(m), 0);
    if (K > 0) {
      // Rows that enter the gradient, in order, with the sign of their
      // share: +1 to add row i of the inverse (value below 0), -1 to
      // subtract it (an artificial, a fixed column off zero, a bounded
      // column above 1). Rows with a free basic column never enter.
      std::int32_t* rows = W.NZROWS.data();
      double* sign = W.GRADSIGN.data();
      std::int64_t count = 0;
      for (std::int64_t i = K; i < m; ++i) {
        const double x = W.XB[i];
        if (!(std::fabs(x) >= ztol)) continue;
        const int jh = W.JHEAD[i];
        const std::uint8_t kind = jh > 0 ? W.COLKND[jh - 1] : kKindArtificial;
        // A free column may take any value: its row is never infeasible
        // (the feasibility test passes it over too).
        if (kind == kKindFree) continue;
        if (x < 0) {
          rows[count] = static_cast<std::int32_t>(i);
          sign[count++] = 1.0;
        } else if (jh == 0 || kind == kKindFixedZero || (kind == kKindBounded && x > 1)) {
          rows[count] = static_cast<std::int32_t>(i);
          sign[count++] = -1.0;
        }
      }
      // PI[c] is the sum over those rows of +-B^-1(i,c), added in row
      // order. The columns of the inverse are contiguous; eight of them are
      // summed side by side (eight independent chains, each in row order).
      // s + (-1*b) is s - b exactly.
      if (count > 0) {
        std::int64_t c = 0;
        for (; c + 8 <= m; c += 8) {
          const double* col = binv + At(c, m, 0);
          double s0 = pi[c], s1 = pi[c + 1], s2 = pi[c + 2], s3 = pi[c + 3];
          double s4 = pi[c + 4], s5 = pi[c + 5], s6 = pi[c + 6], s7 = pi[c + 7];
          for (std::int64_t p = 0; p < count; ++p) {
            const std::int64_t i = rows[p];
            const double w = sign[p];
            s0 = s0 + w * col[i];
            s1 = s1 + w * col[m + i];
            s2 = s2 + w * col[2 * m + i];
            s3 = s3 + w * col[3 * m + i];
            s4 = s4 + w * col[4 * m + i];
            s5 = s5 + w * col[5 * m + i];
            s6 = s6 + w * col[6 * m + i];
            s7 = s7 + w * col[7 * m + i];
          }
          pi[c] = s0;
          pi[c + 1] = s1;
          pi[c + 2] = s2;
          pi[c + 3] = s3;
          pi[c + 4] = s4;
          pi[c + 5] = s5;
          pi[c + 6] = s6;
          pi[c + 7] = s7;
        }
        for (; c < m; ++c) {
          const double* col = binv + At(c, m, 0);
          double s = pi[c];
          for (std::int64_t p = 0; p < count; ++p) s = s + sign[p] * col[rows[p]];
          pi[c] = s;
        }
      }
    }
  }
  // The entries pricing uses: those of magnitude ZTOL or more.
  double* mask = W.PIMASK.data();
  const std::size_t total = W.PI.size();
  for (std::size_t p = 0; p < total; ++p) mask[p] = std::fabs(pi[p]) >= ztol ? pi[p] : 0.0;
}

// DJ[k] for column JCUR: the column unpacked into ACOL (a bounded structural
// column divided by its bound, so that the price is per unit of the model
// variable), then for each level the sum of PI[k][i]*a[i] over the rows where
// |PI[k][i]| >= ZTOL and a[i] != 0, cut to 0 below ETOL.
void CalcRun::PriceColumn() {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const int n = W.NSTRUC;
  const int j = W.JCUR;
  const double etol = settings.ETOL;
  const double ztol = settings.ZTOL;
  LoadColumn();
  double* a = W.ACOL.data();
  if (j < n && W.COLKND[j] == kKindBounded) {
    const double div = solver_detail::PricingDivisor(W, j);
    for (int i = 0; i < m; ++i) a[i] = a[i] / div;
  }
  const double* pi = W.PI.data();
  for (int k = 0; k < K; ++k) {
    const double* row = pi + At(k, m, 0);
    double s = 0;
    for (int i = 0; i < m; ++i) {
      if (std::fabs(row[i]) >= ztol && a[i] != 0) s += row[i] * a[i];
    }
    W.DJ[k] = std::fabs(s) < etol ? 0.0 : s;
  }
}

// Lexicographic Dantzig rule: per goal level the column with the largest
// admissible |DJ|; the highest level that has a candidate decides. A column
// is priced level by level only as far as it stays admissible, through the
// nonzero entries of its column and the masked price vectors; the sums are
// formed in the same order as PriceColumn forms them.
void CalcRun::ChooseEntering() {
  const std::int64_t m = W.MROWS;
  const int K = W.NGOALS;
  const int n = W.NSTRUC;
  const int N = W.NCOLS;
  const double etol = settings.ETOL;
  solver_detail::EnsurePattern(W);
  const double* mask = W.PIMASK.data();

  // 1.
  for (int k = 0; k < K; ++k) {
    W.JBEST[k] = -1;
    W.DJBEST[k] = settings.CTOL;
  }

  // 2.
  int lastPriced = -1;
  for (int j = 0; j < N; ++j) {
    if (W.KINBAS[j] != 0) continue;
    const std::uint8_t kind = W.COLKND[j];
    if (kind != kKindBounded && kind != kKindNonnegative && kind != kKindFree) continue;
    lastPriced = j;
    const bool atUpper = W.ATUPR[j] != 0;
    const bool scaled = j < n && kind == kKindBounded;
    const double div = scaled ? solver_detail::PricingDivisor(W, j) : 1.0;
    for (int k = 0; k < K; ++k) {
      const double* row = mask + At(k, m, 0);
      double s = 0;
      if (j >= n) {
        const double p = row[j - n];
        if (p != 0) s += p * 1.0;
      } else if (scaled) {
        solver_detail::ForEachNonzero(W, j, [&](std::int32_t i, double a) {
          const double v = a / div;
          const double p = row[i];
          if (p != 0 && v != 0) s += p * v;
        });
      } else {
        // A masked price is 0, and adding its product (a zero) leaves the
        // sum as it is (the sum starts at +0 and so is never -0): no test
        // is needed, and the loop runs without branches.
        solver_detail::ForEachNonzero(W, j, [&](std::int32_t i, double a) { s += row[i] * a; });
      }
      const double dj = std::fabs(s) < etol ? 0.0 : s;
      if (std::fabs(dj) < etol) continue;
      if (dj > 0) {
        // Only a decrease helps: a nonnegative column at 0 or a bounded
        // column at 0 cannot move that way.
        if (kind == kKindNonnegative || (kind == kKindBounded && !atUpper)) break;
      } else if (dj < 0) {
        if (kind == kKindBounded && atUpper) break;  // already at its upper bound
      }
      const double v = -std::fabs(dj);
      if (v < W.DJBEST[k]) {
        W.DJBEST[k] = v;
        W.JBEST[k] = j;
        W.DIRBST[k] = dj < 0 ? 1 : -1;
        W.BNDBST[k] = kind == kKindBounded ? 1 : 0;
      }
    }
  }
  // JCUR, ACOL and DJ end as the plain pass over every column leaves them.
  if (lastPriced >= 0) {
    W.JCUR = lastPriced;
    PriceColumn();
  }

  // 3.
  W.JENTER = -1;
  for (int k = 0; k < K; ++k) {
    if (W.JBEST[k] < 0) continue;
    W.JENTER = W.JBEST[k];
    W.IDIR = W.DIRBST[k];
    W.BNDENT = W.BNDBST[k];
    if (W.BNDENT == 1) W.ATUPR[W.JENTER] = 0;
    break;
  }
}

// Ratio test over the constraint rows for the entering column (ALPHA) moving
// in direction IDIR.
//
// The rule below (degenerate rows, ties, the cycling history) is kept as it
// is whenever the step it chooses leaves every basic column that is within
// its bounds within them. Where it would not (a row barred by the cycling
// history that still limits the step, a column fixed at zero pushed off
// zero, ties that carried the step past a smaller ratio, a degenerate ratio
// 1e-20/|ALPHA| that is not negligible for a tiny pivot element), the plain
// minimum ratio over every row decides instead, in two passes that prefer a
// large pivot element, passing over the barred rows where that is harmless.
void CalcRun::ChooseLeaving() {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const double ztol = settings.ZTOL;
  const double* alpha = W.ALPHA.data();

  // 1.
  W.ILEAVE = -1;
  W.THETA = kStartRatio;

  // Rows the cycling history bars for this entering column.
  std::int32_t barred[kCycleHistorySize];
  int nbarred = 0;
  for (int c = 0; c < W.NCYC; ++c) {
    if (W.CYCHIST[c].first == W.JENTER) barred[nbarred++] = W.CYCHIST[c].second;
  }

  // 2.
  for (int i = K; i < m; ++i) {
    double& x = W.XB[i];
    if (std::fabs(x) < ztol) x = 0;
    double u = x - 1;
    if (std::fabs(u) < ztol) u = 0;
    if (nbarred > 0 && std::find(barred, barred + nbarred, i) != barred + nbarred) continue;
    const int jh = W.JHEAD[i];
    const std::uint8_t kind = jh > 0 ? W.COLKND[jh - 1] : kKindArtificial;
    if (kind == kKindFree) continue;
    const double ai = alpha[i];
    if (std::fabs(ai) < ztol) continue;
    const double d = static_cast<double>(W.IDIR) * ai;
    const bool bounded = kind == kKindBounded;
    double ratio;
    std::uint8_t upper;
    if (x == 0) {
      if (d > 0) {
        ratio = kDegenerateNumerator / std::fabs(ai);  // leaves at 0
        upper = 0;
      } else if (d < 0 && bounded) {
        ratio = u / d;  // leaves at 1
        upper = 1;
      } else {
        continue;
      }
    } else if (d * x > 0) {
      ratio = x / d;
      upper = 0;
    } else {
      if (!bounded) continue;
      if (d * u > 0) {
        ratio = u / d;
      } else if (d * u == 0) {
        ratio = kDegenerateNumerator / std::fabs(ai);
      } else {
        continue;
      }
      upper = 1;
    }
    W.RATIO = ratio;
    W.CNDUPR = upper;
    // 3. A tie needs a row to compare with; before the first row the start
    // value only gives way to a smaller ratio.
    if (W.ILEAVE >= 0 && std::fabs(ratio - W.THETA) < ztol) {
      W.JCUR = i;
      BreakTie();
    } else if (ratio < W.THETA) {
      W.THETA = ratio;
      W.ILEAVE = i;
      W.LVUPR = upper;
    }
  }

  // The step must not carry a basic column out of its bounds.
  if (StepKeepsBounds(W, settings)) return;
  // The cycling history still bars its rows where that is harmless.
  if (nbarred > 0) {
    SafeRatioTest(W, settings, barred, nbarred);
    if (StepKeepsBounds(W, settings)) return;
  }
  SafeRatioTest(W, settings, nullptr, 0);
}

// Current leaving row r = ILEAVE against candidate row c = JCUR: at the first
// column i of the inverse where |B^-1(r,i)/ALPHA[r]| exceeds
// |B^-1(c,i)/ALPHA[c]| by ZTOL or more, c takes over with its ratio and flag.
void CalcRun::BreakTie() {
  const std::int64_t m = W.MROWS;
  const int r = W.ILEAVE;
  const int c = W.JCUR;
  const double ztol = settings.ZTOL;
  const double ar = W.ALPHA[r];
  const double ac = W.ALPHA[c];
  const double* binv = W.BINV.data();
  for (std::int64_t i = 0; i < m; ++i) {
    const double first = std::fabs(binv[At(i, m, r)] / ar);
    const double second = std::fabs(binv[At(i, m, c)] / ac);
    if (first - second >= ztol) {
      W.ILEAVE = c;
      W.THETA = W.RATIO;
      W.LVUPR = W.CNDUPR;
      return;
    }
  }
}

void CalcRun::Pivot() {
  const int m = W.MROWS;
  const double etol = settings.ETOL;
  double* xb = W.XB.data();
  double* alpha = W.ALPHA.data();

  // 1.
  W.BFLIP = 0;
  if (W.ILEAVE >= 0) W.PIVNEG = -alpha[W.ILEAVE];
  if (W.THETA < etol) W.THETA = 0;

  // 2. A bounded column that would travel past its other bound (or that no
  // row limits) only moves to that bound.
  bool flip = false;
  if (W.BNDENT == 1 && (W.THETA > 1 || W.ILEAVE < 0)) {
    W.THETA = 1;
    flip = true;
  } else {
    W.BNDENT = 0;
    xb[W.ILEAVE] = W.IDIR == 1 ? 0.0 : 1.0;
    alpha[W.ILEAVE] = -1;
  }

  // 3.
  const double step = static_cast<double>(W.IDIR) * W.THETA;
  for (int i = 0; i < m; ++i) {
    xb[i] -= step * alpha[i];
    Snap(xb[i], etol);
  }

  // 4.
  if (!flip) {
    const int jh = W.JHEAD[W.ILEAVE];
    if (jh > 0) W.ATUPR[jh - 1] = W.LVUPR;
    UpdateInverse();
  } else {
    W.BFLIP = 1;
    W.ATUPR[W.JENTER] = W.IDIR == 1 ? 1 : 0;
  }

  // 5.
  for (int i = 0; i < m; ++i) Snap(xb[i], etol);
}

}  // namespace tavo
