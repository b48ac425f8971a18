// The command line as scripts see it: the built `tavo` run on small models
// in a temporary folder, checking exit statuses, the texts on standard output
// and error, the files of --out-dir and the settings it reads.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "shell/codec.h"
#include "shell/texts.h"
#include "tests/support/test_files.h"

namespace tavo {
namespace {

using testsupport::Crlf;
using testsupport::Quote;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace fs = std::filesystem;

std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// The part of standard output that one text contributes.
std::string Part(const std::string& text, const char* lineEnd = "\r\n") {
  if (text.empty()) return {};
  return text.back() == '\n' ? text : text + lineEnd;
}

int CountLines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// The fields of the columns-report line of a variable ("" when missing):
// number, name, status, activity, reduced cost.
std::vector<std::string> ColumnLine(const std::string& columnsText, const std::string& name) {
  const std::size_t at = columnsText.find("\t" + name + std::string(8 - name.size(), ' ') + "\t");
  if (at == std::string::npos) return {};
  const std::size_t start = columnsText.rfind('\n', at) + 1;
  std::vector<std::string> fields;
  std::istringstream line(columnsText.substr(start, columnsText.find('\r', at) - start));
  for (std::string f; std::getline(line, f, '\t');) fields.push_back(f);
  return fields;
}

const char* kPlan =
    "TITLE PLAN\n"
    "MAX 3X + 2Y\n"
    "MIN OT\n"
    "ST\n"
    "C1) X + Y <= 40\n"
    "C2) 2X + Y - OT <= 60\n"
    "10 <= X <= 30\n"
    "END\n"
    "SUB Y 25\n";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testsupport::MakeTestFolder("tavo_cli_"); }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes a model file (bytes as given) and returns its path.
  std::string Model(const std::string& name, const std::string& bytes) {
    WriteBytes(dir_ / name, bytes);
    return (dir_ / name).string();
  }

  // Runs tavo in the test folder with `args` (already quoted where needed);
  // a run that hangs is ended after five minutes (status 124).
  // The user's profile is an empty folder of the test, so nothing outside
  // the test can change the settings.
  Outcome Tavo(const std::string& args, const std::string* stdinBytes = nullptr) {
    std::string input = "/dev/null";
    if (stdinBytes) {
      WriteBytes(dir_ / "stdin.bin", *stdinBytes);
      input = (dir_ / "stdin.bin").string();
    }
    std::string command = "cd " + Quote(dir_.string()) + " && XDG_CONFIG_HOME=" + Quote((dir_ / "xdg").string()) +
                          " timeout 300 " + Quote(TAVO_BINARY) + " " + args + " <" + Quote(input) + " >" +
                          Quote((dir_ / "stdout.bin").string()) + " 2>" + Quote((dir_ / "stderr.bin").string());
    int raw = std::system(command.c_str());
    Outcome o;
    if (raw != -1 && WIFEXITED(raw)) o.status = WEXITSTATUS(raw);
    o.out = ReadBytes(dir_ / "stdout.bin");
    o.err = ReadBytes(dir_ / "stderr.bin");
    return o;
  }

  fs::path dir_;
};

