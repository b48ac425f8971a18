// What the optional suites on public instances (netlib, MIPLIB) share: their
// environment controls, the reading of an instance, a solve with a time
// budget, and the check of a converted instance with a reference solver.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "shell/settings.h"
#include "tests/support/mps_reader.h"
#include "tests/support/reference_solver.h"
#include "tests/support/tavo_runner.h"

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

// The instance's name as a test name ("gfrd-pnc" becomes "gfrd_pnc").
template <typename Case>
std::string InstanceName(const testing::TestParamInfo<Case>& info) {
  std::string s = info.param.name;
  for (char& ch : s)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return s;
}

// Reads the instance at `path`: skips the test when the file is absent and
// fails it when the file cannot be read. The caller returns when
// IsSkipped() or HasFatalFailure() says so.
void ReadInstance(const std::string& path, MpsProblem& p);

// Solves the model text, forcibly stopping the run once `seconds` have
// passed; `stopped` tells whether that happened.
TavoOutcome SolveWithinBudget(const std::string& text, const SolverSettings& settings, double seconds, bool& stopped);

// The end of a log, for failure messages.
std::string LogTail(const std::string& log);

// The model written as an LP file reaches `optimum` (relative `tol`) with
// the reference solver. Skipped when the solver is not installed, or when it
// gives no answer within `seconds` (0: no limit, and no answer fails).
void ExpectReferenceReaches(const Model& model, RefSolver solver, bool mip, double seconds, double optimum, double tol);

}  // namespace tavo::testsupport
