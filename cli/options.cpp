#include "cli/options.h"

#include <cctype>
#include <string_view>

#include "cli/import_export.h"
#include "shell/settings.h"

namespace tavo::cli {
namespace {

constexpr const char* kSettingKeys[] = {"PMCMP",    "BB_LENGTH",  "ICODE", "ROUND", "SENSITIVITY",
                                        "NOINVERT", "MAXITERATE", "ETOL",  "ZTOL",  "CTOL"};

bool IsSettingKey(const std::string& key) {
  for (const char* k : kSettingKeys)
    if (key == k) return true;
  return false;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// "log,rows" -> the four flags. Unknown names, empty items and "none" mixed
// with names are usage errors.
std::string ParseReportList(std::string_view list, Options& o) {
  if (list == "none") {
    o.reportLog = o.reportColumns = o.reportRows = o.reportError = false;
    o.reportJson = false;
    return {};
  }
  if (list == "json") {
    o.reportLog = o.reportColumns = o.reportRows = o.reportError = false;
    o.reportJson = true;
    return {};
  }
  bool log = false, columns = false, rows = false, error = false;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = list.find(',', start);
    std::string_view item = list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
    if (item == "log") {
      log = true;
    } else if (item == "columns") {
      columns = true;
    } else if (item == "rows") {
      rows = true;
    } else if (item == "error") {
      error = true;
    } else if (item == "json") {
      return "--report: json stands alone (the JSON document is the whole of standard output)";
    } else if (item.empty()) {
      return "--report: empty item in '" + std::string(list) + "'";
    } else {
      return "--report: unknown text '" + std::string(item) + "' (choose from log, columns, rows, error, or none)";
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  o.reportLog = log;
  o.reportColumns = columns;
  o.reportRows = rows;
  o.reportError = error;
  o.reportJson = false;
  return {};
}

std::string ParseSet(std::string_view assignment, Options& o) {
  std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos) return "--set: expected KEY=VALUE, got '" + std::string(assignment) + "'";
  std::string key(assignment.substr(0, eq));
  std::string value(assignment.substr(eq + 1));
  // Keys are case-insensitive, like the words of the model language.
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!IsSettingKey(key)) {
    return "--set: unknown setting '" + key +
           "' (PMCMP BB_LENGTH ICODE ROUND SENSITIVITY NOINVERT MAXITERATE ETOL ZTOL CTOL)";
  }
  SolverSettings scratch = DefaultSettings();
  if (!SetSettingByName(scratch, key, value)) {
    bool whole = key != "ETOL" && key != "ZTOL" && key != "CTOL";
    return "--set: bad value '" + value + "' for " + key + " (expected " +
           (whole ? "a whole number" : "a decimal number") + ")";
  }
  o.sets.emplace_back(key, value);
  return {};
}

}  // namespace

bool ArgumentReader::Next(bool& positional, std::string& name, std::string& value, bool& hasValue) {
  while (next_ < argc_) {
    const std::string arg = argv_[next_++];
    positional = optionsEnded_ || arg.size() < 2 || arg[0] != '-';
    hasValue = false;
    if (positional) {
      name.clear();
      value = arg;
      return true;
    }
    if (arg == "--") {
      optionsEnded_ = true;
      continue;
    }
    const std::size_t eq = arg.find('=');
    if (arg.starts_with("--") && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    } else {
      name = arg;
      value.clear();
    }
    return true;
  }
  return false;
}

bool ArgumentReader::TakeValue(std::string& value) {
  if (next_ >= argc_) return false;
  value = argv_[next_++];
  return true;
}

bool ParseEncoding(const std::string& value, Encoding& out) {
  const std::string v = Lower(value);
  if (v == "cp932") {
    out = Encoding::kCp932;
    return true;
  }
  if (v == "utf-8" || v == "utf8") {
    out = Encoding::kUtf8;
    return true;
  }
  return false;
}

std::string ParseOptions(int argc, const char* const* argv, Options& o) {
  o = Options{};
  if (argc < 2) return "missing command (solve, check, --help or --version)";
  std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    o.command = Command::kHelp;
    return {};
  }
  if (command == "--version" || command == "-V" || command == "version") {
    o.command = Command::kVersion;
    return {};
  }
  if (command == "import" || command == "export") {
    o.command = command == "import" ? Command::kImport : Command::kExport;
    return ParseExchangeOptions(argc, argv, o);
  }
  if (command == "solve") {
    o.command = Command::kSolve;
  } else if (command == "check") {
    o.command = Command::kCheck;
  } else {
    return "unknown command '" + std::string(command) + "' (expected solve, check, --help or --version)";
  }

