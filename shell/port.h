// The run's window: the only way the core reaches a front end. The desktop's
// progress dialog, the command line and the tests each implement it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace tavo {

using Clock = std::chrono::system_clock;
using TimePoint = Clock::time_point;

// Value fields of the progress window, by their control ids.
enum class ProgressField : int {
  kResultCode = 1014,   // result code of the last simplex solve
  kIterations = 1015,   // ITER - 1
  kBranches = 1016,     // branch counter
  kElapsed = 1017,      // "%H:%M:%S" since parsing began
  kFirstGoal = 1018,    // |first goal value| of the latest reports
  kFeasibility = 1019,  // "実行不可能" / "実行可能"
};
constexpr int kProgressFieldCount = 6;
// 0-based position of a field in id order (kResultCode is 0).
constexpr int FieldIndex(ProgressField f) {
  return static_cast<int>(f) - static_cast<int>(ProgressField::kResultCode);
}

// Message-box icon styles (the values the original message boxes take); the
// icon is part of the message.
enum class IconStyle : int {
  kNone = 0,
  kStop = 0x10,
  kInformation = 0x40,
};

// Forced termination requested. Set only by the window side (button, close
// box, Ctrl-C), cleared by the solve driver when it starts, polled by the
// simplex right after its message pump. Lock-free, so a signal handler may set it.
extern std::atomic<std::uint8_t> g_forceStop;

class RunPort {
 public:
  virtual ~RunPort() = default;
  // Sets the text (code page 932) of one progress field.
  virtual void SetField(ProgressField id, const std::string& text) = 0;
  // Handles at most one pending window message (the simplex calls it once
  // per iteration; the forced-stop request arrives through it).
  virtual void PumpOneMessage() = 0;
  // A modal message box with its icon style; text in code page 932.
  virtual void ShowMessage(const std::string& text, IconStyle iconStyle) = 0;
  // The current date and time.
  virtual TimePoint Now() = 0;
  // The locale's date-and-time text (date, then time of day), code page 932.
  virtual std::string FormatDateTime(TimePoint t) = 0;
};

}  // namespace tavo
