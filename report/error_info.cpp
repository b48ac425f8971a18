// Error information: how exactly the final basic solution satisfies the
// transformed problem. Residuals A*X - B of every row, and the first goal's
// reduced costs of the basic columns (zero in exact arithmetic).
#include <cmath>

#include "shell/calc_run.h"

namespace tavo {

void CalcRun::ComputeErrorFigures() {
  const int m = W.MROWS;
  const int N = W.NCOLS;
  W.g_residualTotal = 0;
  W.g_residualMax = 0;
  W.g_priceCheckTotal = 0;
  W.g_priceCheckMax = 0;

  // Residual vector in ALPHA: -B, plus every basic column times its value,
  // plus every nonbasic column at its upper bound (value 1 once scaled).
  for (int i = 0; i < m; ++i) W.ALPHA[i] = -W.RHS[i];
  for (int r = 0; r < m; ++r) {
    if (W.JHEAD[r] == 0) continue;
    W.JCUR = W.JHEAD[r] - 1;
    LoadColumn();
    const double x = W.XB[r];
    for (int i = 0; i < m; ++i) {
      if (W.ACOL[i] != 0) W.ALPHA[i] += x * W.ACOL[i];
    }
  }
  for (int c = 0; c < N; ++c) {
    if (W.KINBAS[c] != 0 || !W.ATUPR[c]) continue;
    W.JCUR = c;
    LoadColumn();
    for (int i = 0; i < m; ++i) {
      if (W.ACOL[i] != 0) W.ALPHA[i] += W.ACOL[i];
    }
  }
  for (int r = 0; r < m; ++r) {
    if (W.JHEAD[r] == 0) W.ALPHA[r] += W.XB[r];  // the row's own unit column
    const double res = W.ALPHA[r];
    W.g_residualTotal += std::fabs(res);
    if (std::fabs(res) > std::fabs(W.g_residualMax)) W.g_residualMax = res;
  }

  // Reduced costs of the basic columns, only after a simplex run.
  if (W.SMODE != 1 || W.DJ.empty()) return;
  for (int r = 0; r < m; ++r) {
    if (W.JHEAD[r] == 0) continue;
    W.JCUR = W.JHEAD[r] - 1;
    PriceColumn();
    const double d = W.DJ[0];
    W.g_priceCheckTotal += std::fabs(d);
    if (std::fabs(d) > std::fabs(W.g_priceCheckMax)) W.g_priceCheckMax = d;
  }
}

}  // namespace tavo