// ---- Usage ----

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
  Outcome help = Tavo("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.err.empty());
  for (const char* word : {"tavo solve MODEL", "tavo check MODEL", "--out-dir", "--report", "--set", "--profile",
                           "--input-encoding", "--output-encoding", "64", "66", "73"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;

  Outcome version = Tavo("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tavo ", 0), 0u);
  EXPECT_EQ(CountLines(version.out), 1);
}

TEST_F(CliTest, UsageErrorsExit64WithOneLineReason) {
  std::string model = Quote(Model("m.tvd", Crlf(kPlan)));
  const std::vector<std::string> cases = {
      "",
      "optimise " + model,
      "solve",
      "solve " + model + " " + model,
      "solve " + model + " --frobnicate",
      "solve " + model + " -x",
      "solve " + model + " --out-dir",
      "solve " + model + " --report",
      "solve " + model + " --report log,cols",
      "solve " + model + " --report log,,rows",
      "solve " + model + " --report none,log",
      "solve " + model + " --set MAXITERATE",
      "solve " + model + " --set FOO=1",
      "solve " + model + " --set MAXITERATE=12x",
      "solve " + model + " --set MAXITERATE=1.5",
      "solve " + model + " --set ETOL=",
      "solve " + model + " --set ETOL=1e-9junk",
      "check " + model + " --input-encoding latin1",
      "check " + model + " --output-encoding=ucs2",
  };
  for (const std::string& args : cases) {
    Outcome o = Tavo(args);
    EXPECT_EQ(o.status, 64) << args;
    EXPECT_TRUE(o.out.empty()) << args;
    EXPECT_EQ(o.err.rfind("tavo: ", 0), 0u) << args << ": " << o.err;
    EXPECT_EQ(CountLines(o.err), 1) << args << ": " << o.err;
  }
  // A usage error is found before the model is read.
  EXPECT_EQ(Tavo("solve missing.tvd --set FOO=1").status, 64);
}

TEST_F(CliTest, OptionsMayBeWrittenWithEqualsAndAfterDoubleDash) {
  std::string model = Quote(Model("m.tvd", Crlf(kPlan)));
  // The log carries time stamps; the other texts are the same from run to run.
  Outcome a = Tavo("solve --report=rows,columns --output-encoding=cp932 " + model);
  Outcome b = Tavo("solve --report rows,columns --output-encoding cp932 -- " + model);
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(b.status, 0);
  EXPECT_FALSE(a.out.empty());
  EXPECT_EQ(a.out, b.out);
}

// ---- Reading the model ----

TEST_F(CliTest, UnreadableModelExits66NamingTheFile) {
  Outcome missing = Tavo("solve no-such-model.tvd");
  EXPECT_EQ(missing.status, 66);
  EXPECT_NE(missing.err.find("no-such-model.tvd"), std::string::npos) << missing.err;
  EXPECT_EQ(CountLines(missing.err), 1);
  EXPECT_TRUE(missing.out.empty());

  fs::create_directories(dir_ / "folder.tvd");
  Outcome folder = Tavo("check folder.tvd");
  EXPECT_EQ(folder.status, 66);
  EXPECT_NE(folder.err.find("folder.tvd"), std::string::npos) << folder.err;
}

TEST_F(CliTest, ModelNotValidInItsEncodingExits66WithLineAndByte) {
  struct Case {
    const char* why;
    std::string bytes;
    const char* args;  // "-": the bytes come on standard input
    const char* where;
  };
  const Case cases[] = {
      {"a lead byte followed by a blank is no code page 932 character", Crlf("MAX X\nST\n  X + \x82 Y <= 4\n"), "",
       "line 3, byte 7"},
      {"a stray continuation byte is no UTF-8", "MAX X\nST\nX \x80 <= 4\n", " --input-encoding utf-8",
       "line 3, byte 3"},
      {"a truncated sequence at the very end", "MAX X\nST\nX <= 4 \xE3\x81", "-", "line 3, byte 8"},
      {"well-formed UTF-8 that code page 932 cannot hold (an emoji)", "MAX X\nST\nX <= 4 ! \xF0\x9F\x98\x80\n",
       " --input-encoding utf-8", "line 3, byte 10"},
  };
  for (const Case& c : cases) {
    const bool fromStdin = std::string(c.args) == "-";
    if (!fromStdin) Model("bad.tvd", c.bytes);
    Outcome o =
        fromStdin ? Tavo("check - --input-encoding utf-8", &c.bytes) : Tavo(std::string("check bad.tvd") + c.args);
    EXPECT_EQ(o.status, 66) << c.why;
    EXPECT_NE(o.err.find(fromStdin ? "standard input" : "bad.tvd"), std::string::npos) << c.why << ": " << o.err;
    EXPECT_NE(o.err.find(c.where), std::string::npos) << c.why << ": " << o.err;
    EXPECT_EQ(CountLines(o.err), 1) << c.why;
  }
  // The same bytes that are bad as UTF-8 may be fine as code page 932 and
  // the other way round: the encoding option decides.
  std::string sjis;
  ASSERT_TRUE(Utf8ToCp932("TITLE 計画\r\nMAX X\r\nST\r\nX <= 4\r\n", sjis).ok);
  Model("sjis.tvd", sjis);
  EXPECT_NE(Tavo("check sjis.tvd").status, 66);
  EXPECT_EQ(Tavo("check sjis.tvd --input-encoding utf-8").status, 66);
}

TEST_F(CliTest, Utf8ModelIsReadAsItsCodePage932Text) {
  const std::string utf8 = "TITLE 生産計画\r\n" + Crlf(std::string(kPlan).substr(11));
  std::string cp932;
  ASSERT_TRUE(Utf8ToCp932(utf8, cp932).ok);
  Model("utf8.tvd", utf8);
  Model("bom.tvd", "\xEF\xBB\xBF" + utf8);
  Model("sjis.tvd", cp932);
  // Read as code page 932 (the default) the same bytes give another title.
  Outcome fromUtf8 = Tavo("solve utf8.tvd --report columns,rows,error --output-encoding cp932");
  Outcome fromBom = Tavo("solve bom.tvd --input-encoding UTF-8 --report columns,rows,error --output-encoding cp932");
  Outcome fromSjis = Tavo("solve sjis.tvd --report columns,rows,error --output-encoding cp932");
  Outcome u = Tavo("solve utf8.tvd --input-encoding utf-8 --report columns,rows,error --output-encoding cp932");
  EXPECT_EQ(u.status, 0) << u.err;
  EXPECT_EQ(u.out, fromSjis.out);
  EXPECT_EQ(fromBom.out, fromSjis.out);
  std::string title;
  ASSERT_TRUE(Utf8ToCp932("生産計画", title).ok);
  EXPECT_NE(u.out.find(title), std::string::npos);
  EXPECT_EQ(fromUtf8.out.find(title), std::string::npos);
}

TEST_F(CliTest, DashReadsTheModelFromStandardInput) {
  std::string text = Crlf(kPlan);
  Model("plan.tvd", text);
  Outcome fromFile = Tavo("solve plan.tvd --report columns,rows");
  Outcome fromStdin = Tavo("solve - --report columns,rows", &text);
  EXPECT_EQ(fromStdin.status, fromFile.status);
  EXPECT_EQ(fromStdin.out, fromFile.out);
  EXPECT_EQ(fromStdin.err, fromFile.err);
}

// ---- Outputs ----

TEST_F(CliTest, OutDirHoldsTheFourTextsByteForByte) {
  Model("plan.tvd", Crlf(kPlan));
  // The folder and its parents are created.
  Outcome o = Tavo("solve plan.tvd --out-dir out/a/b --output-encoding cp932");
  ASSERT_EQ(o.status, 0) << o.err;
  const fs::path out = dir_ / "out" / "a" / "b";
  std::string log = ReadBytes(out / "log.txt");
  std::string columns = ReadBytes(out / "columns.txt");
  std::string rows = ReadBytes(out / "rows.txt");
  std::string error = ReadBytes(out / "error.txt");
  EXPECT_EQ(log.rfind(T().logHeader, 0), 0u);
  EXPECT_EQ(columns.rfind(T().columnsHeader, 0), 0u);
  EXPECT_EQ(rows.rfind(T().rowsHeader, 0), 0u);
  EXPECT_EQ(error.rfind(T().errorHeader, 0), 0u);
  for (const std::string* text : {&log, &columns, &rows, &error}) {
    for (std::size_t i = 0; i < text->size(); ++i) {
      if ((*text)[i] == '\n') {
        ASSERT_TRUE(i > 0 && (*text)[i - 1] == '\r') << "bare LF at " << i;
      }
    }
  }
  // The log ends with the elapsed time, without a line end; standard output
  // adds one, and nothing else differs.
  EXPECT_NE(log.back(), '\n');
  EXPECT_EQ(o.out, Part(log) + Part(columns) + Part(rows) + Part(error));

  // A second run into the same folder replaces the files.
  Model("empty.tvd", "");
  EXPECT_EQ(Tavo("solve empty.tvd --out-dir out/a/b --report none").status, 1);
  EXPECT_EQ(ReadBytes(out / "log.txt"), T().noInputData + "\r\n");
  EXPECT_EQ(ReadBytes(out / "columns.txt"), "");
  EXPECT_TRUE(fs::exists(out / "error.txt"));
}

TEST_F(CliTest, UnwritableOutDirExits73) {
  Model("plan.tvd", Crlf(kPlan));
  WriteBytes(dir_ / "afile", "x");
  Outcome underFile = Tavo("solve plan.tvd --out-dir afile/sub");
  EXPECT_EQ(underFile.status, 73);
  EXPECT_NE(underFile.err.find("afile/sub"), std::string::npos) << underFile.err;
  EXPECT_EQ(CountLines(underFile.err), 1) << underFile.err;
  EXPECT_TRUE(underFile.out.empty());

  // The folder exists but one of the files cannot be made.
  fs::create_directories(dir_ / "out" / "rows.txt");
  Outcome blocked = Tavo("solve plan.tvd --out-dir out --report none");
  EXPECT_EQ(blocked.status, 73);
  EXPECT_NE(blocked.err.find("rows.txt"), std::string::npos) << blocked.err;
}

TEST_F(CliTest, ReportChoosesTextsAlwaysInTheOrderLogColumnsRowsError) {
  Model("plan.tvd", Crlf(kPlan));
  ASSERT_EQ(Tavo("solve plan.tvd --out-dir out --report none").status, 0);
  std::string log = ReadBytes(dir_ / "out" / "log.txt");
  std::string columns = ReadBytes(dir_ / "out" / "columns.txt");
  std::string rows = ReadBytes(dir_ / "out" / "rows.txt");
  std::string error = ReadBytes(dir_ / "out" / "error.txt");
  ASSERT_FALSE(columns.empty());

  // Everything outside the log is the same from run to run; the log differs
  // only in its time stamps, so it is compared by its line count.
  EXPECT_EQ(Tavo("solve plan.tvd --report none").out, "");
  EXPECT_EQ(Tavo("solve plan.tvd --report rows,columns --output-encoding cp932").out, Part(columns) + Part(rows));
  EXPECT_EQ(Tavo("solve plan.tvd --report error,error --output-encoding cp932").out, Part(error));
  Outcome logAndRows = Tavo("solve plan.tvd --report rows,log --output-encoding cp932");
  ASSERT_GT(logAndRows.out.size(), rows.size());
  EXPECT_EQ(logAndRows.out.substr(logAndRows.out.size() - rows.size()), rows);
  EXPECT_EQ(logAndRows.out.rfind(T().logHeader, 0), 0u);
  EXPECT_EQ(CountLines(logAndRows.out), CountLines(Part(log)) + CountLines(rows));
}

TEST_F(CliTest, OutputEncodingUtf8ConvertsTextAndLineEnds) {
  Model("plan.tvd", Crlf(kPlan));
  Outcome cp = Tavo("solve plan.tvd --report columns,rows,error --output-encoding cp932");
  Outcome u = Tavo("solve plan.tvd --report columns,rows,error");
  ASSERT_EQ(u.status, 0);
  EXPECT_EQ(u.out, CrLfToLf(Utf8(cp.out)));
  EXPECT_EQ(u.out.find('\r'), std::string::npos);
  EXPECT_NE(u.out.find("モデル名"), std::string::npos);
  // Standard error carries the status message in the same encoding.
  EXPECT_EQ(u.err, Utf8(T().statusMessage[1]) + "\n");
  EXPECT_EQ(cp.err, T().statusMessage[1] + "\r\n");
}

// ---- Exit statuses ----

TEST_F(CliTest, ExitStatusFollowsTheResultCode) {
  Model("optimal.tvd", Crlf(kPlan));
  Model("infeasible.tvd", Crlf("MAX X\nST\nX + Y <= 4\nX >= 6\n"));
  Model("unbounded.tvd", Crlf("MAX X\nST\nX - Y <= 4\n"));
  // A search cut short by its node table ends as a stopped one does.
  Model("knapsack.tvd", Crlf("MAX 10A + 13B + 7C + 8D + 4E\nST\n4A + 6B + 3C + 4D + 2E <= 11\nEND\nINT A B C D E\n"));
  const std::pair<const char*, int> cases[] = {{"optimal.tvd --report none", 1},
                                               {"infeasible.tvd --report none", 2},
                                               {"unbounded.tvd --report none", 3},
                                               {"optimal.tvd --report log --set MAXITERATE=1", 4},
                                               {"optimal.tvd --report log --set maxIterate=1", 4},  // any case
                                               {"knapsack.tvd --report none --set BB_LENGTH=4", 6},
                                               {"knapsack.tvd --report none --set BB_LENGTH=2", 7},
                                               {"knapsack.tvd --report none", 1}};
  for (const auto& [args, code] : cases) {
    Outcome o = Tavo(std::string("solve ") + args);
    EXPECT_EQ(o.status, code == 1 ? 0 : code) << args;
    // The status message in the output encoding; the progress line is drawn
    // only on a terminal.
    EXPECT_EQ(o.err, Utf8(T().statusMessage[code]) + "\n") << args;
    if (code == 4) {
      EXPECT_NE(o.out.find("*** ITERATION NUMBER IS OVER THE LIMIT ***"), std::string::npos);
    }
  }
}

TEST_F(CliTest, DataErrorsExit1WithTheDataErrorMessage) {
  const std::string box = Utf8(T().dataErrorBox);
  const std::string oneLine = box.substr(0, box.find("\r\n")) + " " + box.substr(box.find("\r\n") + 2) + "\n";

  // Rejected by the parser: a variable only in a goal row.
  Model("parse.tvd", Crlf("MAX X + Z\nST\nX <= 4\n"));
  Outcome parse = Tavo("solve parse.tvd --report log,columns");
  EXPECT_EQ(parse.status, 1);
  EXPECT_EQ(parse.err, oneLine);
  EXPECT_NE(parse.out.find("Line "), std::string::npos);
  EXPECT_EQ(parse.out.find(" THIS PROBLEM HAS "), std::string::npos);

  // Rejected by set-up: upper bound below the lower bound (result code 0).
  Model("setup.tvd", Crlf("MAX X\nST\nX + Y <= 4\nEND\nSUB X 2\nSLB X 3\n"));
  Outcome setup = Tavo("solve setup.tvd --out-dir out --report none");
  EXPECT_EQ(setup.status, 1);
  // Without the log on standard output its error line follows the message.
  EXPECT_EQ(setup.err, oneLine + "setup.tvd: " + CrLfToLf(Utf8(T().setupBoundPrefix + "X" + T().setupBoundSuffix)));
  EXPECT_NE(ReadBytes(dir_ / "out" / "log.txt").find("ERROR !!  "), std::string::npos);
}

TEST_F(CliTest, EmptyModelTakesTheNoInputPath) {
  Model("empty.tvd", "");
  const std::string message = Utf8(T().noInputData) + "\n";
  for (const char* command : {"solve", "check"}) {
    Outcome o = Tavo(std::string(command) + " empty.tvd --out-dir out");
    EXPECT_EQ(o.status, 1) << command;
    EXPECT_EQ(o.err, message) << command;
    EXPECT_EQ(o.out, message) << command;
    EXPECT_EQ(ReadBytes(dir_ / "out" / "log.txt"), T().noInputData + "\r\n") << command;
  }
  // A text of blanks and line ends is not empty: it goes to the parser.
  Model("blank.tvd", "  \r\n");
  Outcome blank = Tavo("solve blank.tvd --report none");
  EXPECT_EQ(blank.status, 1);
  EXPECT_NE(blank.err, message);
}

// ---- check ----

TEST_F(CliTest, CheckReadsTheModelOnly) {
  Model("plan.tvd", Crlf(kPlan));
  Outcome ok = Tavo("check plan.tvd --output-encoding cp932");
  EXPECT_EQ(ok.status, 0);
  EXPECT_TRUE(ok.err.empty()) << ok.err;
  EXPECT_EQ(ok.out.rfind(T().logHeader, 0), 0u);
  EXPECT_NE(ok.out.find(" THIS PROBLEM HAS 5 ROWS,  3 VARIABLES  DATA ERROR = 0\r\n\r\n"), std::string::npos);
  EXPECT_EQ(ok.out.find("File Setup"), std::string::npos);  // no set-up, no solve

  Model("bad.tvd", Crlf("MAX 3X 2Y\nST\nX + Y <= 4\n"));
  Outcome bad = Tavo("check bad.tvd");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("Line 1"), std::string::npos) << bad.out;
  EXPECT_EQ(CountLines(bad.err), 1);
}

