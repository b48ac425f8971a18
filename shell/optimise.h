// The narrow entry for front ends: the optimise and check commands. A front
// end includes this header and the port (shell/port.h); it needs nothing of
// the model, solver, search or report folders.
//
// The commands own the run's workspace (one for the life of the program) and
// are not re-entrant: while a run is in progress (its port pumps window
// messages once per simplex iteration, so a menu command may arrive in the
// middle of it) a second call is refused with kBusy and changes nothing.
#pragma once

#include <string>

#include "shell/calc_result.h"
#include "shell/outcome.h"
#include "shell/port.h"
#include "shell/settings.h"

namespace tavo {

enum class CommandStatus {
  kRan,         // the model parsed; the result code is in the outcome
  kDataErrors,  // the parser rejected the model (or set-up could not start)
  kEmptyText,   // no text: the no-input-data message was shown
  kBusy,        // another run is in progress; nothing was done
};

// Application-wide outcome of the last optimise command: the texts the
// results dialog and printing show, and the model text they belong to.
extern CalcResult g_lastResult;
extern std::string g_lastModelText;
// The last optimise command's figures in structured form (see shell/outcome.h).
extern RunOutcome g_lastOutcome;

// The optimise command without its locale check (the desktop makes that
// check itself): clears the last outcome, refuses an empty text, runs the
// model with the given settings through `port` (progress fields, message
// boxes, the message pump) and keeps the outcome in g_lastResult and
// g_lastModelText.
CommandStatus RunOptimiseCommand(const std::string& text, const SolverSettings& settings, RunPort& port);

// The check command: only the parse step. The log of the parse (or the
// no-input-data line) goes to `result`; g_lastResult is left alone. Shows the
// same messages as the optimise command for an empty text and data errors.
CommandStatus RunCheckCommand(const std::string& text, const SolverSettings& settings, RunPort& port,
                              CalcResult& result);

// True while an optimise or check command is running.
bool RunInProgress();

}  // namespace tavo
