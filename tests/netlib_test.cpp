// The netlib LP test set (optional: skipped when the data folder is absent).
//
// NetlibConversion: every problem read from MPS and written as an LP file
// reaches the verified optimum with glpsol, which checks the MPS reader and
// the writers on real data. NetlibSolve: TAVO solves the model text written
// from each problem; its first goal value must match the verified optimum to
// a relative 1e-6, its activities must satisfy the rows and bounds, and it
// must take the number of iterations recorded beside the optimum.
//
// The conversion check runs on every problem (a few seconds in all). For
// the TAVO solves, by default only problems up to 300 rows run, each with a time budget
// (TAVO_NETLIB_SECONDS, default 60) after which the run is forcibly stopped.
// TAVO_NETLIB_ALL=1 runs every problem; TAVO_NETLIB_SET="ZTOL=1e-9 ..."
// changes settings for the solves (the recorded iteration counts are then
// not checked). TAVO_DATA_DIR overrides the data
// folder. The suite names start with "Netlib" so that sanitizer runs can
// leave them out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "solver/workspace.h"
#include "tests/support/suite_env.h"

namespace tavo::testsupport {
namespace {

struct NetlibCase {
  const char* name;
  int rows;  // constraint rows (objective not counted)
  int cols;
  double optimum;  // verified optimum (data/README.md), objective constant left out
  int iterations;  // as the log shows them; -1: the run ends at the time budget
};

// The verified optima: glpsol and cbc agree on them and on a round trip
// through the model text. Beside each, the iterations TAVO takes: every
// choice of the simplex follows fixed rules, so a change that alters its
// path fails here even when the optimum stays the same. A change meant to
// alter the path updates these counts (run with TAVO_NETLIB_ALL=1 and take
// the figures the test prints).
const NetlibCase kNetlib[] = {
    {"25fv47", 821, 1571, 5501.8458883, 39797}, {"adlittle", 56, 97, 225494.96316, 136},
    {"afiro", 27, 32, -464.75314286, 15},       {"agg", 488, 163, -35991767.287, 126},
    {"agg2", 516, 302, -20239252.356, 154},     {"agg3", 516, 302, 10312115.935, 158},
    {"bandm", 305, 472, -158.62801845, 1022},   {"beaconfd", 173, 262, 33592.485807, 110},
    {"blend", 74, 83, -30.812149846, 223},      {"bnl1", 643, 1175, 1977.6295615, 49403},
    {"boeing1", 351, 384, -335.21356751, 2805}, {"boeing2", 166, 143, -315.01872802, 335},
    {"bore3d", 233, 315, 1373.0803942, 3291},   {"brandy", 220, 249, 1518.5098965, 818},
    {"capri", 271, 353, 2690.0129138, 822},     {"degen2", 444, 534, -1435.178, 3141},
    {"e226", 223, 282, -18.751929066, 759},     {"etamacro", 400, 688, -755.71523325, 882},
    {"fffff800", 524, 854, 555679.56482, 3894}, {"finnis", 497, 614, 172791.0656, 926},
    {"fit1d", 24, 1026, -9146.3780924, 1220},   {"fit1p", 627, 1677, 9146.3780924, 2617},
    {"forplan", 161, 421, -664.21896127, 382},  {"gfrd-pnc", 616, 1092, 6902235.9995, 1045},
    {"grow15", 300, 645, -106870941.29, 799},   {"grow22", 440, 946, -160834336.48, 4874},
    {"grow7", 140, 301, -47787811.815, 395},    {"israel", 174, 142, -896644.82186, 331},
    {"kb2", 43, 41, -1749.9001299, 73},         {"lotfi", 153, 308, -25.264706062, 360},
    {"maros", 846, 1443, -58063.743701, -1},    {"modszk1", 687, 1620, 320.61972906, 22829},
    {"perold", 625, 1376, -9380.7552782, -1},   {"pilot4", 410, 1000, -2581.1392589, 89999},
    {"pilotnov", 975, 2172, -4497.2761882, -1}, {"recipe", 91, 180, -266.616, 58},
    {"sc105", 105, 103, -52.202061212, 109},    {"sc205", 205, 203, -52.202061212, 257},
    {"sc50a", 50, 48, -64.575077059, 46},       {"sc50b", 50, 48, -70, 47},
    {"scagr25", 471, 500, -14753433.061, 916},  {"scagr7", 129, 140, -2331389.8243, 188},
    {"scfxm1", 330, 457, 18416.759028, 725},    {"scfxm2", 660, 914, 36660.261565, 1484},
    {"scfxm3", 990, 1371, 54901.25455, 2066},   {"scorpion", 388, 358, 1878.1248227, 389},
    {"scrs8", 490, 1169, 904.2969538, 2106},    {"scsd1", 77, 760, 8.6666666743, 4961},
    {"scsd6", 147, 1350, 50.500000078, 467},    {"scsd8", 397, 2750, 904.99999993, 1370},
    {"sctap1", 300, 480, 1412.25, 334},         {"sctap2", 1090, 1880, 1724.8071429, 586},
    {"seba", 515, 1028, 15711.6, 194},          {"share1b", 117, 225, -76589.318579, 385},
    {"share2b", 96, 79, -415.73224074, 102},    {"shell", 536, 1775, 1208825346, 755},
    {"ship04l", 402, 2118, 1793324.538, 483},   {"ship04s", 402, 1458, 1798714.7004, 419},
    {"ship08s", 778, 2387, 1920098.2105, 662},  {"ship12s", 1151, 2763, 1489236.1344, 1170},
    {"stair", 356, 467, -251.26695119, 652},    {"standata", 359, 1075, 1257.6995, 61},
    {"standgub", 361, 1184, 1257.6995, 61},     {"standmps", 467, 1075, 1406.0175, 320},
    {"stocfor1", 117, 111, -41131.976219, 79},  {"tuff", 333, 587, 0.29214776509, 9226},
    {"vtpbase", 198, 203, 129831.46246, 387},   {"wood1p", 244, 2594, 1.4429024116, 28710},
};

constexpr int kDefaultMaxRows = 300;

void PrintTo(const NetlibCase& c, std::ostream* os) { *os << c.name; }

// Reads the problem before each test; a problem missing from the data
// folder is skipped.
class NetlibTest : public testing::TestWithParam<NetlibCase> {
 protected:
  void SetUp() override { ReadInstance(DataDir() + "/netlib/" + GetParam().name + ".mps.gz", p); }
  MpsProblem p;
};

class NetlibConversion : public NetlibTest {};

TEST_P(NetlibConversion, ModelTextReadsBackAndGlpsolReachesTheVerifiedOptimum) {
  const NetlibCase& c = GetParam();
  EXPECT_EQ(static_cast<int>(p.model.rows.size()), c.rows);
  EXPECT_EQ(static_cast<int>(p.model.vars.size()), c.cols);
  EXPECT_EQ(CheckModelTextReadsBack(p.model, WriteTavoModel(p.model)), "");
  ExpectReferenceReaches(p.model, RefSolver::kGlpsol, false, 0, c.optimum, 1e-8);
}

INSTANTIATE_TEST_SUITE_P(All, NetlibConversion, testing::ValuesIn(kNetlib), InstanceName<NetlibCase>);

// Problems on which the simplex with its absolute tolerances (ZTOL 5e-12 on
// unscaled data, an explicit inverse updated in place) does not yet reach the
// verified optimum with activities that satisfy every row within 1e-6:
// wood1p, shell and bnl1 end "no feasible solution" when a residue just above
// ZTOL survives a reinversion (on bnl1 the inverse has drifted so far that
// even the last feasible basis, rebuilt, misses its rows by 3e4); pilot4,
// maros, perold and pilotnov stop at the iteration limit or the time budget
// after tiny pivots degrade the inverse. They are shown as skipped with their
// figures, so an improvement turns them into passes and any other problem
// that regresses still fails.
const std::set<std::string> kKnownShortfalls = {"wood1p", "shell", "bnl1", "pilot4", "maros", "perold", "pilotnov"};

class NetlibSolve : public NetlibTest {
 protected:
  void SetUp() override {
    if (GetParam().rows > kDefaultMaxRows && !EnvFlag("TAVO_NETLIB_ALL"))
      GTEST_SKIP() << "larger than the default run (TAVO_NETLIB_ALL=1)";
    NetlibTest::SetUp();
  }
};

TEST_P(NetlibSolve, TavoReachesTheVerifiedOptimum) {
  const NetlibCase& c = GetParam();
  const double budget = EnvSeconds("TAVO_NETLIB_SECONDS", 60);
  bool stopped = false;
  TavoOutcome out = SolveWithinBudget(WriteTavoModel(p.model), SettingsFromEnv("TAVO_NETLIB_SET"), budget, stopped);
  ASSERT_TRUE(out.parsed) << out.log.substr(0, 4000);

  const bool optimal = out.resultCode == kResultOptimal;
  const double value = optimal ? TavoGoalValue(out, 0, false) : 0;
  const double rel = std::fabs(value - c.optimum) / std::max(1.0, std::fabs(c.optimum));
  std::printf("netlib %-9s %5d rows %5d cols  code %d  %6d iterations  %8.2f s  %.10g  (rel. diff %.1e)%s\n", c.name,
              c.rows, c.cols, out.resultCode, out.iterations, out.seconds, value, rel,
              stopped ? "  [time budget exhausted]" : "");
  // The recorded counts are those of the default settings.
  if (!stopped && c.iterations >= 0 && !std::getenv("TAVO_NETLIB_SET")) {
    EXPECT_EQ(out.iterations, c.iterations) << "the simplex took another path; if that is meant, update the table";
  }
  const std::string violation = optimal ? PointViolation(out, p.model, false) : "";
  const bool reached = !stopped && optimal && rel <= 1e-6 && violation.empty();
  if (!reached && kKnownShortfalls.count(c.name)) {
    // Recorded so the run still shows the figure; see kKnownShortfalls.
    GTEST_SKIP() << "known shortfall of the dense method on " << c.name << ": code " << out.resultCode << ", value "
                 << value << ", rel. diff " << rel << (violation.empty() ? "" : ", ") << violation;
  }
  ASSERT_FALSE(stopped) << "no answer within " << budget << " s";
  ASSERT_EQ(out.resultCode, kResultOptimal) << LogTail(out.log);
  EXPECT_LE(rel, 1e-6) << "TAVO " << value << ", verified optimum " << c.optimum;
  EXPECT_EQ(violation, "");
}

INSTANTIATE_TEST_SUITE_P(All, NetlibSolve, testing::ValuesIn(kNetlib), InstanceName<NetlibCase>);

}  // namespace
}  // namespace tavo::testsupport
