// The tests' MPS reader: the product's reader (model/mps_reader.h) with the
// columns renamed C1..Cn and the rows R1..Rm (as row labels), so the names
// always suit the model text; the file's names are kept beside the model.
// Only the first objective is kept (prioritised objectives are not).
#pragma once

#include <string>
#include <vector>

#include "tests/support/model_writer.h"

namespace tavo::testsupport {

struct MpsProblem {
  std::string name;                   // the NAME line's word
  Model model;                        // one goal (the objective), C1.., R1..
  double objectiveRhs = 0;            // the objective row's RHS entry (not part of the model)
  std::vector<std::string> colNames;  // original column names, by index
  std::vector<std::string> rowNames;  // original constraint row names, by index
};

// Reads MPS text. Returns false with a reason in `error` on malformed input.
bool ReadMpsText(const std::string& text, MpsProblem& out, std::string& error);

// Reads a file, gzip-compressed or not.
bool ReadMpsFile(const std::string& path, MpsProblem& out, std::string& error);

// The whole content of a file (decompressed for gzip); false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);

}  // namespace tavo::testsupport
