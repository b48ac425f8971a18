#include "tests/support/mps_reader.h"

#include "model/mps_reader.h"

namespace tavo::testsupport {
namespace {

void FromProduct(exchange::MpsModel&& in, MpsProblem& out) {
  out = MpsProblem{};
  out.name = std::move(in.name);
  out.model = std::move(in.model);
  out.objectiveRhs = in.objectiveRhs;
  out.colNames = std::move(in.colNames);
  out.rowNames = std::move(in.rowNames);
  if (out.model.goals.size() > 1) out.model.goals.resize(1);
  for (std::size_t j = 0; j < out.model.vars.size(); ++j) out.model.vars[j].name = "C" + std::to_string(j + 1);
  for (std::size_t i = 0; i < out.model.rows.size(); ++i) out.model.rows[i].label = "R" + std::to_string(i + 1);
  out.model.goalNames.clear();
}

}  // namespace

bool ReadMpsText(const std::string& text, MpsProblem& out, std::string& error) {
  exchange::MpsModel in;
  if (!exchange::ReadMpsText(text, in, error)) return false;
  FromProduct(std::move(in), out);
  return true;
}

bool ReadMpsFile(const std::string& path, MpsProblem& out, std::string& error) {
  exchange::MpsModel in;
  if (!exchange::ReadMpsFile(path, in, error)) return false;
  FromProduct(std::move(in), out);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& text) { return exchange::ReadWholeFile(path, text); }

}  // namespace tavo::testsupport
