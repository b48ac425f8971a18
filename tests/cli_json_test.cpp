// The command line's JSON document and aligned layout as scripts see them:
// `tavo solve --json FILE`, `--report json` and `--layout aligned` run on
// small models, the documents checked against docs/result.schema.json and
// against the texts of the same run.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/codec.h"
#include "shell/text_layout.h"
#include "tests/support/test_files.h"

namespace tavo {
namespace {

using testsupport::Crlf;
using testsupport::Quote;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace fs = std::filesystem;

// The document without the blanks and line breaks between its tokens, so
// that tests can look for members without depending on the indentation.
std::string Compact(const std::string& json) {
  std::string out;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      out += c;
      if (c == '\\' && i + 1 < json.size()) {
        out += json[++i];
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') inString = true;
    if (c != ' ' && c != '\n') out += c;
  }
  return out;
}

bool Has(const std::string& json, const std::string& member) { return Compact(json).find(member) != std::string::npos; }

const char* kLp =
    "TITLE THIRDS\n"
    "MAX X + Y\n"
    "ST\n"
    "A) 3X <= 1\n"
    "B) Y <= 2\n"
    "END\n";

const char* kGoals =
    "TITLE PLAN\n"
    "MAX 3X + 2Y\n"
    "MIN OT\n"
    "ST\n"
    "C1) X + Y <= 40\n"
    "C2) 2X + Y - OT <= 60\n"
    "10 <= X <= 30\n"
    "END\n"
    "SUB Y 25\n";

const char* kKnapsack =
    "TITLE KNAPSACK\n"
    "MAX 10A + 13B + 7C + 8D + 4E\n"
    "ST\n"
    "WEIGHT) 4A + 6B + 3C + 4D + 2E <= 11\n"
    "END\n"
    "INT A B C D E\n";

const char* kInfeasible =
    "MAX X\n"
    "ST\n"
    "X >= 5\n"
    "X <= 3\n"
    "END\n";

const char* kDataErrors =
    "TITLE BAD\n"
    "MAX 3X + 2Y\n"
    "ST\n"
    "X + Y <= 4A\n"
    "FOO BAR\n"
    "END\n";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class CliJsonTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testsupport::MakeTestFolder("tavo_cli_json_"); }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Model(const std::string& name, const std::string& text) {
    WriteBytes(dir_ / name, Crlf(text));
    return Quote((dir_ / name).string());
  }

  Outcome Run(const std::string& command) {
    const std::string full = "cd " + Quote(dir_.string()) + " && XDG_CONFIG_HOME=" + Quote((dir_ / "xdg").string()) +
                             " timeout 300 " + command + " </dev/null >" + Quote((dir_ / "stdout.bin").string()) +
                             " 2>" + Quote((dir_ / "stderr.bin").string());
    const int raw = std::system(full.c_str());
    Outcome o;
    if (raw != -1 && WIFEXITED(raw)) o.status = WEXITSTATUS(raw);
    o.out = ReadBytes(dir_ / "stdout.bin");
    o.err = ReadBytes(dir_ / "stderr.bin");
    return o;
  }

  Outcome Tavo(const std::string& args) { return Run(Quote(TAVO_BINARY) + " " + args); }

  // Solves `text` with `extra` options and returns the JSON document written
  // with --json (and the exit status in `status`).
  std::string SolveJson(const std::string& name, const std::string& text, int& status, const std::string& extra = "") {
    const std::string json = (dir_ / (name + ".json")).string();
    Outcome o = Tavo("solve " + Model(name + ".tvd", text) + " --report none --json " + Quote(json) + " " + extra);
    status = o.status;
    return ReadBytes(json);
  }

  fs::path dir_;
};

