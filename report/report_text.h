// Pieces shared by the rows report and the right-hand-side ranging table.
#pragma once

#include <string>

namespace tavo {

class CalcRun;

// A rule of `count` copies of `c`, then "\r\n".
std::string ReportRule(char c, int count);

// Writes report numbers in the report number format and counts those that
// are not finite numbers, so that the error information can point them out.
struct ReportNumber {
  int nonFinite = 0;
  std::string operator()(double v);
};

// The label of row `row` in the rows report and the ranging table: "目標行" and
// the goal's number; for a constraint row its 18-byte label (zero bytes as
// blanks) when the model labels rows, else "制約行" and its number among the
// constraint rows.
std::string RowLabel(const CalcRun& run, int row);

// Appends the ranging table to the rows report. Expects the limits from
// RangeRightHandSides in ALPHA (increase) and ACOL (decrease), and the
// right-hand sides in the model's own terms in XB.
void AppendRangingTable(CalcRun& run, ReportNumber& num);

}  // namespace tavo