  bool haveModel = false;
  ArgumentReader args(argc, argv);
  bool positional = false, inlineValue = false;
  std::string name, value;
  while (args.Next(positional, name, value, inlineValue)) {
    if (positional) {
      if (haveModel) return "more than one MODEL given ('" + o.model + "' and '" + value + "')";
      o.model = value;
      haveModel = true;
      continue;
    }
    if ((name == "--help" || name == "-h") && !inlineValue) {
      o.command = Command::kHelp;
      return {};
    }
    if (name == "--no-warnings") {
      if (inlineValue) return "option --no-warnings takes no value";
      o.warnings = false;
      continue;
    }
    bool known = name == "--out-dir" || name == "--report" || name == "--set" || name == "--profile" ||
                 name == "--input-encoding" || name == "--output-encoding" || name == "--json" || name == "--layout";
    if (!known) return "unknown option '" + name + "' (see tavo --help)";
    if (!inlineValue && !args.TakeValue(value)) return "option " + name + " needs a value";
    std::string error;
    if (name == "--out-dir") {
      if (value.empty()) return "--out-dir: empty directory name";
      o.outDir = value;
    } else if (name == "--report") {
      error = ParseReportList(value, o);
    } else if (name == "--set") {
      error = ParseSet(value, o);
    } else if (name == "--profile") {
      if (value.empty()) return "--profile: empty file name";
      o.profile = value;
      o.haveProfile = true;
    } else if (name == "--json") {
      if (value.empty()) return "--json: empty file name";
      o.jsonFile = value;
    } else if (name == "--layout") {
      if (value == "aligned") {
        o.alignedLayout = true;
      } else if (value == "tabs") {
        o.alignedLayout = false;
      } else {
        error = "--layout: unknown layout '" + value + "' (aligned or tabs)";
      }
    } else if (name == "--input-encoding") {
      if (!ParseEncoding(value, o.inputEncoding))
        error = "--input-encoding: unknown encoding '" + value + "' (cp932 or utf-8)";
    } else {
      if (!ParseEncoding(value, o.outputEncoding))
        error = "--output-encoding: unknown encoding '" + value + "' (utf-8 or cp932)";
    }
    if (!error.empty()) return error;
  }
  if (!haveModel) return "missing MODEL (a model file, or - for standard input)";
  return {};
}

const char* UsageText() {
  return "Usage:\n"
         "  tavo solve MODEL [options]   optimise the model\n"
         "  tavo check MODEL [options]   read the model only and print the calculation log\n"
         "  tavo import FILE -o MODEL    MPS (fixed, free, .gz) or CPLEX LP file to model text\n"
         "                               (--from lp|mps); the name map goes beside MODEL\n"
         "  tavo export MODEL -o FILE    model text to CPLEX LP (.lp) or free MPS (.mps), goal\n"
         "                               levels as prioritised objectives; --level K\n"
         "                               --hold v1,...  for goal K with goals 1..K-1 held\n"
         "  tavo --help | --version\n"
         "\n"
         "MODEL is a model file (normally .tvd), or - for standard input.\n"
         "\n"
         "Options:\n"
         "  --out-dir DIR          also write log.txt, columns.txt, rows.txt and error.txt into DIR\n"
         "                         (code page 932, CR LF); DIR is created when missing\n"
         "  --report LIST          texts for standard output, comma separated from\n"
         "                         log, columns, rows, error (default: all four), or none;\n"
         "                         json alone for the JSON document instead of the texts\n"
         "  --set KEY=VALUE        override a setting for this run (repeatable); KEY is one of\n"
         "                         PMCMP BB_LENGTH ICODE ROUND SENSITIVITY NOINVERT MAXITERATE\n"
         "                         ETOL ZTOL CTOL\n"
         "  --profile FILE         read the settings from FILE instead of\n"
         "                         ${XDG_CONFIG_HOME:-$HOME/.config}/Marvolen/TAVO.ini\n"
         "  --input-encoding ENC   cp932 (default) or utf-8: the encoding of MODEL\n"
         "  --output-encoding ENC  utf-8 (default, LF line ends) or cp932 (bytes unchanged)\n"
         "  --json FILE            also write the whole outcome as one JSON document\n"
         "                         (UTF-8; schema in docs/result.schema.json)\n"
         "  --layout aligned       lay the texts on standard output out at the results\n"
         "                         window's tab stops (blanks instead of tabs)\n"
         "  --no-warnings          no warnings about likely slips in MODEL on standard error\n"
         "\n"
         "Exit status:\n"
         "  0      optimal solution (result code 1)\n"
         "  1      data errors in the model\n"
         "  2..7   result code: 2 infeasible, 3 unbounded, 4 iteration limit,\n"
         "         5 data error during branch and bound, 6 forced termination with a\n"
         "         feasible solution, 7 forced termination without one\n"
         "  64     command-line usage error\n"
         "  66     the model cannot be read or is not valid in the input encoding\n"
         "  73     an output file cannot be written\n"
         "\n"
         "Ctrl-C asks for forced termination; a second Ctrl-C ends the program at once.\n";
}

const char* VersionText() { return "tavo 0.1.0"; }

}  // namespace tavo::cli
