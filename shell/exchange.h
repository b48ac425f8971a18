// The front ends' entry for exchanging models with other tools: import of an
// MPS (fixed, free, gzip) or CPLEX LP file as TAVO model text, and export of
// model text as CPLEX LP or free MPS. Defined in model/ beside the readers
// and writers; a front end needs nothing else of that folder.
#pragma once

#include <string>
#include <vector>

namespace tavo {

enum class ModelFileFormat { kFromName, kLp, kMps };  // kFromName: ".lp" (also ".lp.gz") is LP, else MPS

struct ImportedModel {
  std::string modelText;           // TAVO model text (ASCII, CR LF)
  std::string namesJson;           // the name map (UTF-8 JSON, LF)
  std::vector<std::string> notes;  // one line each: what was said another way
};

enum class ImportStatus { kDone, kUnreadable, kRefused };

// Reads the file at `path` and converts it. kUnreadable: the file cannot be
// read; kRefused: its content cannot be said as a model (the reason says why).
ImportStatus ImportModelFile(const std::string& path, ModelFileFormat format, ImportedModel& out, std::string& reason);

struct ExportedModel {
  std::string fileText;            // the LP or MPS file
  std::vector<std::string> notes;  // one line each: names written in another form
};

enum class ExportStatus { kDone, kDataErrors, kNoSuchLevel };

// Writes model text (code page 932) as CPLEX LP (`lp`) or free MPS, read with
// TAVO's own parser. level 0: the whole program (one objective, or one per
// goal level with priorities in goal order); level K: goal K alone with goals
// 1..K-1 held at `holds`. kDataErrors: `messages` holds the parser's log
// lines, or a one-line reason; kNoSuchLevel: `messages` says what is wrong
// with the level or the held values.
ExportStatus ExportModelText(const std::string& text, bool lp, int level, const std::vector<double>& holds,
                             ExportedModel& out, std::string& messages);

}  // namespace tavo
