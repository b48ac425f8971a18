// The command line's arguments: what to run, on which model, with which
// settings overrides, and where the texts go.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavo::cli {

enum class Command { kNone, kSolve, kCheck, kHelp, kVersion, kImport, kExport };
enum class Encoding { kCp932, kUtf8 };

struct Options {
  Command command = Command::kNone;
  std::string model;   // a path, or "-" for standard input
  std::string outDir;  // empty: no files
  // Texts that go to standard output (always in the order log, columns, rows, error).
  bool reportLog = true;
  bool reportColumns = true;
  bool reportRows = true;
  bool reportError = true;
  // --report json: the outcome as a JSON document on standard output instead of the texts.
  bool reportJson = false;
  std::string jsonFile;        // --json FILE: also write the JSON document there (empty: no file)
  bool alignedLayout = false;  // --layout aligned: texts on standard output laid out at the tab stops
  // --set overrides in the order given; each already checked by SetSettingByName.
  std::vector<std::pair<std::string, std::string>> sets;
  bool haveProfile = false;
  std::string profile;
  Encoding inputEncoding = Encoding::kCp932;
  Encoding outputEncoding = Encoding::kUtf8;
  // Warnings about likely slips in the model on standard error (--no-warnings turns them off).
  bool warnings = true;
  // import and export (cli/import_export.h): -o FILE, import's --from, export's --level K and --hold v1,...
  std::string outputFile;
  std::string sourceFormat;  // "lp", "mps", or empty: from the file name
  int level = 0;             // 0: every goal level
  std::vector<double> holds;
};

// The arguments after a command, one word at a time: positional words, and
// options with their value written "--name=value" or "--name value". A lone
// "--" ends the options; what follows it is positional.
class ArgumentReader {
 public:
  ArgumentReader(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}
  // The next word; false when none is left. For an option, `name` is the
  // option and `value` its inline value (`hasValue` says whether one was written).
  bool Next(bool& positional, std::string& name, std::string& value, bool& hasValue);
  // The value of an option written "--name value": the next argument; false when there is none.
  bool TakeValue(std::string& value);

 private:
  int argc_;
  const char* const* argv_;
  int next_ = 2;  // argv[0] is the program, argv[1] the command
  bool optionsEnded_ = false;
};

// "cp932", or "utf-8"/"utf8", in any case.
bool ParseEncoding(const std::string& value, Encoding& out);

// Reads argv into `options`. Returns an empty string on success, else the
// one-line reason of the usage error (without the program name).
std::string ParseOptions(int argc, const char* const* argv, Options& options);

// The text of `tavo --help` (UTF-8, LF line ends).
const char* UsageText();

// The version line printed by `tavo --version` (without a line end).
const char* VersionText();

}  // namespace tavo::cli
