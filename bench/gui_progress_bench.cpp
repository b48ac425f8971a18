// The desktop's progress window under load: runs a model inside CProgressDlg
// (offscreen when no platform is named) and prints the run's times, so that
// bench/gui_progress_bench.sh can set them beside `tavo solve`.
//
//   gui_progress_bench MODEL            the run in the progress window
//   gui_progress_bench MODEL --plain    the same run with a port that shows nothing
//
// Output, one line: wall_s cpu_s result_code. The settings are the profile's,
// as `tavo solve` reads them.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/message_box.h"
#include "gui/progress_dlg.h"
#include "shell/optimise.h"
#include "shell/settings.h"

namespace {

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A port that shows nothing and pumps nothing: the solve alone.
class SilentPort : public tavo::RunPort {
 public:
  void SetField(tavo::ProgressField, const std::string&) override {}
  void PumpOneMessage() override {}
  void ShowMessage(const std::string&, tavo::IconStyle) override {}
  tavo::TimePoint Now() override { return tavo::Clock::now(); }
  std::string FormatDateTime(tavo::TimePoint) override { return "-"; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "--plain")) {
    std::fprintf(stderr, "usage: gui_progress_bench MODEL [--plain]\n");
    return 64;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "gui_progress_bench: cannot read %s\n", argv[1]);
    return 66;
  }
  std::stringstream bytes;
  bytes << file.rdbuf();
  const std::string model = bytes.str();
  const tavo::SolverSettings settings = tavo::LoadSettings(tavo::DefaultProfilePath());
  const bool plain = argc == 3;

  if (!plain && std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  tavo::gui::SetMessageBoxHookForTests([](const std::string&, tavo::IconStyle) {});

  auto wall0 = std::chrono::steady_clock::now();
  double cpu0 = CpuSeconds();
  if (plain) {
    SilentPort port;
    tavo::RunOptimiseCommand(model, settings, port);
  } else {
    CProgressDlg dialog(nullptr);
    dialog.modelText = model;
    dialog.settings = settings;
    dialog.exec();
  }
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  double cpu = CpuSeconds() - cpu0;
  std::printf("%.3f %.3f %d\n", wall, cpu, tavo::g_lastResult.resultCode);
  return 0;
}
