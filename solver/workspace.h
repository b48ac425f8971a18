// The solver workspace: the model being solved and every piece of solver
// state. One instance lives for the program's life (tests make their own);
// the run's operations reach it directly rather than through parameters.
//
// Conventions: m = MROWS, K = NGOALS, n = NSTRUC, N = NCOLS = n + m. Indices
// start at 0. Matrices are flat and column-major. Column n+i is the logical
// column of row i (the unit vector of row i). Rows 0..K-1 are goal rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "shell/calc_result.h"  // result codes of set-up, the solve driver and the simplex
#include "shell/port.h"

namespace tavo {

// Row type codes (ROWTYP). A two-sided row is stored as kRowLess with RANGE.
constexpr std::uint8_t kRowGoal = 1;
constexpr std::uint8_t kRowGreater = 2;
constexpr std::uint8_t kRowLess = 3;
constexpr std::uint8_t kRowEqual = 4;

// Bound flags (BNDFLG). For a logical column, kBndUpper marks a ranged row.
constexpr std::uint8_t kBndUpper = 1;
constexpr std::uint8_t kBndLower = 2;
constexpr std::uint8_t kBndFixed = 4;
constexpr std::uint8_t kBndNoLower = 8;  // with kBndUpper: bounded above only
constexpr std::uint8_t kBndFree = 16;
constexpr std::uint8_t kBndInteger = 32;

// Simplex column kinds (COLKND).
constexpr std::uint8_t kKindFixedZero = 0;  // never enters; a nonzero basic value is infeasible
constexpr std::uint8_t kKindBounded = 1;    // between 0 and 1
constexpr std::uint8_t kKindNonnegative = 2;
constexpr std::uint8_t kKindFree = 3;        // never leaves the basis
constexpr std::uint8_t kKindArtificial = 4;  // never enters

// An unlimited quantity ("@" in the model text, "無限" in the reports).
constexpr double kInfinity = 1.0e30;

// Fixed capacity of the cycling history and the part kept when it is full.
constexpr int kCycleHistorySize = 100;
constexpr int kCycleHistoryKept = 50;

// One node of the branch-and-bound tree.
struct BbNode {
  std::int32_t parent = 0;     // -1 for the root
  std::int32_t branchDir = 0;  // 0 down, 1 up, -1 root
  std::int32_t downChild = 0;
  std::int32_t upChild = 0;
  std::int32_t status = 0;  // 0 branched, 1 closed integer-feasible, 2 closed otherwise
  std::int32_t branchVar = 0;
  std::int32_t floorValue = 0;
  std::int32_t ceilValue = 0;
  std::int32_t solvedAt = 0;  // branch counter when evaluated; -1 while open
};

// Who sizes a workspace array, and when it is emptied.
enum class ArrayGroup : std::uint8_t {
  kModel,       // the parser sizes it; emptied after every run
  kNames,       // CNAME: the parser sizes it; kept after the run
  kSolver,      // set-up sizes it to zeros; emptied after every run
  kSearch,      // set-up sizes it for an integer model; emptied after every run
  kParsedCopy,  // set-up's copy of the parsed bounds (integer model only); emptied only then
  kPattern,     // the nonzero pattern that set-up and the simplex build; emptied after every run
};

// Every growable array of the workspace, once: X(name, group, size), the
// size written in m = MROWS, K = NGOALS, n = NSTRUC, N = NCOLS (64-bit), or
// -1 where no dimension gives it (RNAME: 18*(m-K) or empty; the pattern's
// entries: the nonzeros of AMAT; the node table: BB_LENGTH). Sizing,
// emptying and the workspace checks all walk this list.
#define TAVO_WORKSPACE_ARRAYS(X)   \
  X(AMAT, kModel, n* m)            \
  X(XB, kModel, m)                 \
  X(RHS, kModel, m)                \
  X(RANGE, kModel, m)              \
  X(UBND, kModel, n)               \
  X(LBND, kModel, n)               \
  X(ROWTYP, kModel, m)             \
  X(BNDFLG, kModel, N)             \
  X(ACOL, kModel, m)               \
  X(RNAME, kModel, -1)             \
  X(CNAME, kNames, 8 * n)          \
  X(COLKND, kSolver, N)            \
  X(ATUPR, kSolver, N)             \
  X(JHEAD, kSolver, m)             \
  X(KINBAS, kSolver, N)            \
  X(JHSAVE, kSolver, m)            \
  X(KBSAVE, kSolver, N)            \
  X(BINV, kSolver, m* m)           \
  X(ALPHA, kSolver, m)             \
  X(PI, kSolver, K* m)             \
  X(DJ, kSolver, K)                \
  X(DJBEST, kSolver, K)            \
  X(JBEST, kSolver, K)             \
  X(DIRBST, kSolver, K)            \
  X(BNDBST, kSolver, K)            \
  X(XACT, kSolver, n)              \
  X(RACT, kSolver, m)              \
  X(XVAL, kSolver, N)              \
  X(g_incumbentGoals, kSolver, K)  \
  X(PIMASK, kSolver, K* m)         \
  X(NZROWS, kSolver, m)            \
  X(GRADSIGN, kSolver, m)          \
  X(ETACOLS, kSolver, m)           \
  X(ETAVALS, kSolver, m)           \
  X(BBIVAL, kSearch, N)            \
  X(g_bbNodes, kSearch, -1)        \
  X(g_origLower, kParsedCopy, n)   \
  X(g_origUpper, kParsedCopy, n)   \
  X(g_origColType, kParsedCopy, N) \
  X(APATBEG, kPattern, n + 1)      \
  X(APATROW, kPattern, -1)         \
  X(APATVAL, kPattern, -1)         \
  X(APATDENSE, kPattern, n)

struct Workspace {
  // ---- Dimensions (parser) ----
  std::int32_t MROWS = 0;   // m: goal rows, then constraint rows (+ bound rows)
  std::int32_t NGOALS = 0;  // K
  std::int32_t NSTRUC = 0;  // n
  std::int32_t NCOLS = 0;   // N = n + m