// ---- Settings ----

TEST_F(CliTest, SettingsComeFromTheProfileAndSetOverridesThem) {
  Model("plan.tvd", Crlf(kPlan));
  const std::string limit = "[Init]\nMAXITERATE=1\n";
  WriteBytes(dir_ / "limit.ini", limit);
  EXPECT_EQ(Tavo("solve plan.tvd --report none --profile limit.ini").status, 4);
  EXPECT_EQ(Tavo("solve plan.tvd --report none --profile limit.ini --set MAXITERATE=90000").status, 0);
  // The later --set wins.
  EXPECT_EQ(Tavo("solve plan.tvd --report none --set MAXITERATE=90000 --set MAXITERATE=1").status, 4);
  // A missing or empty profile gives the defaults.
  EXPECT_EQ(Tavo("solve plan.tvd --report none --profile nowhere.ini").status, 0);
  WriteBytes(dir_ / "empty.ini", "");
  EXPECT_EQ(Tavo("solve plan.tvd --report none --profile empty.ini").status, 0);

  // Without --profile the user's profile is read, and never written.
  EXPECT_EQ(Tavo("solve plan.tvd --report none").status, 0);
  EXPECT_FALSE(fs::exists(dir_ / "xdg" / "Marvolen"));
  fs::create_directories(dir_ / "xdg" / "Marvolen");
  WriteBytes(dir_ / "xdg" / "Marvolen" / "TAVO.ini", limit);
  EXPECT_EQ(Tavo("solve plan.tvd --report none").status, 4);
  EXPECT_EQ(ReadBytes(dir_ / "xdg" / "Marvolen" / "TAVO.ini"), limit);
  EXPECT_EQ(ReadBytes(dir_ / "limit.ini"), limit);
}

