// Model generator and child-process runner for the solve and branch-and-bound
// benchmarks (bench/solve_bench.sh, bench/bb_bench.sh).
//
//   solve_gen lp ROWS SEED OUT       a generated LP: ROWS rows, 2*ROWS columns,
//                                    about 8 terms per row, feasible and bounded
//   solve_gen mip VARS ROWS SEED OUT a generated integer model (general integers
//                                    in small boxes, binaries, a few continuous)
//   solve_gen mps FILE OUT           an MPS file (.gz read through zcat)
//   solve_gen run LOG -- PROGRAM ARGS...
//                                    runs PROGRAM with stdout and stderr into LOG
//                                    and prints "WALL_SECONDS MAXRSS_KB EXIT" on
//                                    one line (getrusage of the child)
//
// The model commands write OUT.tvd (model text), OUT.lp (CPLEX LP format, the
// same model) and OUT.info ("rows cols integers sense", sense = max or min).
//
// The generator and the MPS reader are the test harness's own (tests/support).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/model_writer.h"
#include "tests/support/mps_reader.h"

namespace {

using namespace tavo::testsupport;

int Usage() {
  std::fprintf(
      stderr,
      "usage: solve_gen lp ROWS SEED OUT | mip VARS ROWS SEED OUT | mps FILE OUT | run LOG -- PROGRAM ARGS...\n");
  return 64;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
  return static_cast<bool>(f);
}

int WriteModel(const Model& m, const std::string& out) {
  int ints = 0;
  for (const Var& v : m.vars) ints += v.kind != VarKind::kContinuous;
  std::string info = std::to_string(m.rows.size()) + " " + std::to_string(m.vars.size()) + " " + std::to_string(ints) +
                     " " + (m.goals.at(0).maximize ? "max" : "min") + "\n";
  if (!WriteText(out + ".tvd", WriteTavoModel(m)) || !WriteText(out + ".lp", WriteLpFormat(m, 0, {})) ||
      !WriteText(out + ".info", info)) {
    std::fprintf(stderr, "solve_gen: cannot write %s.*\n", out.c_str());
    return 73;
  }
  return 0;
}

// A feasible, bounded LP in the spirit of the netlib problems: sparse rows of
// mixed types built around a reference point, a budget row over all columns
// that bounds every (nonnegative) column, one MAX goal.
Model LpFamily(int rows, std::uint64_t seed) {
  GenOptions o;
  o.minRows = o.maxRows = rows;
  o.minVars = o.maxVars = 2 * rows;
  o.density = 8.0 / (2.0 * rows);
  o.maxGoals = 1;
  o.freeChance = 0;
  o.negBoundChance = 0;
  o.boundChance = 0.2;
  o.rangeChance = 0.05;
  o.eqChance = 0.05;
  o.geChance = 0.3;
  o.arbitraryRhsChance = 0;
  o.budgetRowChance = 1;
  Rng rng(seed);
  Model m = RandomModel(rng, o);
  m.goals[0].maximize = true;
  m.title = "LP" + std::to_string(rows);
  return m;
}

Model MipFamily(int vars, int rows, std::uint64_t seed) {
  GenOptions o;
  o.minVars = o.maxVars = vars;
  o.minRows = o.maxRows = rows;
  o.density = 0.5;
  o.maxGoals = 1;
  o.boxAll = true;
  o.intChance = 0.7;
  o.binChance = 0.2;
  o.freeChance = 0;
  o.negBoundChance = 0;
  o.arbitraryRhsChance = 0;
  o.budgetRowChance = 1;
  o.rangeChance = 0.1;
  o.eqChance = 0.05;
  Rng rng(seed);
  Model m = RandomModel(rng, o);
  m.title = "MIP" + std::to_string(vars);
  return m;
}

int Run(const std::string& log, char** argv) {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) {
    std::perror("solve_gen: fork");
    return 71;
  }
  if (pid == 0) {
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) _exit(73);
    dup2(fd, 1);
    dup2(fd, 2);
    close(fd);
    execvp(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  struct rusage ru {};
  if (wait4(pid, &status, 0, &ru) < 0) {
    std::perror("solve_gen: wait4");
    return 71;
  }
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::printf("%.4f %ld %d\n", wall, static_cast<long>(ru.ru_maxrss), code);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  if (cmd == "lp" && argc == 5) {
    int rows = std::atoi(argv[2]);
    if (rows < 2) return Usage();
    return WriteModel(LpFamily(rows, std::strtoull(argv[3], nullptr, 10)), argv[4]);
  }
  if (cmd == "mip" && argc == 6) {
    int vars = std::atoi(argv[2]), rows = std::atoi(argv[3]);
    if (vars < 2 || rows < 1) return Usage();
    return WriteModel(MipFamily(vars, rows, std::strtoull(argv[4], nullptr, 10)), argv[5]);
  }
  if (cmd == "mps" && argc == 4) {
    MpsProblem p;
    std::string error;
    if (!ReadMpsFile(argv[2], p, error)) {
      std::fprintf(stderr, "solve_gen: %s: %s\n", argv[2], error.c_str());
      return 66;
    }
    return WriteModel(p.model, argv[3]);
  }
  if (cmd == "run" && argc >= 5 && std::strcmp(argv[3], "--") == 0) return Run(argv[2], argv + 4);
  return Usage();
}