  // ---- Model arrays (parser fills, set-up transforms in place) ----
  std::vector<double> AMAT;          // n*m; row i of column j at j*m + i
  std::vector<double> XB;            // m; parser: right-hand sides; simplex: basic values
  std::vector<double> RHS;           // m; transformed right-hand side (set-up copy of XB)
  std::vector<double> RANGE;         // m; range of a two-sided row, else 0
  std::vector<double> UBND, LBND;    // n; bounds (0 with the flag cleared: no bound)
  std::vector<std::uint8_t> ROWTYP;  // m; row type codes
  std::vector<std::uint8_t> BNDFLG;  // N; bound flags (logical columns: 1 = ranged row)
  std::vector<double> ACOL;          // m; work vector: the unpacked column JCUR
  std::string CNAME;                 // 8*n bytes, blank padded, no terminator
  std::string RNAME;                 // 18*(m-K) bytes; sized only when a row has a label

  // ---- Solver arrays (set-up sizes) ----
  std::vector<std::uint8_t> COLKND;  // N; column kinds
  std::vector<std::uint8_t> ATUPR;   // N; nonbasic kind-1 column sits at 1
  std::vector<std::int32_t> JHEAD;   // m; 1 + basic column of row i, 0 = unit column of row i
  std::vector<std::int32_t> KINBAS;  // N; 1 + basis row of column j, 0 = nonbasic
  std::vector<std::int32_t> JHSAVE;  // m; last feasible basis header
  std::vector<std::int32_t> KBSAVE;  // N
  std::vector<double> BINV;          // m*m; element (k,i) of the inverse at i*m + k
  std::vector<double> ALPHA;         // m; inverse times the column being processed
  std::vector<double> PI;            // K*m; price vector of goal k at k*m
  std::vector<double> DJ;            // K; reduced costs of the column being priced
  std::vector<double> DJBEST;        // K; best pricing value per level
  std::vector<std::int32_t> JBEST;   // K; column of DJBEST, -1 none
  std::vector<std::int32_t> DIRBST;  // K; +1 increase, -1 decrease from upper bound
  std::vector<std::int32_t> BNDBST;  // K; 1 when that column is of kind 1
  std::array<std::pair<std::int32_t, std::int32_t>, kCycleHistorySize> CYCHIST{};  // (column, row)
  std::int32_t NCYC = 0;