TEST_F(CliJsonTest, DocumentsOfEveryKindOfRunFollowTheSchema) {
  struct Case {
    const char* name;
    const char* text;
    int status;
    const char* extra;
  };
  const Case cases[] = {
      {"lp", kLp, 0, ""},
      {"goals", kGoals, 0, "--set SENSITIVITY=1"},
      {"integer", kKnapsack, 0, ""},
      {"infeasible", kInfeasible, 2, ""},
      {"errors", kDataErrors, 1, ""},
      // A search cut short by its node table: the incumbent's figures.
      {"cut", kKnapsack, 6, "--set BB_LENGTH=3"},
      {"unrounded", kGoals, 0, "--set ROUND=0 --set SENSITIVITY=1"},
  };
  std::string files;
  for (const Case& c : cases) {
    int status = -1;
    const std::string json = SolveJson(c.name, c.text, status, c.extra);
    EXPECT_EQ(status, c.status) << c.name;
    ASSERT_FALSE(json.empty()) << c.name;
    EXPECT_TRUE(Has(json, "\"exit_status\":" + std::to_string(c.status))) << c.name;
    files += " " + Quote((dir_ / (std::string(c.name) + ".json")).string());
  }
  const std::string script = std::string(TAVO_SOURCE_DIR) + "/tests/validate_result_json.py";
  const std::string schema = std::string(TAVO_SOURCE_DIR) + "/docs/result.schema.json";
  Outcome v = Run("python3 " + Quote(script) + " " + Quote(schema) + files);
  if (v.status == 77) GTEST_SKIP() << "python3-jsonschema is not installed";
  EXPECT_EQ(v.status, 0) << v.err;
}

TEST_F(CliJsonTest, NumbersAreFullPrecisionWhereTheTextsShowTenDigits) {
  int status = -1;
  // Without the ROUND setting's six-decimal rounding.
  const std::string json = SolveJson("lp", kLp, status, "--set ROUND=0");
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(Has(json, "\"result\":{\"code\":1,\"name\":\"optimal\""));
  EXPECT_TRUE(Has(json, "\"title\":\"THIRDS\""));
  // X = 1/3: the columns report shows 0.3333333333, the document the double.
  EXPECT_TRUE(Has(json, "\"name\":\"X\",\"status\":\"BS\",\"value\":0.3333333333333333,")) << json;
  EXPECT_TRUE(Has(json, "\"name\":\"Y\",\"status\":\"BS\",\"value\":2,"));
  EXPECT_TRUE(Has(json, "\"goals\":[{\"level\":1,\"value\":2.3333333333333335,\"attained\":false}]")) << json;
  // Row A's price for the goal is 1/3 per unit of its right-hand side.
  EXPECT_TRUE(Has(json,
                  "\"label\":\"A\",\"type\":\"<=\",\"ranged\":false,\"status\":\"\",\"activity\":0,"
                  "\"dual_price\":0.3333333333333333,\"dual_prices\":[0.3333333333333333]"))
      << json;
  EXPECT_TRUE(Has(json, "\"data_errors\":[]"));
  // No ranging unless the run computes it.
  EXPECT_FALSE(Has(json, "\"ranging\""));
}

TEST_F(CliJsonTest, GoalProgramGivesDualPricesOfEveryGoalAndRanging) {
  int status = -1;
  const std::string json = SolveJson("goals", kGoals, status, "--set SENSITIVITY=1");
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(
      Has(json, "{\"level\":1,\"value\":110,\"attained\":false},{\"level\":2,\"value\":-10,\"attained\":false}"))
      << json;
  // The rows report shows the first goal's prices (2 and 0); the second
  // goal prices C1 and C2 as well.
  EXPECT_TRUE(Has(json,
                  "\"label\":\"C1\",\"type\":\"<=\",\"ranged\":false,\"status\":\"\",\"activity\":0,"
                  "\"dual_price\":2,\"dual_prices\":[2,-1]"))
      << json;
  EXPECT_TRUE(Has(json,
                  "\"label\":\"C2\",\"type\":\"<=\",\"ranged\":false,\"status\":\"\",\"activity\":0,"
                  "\"dual_price\":0,\"dual_prices\":[0,1]"))
      << json;
  // Goal rows have no prices.
  EXPECT_TRUE(Has(json,
                  "\"label\":\"目標行1\",\"type\":\"goal\",\"ranged\":false,\"status\":\"BS\",\"activity\":110,"
                  "\"dual_price\":0,\"dual_prices\":[0,0]}"))
      << json;
  // Every constraint row carries its ranging; the bound row of SUB is not listed.
  EXPECT_TRUE(Has(json, "\"ranging\":{\"rhs\":40,"));
  EXPECT_EQ(Compact(json).find("\"rows\":[") != std::string::npos, true);
  std::size_t count = 0;
  const std::string compact = Compact(json);
  for (std::size_t at = compact.find("\"ranging\""); at != std::string::npos; at = compact.find("\"ranging\"", at + 1))
    ++count;
  EXPECT_EQ(count, 3u);
}