TEST_F(CliTest, SetSensitivityAddsTheRangingTable) {
  Model("plan.tvd", Crlf(kPlan));
  Outcome off = Tavo("solve plan.tvd --report rows --output-encoding cp932");
  Outcome on = Tavo("solve plan.tvd --report rows --output-encoding cp932 --set SENSITIVITY=1");
  ASSERT_EQ(on.status, 0);
  EXPECT_EQ(off.out.find(T().sensitivityTitle), std::string::npos);
  EXPECT_NE(on.out.find(T().sensitivityTitle), std::string::npos);
}

// ---- The bundled examples ----

TEST_F(CliTest, BundledExamplesSolveToTheirKnownOptima) {
  const std::string examples = std::string(TAVO_SOURCE_DIR) + "/examples/";
  struct Expect {
    const char* file;
    std::vector<std::pair<const char*, const char*>> activities;  // column name, activity
    std::vector<const char*> goalLines;                           // UTF-8 lines of the goal analysis
  };
  const std::vector<Expect> cases = {
      {"plan.tvd", {{"X", "30."}, {"Y", "10."}, {"OT", "10."}}, {"目標行1\t目標値　110.", "目標行2\t目標値　10."}},
      {"trucks.tvd", {{"S", "4."}, {"L", "2."}}, {"目標行1\t目標値　36."}},
      {"knapsack.tvd", {{"A", "1."}, {"B", "0."}, {"C", "1."}, {"D", "1."}, {"E", "0."}}, {"目標行1\t目標値　25."}},
      {"goals.tvd",
       {{"A", "12.5"}, {"B", "20."}, {"UNDER", "0."}, {"OVER", "5."}, {"SHORTA", "1.5"}},
       {"目標行1\t目標達成", "目標行2\t目標値　5.", "目標行3\t目標値　1.5"}},
  };
  for (const Expect& e : cases) {
    const std::string model = Quote(examples + e.file);
    std::string bytes = ReadBytes(examples + e.file);
    ASSERT_FALSE(bytes.empty()) << e.file;
    EXPECT_TRUE(ValidateCp932(bytes).ok) << e.file;
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << e.file << " has CR LF line ends";
    EXPECT_EQ(Tavo("check " + model).status, 0) << e.file;

    Outcome o = Tavo("solve " + model + " --out-dir out --report none");
    ASSERT_EQ(o.status, 0) << e.file << ": " << o.err;
    std::string columns = ReadBytes(dir_ / "out" / "columns.txt");
    std::string rows = Utf8(ReadBytes(dir_ / "out" / "rows.txt"));
    for (const auto& [name, activity] : e.activities) {
      std::vector<std::string> line = ColumnLine(columns, name);
      ASSERT_EQ(line.size(), 5u) << e.file << " " << name;
      EXPECT_EQ(line[3], activity) << e.file << " " << name;
    }
    for (const char* goal : e.goalLines) EXPECT_NE(rows.find(goal), std::string::npos) << e.file << " " << goal;
  }
}

