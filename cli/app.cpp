#include "cli/app.h"

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/import_export.h"
#include "cli/json_output.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/terminal_port.h"
#include "shell/model_warnings.h"
#include "shell/optimise.h"
#include "shell/settings.h"
#include "shell/text_layout.h"
#include "shell/texts.h"

namespace tavo::cli {
namespace {

void PrintReason(const std::string& reason) { std::fprintf(stderr, "tavo: %s\n", reason.c_str()); }

int ExitStatusForCommand(CommandStatus status, int resultCode) {
  switch (status) {
    case CommandStatus::kRan:
      return ExitStatusForResult(resultCode);
    case CommandStatus::kDataErrors:
    case CommandStatus::kEmptyText:
    case CommandStatus::kBusy:
      break;
  }
  return kExitDataError;
}

}  // namespace

int ExitStatusForResult(int resultCode) {
  if (resultCode == kResultOptimal) return 0;
  if (resultCode >= kResultInfeasible && resultCode <= kResultForcedInfeasible) return resultCode;
  return kExitDataError;  // 0 (set-up found data errors) and anything unexpected
}

int Main(int argc, const char* const* argv) {
  Options options;
  std::string reason = ParseOptions(argc, argv, options);
  if (!reason.empty()) {
    PrintReason(reason);
    return kExitUsage;
  }
  if (options.command == Command::kHelp) {
    std::fputs(UsageText(), stdout);
    return std::fflush(stdout) == 0 ? 0 : kExitCantCreate;
  }
  if (options.command == Command::kVersion) {
    std::printf("%s\n", VersionText());
    return std::fflush(stdout) == 0 ? 0 : kExitCantCreate;
  }
  if (options.command == Command::kImport || options.command == Command::kExport) return RunImportExport(options);

  // Settings: the profile (read only), then the --set overrides in order.
  SolverSettings settings = LoadSettings(options.haveProfile ? options.profile : DefaultProfilePath());
  for (const auto& [key, value] : options.sets) SetSettingByName(settings, key, value);

  // Ctrl-C from here on is the forced-termination button: a press made while
  // the model is still being read is delivered at the run's first pump.
  InstallInterruptHandler();

  std::string bytes;
  if (!ReadModelBytes(options.model, bytes, reason)) {
    PrintReason(reason);
    return kExitNoInput;
  }
  std::string displayName = options.model == "-" ? std::string("standard input") : options.model;
  std::string text;
  if (!DecodeModel(displayName, bytes, options.inputEncoding, text, reason)) {
    PrintReason(reason);
    return kExitNoInput;
  }
  bytes.clear();
  bytes.shrink_to_fit();

  // Texts that read as something their writer most likely did not mean,
  // before the run, in the form editors jump from.
  const std::vector<ModelWarning> warnings = FindModelWarnings(text);
  if (options.warnings) WriteAll(stderr, WarningLines(warnings, displayName, options.outputEncoding));

  // Make the output folder before a possibly long run, so a bad path fails at once.
  if (!options.outDir.empty() && !PrepareOutDir(options.outDir, reason)) {
    PrintReason(reason);
    return kExitCantCreate;
  }

  CalcResult result;
  int status;
  {
    TerminalPort port(options.outputEncoding, ::isatty(STDERR_FILENO) == 1);
    if (options.command == Command::kSolve) {
      CommandStatus s = RunOptimiseCommand(text, settings, port);
      result = g_lastResult;
      status = ExitStatusForCommand(s, result.resultCode);
    } else {
      CommandStatus s = RunCheckCommand(text, settings, port, result);
      status = s == CommandStatus::kRan ? 0 : kExitDataError;
    }
    port.ClearProgress();
  }

  // Without the log on standard output, the reasons of a rejection still
  // reach the user.
  if (!options.reportLog) WriteAll(stderr, DataErrorLines(result.logText, displayName, options.outputEncoding));

  bool outputFailed = false;
  if (!options.outDir.empty() && !WriteOutDir(options.outDir, result, reason)) {
    PrintReason(reason);
    outputFailed = true;
  }
  std::string json;
  if (!options.jsonFile.empty() || options.reportJson) {
    JsonDocumentInput doc;
    doc.command = options.command == Command::kSolve ? "solve" : "check";
    doc.model = displayName;
    doc.exitStatus = status;
    doc.result = &result;
    doc.outcome = options.command == Command::kSolve ? &g_lastOutcome : nullptr;
    doc.warnings = warnings;
    doc.dataErrors = FindDataErrors(result.logText);
    json = OutcomeJson(doc);
  }
  if (!options.jsonFile.empty() && !WriteFileAtomically(options.jsonFile, json, reason)) {
    PrintReason(reason);
    outputFailed = true;
  }
  CalcResult shown = result;
  if (options.alignedLayout) {
    shown.logText = AlignReport(result.logText, ReportTab::kLog);
    shown.columnsText = AlignReport(result.columnsText, ReportTab::kColumns);
    shown.rowsText = AlignReport(result.rowsText, ReportTab::kRows);
    shown.errorText = AlignReport(result.errorText, ReportTab::kError);
  }
  if (!WriteAll(stdout, options.reportJson ? json : ComposeReport(shown, options))) {
    PrintReason("cannot write standard output");
    outputFailed = true;
  }
  return outputFailed ? kExitCantCreate : status;
}

}  // namespace tavo::cli