  // ---- Solution and search arrays ----
  std::vector<double> XACT;                 // n; activity of each structural column
  std::vector<double> RACT;                 // m; activity of each row
  std::vector<double> XVAL;                 // N; nonbasic values taken back through set-up
  std::vector<double> g_incumbentGoals;     // K; goal values of the incumbent
  std::vector<double> g_origLower;          // n; parsed bounds (integer models only)
  std::vector<double> g_origUpper;          // n
  std::vector<std::uint8_t> g_origColType;  // N; parsed flags (integer models only)
  std::vector<std::int32_t> BBIVAL;         // N; scratch of the branching selection
  std::vector<BbNode> g_bbNodes;            // BB_LENGTH; the node table
  std::int32_t g_bbCurrent = 0;
  std::int32_t g_bbLastNode = 0;
  std::array<std::string, 3> g_incumbentReports;  // columns, rows, error texts; never reset

  // ---- Branch-and-bound scalars ----
  std::int32_t g_branchVar = 0;
  std::int32_t g_branchFloor = 0;
  std::int32_t g_branchUpFirst = 0;
  std::int32_t g_lastBranchVar = -1;
  double g_lastBranchValue = -1.0;

  // ---- Error figures of the reports ----
  double g_residualTotal = 0, g_residualMax = 0;
  double g_priceCheckTotal = 0, g_priceCheckMax = 0;

  // ---- Scalars ----
  std::int32_t PHASE = 0;   // 1 phase 1, 2 phase 2
  std::int32_t INFEAS = 0;  // 1 current basic solution infeasible
  std::int32_t JENTER = 0;  // entering column; -1 none; -2 not yet priced
  std::int32_t ILEAVE = 0;  // leaving row; -1 none
  std::int32_t JCUR = 0;    // column cursor of LoadColumn, Ftran, PriceColumn
  std::int32_t IDIR = 0;    // +1 / -1
  std::int32_t BNDENT = 0;  // entering kind-1 column may just move to its other bound
  std::int32_t BFLIP = 0;   // last iteration was a bound flip
  double THETA = 0;         // minimum ratio
  double RATIO = 0;         // ratio of the row under test
  double PIVNEG = 0;        // minus the pivot element
  double ETAMUL = 0;        // multiplier of the inverse update
  std::uint8_t CNDUPR = 0;  // row under test would leave at 1
  std::uint8_t LVUPR = 0;   // chosen leaving row leaves at 1
  std::int32_t INVREQ = 0;  // 4: reinversion requested to confirm a solution
  std::int32_t ITER = 0;
  std::int32_t ITERLP = 0;     // ITER after the first continuous solve
  std::int32_t ITSINV = 0;     // iterations since the last reinversion
  std::int32_t SMODE = 0;      // 1 while the primal simplex runs
  std::int32_t NERR = 0;       // data errors of the parser and set-up
  std::int32_t NINT = 0;       // integer declarations; nonzero: branch and bound follows
  std::int32_t g_bbState = 0;  // 0 not started, 1 running, 2 finished
  // 1 when the search left a node unbranched for want of room in the node
  // table (BB_LENGTH): its answer is then not proven optimal.
  std::int32_t g_bbCutShort = 0;
  // The best first-goal row activity among the nodes left unbranched: a
  // bound on what the unexplored part of the tree could still reach.
  double g_bbCutBound = 0;
  std::int32_t g_branchCount = 0;
  std::int32_t g_haveIncumbent = 0;
  std::int32_t g_branchOptimalCount = 0;
  std::uint8_t PH2SEEN = 0;
  std::uint8_t FEASSHOWN = 0;
  TimePoint TSTART{}, TNOW{}, TSTAMP{};

