#include "tests/support/suite_env.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "shell/port.h"
#include "tests/support/diff_harness.h"

namespace tavo::testsupport {

SolverSettings SettingsFromEnv(const char* var) {
  SolverSettings s = DefaultSettings();
  const char* env = std::getenv(var);
  if (!env) return s;
  std::string all = env;
  for (char& ch : all)
    if (ch == ',') ch = ' ';
  std::istringstream in(all);
  std::string item;
  while (in >> item) {
    std::size_t eq = item.find('=');
    if (eq == std::string::npos || !SetSettingByName(s, item.substr(0, eq), item.substr(eq + 1)))
      ADD_FAILURE() << var << ": cannot apply " << item;
  }
  return s;
}

std::string DataDir() {
  const char* env = std::getenv("TAVO_DATA_DIR");
  return env && *env ? env : TAVO_DATA_DIR;
}

bool EnvFlag(const char* var) {
  const char* env = std::getenv(var);
  return env && std::string(env) == "1";
}

double EnvSeconds(const char* var, double fallback) {
  const char* env = std::getenv(var);
  double v = env ? std::atof(env) : 0;
  return v > 0 ? v : fallback;
}

void ReadInstance(const std::string& path, MpsProblem& p) {
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no data: " << path;
  std::string error;
  ASSERT_TRUE(ReadMpsFile(path, p, error)) << error;
}

TavoOutcome SolveWithinBudget(const std::string& text, const SolverSettings& settings, double seconds, bool& stopped) {
  const auto start = std::chrono::steady_clock::now();
  stopped = false;
  auto onPump = [&](long long pumps) {
    if ((pumps & 63) != 0 || stopped) return;
    if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > seconds) {
      stopped = true;
      g_forceStop = 1;
    }
  };
  return SolveWithTavo(text, settings, onPump);
}

std::string LogTail(const std::string& log) { return log.substr(log.size() > 3000 ? log.size() - 3000 : 0); }

void ExpectReferenceReaches(const Model& model, RefSolver solver, bool mip, double seconds, double optimum,
                            double tol) {
  if (!(solver == RefSolver::kCbc ? HaveCbc() : HaveGlpsol())) GTEST_SKIP() << "the reference is not installed";
  ScratchDir dir;
  RefOutcome r = RunReference(solver, WriteLpFormat(model, 0, {}), dir.path(), mip, seconds);
  if (seconds > 0 && r.status == RefStatus::kFailed) GTEST_SKIP() << "no reference answer within " << seconds << " s";
  ASSERT_EQ(r.status, RefStatus::kOptimal) << r.output;
  EXPECT_TRUE(Agree(r.objective, optimum, tol)) << r.objective << " vs " << optimum;
}

}  // namespace tavo::testsupport