// ---- Ctrl-C ----

// Runs `tavo solve -` reading the model from a FIFO, sends SIGINT `presses`
// times while tavo waits for its input, then writes the model. Returns the
// exit status. The writer end is held open by the shell first, so tavo
// starts at once and blocks in its read.
int SolveWithInterrupts(const fs::path& dir, int presses) {
  std::string kills;
  for (int i = 0; i < presses; ++i) kills += "kill -INT $pid; sleep 0.2; ";
  // tavo gets the signals itself (not through a wrapper); a run that hangs
  // is killed after a minute.
  std::string script = "cd " + Quote(dir.string()) +
                       " && rm -f fifo && mkfifo fifo && exec 3<>fifo && "
                       "{ XDG_CONFIG_HOME=xdg " +
                       Quote(TAVO_BINARY) +
                       " solve - --out-dir out --report none <fifo 2>err 3>&- & pid=$!; sleep 1; " + kills +
                       "cat model.tvd >&3 2>/dev/null; exec 3>&-; i=0; "
                       "while kill -0 $pid 2>/dev/null && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done; "
                       "kill -9 $pid 2>/dev/null; wait $pid; echo $? > status; }";
  if (std::system(script.c_str()) != 0) return -1;
  return std::stoi(ReadBytes(dir / "status"));
}

