// The run's window on a terminal: message boxes become lines on standard
// error, the progress window a live line (only when standard error is a
// terminal), and Ctrl-C the forced-termination button.
#pragma once

#include <array>
#include <chrono>
#include <string>

#include "cli/options.h"
#include "shell/locale_time.h"
#include "shell/port.h"

namespace tavo::cli {

class TerminalPort : public RunPort {
 public:
  // `liveProgress`: draw the progress line on standard error.
  TerminalPort(Encoding outputEncoding, bool liveProgress);
  ~TerminalPort() override;
  TerminalPort(const TerminalPort&) = delete;
  TerminalPort& operator=(const TerminalPort&) = delete;

  void SetField(ProgressField id, const std::string& text) override;
  void PumpOneMessage() override;
  void ShowMessage(const std::string& text, IconStyle iconStyle) override;
  TimePoint Now() override;
  std::string FormatDateTime(TimePoint t) override;

  // Removes the progress line from the terminal if one is drawn.
  void ClearProgress();
  // The last text (code page 932) of a progress field, "" for an unknown id.
  const std::string& Field(ProgressField id) const;
  // Messages shown so far.
  int messageCount() const { return messageCount_; }

 private:
  void DrawProgress();

  Encoding encoding_;
  bool live_;
  bool drawn_ = false;
  int messageCount_ = 0;
  std::chrono::steady_clock::time_point lastDraw_;
  // Fields 1014..1019, indexed by id - ProgressField::kResultCode.
  std::array<std::string, kProgressFieldCount> fields_;
  // The user's locale for the date and time, without touching the
  // process-wide locale (the core's number and character handling stays "C").
  LocaleClock clock_;
};

// Installs the Ctrl-C handler: the first press requests forced termination
// (g_forceStop, and again at the next pump so that a press made before the
// solve starts is not lost); a second press ends the program at once with
// status 130.
void InstallInterruptHandler();

}  // namespace tavo::cli
