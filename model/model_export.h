// Model text read by TAVO's own parser into the neutral model, so that a
// model written out for other solvers means exactly what TAVO solves.
#pragma once

#include <string>

#include "model/exchange_model.h"

namespace tavo::exchange {

// Parses `text` (code page 932, as the editor holds it) with the model
// parser. On success fills `out`: goals in order (the sense as written), the
// constraint rows with their labels, the variables with bounds and kinds.
// Returns false with the parser's messages (code page 932, CR LF) in
// `messages` when the text has data errors, or with a reason when the
// parsed bounds contradict each other.
bool ParseModelForExport(const std::string& text, Model& out, std::string& messages);

}  // namespace tavo::exchange