  // ---- Acceleration structures ----
  // Derived from the arrays above so that the solver can skip zeros; they
  // never change a result. Built by set-up (TransformModel) and the simplex.
  //   APATBEG  n+1   start of column j's entries in APATROW (the list of
  //                  column j runs from APATBEG[j] to APATBEG[j+1])
  //   APATROW  nnz   rows of the nonzero AMAT entries of each structural
  //                  column, ascending; a column listed as dense (APATDENSE)
  //                  has no entries here and is read whole
  //   APATVAL  nnz   the values of those entries (AMAT[j*m + APATROW[p]]),
  //                  copied so that pricing reads them contiguously; the
  //                  simplex refreshes them from AMAT when it starts
  //   APATDENSE n    1 when column j has so many nonzeros that a plain scan
  //                  is cheaper than a list
  //   APATM          MROWS the pattern was built for (-1: none)
  //   PIMASK   K*m   PI with every entry below ZTOL in magnitude as 0 (the
  //                  entries pricing skips), rebuilt with PI
  //   NZROWS   m     scratch: positions of the nonzero entries of ALPHA, or
  //                  the rows of the phase-1 gradient
  //   GRADSIGN m     scratch: +1 or -1, the sign of each gradient row
  //   ETACOLS  m     scratch: the columns of the inverse an update changes
  //   ETAVALS  m     scratch: their multipliers
  std::vector<std::int64_t> APATBEG;
  std::vector<std::int32_t> APATROW;
  std::vector<double> APATVAL;
  std::vector<std::uint8_t> APATDENSE;
  std::int32_t APATM = -1;
  std::vector<double> PIMASK;
  std::vector<std::int32_t> NZROWS;
  std::vector<double> GRADSIGN;
  std::vector<std::int32_t> ETACOLS;
  std::vector<double> ETAVALS;

  // Calls visit(name, array, group, size) for every array of the list above,
  // in its order, with the size its dimensions give (-1: none).
  template <typename Visitor>
  void ForEachArray(Visitor&& visit) {
    ForEachArrayOf(*this, visit);
  }
  template <typename Visitor>
  void ForEachArray(Visitor&& visit) const {
    ForEachArrayOf(*this, visit);
  }

  // Sizes the solver arrays (group kSolver) to their dimensions, all zero.
  void SizeSolverArrays();
  // Sizes the search arrays and the copies of the parsed bounds of an
  // integer model, all zero; the node table gets `bbLength` records (at
  // least the root).
  void SizeSearchArrays(std::int32_t bbLength);

  // Empties every array after a run whose parse succeeded. CNAME keeps the
  // last model's names; the copies of the parsed bounds are emptied only for
  // an integer model (they were never sized otherwise).
  void Release();

 private:
  template <typename Self, typename Visitor>
  static void ForEachArrayOf(Self& self, Visitor& visit) {
    const std::int64_t m = self.MROWS, K = self.NGOALS, n = self.NSTRUC, N = self.NCOLS;
#define TAVO_VISIT_ARRAY(name, group, size) visit(#name, self.name, ArrayGroup::group, static_cast<std::int64_t>(size));
    TAVO_WORKSPACE_ARRAYS(TAVO_VISIT_ARRAY)
#undef TAVO_VISIT_ARRAY
    (void)m, (void)K, (void)n, (void)N;
  }
};

// Sizes a large array of doubles to `count` zeros. Where the system offers
// transparent huge pages on request, a large array is marked for them before
// it is zeroed: zeroing then takes a few hundred page faults instead of one
// per 4 KB page, and loops that stride across it (a row of the column-major
// inverse) miss the address cache far less often.
void AssignZeros(std::vector<double>& v, std::size_t count);

}  // namespace tavo