TEST_F(CliTest, InterruptRequestsForcedTermination) {
  // The press comes before the run starts; like a click queued while the
  // model is read, it reaches the run at the simplex's first pump.
  Model("model.tvd", Crlf(kPlan));
  int status = SolveWithInterrupts(dir_, 1);
  ASSERT_TRUE(status == 6 || status == 7) << status;
  EXPECT_EQ(ReadBytes(dir_ / "err"), Utf8(T().statusMessage[status]) + "\n");
  std::string log = ReadBytes(dir_ / "out" / "log.txt");
  EXPECT_EQ(log.rfind(T().logHeader, 0), 0u);
  if (status == 7) {
    EXPECT_NE(log.find("*** THE PROBLEM HAS NO FEASIBLE BASIC SOLUTION ***"), std::string::npos);
  }
}

TEST_F(CliTest, SecondInterruptEndsTheProgramAtOnce) {
  Model("model.tvd", Crlf(kPlan));
  EXPECT_EQ(SolveWithInterrupts(dir_, 2), 130);
  EXPECT_FALSE(fs::exists(dir_ / "out" / "log.txt"));
}

// ---- Warnings and data-error lines on standard error ----
// Lines in the form compilers use (FILE:LINE: ...), so that editors can jump
// to the line.

const char* const kSlips =
    "MAX 3PROFIT + COST\n"
    "ST\n"
    "PROFIT + COST <= 10\n"
    "PROFTI - COST >= 2\n"
    "3X-2Y + COST <= 4\n";

