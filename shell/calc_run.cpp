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

// The error information ends with the count of numbers in the reports that
// were not finite whenever there was one.
bool CalcRun::ReportsHoldNonFiniteNumbers() const {
  return result.errorText.find(T().setupNotFinite) != std::string::npos;
}

bool CalcRun::Run() {
  if (!Check()) {
    CollectOutcome(false);
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
  if ((code == kResultOptimal || code == kResultForcedFeasible) && ReportsHoldNonFiniteNumbers()) {
    // The model's numbers overflowed in the arithmetic (a product beyond the
    // range of a double): the values shown would be Inf or NaN, which is no
    // answer. The run ends as a data error, with the reason in the log.
    result.logText += "\r\n" + T().setupNotFinite + T().solutionLabel + T().detailEnd;
    ++W.NERR;
    result.columnsText.clear();
    result.rowsText.clear();
    result.errorText.clear();
    port.ShowMessage(T().dataErrorBox, IconStyle::kStop);
    code = kResultDataError;
  }
  result.resultCode = code;
  CollectOutcome(true);
  if (code >= 0 && code < static_cast<int>(T().statusMessage.size()) && !T().statusMessage[code].empty())
    port.ShowMessage(T().statusMessage[code], T().statusIcon[code]);
  W.Release();
  return true;
}

}  // namespace tavo
