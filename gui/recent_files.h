// The recent-file list: the four files opened or saved last, newest first,
// kept in the profile section [Recent File List] as File1 to File4.
#pragma once

#include <string>
#include <vector>

namespace tavo {
class Profile;
}

namespace tavo::gui {

class RecentFileList {
 public:
  static constexpr int kSize = 4;
  static constexpr const char* kSection = "Recent File List";

  void Read(const tavo::Profile& profile);
  void Write(tavo::Profile& profile) const;

  // Puts `path` first (moving it up when already listed); the oldest drops off.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  const std::vector<std::string>& Files() const { return files_; }

 private:
  std::vector<std::string> files_;
};

}  // namespace tavo::gui
