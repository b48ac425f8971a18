// The run of one optimisation: model text, outcome, settings copy, and the
// operations of the parser, set-up, solver, search and reports (defined in
// their subsystem folders). The run reaches its window only through RunPort.
//
// This is the core's inside. Front ends start runs through shell/optimise.h;
// the step operations below are public only so that the subsystems and their
// tests can call them one at a time.
#pragma once

#include <cstdint>
#include <string>

#include "model/parser_state.h"
#include "shell/calc_result.h"
#include "shell/outcome.h"
#include "shell/port.h"
#include "shell/settings.h"
#include "solver/workspace.h"

namespace tavo {

class CalcRun {
 public:
  CalcRun(Workspace& workspace, RunPort& port);

  std::string modelText;    // set by the caller before Run()
  CalcResult result;        // the run's outcome
  SolverSettings settings;  // copy taken when the command starts
  RunOutcome outcome;       // the run's figures in structured form, filled at its end

  // The whole run: parse, set-up and solve, the status message, release of
  // the workspace. Returns true when the model parsed without error (the
  // result code is then in result.resultCode).
  bool Run();
  // Only the parse step of the run (for `tavo check`); the log holds its lines.
  bool Check();
  // True when the reports of the run show a number that is not finite.
  bool ReportsHoldNonFiniteNumbers() const;

  // ---- The run's internals: the step operations, each defined in its
  // subsystem folder. ----

  // ---- Model input ----
  int ParseModel(std::string text);
  void CountModel();
  std::string ReadWord(const std::string& text);
  std::string ReadTerm(const std::string& text);
  int IsValidName();
  int FindVariable(int count);

  // ---- Set-up and solve ----
  int SetupAndSolve();
  void TransformModel(int mode);
  int RunSolve();
  int RunSimplex();
  void BuildPrices();
  void ChooseEntering();
  void PriceColumn();
  void ChooseLeaving();
  void BreakTie();
  void Pivot();
  void LoadColumn();
  void Ftran();
  void UpdateInverse();
  void Reinvert();
  void CrashBasis();
  void TestFeasible();

  // ---- Branch and bound ----
  int BranchAndBoundStep(int lpResult);
  bool ImprovesIncumbent();
  void SelectBranchingVariable();
  void PrepareNode();
  void UndoBoundSubstitution();

  // ---- Reports ----
  void BuildReports(int flag);
  void MapValuesBack();
  void ComputeErrorFigures();
  void RangeRightHandSides();
  // Keeps the figures of the reports just built (and those of the search's
  // incumbent), and fills `outcome` at the end of the run from them.
  void CaptureSolution();
  void CollectOutcome(bool setupReached);
  CapturedSolution capturedLast;
  CapturedSolution capturedIncumbent;

  // ---- Calculation log ----
  // Appends banner + the locale's date and time of `t` + "\r\n".
  void AppendTimeStampLine(const std::string& banner, TimePoint t);
  // "%H:%M:%S" of the span from TSTART to `t` (hours within a day).
  std::string ElapsedText(TimePoint t) const;
  // The log line of a search cut short by the node table.
  void AppendSearchCutShortLine();
  // Appends "Line " + line number + message + detail + " )\r\n" and counts the error.
  void ReportLineError(const std::string& message, const std::string& detail);

  Workspace& W;
  RunPort& port;
  ParserState P;
};

}  // namespace tavo
