#include "shell/codec.h"

#include <iconv.h>
#include <cerrno>

namespace tavo {
namespace {

// Converts through iconv. With `lenient`, every invalid or incomplete
// sequence is replaced by `replacement` and conversion goes on.
ConversionResult Convert(std::string_view in, const char* from, const char* to, std::string& out, bool lenient,
                         std::string_view replacement) {
  out.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without the converter nothing can be told apart: pass bytes through.
    out.assign(in);
    return {};
  }
  ConversionResult result;
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (rc != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: an invalid or incomplete sequence at `src`.
    if (!lenient) {
      result.ok = false;
      result.badOffset = static_cast<std::size_t>(src - in.data());
      break;
    }
    out.append(replacement);
    ++src;
    --srcLeft;
  }
  if (result.ok) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
  }
  iconv_close(cd);
  return result;
}

}  // namespace

ConversionResult Utf8ToCp932(std::string_view in, std::string& out) {
  return Convert(in, "UTF-8", "CP932", out, false, {});
}

ConversionResult Cp932ToUtf8Strict(std::string_view in, std::string& out) {
  return Convert(in, "CP932", "UTF-8", out, false, {});
}

std::string Cp932ToUtf8(std::string_view in) {
  std::string out;
  Convert(in, "CP932", "UTF-8", out, true, "\xEF\xBF\xBD");
  return out;
}

std::string ToCp932From(std::string_view in, const char* charset) {
  std::string out;
  Convert(in, charset, "CP932", out, true, "?");
  return out;
}

ConversionResult ValidateCp932(std::string_view in) {
  std::string scratch;
  return Cp932ToUtf8Strict(in, scratch);
}

std::string CrLfToLf(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n') continue;
    out.push_back(in[i]);
  }
  return out;
}

void LineAndColumn(std::string_view text, std::size_t offset, std::size_t& line, std::size_t& column) {
  line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  column = offset - lineStart + 1;
}

std::string FixedWidthCp932(std::string_view text, std::size_t width) {
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t step = IsCp932LeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
    if (end + step > width) break;
    end += step;
  }
  std::string out(text.substr(0, end));
  out.resize(width, ' ');
  return out;
}

}  // namespace tavo
