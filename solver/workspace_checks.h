// Checks of the solver workspace that tests, the fuzz target and the checking
// build call: the sizes and indices every operation relies on, and the basis
// inverse against the basis it stands for. They read the workspace only.
//
// The checking build (TAVO_CHECK_WORKSPACE=1, set by CMake for the sanitizer
// build) checks the basis and its inverse after every reinversion and aborts
// with a message on the first violation.
#pragma once

#include <string>

#include "solver/workspace.h"

namespace tavo {

// The first violated invariant of the workspace as a sentence, or "" when it
// holds them all:
//   - dimensions: 0 <= NGOALS <= MROWS, NSTRUC >= 0, NCOLS = NSTRUC + MROWS;
//   - every array of the workspace list either sized to its dimensions or,
//     for the groups sized after the parse (solver, search, copies of the
//     parsed bounds), not sized yet at all; RNAME empty or 18 bytes a
//     constraint row; the nonzero pattern, once built, consistent with itself;
//   - row types: goal rows first (type goal), then only greater, less or
//     equal rows; a logical column's bound flags at most "ranged row";
//   - once the solver arrays are sized: column kinds in range, ATUPR 0 or 1,
//     JHEAD between 0 and NCOLS and 0 for every goal row, KINBAS between 0
//     and MROWS, and the two headers agreeing (JHEAD[i] = j+1 exactly when
//     KINBAS[j] = i+1, for the constraint rows).
std::string CheckWorkspaceInvariants(const Workspace& W);

// The part of the invariants that the basis operations keep: the dimensions,
// the sizes of the arrays they read and write (AMAT, XB, RHS, ACOL, COLKND,
// ATUPR, JHEAD, KINBAS, BINV, ALPHA), and the basis headers, kinds and ATUPR
// as above.
std::string CheckBasisInvariants(const Workspace& W);

// Whether BINV is the inverse of the current basis B within `tolerance`:
// column i of B is the column of JHEAD[i] for a constraint row (its AMAT
// column, or the unit vector of its row for a logical column) and the unit
// vector of row i for a goal row or a row with JHEAD 0. Every entry of
// BINV times B must lie within tolerance * max(1, s) of the identity, where s
// is the sum of the magnitudes of the products that make up the entry. On a
// failure `why` (when given) names the worst entry. Expects the invariants
// above to hold.
bool CheckInverse(const Workspace& W, double tolerance, std::string* why);

// The relative tolerance the checking build applies after a reinversion.
constexpr double kReinversionCheckTolerance = 1e-6;

// Runs the basis invariants and the inverse check and, on a violation, writes it with `where` to the error
// stream and aborts. Used by the checking build after every reinversion.
void AbortOnWorkspaceViolation(const Workspace& W, const char* where);

}  // namespace tavo
