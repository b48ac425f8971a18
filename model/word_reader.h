// Small lexical helpers shared by the word reader and the parser.
#pragma once

#include <cstddef>
#include <string>

namespace tavo {

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
