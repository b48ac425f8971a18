// Environment controls shared by the optional suites on public instances.
#pragma once

#include <string>

#include "shell/settings.h"

namespace tavo::testsupport {

// The default settings with KEY=VALUE overrides from the variable `var`
// (blank or comma separated); an override that cannot be applied fails the test.
SolverSettings SettingsFromEnv(const char* var);
// The folder of the public instances: TAVO_DATA_DIR from the environment, else
// the data folder beside the checkout.
std::string DataDir();
// True when the variable is set to "1".
bool EnvFlag(const char* var);
// A positive number of seconds from the variable, else `fallback`.
double EnvSeconds(const char* var, double fallback);

}  // namespace tavo::testsupport
