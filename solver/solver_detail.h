// Helpers shared by set-up, the simplex and the basis inverse: index
// arithmetic in 64 bits and the walk over the nonzero entries of a column.
#pragma once

#include <cstddef>
#include <cstdint>

#include "solver/workspace.h"

namespace tavo::solver_detail {

// Position of row `row` of column `col` in a column-major array with `m` rows
// (AMAT, BINV), computed in 64 bits so that large models do not overflow.
inline std::size_t At(std::int64_t col, std::int64_t m, std::int64_t row) {
  return static_cast<std::size_t>(col * m + row);
}

// A column is kept as a list of its nonzero rows only while the list is
// shorter than this share of the rows; denser columns are scanned whole.
inline bool ListIsWorthwhile(std::int64_t nonzeros, std::int64_t m) { return nonzeros * 2 <= m; }

// True when the nonzero pattern of AMAT matches the workspace's dimensions.
inline bool PatternReady(const Workspace& W) {
  return W.APATM == W.MROWS && W.APATBEG.size() == static_cast<std::size_t>(W.NSTRUC) + 1 &&
         W.APATDENSE.size() == static_cast<std::size_t>(W.NSTRUC) && W.APATVAL.size() == W.APATROW.size();
}

// Rebuilds the nonzero pattern of every structural column from AMAT.
void BuildPattern(Workspace& W);

inline void EnsurePattern(Workspace& W) {
  if (!PatternReady(W)) BuildPattern(W);
}

// After a rebuild of the inverse: corrects XB by iterative refinement where
// the basic values miss their rows by more than rounding can explain.
void RefineBasicValues(Workspace& W);

// Copies the values of the listed entries from AMAT again.
void RefreshPatternValues(Workspace& W);

// Calls f(i, a) for every row i (ascending) where column j has a nonzero
// entry a: the listed values (or AMAT itself for a dense column) for a
// structural column, the unit entry for a logical one. Entries listed that
// have since become 0 are skipped, so the result equals a plain scan of the
// column as long as the values are those of AMAT.
template <typename F>
inline void ForEachNonzero(const Workspace& W, std::int32_t j, F&& f) {
  const std::int64_t m = W.MROWS;
  const std::int32_t n = W.NSTRUC;
  if (j >= n) {
    f(static_cast<std::int32_t>(j - n), 1.0);
    return;
  }
  if (!W.APATDENSE[j]) {
    const std::int32_t* rows = W.APATROW.data();
    const double* values = W.APATVAL.data();
    for (std::int64_t p = W.APATBEG[j], e = W.APATBEG[static_cast<std::size_t>(j) + 1]; p < e; ++p) {
      const double a = values[p];
      if (a != 0) f(rows[p], a);
    }
  } else {
    const double* col = W.AMAT.data() + At(j, m, 0);
    for (std::int32_t i = 0; i < m; ++i) {
      const double a = col[i];
      if (a != 0) f(i, a);
    }
  }
}

}  // namespace tavo::solver_detail
