// Reads a fixed-form MPS file (plain or gzipped) into the test model.
//
// ROWS: the first N row is the objective (minimised, unless an OBJSENSE
// section says MAX); further N rows are dropped. COLUMNS: MARKER INTORG /
// INTEND blocks make integer columns (bounds 0 and 1 until BOUNDS says
// otherwise). RHS: the objective row's entry (an objective constant) is
// kept apart. RANGES: by the MPS rules for E, L and G rows. BOUNDS: UP, LO,
// FX, FR, MI, PL, BV, LI, UI; an UP with a negative value on a column whose
// lower bound is still the default 0 makes the lower bound -infinity. Only
// the first RHS, RANGES and BOUNDS set is used. Unknown sections are skipped.
//
// Columns become C1..Cn and rows R1..Rm (as row labels), so the names always
// suit the model text. Data lines are split at blanks; when a line does not
// read that way (names containing blanks, as in some netlib files), its
// fields are taken from the fixed MPS columns instead.
#pragma once

#include <string>
#include <vector>

#include "tests/support/model_writer.h"

namespace tavo::testsupport {

struct MpsProblem {
  std::string name;                   // the NAME line's word
  Model model;                        // one goal (the objective), C1.., R1..
  double objectiveRhs = 0;            // the objective row's RHS entry (not part of the model)
  std::vector<std::string> colNames;  // original column names, by index
  std::vector<std::string> rowNames;  // original constraint row names, by index
};

// Reads MPS text. Returns false with a reason in `error` on malformed input.
bool ReadMpsText(const std::string& text, MpsProblem& out, std::string& error);

// Reads a file; a name ending in ".gz" is read through `zcat`.
bool ReadMpsFile(const std::string& path, MpsProblem& out, std::string& error);

// The whole content of a file (through `zcat` for ".gz"); false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

}  // namespace tavo::testsupport
