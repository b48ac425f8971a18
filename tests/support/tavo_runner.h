// Solves a model text with the TAVO core in-process (parse, then set-up and
// solve) and keeps what the differential suites compare: the result code,
// the activities and goal values the run reports, and the log.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "tests/support/model_writer.h"

namespace tavo::testsupport {

struct TavoOutcome {
  bool parsed = false;       // ParseModel returned 1
  int resultCode = -1;       // from SetupAndSolve (meaningful when parsed)
  std::vector<double> xact;  // NSTRUC entries, as the workspace holds them at the end
  // The solution the run reports. For a linear model: XACT and the goal
  // entries of RACT. After a branch and bound the workspace holds the last
  // node solved, so the incumbent's goal values (g_incumbentGoals) and the
  // activities printed in its columns report are taken instead.
  std::vector<double> x;
  std::vector<double> goalActivity;
  bool xFromReport = false;
  // Column names (CNAME, blanks dropped): the model text numbers variables
  // by their first appearance in a constraint row, not by the goal rows.
  std::vector<std::string> names;
  int iterations = 0;          // ITERLP - 1, as the log shows it
  int nodesSolved = 0;         // g_branchCount + 1 (0 without a search)
  bool tableFull = false;      // the search stopped branching: node table nearly full
  bool haveIncumbent = false;  // the search found an integer-feasible solution
  double seconds = 0;          // wall time of parse + solve
  std::string log;             // calculation log (code page 932)
  std::string columnsText;
};

// `onPump` is called at every pump with the pump count (may set g_forceStop).
TavoOutcome SolveWithTavo(const std::string& modelText, const SolverSettings& settings,
                          const std::function<void(long long)>& onPump = nullptr);

// The value of goal g as the model writes it, from the reported row
// activity of goal row g. The goal row's basic value is its right-hand side
// (0) less the row times x; a MAX row is stored negated, so its activity is
// the objective itself, while a MIN row's activity is the objective negated.
double TavoGoalValue(const TavoOutcome& outcome, int g, bool maximize);

// The activities of the columns report ("Activity" column), by column
// number; entries missing from the report stay 0. Returns false when the
// report does not have one line per column.
bool ParseColumnsReport(const std::string& columnsText, int columns, std::vector<double>& x);

// The reported activities `x` rearranged into the order of the model's
// variables, matched by name; false when a name is missing.
bool InModelOrder(const TavoOutcome& outcome, const Model& model, std::vector<double>& x);

// What the reported point breaks in the model: empty when it satisfies every
// row and bound within 1e-6 per unit of scale (allowing the six-decimal
// rounding of the reports), and integrality too when `integral`; else the
// worst violation, or that the columns do not match the model's variables.
std::string PointViolation(const TavoOutcome& outcome, const Model& model, bool integral);

// Parses `text` (the model text written for `model`) with TAVO's parser and
// compares what it stored with the model: dimensions, every goal and row
// coefficient (matched by variable name), right-hand sides, row types,
// ranges, bound flags and bounds. Returns an empty string when they agree,
// else the first differences.
std::string CheckModelTextReadsBack(const Model& model, const std::string& text);

}  // namespace tavo::testsupport
