// `tavo import FILE -o MODEL` and `tavo export MODEL -o FILE`: model files of
// other programs (MPS, CPLEX LP) to model text and back.
#pragma once

#include <string>

#include "cli/options.h"

namespace tavo::cli {

// Reads the arguments after `import` or `export` into `options` (the
// command is already set). Returns an empty string or the usage error.
std::string ParseExchangeOptions(int argc, const char* const* argv, Options& options);

// Runs the import or export command; returns the exit status.
int RunImportExport(const Options& options);

// The name map's path beside MODEL: "plan.tvd" -> "plan.names.json".
std::string NameMapPath(const std::string& modelPath);

}  // namespace tavo::cli
