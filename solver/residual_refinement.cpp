// The check of the basic values that follows every rebuild of the inverse.
//
// The rebuild computes XB by eliminating one basic column after another, in
// the order of the columns. Where the right-hand side mixes very large and
// ordinary numbers (a row "X <= @" beside "X <= 5") that elimination can
// absorb an ordinary value into a huge one, and the basic values no longer
// satisfy the rows they stand for: a plainly wrong solution. The check
// measures how far B*x misses its right-hand side, row by row and relative to
// the size of the row's terms. Where it misses by more than a millionth of a
// thousandth, the values are corrected by iterative refinement with the
// rebuilt inverse (x += B^-1 * residual), for as long as each pass at least
// halves the miss, and kept only when they then satisfy their rows. A
// rebuild that is accurate, the usual case, leaves XB exactly as it was.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "solver/solver_detail.h"

namespace tavo::solver_detail {
namespace {

constexpr double kRefineAbove = 1e-9;  // relative miss that calls for refinement
constexpr double kRefinedEnough = 1e-12;
constexpr int kMaxPasses = 3;

// The 1 that XB adds for a basic column flagged at its upper bound (that
// column stands on the right-hand side with its whole column as well).
double UpperOffset(const Workspace& W, std::int64_t r) {
  const int jh = W.JHEAD[r];
  return (jh > 0 && W.ATUPR[jh - 1]) ? 1.0 : 0.0;
}

// residual = RHS - (columns at their upper bound) - B*values; returns the
// largest |residual| / (1 + sum of the magnitudes of the row's terms).
double Residual(const Workspace& W, const std::vector<double>& values, std::vector<double>& residual,
                std::vector<double>& scale) {
  const std::int64_t m = W.MROWS;
  for (std::int64_t i = 0; i < m; ++i) {
    residual[i] = W.RHS[i];
    scale[i] = std::fabs(W.RHS[i]);
  }
  auto subtract = [&](std::int32_t j, double f) {
    ForEachNonzero(W, j, [&](std::int32_t i, double a) {
      residual[i] -= a * f;
      scale[i] += std::fabs(a * f);
    });
  };
  for (std::int32_t j = 0; j < W.NCOLS; ++j) {
    if (W.ATUPR[j]) subtract(j, 1.0);
  }
  for (std::int64_t r = 0; r < m; ++r) {
    const int jh = W.JHEAD[r];
    if (jh > 0) {
      subtract(jh - 1, values[r]);
    } else {  // the row's unit column
      residual[r] -= values[r];
      scale[r] += std::fabs(values[r]);
    }
  }
  double worst = 0;
  for (std::int64_t i = 0; i < m; ++i) worst = std::max(worst, std::fabs(residual[i]) / (1 + scale[i]));
  return worst;
}

}  // namespace

void RefineBasicValues(Workspace& W) {
  const std::int64_t m = W.MROWS;
  if (m <= 0) return;
  EnsurePattern(W);
  std::vector<double> values(static_cast<std::size_t>(m));
  std::vector<double> residual(values.size());
  std::vector<double> scale(values.size());
  for (std::int64_t r = 0; r < m; ++r) values[r] = W.XB[r] - UpperOffset(W, r);
  double miss = Residual(W, values, residual, scale);
  if (!(miss > kRefineAbove)) return;

  std::vector<double> best = values;
  double bestMiss = miss;
  std::vector<double> step(values.size());
  for (int pass = 0; pass < kMaxPasses && bestMiss > kRefinedEnough; ++pass) {
    std::fill(step.begin(), step.end(), 0.0);
    for (std::int64_t i = 0; i < m; ++i) {
      const double w = residual[i];
      if (w == 0) continue;
      const double* col = W.BINV.data() + At(i, m, 0);
      for (std::int64_t k = 0; k < m; ++k) step[k] += w * col[k];
    }
    for (std::int64_t k = 0; k < m; ++k) values[k] += step[k];
    miss = Residual(W, values, residual, scale);
    if (!(miss < 0.5 * bestMiss)) break;
    best = values;
    bestMiss = miss;
  }
  // Only values that now satisfy their rows replace the rebuilt ones: where
  // the inverse itself is too inaccurate for refinement to get there, the
  // rebuilt values stand as they are.
  if (!(bestMiss <= kRefineAbove)) return;
  for (std::int64_t r = 0; r < m; ++r) W.XB[r] = best[r] + UpperOffset(W, r);
}

}  // namespace tavo::solver_detail
