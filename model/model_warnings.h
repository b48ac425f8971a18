// Warnings about model texts that read as something their writer most
// likely did not mean. The model language stays as it is (stored models rely
// on it): these texts parse without error, and the warnings only point them
// out, so that the command line and the desktop can show them beside the
// line they concern.
#pragma once

#include <string>
#include <vector>

namespace tavo {

enum class WarningKind {
  kOperatorInName,    // "3X-2Y" is one variable named X-2Y
  kExponentLikeName,  // "1.5E2X" is 1.5 times a variable named E2X
  kRepeatedInRow,     // "2X + Y + 3X": the later coefficient replaces the earlier
  kLikelyMisspelt,    // a variable of one row whose name is one edit from another variable's
};

struct ModelWarning {
  int line = 0;  // line of the model text, 1-based
  WarningKind kind = WarningKind::kOperatorInName;
  std::string text;  // code page 932, without line end: the warning's text + "( " + detail + " )"
};

// The warnings of a model text (code page 932), in the order of their lines.
// A light scan of its own that reads the words exactly as the parser does;
// it never changes a parse and never fails (a text the parser rejects gets
// the warnings of what it could read).
//
// - a name in a row that holds '+', '-', '*', '/' or '.';
// - a term written as a number directly followed by E and a digit (or E, a
//   sign and a digit): the number is the coefficient and the rest the name;
// - a variable written twice in one row (warned once, at the second term);
// - a variable that stands in exactly one row, is named in no declaration,
//   has at least 3 characters, and is one edit (a character inserted,
//   deleted or changed, or two neighbours swapped) from a variable that
//   stands in another row. Not when a variable of its own row is also one
//   edit from it (a pair written side by side, as deviation variables D1N
//   and D1P of a goal program), nor when the edit touches only digits
//   (numbered families such as X1 and X2).
std::vector<ModelWarning> FindModelWarnings(const std::string& modelTextCp932);

}  // namespace tavo