TEST_F(CliJsonTest, IntegerModelGivesTheIncumbentNotTheLastNode) {
  int status = -1;
  const std::string json = SolveJson("integer", kKnapsack, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(Has(json, "\"goals\":[{\"level\":1,\"value\":25,\"attained\":false}]")) << json;
  for (const char* column :
       {"\"name\":\"A\",\"status\":\"BD\",\"value\":1,", "\"name\":\"B\",\"status\":\"\",\"value\":0,",
        "\"name\":\"C\",\"status\":\"BD\",\"value\":1,", "\"name\":\"D\",\"status\":\"BS\",\"value\":1,",
        "\"name\":\"E\",\"status\":\"\",\"value\":0,"})
    EXPECT_TRUE(Has(json, column)) << column << "\n" << json;
  // The branches figure is the log's.
  const std::string compact = Compact(json);
  const std::size_t at = compact.find("\"branches\":");
  ASSERT_NE(at, std::string::npos);
  const std::string branches = compact.substr(at + 11, compact.find(',', at) - at - 11);
  EXPECT_NE(compact.find("Branches = " + branches + "\\r\\n"), std::string::npos) << branches;
  EXPECT_TRUE(Has(json, "\"integer_declarations\":5"));
}

TEST_F(CliJsonTest, InfeasibleAndRejectedModelsHaveNoSolution) {
  int status = -1;
  const std::string infeasible = SolveJson("infeasible", kInfeasible, status);
  EXPECT_EQ(status, 2);
  EXPECT_TRUE(Has(infeasible, "\"code\":2,\"name\":\"infeasible\""));
  EXPECT_TRUE(Has(infeasible, "\"solution\":null"));

  const std::string rejected = SolveJson("errors", kDataErrors, status);
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(Has(rejected, "\"result\":{\"code\":null,\"name\":\"data_error\",\"message\":null}"));
  EXPECT_TRUE(Has(rejected, "\"solution\":null"));
  EXPECT_TRUE(Has(rejected,
                  "\"data_errors\":[{\"line\":4,\"text\":\"右辺値(RHS)が数値ではありません。( 4A )\"},"
                  "{\"line\":5,"))
      << rejected;
  EXPECT_TRUE(Has(rejected, "\"iterations\":null"));
}

TEST_F(CliJsonTest, WholeNamesWarningsAndUtf8) {
  const char* text =
      "TITLE 計画\n"
      "MAX 3PRODUCTIONA + 2PRODUCTIONB\n"
      "ST\n"
      "PRODUCTIONA + PRODUCTIONB <= 4\n"
      "PRODUCTIONA + 3X-Y <= 3\n"
      "END\n";
  std::string cp932;
  ASSERT_TRUE(Utf8ToCp932(text, cp932).ok);
  const std::string json = (dir_ / "n.json").string();
  WriteBytes(dir_ / "n.tvd", Crlf(cp932));
  Outcome o = Tavo("solve n.tvd --report none --no-warnings --json " + Quote(json));
  ASSERT_EQ(o.status, 0) << o.err;
  const std::string doc = ReadBytes(json);
  EXPECT_TRUE(Has(doc, "\"title\":\"計画\""));
  // The columns report cuts names to 8 bytes; the document keeps them whole.
  EXPECT_TRUE(Has(doc, "\"name\":\"PRODUCTIONA\""));
  EXPECT_TRUE(Has(doc, "\"name\":\"PRODUCTIONB\""));
  EXPECT_TRUE(Has(doc, "\"warnings\":[{\"line\":5,\"kind\":\"operator_in_name\""));
  // --no-warnings quiets standard error only.
  EXPECT_TRUE(o.err.find("警告") == std::string::npos);
}

TEST_F(CliJsonTest, ReportJsonPutsTheSameDocumentOnStandardOutput) {
  const std::string json = (dir_ / "same.json").string();
  Outcome o = Tavo("solve " + Model("g.tvd", kGoals) + " --report json --json " + Quote(json));
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, ReadBytes(json));
  EXPECT_EQ(o.out.rfind("{\n", 0), 0u);
  // The cp932 output encoding does not apply to the document: JSON is UTF-8.
  Outcome cp = Tavo("solve " + Model("g2.tvd", kGoals) + " --report json --output-encoding cp932");
  EXPECT_TRUE(Has(cp.out, "\"label\":\"目標行1\""));
}

