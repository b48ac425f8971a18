#include "solver/workspace.h"

#include <sys/mman.h>

#include <cstdint>

namespace tavo {
namespace {
template <typename V>
void Empty(V& v) {
  V().swap(v);  // size 0 and storage released
}
}  // namespace

void Workspace::Release() {
  Empty(RNAME);
  Empty(ROWTYP);
  Empty(BNDFLG);
  Empty(XB);
  Empty(RHS);
  Empty(RANGE);
  Empty(UBND);
  Empty(LBND);
  Empty(ACOL);
  Empty(AMAT);
  Empty(COLKND);
  Empty(ATUPR);
  Empty(JHEAD);
  Empty(KINBAS);
  Empty(JHSAVE);
  Empty(KBSAVE);
  Empty(BINV);
  Empty(ALPHA);
  Empty(PI);
  Empty(DJ);
  Empty(DJBEST);
  Empty(JBEST);
  Empty(DIRBST);
  Empty(BNDBST);
  Empty(XACT);
  Empty(RACT);
  Empty(XVAL);
  Empty(g_incumbentGoals);
  Empty(BBIVAL);
  Empty(g_bbNodes);
  Empty(APATBEG);
  Empty(APATROW);
  Empty(APATVAL);
  Empty(APATDENSE);
  APATM = -1;
  Empty(PIMASK);
  Empty(NZROWS);
  Empty(GRADSIGN);
  Empty(ETACOLS);
  Empty(ETAVALS);
  if (NINT != 0) {
    Empty(g_origColType);
    Empty(g_origUpper);
    Empty(g_origLower);
  }
}

}  // namespace tavo

void tavo::AssignZeros(std::vector<double>& v, std::size_t count) {
  v.clear();
  v.shrink_to_fit();
  v.reserve(count);
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHuge = 2u << 20;
  const std::size_t bytes = count * sizeof(double);
  if (bytes >= 2 * kHuge) {
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(v.data());
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
#endif
  v.resize(count, 0.0);
}
