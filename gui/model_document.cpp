#include "gui/model_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "shell/codec.h"

namespace tavo::gui {

namespace {

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + "\n" + path + "\n(" + std::strerror(err) + ")";
}

bool IsValidUtf8(const std::string& s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += len;
  }
  return true;
}

// Lines with their line end ('\n' ends a line; a last line may have none). A
// code page 932 trail byte is never 0x0A, so this also cuts code page 932
// text only between characters.
template <typename F>
void ForEachLine(const std::string& text, F f) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    f(start, end);
    start = end;
  }
}

// "U+XXXX" of the UTF-8 character at `offset` (a message box in code page
// 932 cannot show the character itself).
std::string CodePointAt(const std::string& s, std::size_t offset) {
  const unsigned char c = static_cast<unsigned char>(s[offset]);
  std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
  unsigned cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t k = 1; k < len && offset + k < s.size(); ++k) cp = (cp << 6) | (s[offset + k] & 0x3F);
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", cp);
  return buf;
}

// Lines whose conversion to UTF-8 and back does not give their bytes.
std::unordered_map<std::string, std::vector<std::string>> ExactLines(const std::string& bytes) {
  // Every line that reads as such a line is kept, those that do come back
  // too, so that each keeps its own bytes.
  std::vector<std::pair<std::string, std::string>> lines;
  std::unordered_map<std::string, std::vector<std::string>> exact;
  ForEachLine(bytes, [&](std::size_t b, std::size_t e) {
    std::string line = bytes.substr(b, e - b);
    std::string u, back;
    Cp932ToUtf8Strict(line, u);
    if (!Utf8ToCp932(u, back).ok || back != line) exact[u];
    lines.emplace_back(std::move(u), std::move(line));
  });
  if (exact.empty()) return exact;
  for (auto& [u, line] : lines) {
    if (auto it = exact.find(u); it != exact.end()) it->second.push_back(std::move(line));
  }
  return exact;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, FileError& error) {
  // Follow a symbolic link: its target is the file to replace.
  std::string target = path;
  char resolved[PATH_MAX];
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && ::realpath(path.c_str(), resolved)) target = resolved;

  const std::size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmp = dir + "/." + base + ".tavo-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    error.message = SystemError("ファイルを書き込めません。", path, errno);
    return false;
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    error.message = SystemError("ファイルを書き込めません。", path, err);
    return false;
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<std::size_t>(w);
  }
  // The new file takes the old one's permissions; a new file gets the
  // ordinary ones (0666 less the umask), not mkstemp's 0600.
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) return fail(errno);
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    error.message = SystemError("ファイルを書き込めません。", path, err);
    return false;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    error.message = SystemError("ファイルを書き込めません。", path, err);
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool CTAVODoc::Load(const std::string& path, std::string& utf8, bool& convertedFromUtf8, FileError& error) {
  convertedFromUtf8 = false;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error.message = SystemError("ファイルを開けません。", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error.message = SystemError("ファイルを開けません。", path, errno);
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error.message = SystemError("ファイルを読み込めません。", path, errno);
    return false;
  }
  std::string text;
  const ConversionResult r = Cp932ToUtf8Strict(bytes, text);
  if (!r.ok) {
    if (IsValidUtf8(bytes)) {
      exactLines_.clear();
      path_ = path;
      utf8 = std::move(bytes);
      convertedFromUtf8 = true;
      return true;
    }
    std::size_t line = 0, column = 0;
    LineAndColumn(bytes, r.badOffset, line, column);
    error.message = "ファイルはシフトJIS (コードページ 932) のテキストではありません。\n" + path + "\n(" +
                    std::to_string(line) + " 行目の " + std::to_string(column) + " バイト目)";
    return false;
  }
  // Lines whose conversion does not come back to the same bytes.
  exactLines_ = ExactLines(bytes);
  path_ = path;
  utf8 = std::move(text);
  return true;
}

bool CTAVODoc::Encode(const std::string& utf8, std::string& cp932, std::size_t& badOffset) const {
  cp932.clear();
  if (exactLines_.empty()) {
    const ConversionResult r = Utf8ToCp932(utf8, cp932);
    badOffset = r.badOffset;
    return r.ok;
  }
  bool ok = true;
  // The k-th line that looks like a remembered one gets the k-th bytes it had.
  std::unordered_map<std::string, std::size_t> used;
  ForEachLine(utf8, [&](std::size_t b, std::size_t e) {
    if (!ok) return;
    const std::string line = utf8.substr(b, e - b);
    if (auto it = exactLines_.find(line); it != exactLines_.end()) {
      std::size_t& k = used[line];
      cp932 += it->second[std::min(k, it->second.size() - 1)];
      ++k;
      return;
    }
    std::string part;
    const ConversionResult r = Utf8ToCp932(line, part);
    cp932 += part;
    if (!r.ok) {
      ok = false;
      badOffset = b + r.badOffset;
    }
  });
  return ok;
}

bool CTAVODoc::Save(const std::string& path, const std::string& utf8, FileError& error, std::size_t* badOffset) {
  std::string bytes;
  std::size_t bad = 0;
  if (!Encode(utf8, bytes, bad)) {
    std::size_t line = 0, column = 0;
    LineAndColumn(utf8, bad, line, column);
    // Column in characters, not bytes.
    std::size_t lineStart = bad - (column - 1), chars = 1;
    for (std::size_t i = lineStart; i < bad; ++i) {
      if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++chars;
    }
    error.message = std::to_string(line) + " 行目の " + std::to_string(chars) + " 文字目の文字 (" +
                    CodePointAt(utf8, bad) +
                    ") はシフトJIS (コードページ 932) で保存できない文字です。\n"
                    "この文字を書き換えてから保存してください。ファイルは変更されていません。";
    if (badOffset) *badOffset = bad;
    return false;
  }
  if (!WriteFileAtomically(path, bytes, error)) return false;
  path_ = path;
  // The file now holds exactly these bytes; remember the lines that do not
  // come back by plain conversion.
  exactLines_ = ExactLines(bytes);
  return true;
}

void CTAVODoc::Reset() {
  path_.clear();
  exactLines_.clear();
}

std::string CTAVODoc::DisplayName() const {
  if (path_.empty()) return "無題";
  const std::size_t slash = path_.rfind('/');
  return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

}  // namespace tavo::gui
