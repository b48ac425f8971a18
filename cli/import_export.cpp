#include "cli/import_export.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include <unistd.h>

#include "cli/app.h"
#include "cli/output.h"
#include "model/exchange_model.h"
#include "model/model_export.h"
#include "model/model_import.h"
#include "model/model_writers.h"
#include "model/mps_reader.h"

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

// Names other programs read back as themselves: ASCII letters, digits and
// '_' or '.', a letter first, and no keyword of the LP format.
bool IsPortableName(const std::string& name) {
  static const std::unordered_set<std::string> kKeywords = {
      "minimize", "minimise", "minimum", "min",   "maximize", "maximise", "maximum",  "max",     "subject",
      "such",     "st",       "bounds",  "bound", "general",  "generals", "gen",      "integer", "integers",
      "binary",   "binaries", "bin",     "end",   "free",     "inf",      "infinity", "semi",    "sos"};
  if (name.empty() || name.size() > 255) return false;
  const char c0 = name[0];
  if (!((c0 >= 'A' && c0 <= 'Z') || (c0 >= 'a' && c0 <= 'z'))) return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.'))
      return false;
  return kKeywords.count(LowerAscii(name)) == 0;
}

int RunImport(const Options& o) {
  std::string text;
  errno = 0;
  if (!exchange::ReadWholeFile(o.model, text)) {
    PrintReason("cannot read " + o.model + (errno ? std::string(": ") + std::strerror(errno) : std::string()));
    return kExitNoInput;
  }
  const exchange::SourceFormat format = o.sourceFormat == "lp"    ? exchange::SourceFormat::kLp
                                        : o.sourceFormat == "mps" ? exchange::SourceFormat::kMps
                                                                  : exchange::FormatOfPath(o.model);
  exchange::ImportOutcome outcome;
  std::string error;
  std::string source = o.model;
  const std::size_t slash = source.rfind('/');
  if (slash != std::string::npos) source = source.substr(slash + 1);
  if (!exchange::ImportModelText(text, format, source, outcome, error)) {
    PrintReason(o.model + ": " + error);
    return kExitDataError;
  }
  text.clear();
  text.shrink_to_fit();
  for (const std::string& note : outcome.notes)
    std::fprintf(stderr, "tavo import: %s: %s\n", o.model.c_str(), note.c_str());
  std::string reason;
  if (!WriteWholeFile(o.outputFile, outcome.modelText, reason) ||
      !WriteWholeFile(NameMapPath(o.outputFile), outcome.namesJson, reason)) {
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
  exchange::Model model;
  std::string messages;
  if (!exchange::ParseModelForExport(text, model, messages)) {
    if (messages.find("\r\n") != std::string::npos)
      WriteAll(stderr, DataErrorLines(messages, displayName, o.outputEncoding));
    else
      PrintReason(displayName + ": " + messages);
    PrintReason(displayName + ": the model has data errors; nothing written");
    return kExitDataError;
  }
  const int goals = static_cast<int>(model.goals.size());
  if (o.level > goals) {
    PrintReason("--level " + std::to_string(o.level) + ": the model has " + std::to_string(goals) + " goal rows");
    return kExitUsage;
  }
  if (o.level > 0 && static_cast<int>(o.holds.size()) != o.level - 1) {
    PrintReason("--hold: level " + std::to_string(o.level) + " needs " + std::to_string(o.level - 1) +
                " values (the optima of goals 1.." + std::to_string(o.level - 1) + "), got " +
                std::to_string(o.holds.size()));
    return kExitUsage;
  }

  // Names the other formats could misread get plain ones.
  std::unordered_set<std::string> taken;
  for (const exchange::Var& v : model.vars)
    if (IsPortableName(v.name)) taken.insert(LowerAscii(v.name));
  int renamed = 0;
  std::string examples;
  for (std::size_t j = 0; j < model.vars.size(); ++j) {
    exchange::Var& v = model.vars[j];
    if (IsPortableName(v.name)) continue;
    std::string next = "x" + std::to_string(j + 1);
    for (int k = 1; taken.count(next); ++k) next = "x" + std::to_string(j + 1) + "_" + std::to_string(k);
    taken.insert(next);
    if (++renamed <= 5) examples += (renamed > 1 ? ", " : "") + v.name + " -> " + next;
    v.name = next;
  }
  if (renamed)
    std::fprintf(stderr, "tavo export: %s: %d variable names are written in another form (%s%s)\n", displayName.c_str(),
                 renamed, examples.c_str(), renamed > 5 ? ", ..." : "");

  const bool lp = EndsWith(LowerAscii(o.outputFile), ".lp");
  std::string out;
  if (o.level > 0) {
    out =
        lp ? exchange::WriteLpFormat(model, o.level - 1, o.holds) : exchange::WriteFreeMps(model, o.level - 1, o.holds);
  } else if (goals == 1) {
    out = lp ? exchange::WriteLpFormat(model, 0, {}) : exchange::WriteFreeMps(model, 0, {});
  } else {
    out = lp ? exchange::WriteLpMultiObjective(model) : exchange::WriteFreeMps(model, -1, {});
  }
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
