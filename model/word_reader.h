// Small lexical helpers shared by the word reader and the parser.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "model/parser_state.h"

namespace tavo {

class CalcRun;

// The word reader over a parser state, for the parser (through CalcRun's
// ReadWord and ReadTerm) and for scans of the model text that must read the
// words exactly as the parser does. ReadWordIn returns the next word,
// upper-cased (empty at the end of the text); ReadTermIn the next word with
// its classification and numeric part. A number written after the terms of a
// line right before an operator is reported through `reporter`, or not at
// all when it is null.
std::string ReadWordIn(ParserState& P, const std::string& text);
std::string ReadTermIn(ParserState& P, const std::string& text, CalcRun* reporter);

// True when `word` is exactly the literal (a keyword test without a library
// call for every word read).
template <std::size_t N>
inline bool Is(const std::string& word, const char (&literal)[N]) {
  return word.size() == N - 1 && std::memcmp(word.data(), literal, N - 1) == 0;
}

// Length of the numeric part of a word: its leading run of digits, '.' and '@'.
std::size_t NumericLength(const std::string& word);

// Upper-cases the ASCII letters of a code page 932 word; the second byte of a
// double-byte character is never changed (a lead byte as the last byte is left
// alone).
void UpperCaseCp932(std::string& word);

// Relational-operator class of a word by its first byte: kTokGreater,
// kTokLess, kTokEqual, or kTokPlain for any other word.
int OperatorClass(const std::string& word);

}  // namespace tavo
