// State shared by the model parser and its word reader during one parse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/name_index.h"

namespace tavo {

// Classification of the last word read (g_tokenClass). The operator codes
// equal the row type codes the parser stores.
constexpr int kTokPlain = 0;
constexpr int kTokLabel = 1;    // word ended by ')'
constexpr int kTokGreater = 2;  // ">" or ">="
constexpr int kTokLess = 3;     // "<" or "<="
constexpr int kTokEqual = 4;    // "=" or "=="
constexpr int kTokPlus = 5;
constexpr int kTokMinus = 6;

// Where the storing pass stands: the row being stored, the sign word in hand,
// and what the declarations need from the passes before them.
struct StoringCursor {
  int row = 0;                  // the row being stored (r)
  int sign = 0;                 // sign state (s): 0 none, 1 plus, 2 minus
  bool boundRows = false;       // SUB and SLB also become rows of their own
  int intPrefix = 0;            // leading columns that hold exactly the state of the last "INT k"
  std::vector<int> rowColumns;  // columns written in the constraint row being stored
};

struct ParserState {
  int g_textPos = 0;       // index of the next unread byte
  int g_lineNo = 1;        // current line, 1-based
  std::string g_token;     // current word, upper-cased
  std::string g_numPart;   // numeric part of the current word
  std::string g_namePart;  // name part of a term; the name FindVariable looks up
  int g_tokenClass = kTokPlain;
  int g_lineTerms = 0;      // named terms since the last line feed
  int g_boundRowCount = 0;  // SUB/SLB declarations that become bound rows
  std::uint8_t g_inDeclarations = 0;
  std::uint8_t g_inConstraints = 0;
  std::uint8_t g_haveRowLabels = 0;
  std::string g_modelTitle;  // read by the reports
  // True when the last term read was a detached number joined with the name
  // after it ("3 X"); read by the scan of warnings, never by the parser.
  bool g_joinedNumber = false;

  // The text being parsed (set by ParseModel for the counting pass).
  const std::string* g_text = nullptr;
  // Whole variable names in column order. CNAME keeps only the first 8 bytes
  // of each name for the reports; lookups compare whole names, so two long
  // names that share their first 8 bytes stay two variables.
  std::vector<std::string> g_varNames;
  // Whole name -> its column (the first occurrence), so that a lookup does
  // not scan the table.
  NameIndex g_varIndex;
  // The storing pass's position (set afresh when the pass begins).
  StoringCursor g_store;
};

}  // namespace tavo
