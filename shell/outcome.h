// The outcome of one run in structured form, for front ends that hand it on
// as data (the command line's JSON document): the figures of the four texts
// at full precision, taken from the workspace while a run still holds it,
// and the dual prices of every goal level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// One structural column as the columns report shows it.
struct OutcomeColumn {
  std::string name;    // the whole name as written (code page 932, upper-cased as read)
  std::string status;  // "", "BD" or "BS" (the report's blank status is "")
  double value = 0;
  double reducedCost = 0;  // first goal, as the columns report computes it
};

// One listed row as the rows report shows it.
struct OutcomeRow {
  std::string label;  // code page 932, trailing blanks removed
  int type = 0;       // 1 goal, 2 >=, 3 <=, 4 =
  bool ranged = false;
  std::string status;   // "", "BS" or "EQ"
  double activity = 0;  // the row variable: a goal's value, a constraint row's slack or surplus
  // Dual price of this row for every goal level (index k = goal k+1), with
  // the rows report's conventions; goal rows have all zeros.
  std::vector<double> dualPrices;
  // Right-hand-side ranging, when the run computed it; the limits are
  // magnitudes, negative for unlimited.
  bool haveRanging = false;
  double rhs = 0;
  double increase = -1;  // < 0: unlimited
  double decrease = -1;
};

// The solution the reports describe (of the incumbent after a search).
struct OutcomeSolution {
  std::vector<double> goals;  // signed value of each goal row
  std::vector<OutcomeColumn> columns;
  std::vector<OutcomeRow> rows;
  double residualTotal = 0;
  double residualMax = 0;
  double priceCheckTotal = 0;
  double priceCheckMax = 0;
};

struct RunOutcome {
  bool ran = false;  // the model parsed and set-up was reached
  int resultCode = 0;
  long long iterations = 0;  // the log's figure: the first continuous solve
  long long branches = 0;    // nodes solved after the root
  double elapsedSeconds = 0;
  std::string title;               // code page 932
  int goalCount = 0;               // NGOALS
  int rowCount = 0;                // MROWS (goal and constraint rows, bound rows included)
  int columnCount = 0;             // NSTRUC
  int integerCount = 0;            // NINT
  int dataErrorCount = 0;          // NERR
  double attainmentTolerance = 0;  // ETOL: a goal below it in magnitude is attained
  bool haveSolution = false;       // the three reports were written
  OutcomeSolution solution;
};

}  // namespace tavo

namespace tavo {

// A solution taken at the end of a report build, with the three texts it
// belongs to, so that the one the run finally shows can be told from the
// others (a search shows its incumbent's reports, built at an earlier node).
struct CapturedSolution {
  bool valid = false;
  OutcomeSolution solution;
  std::string columnsText, rowsText, errorText;
};

}  // namespace tavo
