#include "cli/import_export.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "cli/app.h"
#include "cli/output.h"
#include "shell/exchange.h"

namespace tavo::cli {
namespace {

void PrintReason(const std::string& reason) { std::fprintf(stderr, "tavo: %s\n", reason.c_str()); }

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Writes `data` to `path` through a temporary file in the same folder and a
// rename, so that a failed write never leaves a half-written file.
bool WriteWholeFile(const std::string& path, const std::string& data, std::string& reason) {
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    reason = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (::fsync(::fileno(f)) == 0 || errno == EINVAL) && ok;
  const int saved = errno;
  ok = (std::fclose(f) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  reason = "cannot write " + path + ": " + std::strerror(ok ? errno : saved);
  std::remove(temp.c_str());
  return false;
}

bool ParseNumberList(const std::string& text, std::vector<double>& out) {
  out.clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    char* end = nullptr;
    const double v = std::strtod(item.c_str(), &end);
    if (item.empty() || end != item.c_str() + item.size()) return false;
    out.push_back(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

int RunImport(const Options& o) {
  const ModelFileFormat format = o.sourceFormat == "lp"    ? ModelFileFormat::kLp
                                 : o.sourceFormat == "mps" ? ModelFileFormat::kMps
                                                           : ModelFileFormat::kFromName;
  ImportedModel imported;
  std::string reason;
  switch (ImportModelFile(o.model, format, imported, reason)) {
    case ImportStatus::kUnreadable:
      PrintReason(reason);
      return kExitNoInput;
    case ImportStatus::kRefused:
      PrintReason(o.model + ": " + reason);
      return kExitDataError;
    case ImportStatus::kDone:
      break;
  }
  for (const std::string& note : imported.notes)
    std::fprintf(stderr, "tavo import: %s: %s\n", o.model.c_str(), note.c_str());
  if (!WriteWholeFile(o.outputFile, imported.modelText, reason) ||
      !WriteWholeFile(NameMapPath(o.outputFile), imported.namesJson, reason)) {
    PrintReason(reason);
    return kExitCantCreate;
  }
  return 0;
}

int RunExport(const Options& o) {
  std::string bytes, reason;
  if (!ReadModelBytes(o.model, bytes, reason)) {
    PrintReason(reason);
    return kExitNoInput;
  }
  const std::string displayName = o.model == "-" ? std::string("standard input") : o.model;
  std::string text;
  if (!DecodeModel(displayName, bytes, o.inputEncoding, text, reason)) {
    PrintReason(reason);
    return kExitNoInput;
  }
  ExportedModel exported;
  std::string messages;
  switch (ExportModelText(text, EndsWith(LowerAscii(o.outputFile), ".lp"), o.level, o.holds, exported, messages)) {
    case ExportStatus::kDataErrors:
      if (messages.find("\r\n") != std::string::npos)
        WriteAll(stderr, DataErrorLines(messages, displayName, o.outputEncoding));
      else
        PrintReason(displayName + ": " + messages);
      PrintReason(displayName + ": the model has data errors; nothing written");
      return kExitDataError;
    case ExportStatus::kNoSuchLevel:
      PrintReason(messages);
      return kExitUsage;
    case ExportStatus::kDone:
      break;
  }
  for (const std::string& note : exported.notes)
    std::fprintf(stderr, "tavo export: %s: %s\n", displayName.c_str(), note.c_str());
  const std::string& out = exported.fileText;
  if (!WriteWholeFile(o.outputFile, out, reason)) {
    PrintReason(reason);
    return kExitCantCreate;
  }
  return 0;
}

}  // namespace

std::string NameMapPath(const std::string& modelPath) {
  std::string base = modelPath;
  const std::size_t slash = base.rfind('/');
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) base.resize(dot);
  return base + ".names.json";
}

std::string ParseExchangeOptions(int argc, const char* const* argv, Options& o) {
  const bool import = o.command == Command::kImport;
  bool haveInput = false, haveLevel = false, haveHold = false;
  ArgumentReader args(argc, argv);
  bool positional = false, inlineValue = false;
  std::string name, value;
  while (args.Next(positional, name, value, inlineValue)) {
    if (positional) {
      if (haveInput) return "more than one input given ('" + o.model + "' and '" + value + "')";
      o.model = value;
      haveInput = true;
      continue;
    }
    if ((name == "--help" || name == "-h") && !inlineValue) {
      o.command = Command::kHelp;
      return {};
    }
    const bool known =
        name == "-o" || name == "--output" ||
        (import ? name == "--from" : (name == "--level" || name == "--hold" || name == "--input-encoding"));
    if (!known) return "unknown option '" + name + "' for " + (import ? "import" : "export") + " (see tavo --help)";
    if (!inlineValue && !args.TakeValue(value)) return "option " + name + " needs a value";
    if (name == "-o" || name == "--output") {
      if (value.empty()) return name + ": empty file name";
      o.outputFile = value;
    } else if (name == "--from") {
      const std::string v = LowerAscii(value);
      if (v != "lp" && v != "mps") return "--from: unknown format '" + value + "' (lp or mps)";
      o.sourceFormat = v;
    } else if (name == "--level") {
      char* end = nullptr;
      const long k = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || k < 1 || k > 1000000)
        return "--level: expected a goal number from 1, got '" + value + "'";
      o.level = static_cast<int>(k);
      haveLevel = true;
    } else if (name == "--hold") {
      if (!ParseNumberList(value, o.holds)) return "--hold: expected numbers separated by commas, got '" + value + "'";
      haveHold = true;
    } else if (!ParseEncoding(value, o.inputEncoding)) {
      return "--input-encoding: unknown encoding '" + value + "' (cp932 or utf-8)";
    }
  }
  if (!haveInput)
    return import ? "missing FILE (an MPS or CPLEX LP file)" : "missing MODEL (a model file, or - for standard input)";
  if (import && o.model == "-") return "import reads a file, not standard input";
  if (o.outputFile.empty()) return std::string("missing -o ") + (import ? "MODEL" : "FILE (.lp or .mps)");
  if (!import) {
    const std::string lower = LowerAscii(o.outputFile);
    if (!EndsWith(lower, ".lp") && !EndsWith(lower, ".mps"))
      return "-o: the output file must end in .lp (CPLEX LP) or .mps (free MPS), got '" + o.outputFile + "'";
  }
  if (haveHold && !haveLevel) return "--hold needs --level";
  return {};
}

int RunImportExport(const Options& options) {
  return options.command == Command::kImport ? RunImport(options) : RunExport(options);
}

}  // namespace tavo::cli
