#include "cli/output.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shell/codec.h"
#include "shell/texts.h"

namespace tavo::cli {
namespace {

bool EndsWithLineEnd(std::string_view text) { return !text.empty() && text.back() == '\n'; }

void AppendText(std::string& out, std::string_view cp932, Encoding encoding) {
  if (cp932.empty()) return;
  out += ForOutput(cp932, encoding);
  if (!EndsWithLineEnd(cp932)) out += LineEnd(encoding);
}

bool WriteFile(const std::filesystem::path& path, std::string_view data, std::string& reason) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    reason = "cannot write '" + path.string() + "': " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  int writeErrno = errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    writeErrno = errno;
  }
  if (!ok) reason = "cannot write '" + path.string() + "': " + std::strerror(writeErrno);
  return ok;
}

}  // namespace

const char* LineEnd(Encoding encoding) { return encoding == Encoding::kUtf8 ? "\n" : "\r\n"; }

std::string ForOutput(std::string_view cp932, Encoding encoding) {
  if (encoding == Encoding::kCp932) return std::string(cp932);
  return CrLfToLf(Cp932ToUtf8(cp932));
}

std::string MessageLine(std::string_view cp932, Encoding encoding) {
  std::string line;
  line.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    char c = cp932[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') ++i;
      if (i + 1 < cp932.size()) line += ' ';
      continue;
    }
    line += c;
  }
  return ForOutput(line, encoding) + LineEnd(encoding);
}

std::string ComposeReport(const CalcResult& result, const Options& options) {
  std::string out;
  Encoding e = options.outputEncoding;
  if (options.reportLog) AppendText(out, result.logText, e);
  if (options.reportColumns) AppendText(out, result.columnsText, e);
  if (options.reportRows) AppendText(out, result.rowsText, e);
  if (options.reportError) AppendText(out, result.errorText, e);
  return out;
}

std::string WarningLines(const std::vector<ModelWarning>& warnings, const std::string& fileName, Encoding encoding) {
  std::string out;
  for (const ModelWarning& w : warnings) {
    out += fileName + ":" + std::to_string(w.line) + ": " + ForOutput(T().warningLabel + w.text, encoding);
    out += LineEnd(encoding);
  }
  return out;
}

namespace {

std::string_view WithoutLeadingBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

std::string_view WithoutLineEnd(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

// "Line n : text" -> n and text; false for any other line.
bool SplitNumberedLine(std::string_view line, std::string_view& number, std::string_view& text) {
  const std::string& prefix = T().linePrefix;
  if (!line.starts_with(prefix)) return false;
  std::size_t i = prefix.size(), start = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == start || !line.substr(i).starts_with(" :")) return false;
  number = line.substr(start, i - start);
  text = WithoutLeadingBlanks(line.substr(i + 2));
  return true;
}

// Error lines of the log that carry no line number.
bool IsUnnumberedError(std::string_view line) {
  const Texts& t = T();
  for (const std::string* known : {&t.msgNoSt, &t.msgNoObjective, &t.msgNoConstraint, &t.msgNoVariable, &t.outOfMemory,
                                   &t.setupBoundPrefix, &t.setupFlagCombination, &t.setupNotFinite}) {
    const std::string_view start = WithoutLineEnd(WithoutLeadingBlanks(*known));
    if (!start.empty() && line.starts_with(start)) return true;
  }
  return false;
}

}  // namespace

std::vector<DataError> FindDataErrors(std::string_view logText) {
  std::vector<DataError> out;
  while (!logText.empty()) {
    const std::size_t end = logText.find('\n');
    const std::string_view line = WithoutLineEnd(logText.substr(0, end));
    logText.remove_prefix(end == std::string_view::npos ? logText.size() : end + 1);
    std::string_view number, text;
    if (SplitNumberedLine(line, number, text)) {
      DataError e;
      for (char c : number) e.line = e.line > 100000000 ? e.line : e.line * 10 + (c - '0');
      e.text = std::string(text);
      out.push_back(std::move(e));
    } else if (IsUnnumberedError(WithoutLeadingBlanks(line))) {
      out.push_back(DataError{0, std::string(WithoutLeadingBlanks(line))});
    }
  }
  return out;
}

