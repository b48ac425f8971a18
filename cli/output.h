// What leaves the command line: texts for the terminal or a pipe in the
// chosen encoding, the files of --out-dir, and the model read from its file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "shell/calc_result.h"
#include "shell/model_warnings.h"

namespace tavo::cli {

// A code page 932 text for standard output or error: UTF-8 with LF line ends,
// or the bytes unchanged.
std::string ForOutput(std::string_view cp932, Encoding encoding);

// The line end of the output encoding ("\n" or "\r\n").
const char* LineEnd(Encoding encoding);

// A message-box text as one line (its line breaks become blanks), in the
// output encoding, with a line end.
std::string MessageLine(std::string_view cp932, Encoding encoding);

// The chosen texts in the order log, columns, rows, error, each given a line
// end when it lacks one; empty texts contribute nothing.
std::string ComposeReport(const CalcResult& result, const Options& options);

// The model's warnings for standard error, one line each in the form
// compilers use, "FILE:LINE: 警告: text", in the output encoding. FILE is the
// model's name as the user gave it.
std::string WarningLines(const std::vector<ModelWarning>& warnings, const std::string& fileName, Encoding encoding);

// The data-error lines of a calculation log in the same form: "Line n : text"
// becomes "FILE:n: text", and an error line without line number (a missing
// heading, no objective, the set-up's bound and number errors, too large a
// model) becomes "FILE: text". Empty when the log holds no error line.
std::string DataErrorLines(std::string_view logText, const std::string& fileName, Encoding encoding);

// The data-error lines of a calculation log one by one (code page 932, without
// line end): the line number (0 when the error names none) and the text.
struct DataError {
  int line = 0;
  std::string text;
};
std::vector<DataError> FindDataErrors(std::string_view logText);

// Reads the model: a file, or standard input for "-". On failure returns
// false with a one-line reason.
bool ReadModelBytes(const std::string& path, std::string& bytes, std::string& reason);

// Turns the raw bytes into the core's code page 932 text. On failure returns
// false with a one-line reason that names the line and byte.
bool DecodeModel(const std::string& displayName, std::string_view bytes, Encoding encoding, std::string& text,
                 std::string& reason);

// True when `bytes` is well-formed UTF-8; otherwise `badOffset` is the first
// byte of the first malformed sequence.
bool IsWellFormedUtf8(std::string_view bytes, std::size_t& badOffset);

// Creates DIR (and its parents) when missing.
bool PrepareOutDir(const std::string& dir, std::string& reason);

// Writes log.txt, columns.txt, rows.txt and error.txt into DIR, byte for byte.
bool WriteOutDir(const std::string& dir, const CalcResult& result, std::string& reason);

// Writes all of `data` to `stream` and flushes it.
bool WriteAll(std::FILE* stream, std::string_view data);

}  // namespace tavo::cli