// The two warnings of kSlips for a model named `file`, in code page 932 with
// the given line end.
std::string SlipWarnings(const std::string& file, const std::string& lineEnd) {
  return file + ":4: " + T().warningLabel + T().warnMisspeltPrefix + "PROFIT" + T().warnMisspeltSuffix + "( PROFTI )" +
         lineEnd + file + ":5: " + T().warningLabel + T().warnOperatorInName + "( X-2Y )" + lineEnd;
}

TEST_F(CliTest, WarningsGoToStandardErrorAndNeverChangeTheOutcome) {
  Model("slips.tvd", Crlf(kSlips));
  const std::string warnings = Utf8(SlipWarnings("slips.tvd", "\n"));
  Outcome check = Tavo("check slips.tvd --report none");
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.err, warnings);
  Outcome solve = Tavo("solve slips.tvd --report columns,rows,error");
  EXPECT_EQ(solve.status, 0);
  EXPECT_EQ(solve.err, warnings + Utf8(T().statusMessage[1]) + "\n");

  // --no-warnings: only the status message; the texts are the same.
  Outcome quiet = Tavo("solve slips.tvd --report columns,rows,error --no-warnings");
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, Utf8(T().statusMessage[1]) + "\n");
  EXPECT_EQ(quiet.out, solve.out);
  EXPECT_EQ(Tavo("check slips.tvd --no-warnings").err, "");

  // The output encoding applies; standard input is named as such.
  EXPECT_EQ(Tavo("check slips.tvd --report none --output-encoding cp932").err, SlipWarnings("slips.tvd", "\r\n"));
  const std::string text = Crlf(kSlips);
  EXPECT_EQ(Tavo("check - --report none", &text).err, Utf8(SlipWarnings("standard input", "\n")));

  // Clean models and the bundled examples draw none.
  Model("plan.tvd", Crlf(kPlan));
  EXPECT_EQ(Tavo("check plan.tvd --report none").err, "");
  EXPECT_EQ(Tavo("check --no-warnings=1 plan.tvd").status, 64);
}