std::string DataErrorLines(std::string_view logText, const std::string& fileName, Encoding encoding) {
  std::string out;
  for (const DataError& e : FindDataErrors(logText)) {
    out += fileName + (e.line > 0 ? ":" + std::to_string(e.line) : std::string()) + ": " + ForOutput(e.text, encoding) +
           LineEnd(encoding);
  }
  return out;
}

bool ReadModelBytes(const std::string& path, std::string& bytes, std::string& reason) {
  bytes.clear();
  std::FILE* f = stdin;
  if (path != "-") {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      reason = "cannot read model file '" + path + "': Is a directory";
      return false;
    }
    f = std::fopen(path.c_str(), "rb");
    if (!f) {
      reason = "cannot read model file '" + path + "': " + std::strerror(errno);
      return false;
    }
  }
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  bool failed = std::ferror(f) != 0;
  int readErrno = errno;
  if (f != stdin) std::fclose(f);
  if (failed) {
    reason = (path == "-" ? std::string("cannot read the model from standard input")
                          : "cannot read model file '" + path + "'") +
             ": " + std::strerror(readErrno);
    return false;
  }
  return true;
}

bool IsWellFormedUtf8(std::string_view s, std::size_t& badOffset) {
  std::size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;  // no overlong forms
      if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
      badOffset = i;
      return false;
    }
    if (i + len > n) {
      badOffset = i;
      return false;
    }
    for (std::size_t k = 1; k < len; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      unsigned l = k == 1 ? lo : 0x80, h = k == 1 ? hi : 0xBF;
      if (t < l || t > h) {
        badOffset = i;
        return false;
      }
    }
    i += len;
  }
  return true;
}

bool DecodeModel(const std::string& displayName, std::string_view bytes, Encoding encoding, std::string& text,
                 std::string& reason) {
  std::size_t line = 0, column = 0;
  if (encoding == Encoding::kCp932) {
    ConversionResult r = ValidateCp932(bytes);
    if (r.ok) {
      text.assign(bytes);
      return true;
    }
    LineAndColumn(bytes, r.badOffset, line, column);
    reason = displayName + ": not valid code page 932 at line " + std::to_string(line) + ", byte " +
             std::to_string(column) + " (use --input-encoding utf-8 for a UTF-8 model)";
    return false;
  }
  // A byte-order mark is not part of the model.
  std::string_view body = bytes;
  std::size_t skipped = 0;
  if (body.starts_with("\xEF\xBB\xBF")) {
    body.remove_prefix(3);
    skipped = 3;
  }
  std::size_t bad = 0;
  if (!IsWellFormedUtf8(body, bad)) {
    LineAndColumn(bytes, bad + skipped, line, column);
    reason = displayName + ": not valid UTF-8 at line " + std::to_string(line) + ", byte " + std::to_string(column);
    return false;
  }
  ConversionResult r = Utf8ToCp932(body, text);
  if (!r.ok) {
    LineAndColumn(bytes, r.badOffset + skipped, line, column);
    reason = displayName + ": the character at line " + std::to_string(line) + ", byte " + std::to_string(column) +
             " has no code page 932 form";
    return false;
  }
  return true;
}

bool PrepareOutDir(const std::string& dir, std::string& reason) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir)) {
    reason = "cannot create output directory '" + dir + "': " + (ec ? ec.message() : "Not a directory");
    return false;
  }
  return true;
}

bool WriteOutDir(const std::string& dir, const CalcResult& result, std::string& reason) {
  std::filesystem::path base(dir);
  return WriteFile(base / "log.txt", result.logText, reason) &&
         WriteFile(base / "columns.txt", result.columnsText, reason) &&
         WriteFile(base / "rows.txt", result.rowsText, reason) &&
         WriteFile(base / "error.txt", result.errorText, reason);
}

bool WriteAll(std::FILE* stream, std::string_view data) {
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), stream) != data.size()) return false;
  return std::fflush(stream) == 0;
}

}  // namespace tavo::cli
