// Right-hand-side ranging: how far each right-hand side may rise or fall
// before the final basis stops being feasible, and the table of the rows
// report that shows it.
#include <cmath>
#include <cstddef>

#include "report/report_text.h"
#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"

namespace tavo {

namespace {

bool Unlimited(double v) { return v == kInfinity || v == -kInfinity; }

}  // namespace

void CalcRun::RangeRightHandSides() {
  const int m = W.MROWS;
  const int K = W.NGOALS;
  const bool round = settings.ROUND != 0;
  for (int i = 0; i < m; ++i) {
    double up = kInfinity;
    double down = -kInfinity;
    // A change d of the right-hand side of row i moves the basic value of
    // row k by d times element (k, i) of the inverse; every constraint row's
    // basic value must stay within its bounds: non-negative, at most 1 for a
    // column between 0 and 1 (the slack of another two-sided row, at 1 on
    // that row's other side), and exactly 0 for a column fixed at zero (the
    // slack of an equality row left in the basis at 0, or an artificial):
    // such a column moves with any change it takes part in, so it allows
    // none. A free basic column has no bounds and limits nothing. Row i's own
    // slack is held only at 0: the side of a two-sided row that moves is the
    // side the table shows, and the other side stays (the table caps the
    // change at the row's width).
    const double* column = &W.BINV[static_cast<std::size_t>(i) * m];
    for (int k = K; k < m; ++k) {
      double a = column[k];
      if (std::fabs(a) < settings.ZTOL) a = 0;
      if (a == 0) continue;
      const int jh = W.JHEAD[k];
      const std::uint8_t kind = jh > 0 ? W.COLKND[jh - 1] : kKindArtificial;
      if (kind == kKindFree) continue;
      if (kind == kKindFixedZero || kind == kKindArtificial) {
        if (up > 0) up = 0;
        if (down < 0) down = 0;
        continue;
      }
      const double toZero = -W.XB[k] / a;
      if (a > 0) {
        if (toZero > down) down = toZero;
      } else {
        if (toZero < up) up = toZero;
      }
      if (kind == kKindBounded && jh - 1 != W.NSTRUC + i) {
        const double toOne = (1 - W.XB[k]) / a;
        if (a > 0) {
          if (toOne < up) up = toOne;
        } else {
          if (toOne > down) down = toOne;
        }
      }
    }
    if (round) {
      if (!Unlimited(down)) down = ROUND6(down);
      if (!Unlimited(up)) up = ROUND6(up);
    }
    // A >= row is held negated, so its directions are swapped.
    if (W.ROWTYP[i] == kRowGreater) {
      W.ALPHA[i] = down;
      W.ACOL[i] = up;
    } else {
      W.ALPHA[i] = up;
      W.ACOL[i] = down;
    }
  }
}

void AppendRangingTable(CalcRun& run, ReportNumber& num) {
  const Texts& tx = T();
  Workspace& W = run.W;
  std::string& rows = run.result.rowsText;

  rows += "\r\n";
  rows += ReportRule('*', 39);
  rows += tx.sensitivityTitle;
  rows += ReportRule('*', 39);
  rows += "\r\n";
  rows += ReportRule('-', 80);
  rows += tx.sensitivityTitles;
  rows += ReportRule('-', 80);

  const int last = W.MROWS - run.P.g_boundRowCount;  // bound rows are not listed
  for (int i = W.NGOALS; i < last; ++i) {
    double increase = W.ALPHA[i];
    double decrease = W.ACOL[i];
    double current = W.XB[i];
    const double range = W.RANGE[i];
    if (range > 0) {
      // A two-sided row is read by the side it stands at: the lower side
      // when its slack sits at its upper bound (the row's value is at its
      // lower number), else the upper side. That side is the right-hand side
      // shown, its dual price is the row's, and it moves alone: it cannot
      // pass the other side, so the change towards that side is at most the
      // row's width. The row was scaled by its width: each finite limit goes
      // back to the model's units.
      const int slack = W.NSTRUC + i;
      const bool atLower = W.KINBAS[slack] == 0 && W.ATUPR[slack] != 0;
      if (!Unlimited(increase)) increase *= range;
      if (!Unlimited(decrease)) decrease *= range;
      if (atLower) {
        current -= range;
        if (Unlimited(increase) || std::fabs(increase) > range) increase = range;
      } else {
        if (Unlimited(decrease) || std::fabs(decrease) > range) decrease = range;
      }
    }
    rows += RowLabel(run, i);
    rows += '\t';
    rows += num(current);
    rows += '\t';
    rows += Unlimited(increase) ? tx.unlimited : num(std::fabs(increase));
    rows += '\t';
    rows += Unlimited(decrease) ? tx.unlimited : num(std::fabs(decrease));
    rows += "\r\n";
  }
}

}  // namespace tavo
