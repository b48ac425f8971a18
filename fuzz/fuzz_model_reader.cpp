// libFuzzer target: the model parser on arbitrary bytes. Every input must end
// in log messages or a clean parse; a clean parse must leave a workspace that
// keeps the core's invariants (sizes, indices, row types).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"
#include "shell/texts.h"
#include "solver/workspace_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavo;
  Workspace workspace;
  RecordingPort port;
  port.recordWrites = false;
  CalcRun run(workspace, port);
  run.settings = DefaultSettings();
  // Half of the inputs with sensitivity analysis on (bound rows).
  run.settings.SENSITIVITY = (size > 0 && (data[0] & 1)) ? 1 : 0;
  run.modelText.assign(reinterpret_cast<const char*>(data), size);

  const bool parsed = run.Check();
  const Workspace& W = workspace;
  const bool summary = run.result.logText.find(T().summaryHas) != std::string::npos;
  if (parsed != summary || parsed != (W.NERR == 0)) std::abort();
  if (!parsed) return 0;

  // Dimensions, sizes of every array, row types and logical columns' flags.
  const std::string why = CheckWorkspaceInvariants(W);
  if (!why.empty()) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::abort();
  }
  // What a clean parse adds: at least one goal and one variable, row labels
  // exactly when the model has some, no logical column flagged yet.
  const std::size_t m = static_cast<std::size_t>(W.MROWS);
  if (W.NGOALS < 1 || W.NSTRUC < 1) std::abort();
  if (run.P.g_haveRowLabels ? W.RNAME.size() != 18 * (m - W.NGOALS) : !W.RNAME.empty()) std::abort();
  for (std::size_t j = static_cast<std::size_t>(W.NSTRUC); j < static_cast<std::size_t>(W.NCOLS); ++j)
    if (W.BNDFLG[j] != 0) std::abort();
  return 0;
}
