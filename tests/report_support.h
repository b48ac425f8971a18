// Helpers of the report, search and golden tests: a run whose workspace is
// kept after solving, model texts with CR LF line ends, and access to the
// lines and tab-separated fields of the report texts.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "shell/calc_run.h"
#include "shell/codec.h"
#include "shell/recording_port.h"
#include "shell/texts.h"

namespace tavo::reporttest {

// Joins lines with CR LF (and ends the last one), as the editor saves them.
inline std::string Model(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// UTF-8 source text as code page 932 bytes.
inline std::string J(const char* utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(utf8, out).ok) << utf8;
  return out;
}

// One run whose workspace stays filled after the solve, for inspection.
struct KeptRun {
  Workspace W;
  RecordingPort port;
  CalcRun run{W, port};
  bool parsed = false;
  int code = -1;

  explicit KeptRun(const std::string& model, const SolverSettings& settings = DefaultSettings()) {
    run.modelText = model;
    run.settings = settings;
  }
  bool Parse() { return parsed = run.ParseModel(run.modelText) == 1; }
  // Parses and solves; returns the result code, or -1 when the parse failed.
  int Solve() {
    g_forceStop = 0;
    if (!Parse()) return code = -1;
    code = run.SetupAndSolve();
    run.result.resultCode = code;
    return code;
  }
  const CalcResult& result() const { return run.result; }
  const std::string& Log() const { return run.result.logText; }

  // The structural column of a model variable, by name.
  int Col(const std::string& name) const {
    for (int j = 0; j < W.NSTRUC; ++j) {
      std::string s = W.CNAME.substr(static_cast<std::size_t>(j) * 8, 8);
      while (!s.empty() && s.back() == ' ') s.pop_back();
      if (s == name) return j;
    }
    ADD_FAILURE() << "no column " << name;
    return 0;
  }
  // A model variable's value, taken back from the basis through the bound
  // substitution of its flags. Written out here rather than taken from the
  // solver, so that a fault in the solver's own taking back is not repeated.
  double X(const std::string& name) const {
    const int j = Col(name);
    const double y = W.KINBAS[j] > 0 ? W.XB[W.KINBAS[j] - 1] : (W.ATUPR[j] ? 1.0 : 0.0);
    const double u = W.UBND[j], l = W.LBND[j];
    switch (W.BNDFLG[j] & (kBndUpper | kBndLower | kBndFixed | kBndNoLower | kBndFree)) {
      case kBndNoLower:
        return -y;
      case kBndNoLower | kBndUpper:
        return u - y;
      case kBndLower:
        return l + y;
      case kBndUpper | kBndLower:
        return l + (u - l) * y;
      case kBndUpper:
        return u * y;
      case kBndFixed:
        return l;
      default:
        return y;
    }
  }
  // Goal row k's basic value: its right-hand side (0) minus its linear form,
  // so the objective of a MAX row and minus the objective of a MIN row.
  double Goal(int k) const { return W.XB[k]; }
};

// Entry (i, j) of the constraint matrix (held by columns).
inline double& Amat(Workspace& W, int i, int j) { return W.AMAT[static_cast<std::size_t>(j) * W.MROWS + i]; }
// Row i of the constraint matrix over the structural columns.
inline std::vector<double> AmatRow(Workspace& W, int i) {
  std::vector<double> row;
  for (int j = 0; j < W.NSTRUC; ++j) row.push_back(Amat(W, i, j));
  return row;
}
// Entry (k, i) of the basis inverse: row k, column i (held by columns).
inline double& Binv(Workspace& W, int k, int i) { return W.BINV[static_cast<std::size_t>(i) * W.MROWS + k]; }
inline void IdentityInverse(Workspace& W) {
  std::fill(W.BINV.begin(), W.BINV.end(), 0.0);
  for (int i = 0; i < W.MROWS; ++i) Binv(W, i, i) = 1;
}

// Sizes each array to `size` entries, all zero.
template <typename... V>
void Zeros(std::size_t size, V&... arrays) {
  (arrays.assign(size, typename V::value_type{}), ...);
}

// The arrays the set-up sizes (all zero) for a parsed model, so that the
// solver's operations can be called one by one on a state set up by hand.
// An integer model also gets its search arrays, with a node table of
// `bbLength` entries (none at all for 0, which the set-up never makes).
inline void SizeLikeSetup(Workspace& W, int bbLength) {
  W.SizeSolverArrays();
  Zeros(W.NCOLS, W.BBIVAL);
  W.g_incumbentGoals.assign(W.NGOALS, -1.0e30);
  if (W.NINT == 0) return;
  W.g_origColType = W.BNDFLG;
  W.g_origUpper = W.UBND;
  W.g_origLower = W.LBND;
  W.g_branchCount = -1;
  W.g_bbNodes.assign(bbLength > 0 ? bbLength : 0, BbNode{});
  if (bbLength > 0) W.g_bbNodes[0].parent = W.g_bbNodes[0].branchDir = -1;
}

// The whole run as the optimise command makes it (workspace released).
inline std::unique_ptr<KeptRun> FullRun(const std::string& model, const SolverSettings& settings = DefaultSettings()) {
  auto r = std::make_unique<KeptRun>(model, settings);
  g_forceStop = 0;
  r->parsed = r->run.Run();
  r->code = r->run.result.resultCode;
  return r;
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = line.find('\t', start);
    fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return fields;
}

// The data lines of a report table: the lines after the second rule that
// follows the line `titles`, up to the first empty line.
inline std::vector<std::vector<std::string>> TableRows(const std::string& text, const std::string& titles) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines = SplitLines(text);
  std::string titleLine = titles.substr(0, titles.size() - 2);
  std::size_t i = 0;
  while (i < lines.size() && lines[i] != titleLine) ++i;
  i += 2;  // the title line and the rule under it
  for (; i < lines.size() && !lines[i].empty(); ++i) rows.push_back(SplitTabs(lines[i]));
  return rows;
}

inline std::vector<std::vector<std::string>> ColumnRows(const CalcResult& r) {
  return TableRows(r.columnsText, T().columnsTitles);
}
inline std::vector<std::vector<std::string>> RowRows(const CalcResult& r) {
  return TableRows(r.rowsText, T().rowsTitles);
}
inline std::vector<std::vector<std::string>> RangingRows(const CalcResult& r) {
  return TableRows(r.rowsText, T().sensitivityTitles);
}

// The 8-byte column name field of a model name.
inline std::string Name8(const std::string& name) { return (name + "        ").substr(0, 8); }
// The 18-byte label field of a row label.
inline std::string Label18(const std::string& label) { return (label + std::string(18, ' ')).substr(0, 18); }

}  // namespace tavo::reporttest