TEST_F(CliJsonTest, BadOptionsAndUnwritableFiles) {
  const std::string model = Model("m.tvd", kLp);
  for (const std::string& args : {std::string("--report json,log"), std::string("--report log,json"),
                                  std::string("--layout fancy"), std::string("--json"), std::string("--json=")}) {
    Outcome o = Tavo("solve " + model + " " + args);
    EXPECT_EQ(o.status, 64) << args;
    EXPECT_EQ(o.err.rfind("tavo: ", 0), 0u) << args;
  }
  // A file that cannot be written: status 73, and nothing is left behind.
  Outcome o = Tavo("solve " + model + " --report none --json no-such-dir/out.json");
  EXPECT_EQ(o.status, 73);
  EXPECT_NE(o.err.find("no-such-dir/out.json"), std::string::npos);
  // An existing document is replaced whole.
  WriteBytes(dir_ / "old.json", std::string(100000, 'x'));
  EXPECT_EQ(Tavo("solve " + model + " --report none --json old.json").status, 0);
  const std::string replaced = ReadBytes(dir_ / "old.json");
  EXPECT_EQ(replaced.rfind("{\n", 0), 0u);
  EXPECT_EQ(replaced.find('x' + std::string("xxxx")), std::string::npos);
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind(".old.json", 0), 0u) << entry.path();
}

TEST_F(CliJsonTest, AlignedLayoutUsesTheTabStopsAndLeavesTheFilesAlone) {
  const std::string model = Model("g.tvd", kGoals);
  Outcome plain = Tavo("solve " + model + " --report columns,rows,error --out-dir plain");
  Outcome aligned =
      Tavo("solve " + model + " --report columns,rows,error --layout aligned --out-dir aligned --json a.json");
  ASSERT_EQ(plain.status, 0);
  ASSERT_EQ(aligned.status, 0);
  // The four files are the texts byte for byte, tabs and all.
  for (const char* file : {"columns.txt", "rows.txt", "error.txt"})
    EXPECT_EQ(ReadBytes(dir_ / "plain" / file), ReadBytes(dir_ / "aligned" / file)) << file;
  const std::string columns = ReadBytes(dir_ / "aligned" / "columns.txt");
  EXPECT_NE(columns.find('\t'), std::string::npos);
  // Standard output: each text laid out at its own tab's stops.
  const std::string expected =
      CrLfToLf(Cp932ToUtf8(AlignReport(columns, ReportTab::kColumns) +
                           AlignReport(ReadBytes(dir_ / "aligned" / "rows.txt"), ReportTab::kRows) +
                           AlignReport(ReadBytes(dir_ / "aligned" / "error.txt"), ReportTab::kError)));
  EXPECT_EQ(aligned.out, expected);
  EXPECT_EQ(aligned.out.find('\t'), std::string::npos);
  // The status word of every column line starts at cell 23 (92 dialog units).
  for (const char* line : {"1      X               BS   30.", "2      Y               BS   10."})
    EXPECT_NE(aligned.out.find(line), std::string::npos) << line << "\n" << aligned.out;
}

}  // namespace
}  // namespace tavo
