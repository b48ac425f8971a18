// libFuzzer target: the model parser on arbitrary bytes. Every input must end
// in log messages or a clean parse; a clean parse must leave a workspace whose
// sizes and row types agree with the counts in the log.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"
#include "shell/texts.h"

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

  const std::size_t m = static_cast<std::size_t>(W.MROWS);
  const std::size_t n = static_cast<std::size_t>(W.NSTRUC);
  if (W.NGOALS < 1 || W.MROWS < W.NGOALS || W.NSTRUC < 1) std::abort();
  if (W.NCOLS != W.MROWS + W.NSTRUC) std::abort();
  if (W.AMAT.size() != n * m || W.XB.size() != m || W.RANGE.size() != m || W.ROWTYP.size() != m || W.RHS.size() != m ||
      W.ACOL.size() != m || W.UBND.size() != n || W.LBND.size() != n ||
      W.BNDFLG.size() != static_cast<std::size_t>(W.NCOLS) || W.CNAME.size() != 8 * n)
    std::abort();
  if (run.P.g_haveRowLabels ? W.RNAME.size() != 18 * (m - W.NGOALS) : !W.RNAME.empty()) std::abort();
  // Goal rows first, then only constraint and bound rows: every row was stored.
  for (std::size_t i = 0; i < m; ++i) {
    const bool goal = i < static_cast<std::size_t>(W.NGOALS);
    if (goal ? W.ROWTYP[i] != kRowGoal : (W.ROWTYP[i] < kRowGreater || W.ROWTYP[i] > kRowEqual)) std::abort();
  }
  for (std::size_t j = n; j < static_cast<std::size_t>(W.NCOLS); ++j)
    if (W.BNDFLG[j] != 0) std::abort();
  return 0;
}