TEST_F(CliTest, DataErrorLinesFollowWhenTheLogIsNotPrinted) {
  const std::string box = Utf8(T().dataErrorBox);
  const std::string oneLine = box.substr(0, box.find("\r\n")) + " " + box.substr(box.find("\r\n") + 2) + "\n";
  // "Line n : text( detail )" of the log becomes "FILE:n: text( detail )".
  auto numbered = [](const std::string& file, int line, const std::string& message, const std::string& detail) {
    return file + ":" + std::to_string(line) + ": " + Utf8(message.substr(message.find(':') + 2) + detail) + " )\n";
  };

  Model("goal.tvd", Crlf("MAX X + Z\nST\nX <= 4\nX + Y >= Q\n"));
  const std::string errors =
      numbered("goal.tvd", 1, T().msgUnregisteredVar, "Z") + numbered("goal.tvd", 4, T().msgRhsNotNumber, "Q");
  Outcome solve = Tavo("solve goal.tvd --report columns");
  EXPECT_EQ(solve.status, 1);
  EXPECT_EQ(solve.err, oneLine + errors);
  Outcome check = Tavo("check goal.tvd --report none");
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(check.err, oneLine + errors);
  // With the log on standard output the lines are there only.
  EXPECT_EQ(Tavo("solve goal.tvd --report log").err, oneLine);

  // An error line without line number keeps its text after the file name.
  Model("nost.tvd", Crlf("MAX X + Y\n"));
  std::string noSt = T().msgNoSt;
  noSt.erase(0, noSt.find_first_not_of(' '));
  EXPECT_EQ(Tavo("check nost.tvd --report none").err, oneLine + "nost.tvd: " + CrLfToLf(Utf8(noSt)));
}

}  // namespace
}  // namespace tavo
