// Plausible model texts for the differential fuzz: seeded models written the
// way people write them (titles, comments, labels, every row form, unlimited
// right-hand sides, declarations in any order with repeats and overrides),
// each together with what the model language makes of it: the rows and
// bounds it means (for the reference solver), the form the parser stores,
// and whether set-up must refuse it. A judge compares TAVO's answer with the
// reference solver's level by level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "tests/support/model_writer.h"

namespace tavo::testsupport {

// What the language makes of a model beyond its rows and bounds.
enum class Expectation {
  kSolve,       // an ordinary model: the reference decides the outcome
  kDataError,   // set-up refuses it (a contradictory combination of bound declarations)
  kInfeasible,  // an integer variable whose bounds hold no integer value
};

// The stored form of one column: bound flags (BNDFLG), UBND and LBND.
struct StoredColumn {
  std::string name;  // upper case, as CNAME holds it
  int flags = 0;
  double upper = 0;
  double lower = 0;
};

// The stored form of one row: ROWTYP, XB, RANGE and its AMAT entries by column.
struct StoredRow {
  int type = 0;
  double rhs = 0;
  double range = 0;
  std::vector<double> coef;
};

struct PlausibleModel {
  std::uint64_t seed = 0;
  std::string text;  // ASCII with CR LF line ends
  // The meaning: variables in column order (first appearance in a constraint
  // row) with upper-case names, goals, and rows in the order written. A row
  // whose right-hand side is unlimited is a row without restriction.
  Model meaning;
  Expectation expect = Expectation::kSolve;
  std::string expectWhy;  // for kDataError and kInfeasible: the variable and why
  std::vector<StoredColumn> columns;
  std::vector<StoredRow> rows;  // goal rows first
  int integerDeclarations = 0;  // NINT
  // Short tags of what the model contains ("unlimited-only", "gin-then-free",
  // "range-open-upper", ...), for grouping disagreements by cause.
  std::vector<std::string> tags;
};

// Variants of a seed's model for triage: the same text with one feature
// written otherwise, so that a disagreement that disappears in the variant is
// caused by that feature.
struct PlausibleVariant {
  // One-sided rows written "<= @" / ">= - @" get the right-hand side
  // 10000 / - 10000 instead (and mean it).
  bool finiteUnlimitedRows = false;
  // The open side of a two-sided row ("@ >= X >= 2", "- @ <= X <= 5") is
  // written 10000 / - 10000 instead.
  bool finiteOpenRanges = false;
  // A FREE variable keeps the values of an earlier SLB, SUB or FIX in LBND
  // and UBND; "SLB X 0", "SUB X 0" and "FREE X" (and "GIN X" for an integer
  // one) written at the end clear them without changing what the model means.
  bool clearStaleBounds = false;
};

// The seeded generator. Models stay small (2 to 7 variables, 1 to 7 rows, at
// most a handful of integer variables, each boxed to a few values) so that
// every solve, the searches included, takes milliseconds.
PlausibleModel PlausibleModelFor(std::uint64_t seed, const PlausibleVariant& variant = {});

// True when some FREE variable holds a nonzero LBND or UBND left by an
// earlier declaration.
bool HasStaleBounds(const PlausibleModel& model);

// Parses the text with TAVO's parser and compares what it stored with the
// planned form; empty when they agree, else the first differences. A
// difference means the generator misreads the language or the parser does.
std::string CheckStoredAsPlanned(const PlausibleModel& model);

enum class FuzzOutcome {
  kAgreeOptimal,
  kAgreeInfeasible,
  kAgreeUnbounded,
  kAgreeDataError,  // set-up refused a model the language makes contradictory
  kDisagree,
  // TAVO: unbounded; the reference: an integer optimum or no integer point,
  // and the continuous relaxation is unbounded. The run ends with its first,
  // continuous solve (the search starts only from an optimal one), so this
  // is the answer the run gives by design, not a disagreement.
  kRelaxationUnbounded,
  kNoReference,  // the reference solver gave no answer: nothing compared
};

const char* FuzzOutcomeName(FuzzOutcome outcome);

struct FuzzVerdict {
  FuzzOutcome outcome = FuzzOutcome::kNoReference;
  // For a disagreement: its kind ("stored form", "rejected", "status optimal/unbounded",
  // "goal value", "infeasible point", "value at infinity", ...).
  std::string kind;
  std::string detail;  // both answers and the model text (LF line ends)
};

// Solves the model with TAVO (in-process) and, unless the language decides
// the outcome alone, with glpsol level by level in `scratchDir`, and compares
// status, every level's goal value, the feasibility of TAVO's reported point
// and that no reported value stands at infinity.
FuzzVerdict JudgePlausibleModel(const PlausibleModel& model, const std::string& scratchDir,
                                const SolverSettings& settings);

// The feature a disagreement comes from: the first triage variant (one
// feature, then pairs, then all three) in which TAVO and the reference agree,
// named together with the kind of the disagreement ("unlimited row: ...",
// "two-sided row with an @ side: ...", "FREE after SLB, SUB or FIX: ..."),
// or "unexplained: <kind>" when nothing does.
std::string CauseOfDisagreement(const PlausibleModel& model, const FuzzVerdict& verdict, const std::string& scratchDir,
                                const SolverSettings& settings);

}  // namespace tavo::testsupport
