#include "cli/terminal_port.h"

#include <csignal>
#include <cstdio>

#include <unistd.h>

#include "cli/output.h"
#include "shell/codec.h"
#include "shell/texts.h"

namespace tavo::cli {
namespace {

// Ctrl-C presses so far, and a request not yet handed to the run by a pump.
volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_pendingStop = 0;

extern "C" void OnInterrupt(int) {
  if (g_interrupts != 0) {
    // Second press: leave now, without running any cleanup.
    const char nl = '\n';
    ssize_t ignored = ::write(STDERR_FILENO, &nl, 1);
    (void)ignored;
    ::_exit(130);
  }
  g_interrupts = 1;
  g_pendingStop = 1;
  g_forceStop.store(1, std::memory_order_relaxed);
}

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// Erase the current terminal line: carriage return, then clear to its end.
constexpr const char kClearLine[] = "\r\x1b[K";


}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  // A signal mask inherited from the parent must not hold the press back.
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  sigprocmask(SIG_UNBLOCK, &interrupt, nullptr);
}

TerminalPort::TerminalPort(Encoding outputEncoding, bool liveProgress)
    : encoding_(outputEncoding),
      live_(liveProgress),
      lastDraw_(std::chrono::steady_clock::now()),
      // The progress window's initial texts, fields 1014 to 1019 in order.
      fields_{std::string("0"),        std::string("0"), std::string("0"),
              std::string("00:00:00"), std::string("0"), T().infeasible} {
}

TerminalPort::~TerminalPort() {
  ClearProgress();
}

void TerminalPort::SetField(ProgressField id, const std::string& text) {
  unsigned index = static_cast<unsigned>(FieldIndex(id));
  if (index < fields_.size()) fields_[index] = text;
}

const std::string& TerminalPort::Field(ProgressField id) const {
  static const std::string kEmpty;
  unsigned index = static_cast<unsigned>(FieldIndex(id));
  return index < fields_.size() ? fields_[index] : kEmpty;
}

void TerminalPort::PumpOneMessage() {
  // A Ctrl-C is a queued message: the pump delivers it to the run.
  if (g_pendingStop) {
    g_pendingStop = 0;
    g_forceStop.store(1, std::memory_order_relaxed);
  }
  if (!live_) return;
  auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  DrawProgress();
}

void TerminalPort::DrawProgress() {
  std::string line = kClearLine;
  line += "result ";
  line += fields_[FieldIndex(ProgressField::kResultCode)];
  line += "  ";
  line += ForOutput(fields_[FieldIndex(ProgressField::kFeasibility)], encoding_);
  line += "  goal ";
  line += fields_[FieldIndex(ProgressField::kFirstGoal)];
  line += "  iterations ";
  line += fields_[FieldIndex(ProgressField::kIterations)];
  line += "  branches ";
  line += fields_[FieldIndex(ProgressField::kBranches)];
  line += "  ";
  line += fields_[FieldIndex(ProgressField::kElapsed)];
  if (g_forceStop.load(std::memory_order_relaxed)) line += "  (stopping)";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalPort::ClearProgress() {
  if (!drawn_) return;
  std::fputs(kClearLine, stderr);
  std::fflush(stderr);
  drawn_ = false;
}

void TerminalPort::ShowMessage(const std::string& text, IconStyle /*iconStyle*/) {
  ClearProgress();
  std::string line = MessageLine(text, encoding_);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  ++messageCount_;
}

TimePoint TerminalPort::Now() { return Clock::now(); }

std::string TerminalPort::FormatDateTime(TimePoint t) { return clock_.DateAndTime(t); }

}  // namespace tavo::cli
