// Times the model reader inside one process, without the command line around
// it: reads a model file (code page 932) and runs the parse step on it
// REPETITIONS times, each with a fresh workspace, and prints the median.
//
//   parse_timer MODEL [REPETITIONS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "shell/settings.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: parse_timer MODEL [REPETITIONS]\n");
    return 64;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "parse_timer: cannot read %s\n", argv[1]);
    return 66;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const int reps = argc == 3 ? std::max(1, std::atoi(argv[2])) : 7;

  std::vector<double> ms;
  bool ok = true;
  for (int i = 0; i < reps; ++i) {
    tavo::Workspace workspace;
    tavo::RecordingPort port;
    port.recordWrites = false;
    tavo::CalcRun run(workspace, port);
    run.settings = tavo::DefaultSettings();
    run.modelText = text;
    const auto t0 = std::chrono::steady_clock::now();
    ok = run.Check();
    const auto t1 = std::chrono::steady_clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    if (i == 0 && !ok) std::fputs(run.result.logText.c_str(), stderr);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("parse %s: median %.1f ms over %d runs (min %.1f, max %.1f)%s\n", argv[1], ms[ms.size() / 2], reps,
              ms.front(), ms.back(), ok ? "" : " [model rejected]");
  return ok ? 0 : 1;
}
