// Every netlib and MIPLIB 3 problem of the data folder through the product's
// import and export: the MPS file imported to model text, the text read by
// TAVO's own parser and exported as a CPLEX LP file, and that file solved by
// glpsol to the optimum the data folder's README verified for the original
// file. Problems without data, without a verified glpsol optimum, or that
// glpsol does not finish within TAVO_EXPORT_SECONDS (default 30) are skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "model/model_export.h"
#include "model/model_import.h"
#include "model/model_writers.h"
#include "model/mps_reader.h"
#include "tests/support/reference_solver.h"
#include "tests/support/suite_env.h"

namespace tavo {
namespace {

using testsupport::DataDir;
using testsupport::RefSolver;

struct Verified {
  std::string name;  // "netlib/afiro"
  bool mip = false;
  double optimum = 0;
};

// The test's name in CTest and its failure messages: the problem, not the bytes of the record.
void PrintTo(const Verified& v, std::ostream* os) { *os << v.name; }

std::string Trim(const std::string& s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The README's table: problem | rows | cols | nonzeros | int | published | glpsol (MPS) | ...
std::vector<Verified> VerifiedOptima() {
  std::vector<Verified> out;
  std::ifstream in(DataDir() + "/README.md");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("| netlib/", 0) != 0 && line.rfind("| miplib3/", 0) != 0) continue;
    std::vector<std::string> cells;
    std::stringstream ss(line.substr(1));
    std::string cell;
    while (std::getline(ss, cell, '|')) cells.push_back(Trim(cell));
    if (cells.size() < 7) continue;
    char* end = nullptr;
    const double v = std::strtod(cells[6].c_str(), &end);
    if (cells[6].empty() || *end != '\0') continue;  // glpsol gave no answer
    out.push_back({cells[0], std::atoi(cells[4].c_str()) > 0, v});
  }
  return out;
}

std::string TestName(const testing::TestParamInfo<Verified>& info) {
  std::string s = info.param.name;
  for (char& c : s)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return s;
}

class ImportExportRoundTrip : public testing::TestWithParam<Verified> {};

TEST_P(ImportExportRoundTrip, ExportedLpReachesTheVerifiedOptimumWithGlpsol) {
  const Verified& c = GetParam();
  if (!testsupport::HaveGlpsol()) GTEST_SKIP() << "glpsol is not installed";
  const std::string path = DataDir() + "/" + c.name + ".mps.gz";
  std::string text;
  if (!exchange::ReadWholeFile(path, text)) GTEST_SKIP() << path << " is not there";

  exchange::ImportOutcome imported;
  std::string error;
  ASSERT_TRUE(exchange::ImportModelText(text, exchange::SourceFormat::kMps, c.name, imported, error)) << error;
  exchange::Model parsed;
  std::string messages;
  ASSERT_TRUE(exchange::ParseModelForExport(imported.modelText, parsed, messages)) << messages;
  ASSERT_EQ(parsed.vars.size(), imported.model.vars.size());

  const double seconds = testsupport::EnvSeconds("TAVO_EXPORT_SECONDS", 30);
  testsupport::ScratchDir dir;
  const testsupport::RefOutcome out =
      testsupport::RunReference(RefSolver::kGlpsol, exchange::WriteLpFormat(parsed, 0, {}), dir.path(), c.mip, seconds);
  if (out.status != testsupport::RefStatus::kOptimal) {
    if (c.mip) GTEST_SKIP() << "glpsol gave no optimum within " << seconds << " s";
    FAIL() << "glpsol did not solve the exported LP:\n" << out.output;
  }
  const double tol = (c.mip ? 1e-6 : 1e-8) * std::max(1.0, std::fabs(c.optimum));
  EXPECT_NEAR(out.objective, c.optimum, tol);
}

INSTANTIATE_TEST_SUITE_P(Data, ImportExportRoundTrip, testing::ValuesIn(VerifiedOptima()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ImportExportRoundTrip);

}  // namespace
}  // namespace tavo
