#include "shell/optimise.h"

#include <memory>

#include "shell/calc_run.h"
#include "shell/texts.h"
#include "solver/workspace.h"

namespace tavo {

CalcResult g_lastResult;
std::string g_lastModelText;
RunOutcome g_lastOutcome;

namespace {

bool g_running = false;

// The application keeps one workspace for its life; the run releases its
// arrays at the end, the record itself stays.
Workspace& SharedWorkspace() {
  static std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
  return *workspace;
}

// Marks a command as running for its whole extent, also when it unwinds.
class RunningMark {
 public:
  RunningMark() { g_running = true; }
  ~RunningMark() { g_running = false; }
  RunningMark(const RunningMark&) = delete;
  RunningMark& operator=(const RunningMark&) = delete;
};

// The rule for an empty text, shared by both commands: the message, and the
// same words as the log's only line.
bool RefuseEmptyText(const std::string& text, RunPort& port, CalcResult& result) {
  if (!text.empty()) return false;
  port.ShowMessage(T().noInputData, IconStyle::kStop);
  result.logText += T().noInputData + "\r\n";
  return true;
}

}  // namespace

bool RunInProgress() { return g_running; }

CommandStatus RunOptimiseCommand(const std::string& text, const SolverSettings& settings, RunPort& port) {
  if (g_running) return CommandStatus::kBusy;
  RunningMark mark;
  g_lastResult = CalcResult{};
  g_lastOutcome = RunOutcome{};
  g_lastModelText = text;
  if (RefuseEmptyText(text, port, g_lastResult)) return CommandStatus::kEmptyText;
  CalcRun run(SharedWorkspace(), port);
  run.modelText = g_lastModelText;
  run.settings = settings;
  bool parsed = run.Run();
  g_lastResult = run.result;
  g_lastOutcome = std::move(run.outcome);
  return parsed ? CommandStatus::kRan : CommandStatus::kDataErrors;
}

CommandStatus RunCheckCommand(const std::string& text, const SolverSettings& settings, RunPort& port,
                              CalcResult& result) {
  if (g_running) return CommandStatus::kBusy;
  RunningMark mark;
  result = CalcResult{};
  if (RefuseEmptyText(text, port, result)) return CommandStatus::kEmptyText;
  CalcRun run(SharedWorkspace(), port);
  run.modelText = text;
  run.settings = settings;
  bool ok = run.Check();
  result = run.result;
  SharedWorkspace().Release();
  if (!ok) {
    port.ShowMessage(T().dataErrorBox, IconStyle::kStop);
    return CommandStatus::kDataErrors;
  }
  return CommandStatus::kRan;
}

}  // namespace tavo
