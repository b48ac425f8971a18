// Turns a model read from an MPS or CPLEX LP file into TAVO model text.
// What the model language cannot say directly is said another way, and each
// such change is listed as a note for the user: names that are not valid
// model names are replaced (the name map keeps the originals), negative
// bounds become rows, columns in no row are registered by a row that
// restricts nothing, an objective constant is kept in a comment and in the
// name map. Integer columns that may take negative values are refused.
#pragma once

#include <string>
#include <vector>

#include "model/exchange_model.h"

namespace tavo::exchange {

enum class SourceFormat { kMps, kLp };

// The format a file name suggests: ".lp" (also ".lp.gz") is LP, anything else MPS.
SourceFormat FormatOfPath(const std::string& path);

struct ImportOutcome {
  std::string modelText;           // TAVO model text (ASCII, CR LF)
  std::string namesJson;           // the name map (UTF-8 JSON, LF)
  std::vector<std::string> notes;  // one line each, what was said another way
  Model model;                     // the model as written, with its new names
};

// Reads `text` (already decompressed) as `format`. `sourceName` is named in
// the name map. Returns false with a one-line reason in `error`.
bool ImportModelText(const std::string& text, SourceFormat format, const std::string& sourceName, ImportOutcome& out,
                     std::string& error);

// A variable name the model text reads back as itself: a letter, then
// letters, digits, '_' or '.', at most 8 characters, upper case, not a
// reserved word.
bool IsPlainModelName(const std::string& name);

}  // namespace tavo::exchange
