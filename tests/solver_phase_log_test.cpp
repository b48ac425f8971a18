// The change to phase 2 appears once in the calculation log of a solve, also
// when feasibility lost in phase 2 is repaired by phase 1 pricing whose
// reinversions forget that phase 2 had been reached.
#include <gtest/gtest.h>

#include <string>

#include "report_support.h"
#include "shell/settings.h"
#include "shell/texts.h"

namespace tavo {
namespace {

using reporttest::KeptRun;
using reporttest::Model;

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SolverPhaseLog, PhaseTwoIsLoggedOnceAfterARepairedLossOfFeasibility) {
  SolverSettings s = DefaultSettings();
  s.NOINVERT = 3;  // a reinversion every third pass, so one falls inside the repair
  KeptRun r(Model({"MAX 3A + 2B + 4C + D", "ST", "A + B + C + D <= 10", "2A + C <= 8", "B + 3C <= 9", "A + D <= 6",
                   "C + D <= 5"}),
            s);
  // Once in phase 2, knock a basic value far below zero, as lost feasibility
  // looks to the next feasibility test (the reinversion after it restores the
  // true values).
  bool knocked = false;
  r.port.onPump = [&](long long) {
    if (knocked || r.W.PHASE != 2 || r.W.ITSINV != 1) return;
    for (int i = r.W.NGOALS; i < r.W.MROWS; ++i) {
      if (r.W.JHEAD[i] > 0 && r.W.XB[i] > 0) {
        r.W.XB[i] = -1000;
        knocked = true;
        return;
      }
    }
  };
  ASSERT_EQ(r.Solve(), kResultOptimal);
  ASSERT_TRUE(knocked);
  EXPECT_EQ(Count(r.Log(), T().g_msgPhase2Begin), 1) << r.Log();
  EXPECT_EQ(Count(r.Log(), T().g_msgPhase1End), 1);
}

}  // namespace
}  // namespace tavo
