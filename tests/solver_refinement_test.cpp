// The basic values after a rebuild of the inverse must satisfy the rows they
// stand for. The rebuild eliminates the basic columns in column order, which
// can absorb an ordinary right-hand side into a huge one ("X <= @" beside
// "X <= 5"); the values are then refined against the rows.
#include <gtest/gtest.h>

#include <cmath>

#include "report_support.h"
#include "shell/settings.h"
#include "solver/solver_detail.h"

namespace tavo {
namespace {

using reporttest::KeptRun;
using reporttest::Model;

TEST(SolverRefinement, HugeRightHandSideDoesNotSwallowAnOrdinaryOne) {
  // With ICODE the optimum is confirmed by a rebuild that places X in the
  // row of "X <= @" first; without refinement X came out as 0.
  for (int icode : {1, 0}) {
    SolverSettings s = DefaultSettings();
    s.ICODE = icode;
    for (const char* huge : {"@", "100000000000000000000"}) {
      KeptRun r(Model({"MAX X", "ST", (std::string("X <= ") + huge).c_str(), "X <= 5"}), s);
      ASSERT_EQ(r.Solve(), kResultOptimal) << huge << " ICODE " << icode;
      EXPECT_EQ(r.X("X"), 5) << huge << " ICODE " << icode;
      EXPECT_EQ(r.Goal(0), 5) << huge << " ICODE " << icode;
    }
  }
  // The same with the rows the other way round and a second variable.
  KeptRun r(Model({"MIN X + 2Y", "ST", "X + Y >= 3", "X - Y <= @", "X <= 2"}));
  ASSERT_EQ(r.Solve(), kResultOptimal);
  EXPECT_NEAR(r.X("X"), 2, 1e-12);
  EXPECT_NEAR(r.X("Y"), 1, 1e-12);
  EXPECT_NEAR(r.Goal(0), -4, 1e-12);
}

TEST(SolverRefinement, CorrectsOnlyValuesThatMissTheirRows) {
  SolverSettings s = DefaultSettings();
  s.ICODE = 0;
  KeptRun r(Model({"MAX X + Y", "ST", "X + 2Y <= 10", "3X + Y <= 15"}), s);
  ASSERT_EQ(r.Solve(), kResultOptimal);  // X = 4, Y = 3
  Workspace& W = r.W;
  const int rowX = W.KINBAS[r.Col("X")] - 1;
  ASSERT_GE(rowX, 0);
  const double exact = W.XB[rowX];

  // A miss of a few units in the last place is rounding: left as it is.
  W.XB[rowX] = std::nextafter(std::nextafter(exact, 10.0), 10.0);
  const double nudged = W.XB[rowX];
  solver_detail::RefineBasicValues(W);
  EXPECT_EQ(W.XB[rowX], nudged);

  // A miss of a whole unit is corrected, and the other basic values with it.
  W.XB[rowX] = exact + 1;
  solver_detail::RefineBasicValues(W);
  EXPECT_NEAR(W.XB[rowX], exact, 1e-12);
  EXPECT_NEAR(r.X("X"), 4, 1e-12);
  EXPECT_NEAR(r.X("Y"), 3, 1e-12);
  EXPECT_NEAR(r.Goal(0), 7, 1e-12);
}

}  // namespace
}  // namespace tavo
