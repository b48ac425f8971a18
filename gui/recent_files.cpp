#include "gui/recent_files.h"

#include <algorithm>

#include "shell/profile.h"

namespace tavo::gui {

void RecentFileList::Read(const tavo::Profile& profile) {
  files_.clear();
  for (int i = 1; i <= kSize; ++i) {
    auto v = profile.Get(kSection, "File" + std::to_string(i));
    if (v && !v->empty() && std::find(files_.begin(), files_.end(), *v) == files_.end()) files_.push_back(*v);
  }
}

void RecentFileList::Write(tavo::Profile& profile) const {
  for (int i = 1; i <= kSize; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    profile.Set(kSection, "File" + std::to_string(i), k < files_.size() ? files_[k] : std::string());
  }
}

void RecentFileList::Add(const std::string& path) {
  Remove(path);
  files_.insert(files_.begin(), path);
  if (files_.size() > static_cast<std::size_t>(kSize)) files_.resize(kSize);
}

void RecentFileList::Remove(const std::string& path) {
  files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
}

}  // namespace tavo::gui
