#include "shell/calc_run.h"

#include <new>

#include "shell/texts.h"

namespace tavo {

std::atomic<std::uint8_t> g_forceStop{0};
CalcResult g_lastResult;
std::string g_lastModelText;

CalcRun::CalcRun(Workspace& workspace, RunPort& port) : W(workspace), port(port) {}

bool CalcRun::Check() {
  result.logText.clear();
  result.columnsText.clear();
  result.rowsText.clear();
  result.errorText.clear();
  try {
    return ParseModel(modelText) == 1;
  } catch (const std::bad_alloc&) {
    // The sizes are checked before the big arrays are made; this catches
    // whatever allocation still fails.
    result.logText += T().outOfMemory + "model" + T().detailEnd;
    ++W.NERR;
    return false;
  }
}

bool CalcRun::Run() {
  if (!Check()) {
    port.ShowMessage(T().dataErrorBox, kIconStop);
    return false;
  }
  int code = kResultDataError;
  try {
    code = SetupAndSolve();
  } catch (const std::bad_alloc&) {
    result.logText += T().outOfMemory + "solver" + T().detailEnd;
    ++W.NERR;
    port.ShowMessage(T().dataErrorBox, kIconStop);
    code = kResultDataError;
  }
  result.resultCode = code;
  if (code >= 0 && code < static_cast<int>(T().statusMessage.size()) && !T().statusMessage[code].empty())
    port.ShowMessage(T().statusMessage[code], T().statusIcon[code]);
  W.Release();
  return true;
}

bool RunOptimiseCommand(const std::string& text, const SolverSettings& settings, Workspace& workspace, RunPort& port) {
  g_lastModelText.clear();
  g_lastResult.logText.clear();
  g_lastResult.columnsText.clear();
  g_lastResult.rowsText.clear();
  g_lastResult.errorText.clear();
  g_lastModelText = text;
  if (text.empty()) {
    port.ShowMessage(T().noInputData, kIconStop);
    g_lastResult.logText += T().noInputData + "\r\n";
    return false;
  }
  CalcRun run(workspace, port);
  run.modelText = g_lastModelText;
  run.settings = settings;
  bool parsed = run.Run();
  g_lastResult = run.result;
  return parsed;
}

}  // namespace tavo
