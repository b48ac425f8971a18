// Reads an MPS file, fixed or free layout, plain or gzip-compressed, into the
// neutral model.
//
// ROWS: the first N row is the objective (minimised, unless an OBJSENSE
// section says MAX); further N rows are dropped, except N rows that carry four
// numbers (priority, weight, absolute and relative tolerance): those are the
// objectives of a multi-objective model and become goal levels, highest
// priority first, with equal priorities blended by weight. COLUMNS: MARKER
// INTORG / INTEND blocks make integer columns (bounds 0 and 1 until BOUNDS
// says otherwise). RHS: the objective row's entry is kept apart (the negated
// objective constant). RANGES: by the MPS rules for E, L and G rows. BOUNDS:
// UP, LO, FX, FR, MI, PL, BV, LI, UI; an UP with a negative value on a column
// whose lower bound is still the default 0 makes the lower bound -infinity.
// Only the first RHS, RANGES and BOUNDS set is used. Unknown sections are
// skipped.
//
// Names are kept as the file writes them. Data lines are split at blanks;
// when a line does not read that way (names containing blanks), its fields
// are taken from the fixed MPS columns instead.
#pragma once

#include <string>
#include <vector>

#include "model/exchange_model.h"

namespace tavo::exchange {

struct MpsModel {
  std::string name;                   // the NAME line's word
  Model model;                        // goals, then rows and columns with the file's names
  double objectiveRhs = 0;            // the objective row's RHS entry (not part of the model)
  bool priorities = false;            // the goals come from prioritised objectives
  std::vector<std::string> colNames;  // the file's column names, by index
  std::vector<std::string> rowNames;  // the file's constraint row names, by index
};

// Reads MPS text. Returns false with a reason in `error` on malformed input.
bool ReadMpsText(const std::string& text, MpsModel& out, std::string& error);

// Reads a file, gzip-compressed or not.
bool ReadMpsFile(const std::string& path, MpsModel& out, std::string& error);

// The whole content of a file, decompressed when it is gzip-compressed;
// false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

}  // namespace tavo::exchange
