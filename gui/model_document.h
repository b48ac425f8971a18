// The model document: a file's bytes (code page 932, any line ends, a final
// line end or none) are the editor's text exactly. The editor shows UTF-8
// converted by the core's codec; saving converts back and gives the same
// bytes for every line the user did not change, even where code page 932 has
// two codes for one character (the converter would pick one of them).
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavo::gui {

// Why a load or save failed, in words for the user (UTF-8).
struct FileError {
  std::string message;
};

// Writes `bytes` to `path` without ever leaving a half-written file: the
// bytes go to a new file beside it, are flushed to the disk and then renamed
// over the old file (whose permissions the new one takes). A symbolic link is
// followed and its target replaced.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, FileError& error);

class CTAVODoc {
 public:
  // Reads the file and gives the editor its text (UTF-8). A file that is not
  // valid code page 932 is refused with the line and byte of the first bad
  // byte, unless it is valid UTF-8 (a model saved by another editor): that is
  // read as it is, and `convertedFromUtf8` tells the caller the bytes will
  // change on saving.
  bool Load(const std::string& path, std::string& utf8, bool& convertedFromUtf8, FileError& error);

  // The bytes the file gets for the editor text `utf8`. False when a
  // character has no code in code page 932: `badOffset` is then its byte
  // offset in `utf8`.
  bool Encode(const std::string& utf8, std::string& cp932, std::size_t& badOffset) const;

  // Encodes and writes atomically; on an unencodable character nothing is
  // written and the message names the character and its line and column.
  bool Save(const std::string& path, const std::string& utf8, FileError& error, std::size_t* badOffset = nullptr);

  // An empty, untitled document.
  void Reset();

  const std::string& Path() const { return path_; }
  void SetPath(const std::string& path) { path_ = path; }
  // The file name without its folder, or "無題" for an untitled document (UTF-8).
  std::string DisplayName() const;

 private:
  std::string path_;
  // Lines (UTF-8, with their line end) whose bytes do not come back from a
  // plain conversion, mapped to the bytes the file had, in file order (two
  // lines may look the same and differ in their codes).
  std::unordered_map<std::string, std::vector<std::string>> exactLines_;
};

}  // namespace tavo::gui
