// A small INI file store: sections of key=value lines, kept in file order so
// that writing one section leaves the others (such as [Window size]) intact.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavo {

class Profile {
 public:
  // Reads the file; a missing or unreadable file gives an empty profile.
  void Load(const std::string& path);
  // Writes the whole profile, creating the folder when missing.
  bool Save(const std::string& path) const;

  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  void Set(const std::string& section, const std::string& key, const std::string& value);

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  std::vector<Section> sections_;
};

}  // namespace tavo
