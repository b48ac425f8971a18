// The one place where text changes encoding. Inside the core every text is a
// byte string in code page 932 with CR LF line ends; UTF-8 exists only at the
// edges (a UTF-8 model read on request, the terminal, the window).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavo {

// Result of a strict conversion: ok, or the byte offset of the first byte
// that is not valid in the source encoding.
struct ConversionResult {
  bool ok = true;
  std::size_t badOffset = 0;
};

// Strict conversions through iconv. On failure `out` holds what was converted
// before the bad byte.
ConversionResult Utf8ToCp932(std::string_view in, std::string& out);
ConversionResult Cp932ToUtf8Strict(std::string_view in, std::string& out);

// Lenient conversion for display: bytes that are not valid code page 932 come
// out as U+FFFD, so a report can always be shown.
std::string Cp932ToUtf8(std::string_view in);

// Converts text in the encoding named by `charset` (as iconv names it) to code
// page 932; bytes that cannot be converted become '?'.
std::string ToCp932From(std::string_view in, const char* charset);

// Checks that `in` is valid code page 932 (no stray lead byte, no byte that
// the code page leaves undefined).
ConversionResult ValidateCp932(std::string_view in);

// CR LF becomes LF (for UTF-8 output on a terminal or pipe).
std::string CrLfToLf(std::string_view in);

// 1-based line number of the byte at `offset` (counting line feeds before it)
// and the 1-based byte position within that line.
void LineAndColumn(std::string_view text, std::size_t offset, std::size_t& line, std::size_t& column);

// True for a byte that starts a double-byte character in code page 932.
inline bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The first `width` bytes of `text` padded with blanks to `width`, cut before
// a double-byte character that would straddle the end, so that a fixed-width
// name or label never ends in half a character.
std::string FixedWidthCp932(std::string_view text, std::size_t width);

}  // namespace tavo
