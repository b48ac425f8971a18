// The differential suites' comparison: models solved by TAVO and by a
// reference solver level by level, compared on status, every goal's value
// and the feasibility of TAVO's reported activities, for families of
// seeded random models.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "shell/settings.h"
#include "tests/support/model_writer.h"
#include "tests/support/reference_solver.h"
#include "tests/support/tavo_runner.h"

namespace tavo::testsupport {

// One seeded family of a differential suite: `count` models drawn with
// `options` from the seeds seedBase, seedBase+1, ...
struct FamilyCase {
  const char* name;
  std::uint64_t seedBase;
  int count;
  GenOptions options;
  RefSolver solver = RefSolver::kGlpsol;
  int noInvert = 0;  // the reinversion interval when not 0, else the default
};

void PrintTo(const FamilyCase& family, std::ostream* os);
std::string FamilyName(const testing::TestParamInfo<FamilyCase>& info);

// Runs the family: no model may show a mismatch, the reference must answer
// every model, and over a quarter of them must be optimal (the family
// exercises the solver, not only the parser). Skipped without the reference.
void ExpectFamilyAgrees(const FamilyCase& family);

}  // namespace tavo::testsupport
