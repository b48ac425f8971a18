// `tavo import` and `tavo export` as scripts see them: exit statuses, the
// notes and reasons on standard error, and the files written.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/reference_solver.h"
#include "tests/support/test_files.h"

namespace tavo {
namespace {

using testsupport::Quote;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace fs = std::filesystem;
using testsupport::RefSolver;

struct Ran {
  int status = -1;
  std::string out, err;
};

class CliImportExport : public testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tavo_cli_ie_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  Ran Tavo(const std::string& args) {
    const std::string outFile = (dir / "stdout").string(), errFile = (dir / "stderr").string();
    const std::string cmd = "cd " + Quote(dir.string()) + " && " + Quote(TAVO_BINARY) + " " + args + " >" +
                            Quote(outFile) + " 2>" + Quote(errFile);
    const int raw = std::system(cmd.c_str());
    Ran r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadBytes(outFile);
    r.err = ReadBytes(errFile);
    return r;
  }

  fs::path dir;
};

// The objective value of a glpsol solution report ("Objective:  obj = 110 (MAXimum)").
double Objective(const std::string& report) {
  const std::size_t at = report.find("Objective:");
  if (at == std::string::npos) return -1e300;
  const std::size_t eq = report.find("= ", at);
  return eq == std::string::npos ? -1e300 : std::strtod(report.c_str() + eq + 2, nullptr);
}

const char* kLp =
    "Maximize multi-objectives\n"
    " profit: Priority=2 Weight=1\n  3 x + 2 y\n"
    " overtime: Priority=1 Weight=-1\n  ot\n"
    "Subject To\n c1: x + y <= 40\n c2: 2 x + y - ot <= 60\n c3: ot <= 15\n"
    "Bounds\n y <= 25\nGeneral\n x\nEnd\n";

TEST_F(CliImportExport, ImportWritesModelAndNameMapAndTheModelSolves) {
  WriteBytes(dir / "plan.lp", kLp);
  Ran r = Tavo("import plan.lp -o plan.tvd");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("2 prioritised objectives become goal rows"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(dir / "plan.names.json"));
  EXPECT_NE(ReadBytes(dir / "plan.names.json").find("\"X\": \"x\""), std::string::npos);
  Ran solved = Tavo("solve plan.tvd --report none");
  EXPECT_EQ(solved.status, 0) << solved.err;
}

TEST_F(CliImportExport, ImportRefusalsAndFailuresHaveTheirStatuses) {
  struct Case {
    const char* what;
    const char* file;  // written to in.lp / in.mps when not empty
    const char* args;
    int status;
    const char* message;  // part of standard error
  };
  const Case cases[] = {
      {"missing file", nullptr, "import nothere.mps -o m.tvd", 66, "cannot read nothere.mps"},
      {"no -o", nullptr, "import x.mps", 64, "missing -o MODEL"},
      {"unknown option", nullptr, "import x.mps -o m.tvd --level 2", 64, "unknown option '--level'"},
      {"bad format name", nullptr, "import x.mps -o m.tvd --from xls", 64, "--from: unknown format"},
      {"malformed MPS", "NAME X\nROWS\n N obj\nCOLUMNS\n x nope 1\nENDATA\n", "import in.mps -o m.tvd", 1, "line 5"},
      {"negative integer", "min\n x\nst\n c: x >= -3\nbounds\n x >= -4\ngeneral\n x\nend\n", "import in.lp -o m.tvd", 1,
       "cannot branch on it"},
      {"unwritable output", "min\n x\nst\n c: x >= 1\nend\n", "import in.lp -o nodir/m.tvd", 73, "cannot write"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.file) WriteBytes(dir / (std::string(c.file).rfind("NAME", 0) == 0 ? "in.mps" : "in.lp"), c.file);
    Ran r = Tavo(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir / "m.tvd"));
}

TEST_F(CliImportExport, ExportStatusesAndMessages) {
  WriteBytes(dir / "plan.tvd", "MAX 3X + 2Y\r\nMIN OT\r\nST\r\nX + Y <= 40\r\n2X + Y - OT <= 60\r\nEND\r\nGIN X\r\n");
  WriteBytes(dir / "bad.tvd", "MAX 3X 2Y\r\nST\r\nX + Y <= 40\r\nEND\r\n");
  struct Case {
    const char* args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"export plan.tvd -o out.lp", 0, ""},
      {"export plan.tvd -o out.mps", 0, ""},
      {"export plan.tvd -o out.lp --level 2 --hold 100", 0, ""},
      {"export plan.tvd -o out.txt", 64, "must end in .lp"},
      {"export plan.tvd -o out.lp --level 3 --hold 1,2", 64, "the model has 2 goal rows"},
      {"export plan.tvd -o out.lp --level 2", 64, "needs 1 values"},
      {"export plan.tvd -o out.lp --hold 5", 64, "--hold needs --level"},
      {"export plan.tvd -o out.lp --level 2 --hold x", 64, "--hold: expected numbers"},
      {"export missing.tvd -o out.lp", 66, "missing.tvd"},
      {"export bad.tvd -o out.lp", 1, "data errors"},
      {"export plan.tvd -o nodir/out.lp", 73, "cannot write"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Ran r = Tavo(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  const std::string lp = ReadBytes(dir / "out.lp");
  EXPECT_NE(lp.find("3 X + 2 Y >= 99.9999"), std::string::npos) << lp;  // goal 1 held (within 1e-9)
}

TEST_F(CliImportExport, ExportedLevelsSolveWithGlpsolToTavosGoalValues) {
  if (!testsupport::HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  WriteBytes(dir / "plan.tvd",
             "MAX 3X + 2Y\r\nMIN OT\r\nST\r\nX + Y <= 40\r\n2X + Y - OT <= 60\r\nX <= 30\r\nEND\r\nSUB Y 25\r\n");
  // TAVO: goal 1 = 3*30 + 2*10 = 110 with OT = 10 at the least.
  ASSERT_EQ(Tavo("export plan.tvd -o one.lp --level 1").status, 0);
  ASSERT_EQ(Tavo("export plan.tvd -o two.mps --level 2 --hold 110").status, 0);
  std::string output;
  testsupport::RunCommand("cd " + Quote(dir.string()) + " && glpsol --lp one.lp -o one.txt", output);
  EXPECT_NEAR(Objective(ReadBytes(dir / "one.txt")), 110, 1e-9);
  // Goal 1 held at 110 within 1e-9 relative: goal 2 (overtime) is 10 within that.
  testsupport::RunCommand("cd " + Quote(dir.string()) + " && glpsol --freemps two.mps -o two.txt", output);
  EXPECT_NEAR(Objective(ReadBytes(dir / "two.txt")), 10, 1e-6);
}

// An integer goal program exported level by level: glpsol and cbc reach the
// values TAVO's optimum has (goal 1 = 3*7 + 2*6 = 33 at x = 7, y = 6; then the
// least overtime with goal 1 held is 20).
TEST_F(CliImportExport, ExportedIntegerLevelsSolveWithBothReferenceSolvers) {
  WriteBytes(dir / "int.tvd",
             "MAX 3X + 2Y\r\nMIN OT\r\nST\r\n2X + 2Y <= 27\r\n4X + Y - OT <= 14\r\nEND\r\nGIN X Y\r\nSUB X 7\r\n");
  ASSERT_EQ(Tavo("export int.tvd -o one.lp --level 1").status, 0);
  ASSERT_EQ(Tavo("export int.tvd -o two.lp --level 2 --hold 33").status, 0);
  for (RefSolver solver : {RefSolver::kGlpsol, RefSolver::kCbc}) {
    if (solver == RefSolver::kGlpsol ? !testsupport::HaveGlpsol() : !testsupport::HaveCbc()) continue;
    testsupport::ScratchDir scratch;
    const testsupport::RefOutcome one =
        testsupport::RunReference(solver, ReadBytes(dir / "one.lp"), scratch.path(), true);
    ASSERT_EQ(one.status, testsupport::RefStatus::kOptimal) << one.output;
    EXPECT_NEAR(one.objective, 33, 1e-6);
    const testsupport::RefOutcome two =
        testsupport::RunReference(solver, ReadBytes(dir / "two.lp"), scratch.path(), true);
    ASSERT_EQ(two.status, testsupport::RefStatus::kOptimal) << two.output;
    EXPECT_NEAR(two.objective, 20, 1e-6);
  }
  Ran tavo = Tavo("solve int.tvd --report rows");
  EXPECT_EQ(tavo.status, 0) << tavo.err;
}

}  // namespace
}  // namespace tavo
