// The command line program: `tavo solve`, `tavo check`, `tavo --help`,
// `tavo --version`.
#pragma once

namespace tavo::cli {

// Exit statuses besides 0..7 (the result codes).
constexpr int kExitDataError = 1;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 66;
constexpr int kExitCantCreate = 73;

// Exit status for a result code of set-up and solve.
int ExitStatusForResult(int resultCode);

int Main(int argc, const char* const* argv);

}  // namespace tavo::cli
