#include "solver/workspace.h"

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
  if (NINT != 0) {
    Empty(g_origColType);
    Empty(g_origUpper);
    Empty(g_origLower);
  }
}

}  // namespace tavo
