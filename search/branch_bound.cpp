// Depth-first branch and bound over the integer columns of a goal program.
//
// The solve driver calls BranchAndBoundStep after every linear solve. The step
// judges the node just solved (against the incumbent, lexicographically over
// the goal rows), branches on one fractional integer column chosen by
// penalties on the final basis inverse or closes the node, picks the open
// node created last, rebuilds that node's bounds from the parsed bounds along
// its path to the root and hands it back to the driver for the next solve.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <vector>

#include "shell/calc_run.h"
#include "shell/numbers.h"
#include "shell/texts.h"
#include "solver/bound_cases.h"

namespace tavo {

namespace {

// The node table's usable length: BB_LENGTH, never more than set-up made.
long long TableLength(const Workspace& W, const SolverSettings& s) {
  return std::min<long long>(s.BB_LENGTH, static_cast<long long>(W.g_bbNodes.size()));
}

BbNode* NodeAt(Workspace& W, long long i) {
  if (i < 0 || i >= static_cast<long long>(W.g_bbNodes.size())) return nullptr;
  return &W.g_bbNodes[static_cast<std::size_t>(i)];
}

// floor(x) as a node table value, when it and its successor fit the table's
// 32-bit fields.
bool FloorFits(double fl) { return fl >= static_cast<double>(INT_MIN) && fl <= static_cast<double>(INT_MAX) - 1.0; }

// The bounds of one node: the parsed bounds, tightened by every branching on
// the path from the node up to the root. A bound of 0 with its flag cleared
// means "no such bound"; `haveUpper`/`haveLower` say which bounds are set
// while the path is walked (set-up's copies hold 0 for the others).
struct NodeBounds {
  std::vector<std::uint8_t> flags;
  std::vector<double> upper, lower;
  std::vector<char> haveUpper, haveLower;
};

void BuildNodeBounds(Workspace& W, long long current, NodeBounds& b) {
  const int n = W.NSTRUC;
  b.flags.assign(W.g_origColType.begin(), W.g_origColType.end());
  b.upper.assign(W.g_origUpper.begin(), W.g_origUpper.begin() + n);
  b.lower.assign(W.g_origLower.begin(), W.g_origLower.begin() + n);
  b.haveUpper.assign(static_cast<std::size_t>(n), 0);
  b.haveLower.assign(static_cast<std::size_t>(n), 0);
  // Only bounds the flags declare count: a free column may still hold the
  // values of a SUB, SLB or FIX written before its FREE.
  for (int j = 0; j < n; ++j) {
    b.haveUpper[j] = b.upper[j] != 0 && (b.flags[j] & kBndUpper) != 0;
    b.haveLower[j] = b.lower[j] != 0 && (b.flags[j] & (kBndLower | kBndFixed)) != 0;
  }
  long long node = current;
  while (BbNode* here = NodeAt(W, node)) {
    const long long p = here->parent;
    // Children always come after their parent in the table.
    if (p < 0 || p >= node) break;
    const BbNode& parent = W.g_bbNodes[static_cast<std::size_t>(p)];
    const int j = parent.branchVar;
    if (j >= 0 && j < n) {
      if (here->branchDir == 1) {
        const double c = parent.ceilValue;
        if (!b.haveLower[j] || c > b.lower[j]) {
          b.lower[j] = c;
          b.haveLower[j] = 1;
        }
        b.flags[j] |= kBndLower;
      } else {
        const double f = parent.floorValue;
        if (!b.haveUpper[j] || f < b.upper[j]) {
          b.upper[j] = f;
          b.haveUpper[j] = 1;
        }
        b.flags[j] |= kBndUpper;
      }
    }
    node = p;
  }
  for (int j = 0; j < n; ++j) {
    if (!b.haveUpper[j]) b.upper[j] = 0;
    if (!b.haveLower[j]) b.lower[j] = 0;
  }
}

// A node whose branchings push a lower bound above an upper bound holds no
// solution at all (fixing the column at either bound would break the other).
bool BoundsCross(const NodeBounds& b) {
  for (std::size_t j = 0; j < b.upper.size(); ++j) {
    if (HasBothBounds(b.flags[j]) && b.upper[j] < b.lower[j]) return true;
  }
  return false;
}

// Branches the current node on the selected column: records the decision in
// the node, appends its two children (the preferred one first) and makes the
// preferred child the next node to solve.
void BranchCurrentNode(Workspace& W) {
  W.g_lastBranchValue = W.XACT[W.g_branchVar];
  W.g_lastBranchVar = W.g_branchVar;
  const int L = W.g_bbLastNode;
  BbNode& node = W.g_bbNodes[static_cast<std::size_t>(W.g_bbCurrent)];
  node.branchVar = W.g_branchVar;
  node.floorValue = W.g_branchFloor;
  node.ceilValue = W.g_branchFloor + 1;
  node.status = 0;
  if (W.g_branchUpFirst == 1) {
    node.upChild = L + 1;
    node.downChild = L + 2;
  } else {
    node.downChild = L + 1;
    node.upChild = L + 2;
  }
  BbNode& first = W.g_bbNodes[static_cast<std::size_t>(L) + 1];
  first = BbNode{};
  first.parent = W.g_bbCurrent;
  first.branchDir = W.g_branchUpFirst;
  first.solvedAt = -1;
  BbNode& second = W.g_bbNodes[static_cast<std::size_t>(L) + 2];
  second = BbNode{};
  second.parent = W.g_bbCurrent;
  second.branchDir = 1 - W.g_branchUpFirst;
  second.solvedAt = -1;
  W.g_bbLastNode = L + 2;
  W.g_bbCurrent = L + 1;  // the preferred child next; its sibling waits
}

}  // namespace

int CalcRun::BranchAndBoundStep(int lpResult) {
  const long long length = TableLength(W, settings);

  // 1. First step of the run.
  if (W.g_bbState == 0) {
    W.JHSAVE = W.JHEAD;
    W.KBSAVE = W.KINBAS;
    W.g_bbState = 1;
    W.g_lastBranchValue = -1.0;
    W.g_lastBranchVar = -1;
  }

  // 2. The value of the column branched on by the step before, in this node.
  double v = -2.0;
  if (W.g_lastBranchVar >= 0 && W.g_lastBranchVar < static_cast<int>(W.XACT.size())) v = W.XACT[W.g_lastBranchVar];

  // 3.
  if (BbNode* node = NodeAt(W, W.g_bbCurrent)) node->solvedAt = W.g_branchCount;
  W.g_branchVar = -2;

  // 4. Branching test, in this order. When the node table has no room left
  // for two children, a node that passes the other tests is still examined:
  // an integer-feasible one becomes the incumbent, and a fractional one is
  // closed unbranched and the search marked as cut short, so that its answer
  // is never reported as proven optimal.
  const bool room = W.g_bbLastNode < length - 2;
  if (lpResult == kResultOptimal && std::fabs(W.g_lastBranchValue - v) > settings.ETOL && !room &&
      ImprovesIncumbent()) {
    SelectBranchingVariable();
    if (W.g_branchVar >= 0) {
      if (W.g_bbCutShort == 0 || W.RACT[0] > W.g_bbCutBound) W.g_bbCutBound = W.RACT[0];
      W.g_bbCutShort = 1;
      W.g_branchVar = -2;
    }
  } else if (lpResult == kResultOptimal && std::fabs(W.g_lastBranchValue - v) > settings.ETOL && room &&
             ImprovesIncumbent()) {
    SelectBranchingVariable();
    if (W.g_branchVar >= 0) {
      BranchCurrentNode(W);
    }
  }

  // 5. An integer-feasible node becomes the incumbent.
  if (W.g_branchVar == -1) {
    if (W.FEASSHOWN == 0) {
      port.SetField(ProgressField::kFeasibility, T().feasible);
      W.FEASSHOWN = 1;
    }
    W.g_haveIncumbent = 1;
    for (int g = 0; g < W.NGOALS; ++g) W.g_incumbentGoals[g] = W.RACT[g];
    // The first goal field shows the incumbent's value; the reports of this
    // node were built before it became the incumbent, so show it now.
    if (W.NGOALS > 0) port.SetField(ProgressField::kFirstGoal, FormatReal(std::fabs(W.g_incumbentGoals[0])));
    W.g_incumbentReports[0] = result.columnsText;
    W.g_incumbentReports[1] = result.rowsText;
    W.g_incumbentReports[2] = result.errorText;
  }

  // 6. A closed node: take the open node created last. Open nodes are taken
  // up also when the table is full (they are solved, not branched), so that
  // no part of the tree is left without being looked at.
  auto closeAndScan = [&](int status) {
    if (BbNode* node = NodeAt(W, W.g_bbCurrent)) node->status = status;
    W.g_lastBranchValue = -1.0;
    W.g_lastBranchVar = -1;
    W.g_bbCurrent = -1;
    for (int k = W.g_bbLastNode; k >= 2; --k) {
      if (W.g_bbNodes[static_cast<std::size_t>(k)].solvedAt == -1) {
        W.g_bbCurrent = k;
        break;
      }
    }
  };
  if (W.g_branchVar == -1 || W.g_branchVar == -2) closeAndScan(W.g_branchVar == -1 ? 1 : 2);

  // 7. Load the next node for the driver's solve. A node whose bounds cross
  // is closed at once, without a solve, and the next one is taken.
  NodeBounds bounds;
  while (W.g_bbCurrent != -1) {
    BuildNodeBounds(W, W.g_bbCurrent, bounds);
    if (BoundsCross(bounds)) {
      W.g_bbNodes[static_cast<std::size_t>(W.g_bbCurrent)].solvedAt = W.g_branchCount;
      closeAndScan(2);
      continue;
    }
    PrepareNode();
    W.INVREQ = 0;
    W.PHASE = 0;
    W.INFEAS = 1;
    W.ITER = 0;
    return lpResult;
  }

  // 8. The search is over; the user sees the incumbent's reports. A search
  // cut short by the node table ends as a forced stop does: its incumbent
  // (result 6) or none (result 7), never a proven optimum or infeasibility.
  W.g_bbState = 2;
  if (W.g_haveIncumbent != 1) return W.g_bbCutShort ? kResultForcedInfeasible : kResultInfeasible;
  result.columnsText = W.g_incumbentReports[0];
  result.rowsText = W.g_incumbentReports[1];
  result.errorText = W.g_incumbentReports[2];
  return W.g_bbCutShort ? kResultForcedFeasible : kResultOptimal;
}

bool CalcRun::ImprovesIncumbent() {
  const double ztol = settings.ZTOL;
  for (int i = 0; i < W.NGOALS; ++i) {
    double c = W.RACT[i];
    const double b = W.g_incumbentGoals[i];
    if (std::fabs(c) < ztol) {
      c = 0;
      W.RACT[i] = 0;
    }
    // A goal value that is not a number (an overflow in the model's data)
    // cannot be judged and never improves on anything.
    if (!std::isfinite(c)) return false;
    if (b > c && b - c > ztol) return false;    // the incumbent is better here
    if (std::fabs(b - c) >= ztol) return true;  // the node is better here
  }
  return false;  // tied at every goal
}

void CalcRun::SelectBranchingVariable() {
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const int K = W.NGOALS;
  const double etol = settings.ETOL;
  W.g_branchVar = -1;
  double best = -1.0e30;
  // A fractional integer column whose floor does not fit the node table
  // cannot be branched on; the node must not pass for integer-feasible then.
  bool unbranchable = false;

  for (int g = 0; g < K; ++g) {
    for (int r = K; r < m; ++r) {
      const int j = W.JHEAD[r];
      if (j < 1 || j > n) continue;
      if (W.COLKND[j - 1] == kKindFixedZero) continue;
      const double x = W.XACT[j - 1];
      const double fl = std::floor(x);
      const double f = x - fl;
      const bool fractional = f >= etol && std::fabs(f - 1) >= etol && IsInteger(W.BNDFLG[j - 1]);
      // Scratch marks of the selection; set-up rebuilds the kinds before the
      // next solve.
      W.COLKND[j - 1] = fractional ? 1 : 0;
      W.BBIVAL[j - 1] = (fractional && FloorFits(fl)) ? static_cast<std::int32_t>(fl) : 0;
      if (!fractional) continue;
      if (!FloorFits(fl)) {
        unbranchable = true;
        continue;
      }

      // Penalties of the two branches from row r of the inverse against
      // goal g's price vector (row g).
      const double xb = W.XB[r];
      const double downFrac = xb - std::floor(xb);
      const double upFrac = std::ceil(xb) - xb;
      double down = 1.0e30;
      double up = 1.0e30;
      for (int c = 0; c < m; ++c) {
        const double a = W.BINV[static_cast<std::size_t>(c) * m + r];
        const double d = W.BINV[static_cast<std::size_t>(c) * m + g];
        if (a > etol) {
          double p = d;
          const double q = std::fabs(d * downFrac / a);
          if (q > p) p = q;
          if (p < down) down = p;
        } else if (a < 0 && std::fabs(a) > etol) {
          double p = d;
          const double q = std::fabs(d * upFrac / a);
          if (q > p) p = q;
          if (p < up) up = p;
        }
      }
      double penalty = down;
      int upFirst = 0;
      if (up < penalty) {
        penalty = up;
        upFirst = 1;
      }
      if (penalty > best) {
        best = penalty;
        W.g_branchVar = j - 1;
        W.g_branchFloor = static_cast<std::int32_t>(fl);
        W.g_branchUpFirst = upFirst;
      }
    }
    if (best > etol) break;
  }

  // Columns off the basis sit at a bound, and a fixed column anywhere at its
  // value; with a fractional bound or fixed value an integer column can sit
  // at a fractional value there, which the scan of the basis above does not
  // see. A fixed one can never become integral: the node is closed. Another
  // one is branched on when no basic column was chosen (the branch across
  // its bound is empty and closed at once).
  for (int j = 0; j < n; ++j) {
    if (!IsInteger(W.BNDFLG[j])) continue;
    const bool fixed = SubstitutionCase(W.BNDFLG[j]) == BoundCase::kFixed;
    if (W.KINBAS[j] != 0 && !fixed) continue;
    const double x = W.XACT[j];
    const double fl = std::floor(x);
    const double f = x - fl;
    if (!(f >= etol && std::fabs(f - 1) >= etol)) continue;
    if (fixed || !FloorFits(fl)) {
      unbranchable = true;
    } else if (W.g_branchVar == -1) {
      W.g_branchVar = j;
      W.g_branchFloor = static_cast<std::int32_t>(fl);
      W.g_branchUpFirst = 0;
    }
  }
  if (W.g_branchVar == -1 && unbranchable) W.g_branchVar = -2;
}

void CalcRun::PrepareNode() {
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const int N = W.NCOLS;

  // 1. Take the previous node's substitution off the matrix.
  for (int i = 0; i < m; ++i) W.XB[i] = W.RHS[i];
  UndoBoundSubstitution();

  // 2-3. The parsed bounds, tightened along the path to the root.
  NodeBounds b;
  BuildNodeBounds(W, W.g_bbCurrent, b);
  for (int j = 0; j < N; ++j) W.BNDFLG[j] = b.flags[j];
  for (int j = 0; j < n; ++j) {
    W.UBND[j] = b.upper[j];
    W.LBND[j] = b.lower[j];
  }

  // 4. Bounds that meet fix the column at its lower bound (so do bounds
  // that cross, though the search never loads such a node).
  for (int j = 0; j < n; ++j) {
    const std::uint8_t f = W.BNDFLG[j];
    if (HasBothBounds(f) && W.UBND[j] <= W.LBND[j]) {
      W.BNDFLG[j] = FixedFlags(f);
      W.UBND[j] = 0;
    }
  }

  // 5. Kinds and substitution for the new bounds.
  TransformModel(0);
}

void CalcRun::UndoBoundSubstitution() {
  const int m = W.MROWS;
  const int n = W.NSTRUC;
  const double ztol = settings.ZTOL;

  for (int j = 0; j < n; ++j) {
    double* col = &W.AMAT[static_cast<std::size_t>(j) * m];
    const double u = W.UBND[j];
    const double l = W.LBND[j];
    switch (SubstitutionCase(W.BNDFLG[j])) {
      case BoundCase::kNonpositive:
        for (int i = 0; i < m; ++i) col[i] = -col[i];
        break;
      case BoundCase::kAboveOnly:
        for (int i = 0; i < m; ++i) col[i] = -col[i];
        for (int i = 0; i < m; ++i) W.XB[i] += col[i] * u;
        break;
      case BoundCase::kBetween:
        // A width of 0 cannot come from the substitution (equal bounds make
        // the column fixed); dividing by it would only spoil the column.
        if (u - l != 0) {
          const double width = u - l;
          for (int i = 0; i < m; ++i) col[i] /= width;
        }
        for (int i = 0; i < m; ++i) W.XB[i] += col[i] * l;
        break;
      case BoundCase::kLowerOnly:
      case BoundCase::kFixed:
        for (int i = 0; i < m; ++i) W.XB[i] += col[i] * l;
        break;
      case BoundCase::kUpperOnly:
        if (u != 0) {
          for (int i = 0; i < m; ++i) col[i] /= u;
        }
        break;
      default:
        continue;  // the column was not substituted
    }
    for (int i = 0; i < m; ++i) {
      if (std::fabs(col[i]) < ztol) col[i] = 0;
    }
  }

  // Rows back in the model's terms, for the ranging table.
  if (settings.SENSITIVITY != 0 && W.NINT == 0) {
    for (int i = 0; i < m; ++i) {
      if (std::fabs(W.XB[i]) < ztol) W.XB[i] = 0;
      if (W.RANGE[i] > 0) W.XB[i] *= W.RANGE[i];
      if (W.ROWTYP[i] == kRowGreater) W.XB[i] = -W.XB[i];
    }
  }
}

}  // namespace tavo
