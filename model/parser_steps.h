// The steps of the model parser, for its own source files: the keyword tests
// and number readings both passes share, the counting pass's steps (in
// count_model.cpp), and the storing pass's steps for the goal and constraint
// rows (parse_rows.cpp) and for the declarations (parse_declarations.cpp).
// ParseModel and CountModel (CalcRun operations) are the entry points; every
// step works on the run's parser state (CalcRun::P) and workspace, with the
// word in hand in P.g_token.
#pragma once

#include <string>

#include "model/word_reader.h"
#include "shell/calc_run.h"

namespace tavo::parsing {

// ---- Words ----

bool IsDeclarationKeyword(const std::string& w);

inline bool IsGoalKeyword(const std::string& w) { return Is(w, "MAX") || Is(w, "MIN"); }

inline bool IsConstraintHeading(const std::string& w) { return Is(w, "ST") || Is(w, "SUBJECT"); }

// A word that is all numeric part.
inline bool IsBareNumber(const std::string& word, const std::string& numPart) {
  return !word.empty() && numPart.size() == word.size();
}

inline bool IsRelational(int cls) { return cls == kTokGreater || cls == kTokLess || cls == kTokEqual; }

// ---- Numbers and counts ----

// The part of a declaration value that the C library's atof reads as a
// decimal number: sign, digits, point, digits, exponent. (Words such as "INF"
// or "0X1P3" are not numbers in a model.)
std::string DecimalPrefix(const std::string& w);

// Adds without passing INT_MAX (counts of integer declarations).
int SaturatingAdd(int a, long long b);

// The value of a number of the model text; a number too long for a double
// (hundreds of digits) is reported and read as 0.
double NumberValue(CalcRun& run, const std::string& number, const std::string& word);

// Coefficient of a term: its numeric part ("1" when empty), negated after a
// minus sign word (sign 2).
double Coefficient(CalcRun& run, const std::string& numPart, int sign, const std::string& word);

// "Line " + n + message, for the messages that carry no detail (they end with
// their own line end); counts the error.
void AppendLineMessage(CalcRun& run, const std::string& message);

// Entry (col, row) of AMAT.
inline double& Amat(CalcRun& run, int col, int row) {
  return run.W.AMAT[static_cast<std::size_t>(col) * static_cast<std::size_t>(run.W.MROWS) + row];
}

// ---- Storing pass ----

// Goal rows, from the word in hand while it is MAX or MIN; leaves the word
// after them in hand.
void StoreGoalRows(CalcRun& run, const std::string& text);

// The constraint rows, from the constraint heading in hand up to the first
// declaration keyword or the end of the text. Returns false when a row has
// no right-hand side: the parse then ends at once.
bool StoreConstraintRows(CalcRun& run, const std::string& text);

// The declarations, from the word in hand to the end of the text or the
// first undefined declaration keyword.
void StoreDeclarations(CalcRun& run, const std::string& text);

}  // namespace tavo::parsing
