// Helpers of the report, search and golden tests: a run whose workspace is
// kept after solving, model texts with CR LF line ends, and access to the
// lines and tab-separated fields of the report texts.
#pragma once

#include <gtest/gtest.h>

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
  // Parses and solves; returns the result code, or -1 when the parse failed.
  int Solve() {
    g_forceStop = 0;
    parsed = run.ParseModel(run.modelText) == 1;
    if (!parsed) return code = -1;
    code = run.SetupAndSolve();
    run.result.resultCode = code;
    return code;
  }
  const CalcResult& result() const { return run.result; }
};

// The whole run as the optimise command makes it (workspace released).
inline std::unique_ptr<KeptRun> FullRun(const std::string& model,
                                        const SolverSettings& settings = DefaultSettings()) {
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
