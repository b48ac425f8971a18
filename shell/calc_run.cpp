#include "shell/calc_run.h"

#include <new>

#include "shell/texts.h"

namespace tavo {

std::atomic<std::uint8_t> g_forceStop{0};

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
    port.ShowMessage(T().dataErrorBox, IconStyle::kStop);
    return false;
  }
  int code = kResultDataError;
  try {
    code = SetupAndSolve();
  } catch (const std::bad_alloc&) {
    result.logText += T().outOfMemory + "solver" + T().detailEnd;
    ++W.NERR;
    port.ShowMessage(T().dataErrorBox, IconStyle::kStop);
    code = kResultDataError;
  }
  result.resultCode = code;
  if (code >= 0 && code < static_cast<int>(T().statusMessage.size()) && !T().statusMessage[code].empty())
    port.ShowMessage(T().statusMessage[code], T().statusIcon[code]);
  W.Release();
  return true;
}

}  // namespace tavo
