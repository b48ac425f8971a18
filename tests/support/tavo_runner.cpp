#include "tests/support/tavo_runner.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "shell/calc_run.h"
#include "shell/recording_port.h"
#include "solver/workspace.h"

namespace tavo::testsupport {

TavoOutcome SolveWithTavo(const std::string& modelText, const SolverSettings& settings,
                          const std::function<void(long long)>& onPump) {
  TavoOutcome out;
  auto start = std::chrono::steady_clock::now();
  // The workspace is large; keep it off the stack.
  auto workspace = std::make_unique<Workspace>();
  RecordingPort port;
  port.recordWrites = false;
  if (onPump) port.onPump = onPump;
  CalcRun run(*workspace, port);
  run.settings = settings;
  run.modelText = modelText;
  out.parsed = run.ParseModel(modelText) == 1;
  if (out.parsed) {
    out.resultCode = run.SetupAndSolve();
    const Workspace& W = *workspace;
    out.ngoals = W.NGOALS;
    for (int j = 0; j < W.NSTRUC && static_cast<std::size_t>(j) * 8 + 8 <= W.CNAME.size(); ++j) {
      std::string name;
      for (int k = 0; k < 8; ++k) {
        char ch = W.CNAME[static_cast<std::size_t>(j) * 8 + k];
        if (ch != ' ' && ch != '\0') name += ch;
      }
      out.names.push_back(name);
    }
    out.xact = W.XACT;
    out.ract = W.RACT;
    out.iterations = W.ITERLP - 1;
    out.branches = W.g_branchOptimalCount;
    out.nodesSolved = W.NINT != 0 ? W.g_branchCount + 1 : 0;
    out.tableFull = W.NINT != 0 && W.g_bbLastNode >= settings.BB_LENGTH - 2;
    const bool searched = W.NINT != 0 && W.g_bbState != 0;
    if (searched && W.g_haveIncumbent == 1) {
      out.goalActivity.assign(W.g_incumbentGoals.begin(), W.g_incumbentGoals.begin() + W.NGOALS);
      out.xFromReport = true;
      ParseColumnsReport(run.result.columnsText, W.NSTRUC, out.x);
    } else {
      out.x = W.XACT;
      if (static_cast<int>(W.RACT.size()) >= W.NGOALS)
        out.goalActivity.assign(W.RACT.begin(), W.RACT.begin() + W.NGOALS);
    }
  }
  out.log = run.result.logText;
  out.columnsText = run.result.columnsText;
  out.rowsText = run.result.rowsText;
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return out;
}

double TavoGoalValue(const TavoOutcome& outcome, int g, bool maximize) {
  return maximize ? outcome.goalActivity.at(g) : -outcome.goalActivity.at(g);
}

bool ParseColumnsReport(const std::string& columnsText, int columns, std::vector<double>& x) {
  x.assign(columns, 0.0);
  int lines = 0;
  std::size_t pos = 0;
  while (pos < columnsText.size()) {
    std::size_t end = columnsText.find("\r\n", pos);
    if (end == std::string::npos) end = columnsText.size();
    std::string line = columnsText.substr(pos, end - pos);
    pos = end + 2;
    // number \t name \t status \t activity \t reduced cost
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
      std::size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (fields.size() != 5 || fields[0].empty() || fields[0].find_first_not_of("0123456789") != std::string::npos)
      continue;
    int j = std::atoi(fields[0].c_str());
    if (j < 1 || j > columns) continue;
    x[j - 1] = std::strtod(fields[3].c_str(), nullptr);
    ++lines;
  }
  return lines == columns;
}

bool InModelOrder(const TavoOutcome& outcome, const std::vector<std::string>& names, std::vector<double>& x) {
  std::unordered_map<std::string, std::size_t> column;
  for (std::size_t j = 0; j < outcome.names.size(); ++j) column.emplace(outcome.names[j], j);
  x.assign(names.size(), 0.0);
  for (std::size_t j = 0; j < names.size(); ++j) {
    auto it = column.find(names[j]);
    if (it == column.end() || it->second >= outcome.x.size()) return false;
    x[j] = outcome.x[it->second];
  }
  return true;
}

}  // namespace tavo::testsupport
