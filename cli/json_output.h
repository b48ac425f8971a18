// The whole outcome of a command as one JSON document (UTF-8), as
// docs/result.schema.json describes it, and its safe writing to a file.
#pragma once

#include <string>
#include <vector>

#include "cli/output.h"
#include "shell/calc_result.h"
#include "shell/model_warnings.h"
#include "shell/outcome.h"

namespace tavo::cli {

struct JsonDocumentInput {
  const char* command = "solve";  // "solve" or "check"
  std::string model;              // the model's name as the user gave it (UTF-8)
  int exitStatus = 0;
  const CalcResult* result = nullptr;   // the four texts and the result code
  const RunOutcome* outcome = nullptr;  // the run's figures; null for check
  std::vector<ModelWarning> warnings;
  std::vector<DataError> dataErrors;
};

// The document, ending with a line feed.
std::string OutcomeJson(const JsonDocumentInput& input);

// The name of a result code in the document ("optimal", "infeasible", ...).
const char* ResultCodeName(int code);

// Writes `data` to `path` through a temporary file in the same folder that is
// renamed over it, so that the file is never left half-written. On failure
// returns false with a one-line reason, and `path` is untouched.
bool WriteFileAtomically(const std::string& path, const std::string& data, std::string& reason);

}  // namespace tavo::cli
