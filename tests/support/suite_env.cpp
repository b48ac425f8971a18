#include "tests/support/suite_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

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

}  // namespace tavo::testsupport
