// The front ends' entry for model exchange (shell/exchange.h): the import
// and export flows over the readers, the parser's export and the writers.
#include "shell/exchange.h"

#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "model/exchange_model.h"
#include "model/model_export.h"
#include "model/model_import.h"
#include "model/model_writers.h"
#include "model/mps_reader.h"

namespace tavo {
namespace {

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
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

// Gives names that other programs could misread plain ones ("x" and the
// column number), and says so in one note with a few examples.
void RenameForOtherTools(exchange::Model& model, std::vector<std::string>& notes) {
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
  if (renamed) {
    notes.push_back(std::to_string(renamed) + " variable names are written in another form (" + examples +
                    (renamed > 5 ? ", ..." : "") + ")");
  }
}

}  // namespace

ImportStatus ImportModelFile(const std::string& path, ModelFileFormat format, ImportedModel& out, std::string& reason) {
  std::string text;
  errno = 0;
  if (!exchange::ReadWholeFile(path, text)) {
    reason = "cannot read " + path + (errno ? std::string(": ") + std::strerror(errno) : std::string());
    return ImportStatus::kUnreadable;
  }
  const exchange::SourceFormat source = format == ModelFileFormat::kLp    ? exchange::SourceFormat::kLp
                                        : format == ModelFileFormat::kMps ? exchange::SourceFormat::kMps
                                                                          : exchange::FormatOfPath(path);
  std::string name = path;
  const std::size_t slash = name.rfind('/');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  exchange::ImportOutcome outcome;
  if (!exchange::ImportModelText(text, source, name, outcome, reason)) return ImportStatus::kRefused;
  out.modelText = std::move(outcome.modelText);
  out.namesJson = std::move(outcome.namesJson);
  out.notes = std::move(outcome.notes);
  return ImportStatus::kDone;
}

ExportStatus ExportModelText(const std::string& text, bool lp, int level, const std::vector<double>& holds,
                             ExportedModel& out, std::string& messages) {
  exchange::Model model;
  if (!exchange::ParseModelForExport(text, model, messages)) return ExportStatus::kDataErrors;
  const int goals = static_cast<int>(model.goals.size());
  if (level > goals) {
    messages = "--level " + std::to_string(level) + ": the model has " + std::to_string(goals) + " goal rows";
    return ExportStatus::kNoSuchLevel;
  }
  if (level > 0 && static_cast<int>(holds.size()) != level - 1) {
    messages = "--hold: level " + std::to_string(level) + " needs " + std::to_string(level - 1) +
               " values (the optima of goals 1.." + std::to_string(level - 1) + "), got " +
               std::to_string(holds.size());
    return ExportStatus::kNoSuchLevel;
  }
  RenameForOtherTools(model, out.notes);
  if (level > 0) {
    out.fileText =
        lp ? exchange::WriteLpFormat(model, level - 1, holds) : exchange::WriteFreeMps(model, level - 1, holds);
  } else if (goals == 1) {
    out.fileText = lp ? exchange::WriteLpFormat(model, 0, {}) : exchange::WriteFreeMps(model, 0, {});
  } else {
    out.fileText = lp ? exchange::WriteLpMultiObjective(model) : exchange::WriteFreeMps(model, -1, {});
  }
  return ExportStatus::kDone;
}

}  // namespace tavo
