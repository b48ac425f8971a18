#include "shell/profile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace tavo {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool SameKey(const std::string& a, const std::string& b) {
  // Profile keys and section names compare without regard to case.
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

void Profile::Load(const std::string& path) {
  sections_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::string line;
  Section* current = nullptr;
  while (std::getline(in, line)) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      sections_.push_back({Trim(t.substr(1, t.size() - 2)), {}});
      current = &sections_.back();
      continue;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string::npos || current == nullptr) continue;
    current->entries.emplace_back(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
  }
}

bool Profile::Save(const std::string& path) const {
  std::error_code ec;
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
  std::ostringstream out;
  for (const Section& s : sections_) {
    out << '[' << s.name << "]\n";
    for (const auto& [k, v] : s.entries) out << k << '=' << v << '\n';
    out << '\n';
  }
  // Written beside the profile and renamed over it, so that a failed or
  // interrupted write leaves the old profile whole.
  std::string temp = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << out.str();
    if (!file.flush()) {
      file.close();
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

std::optional<std::string> Profile::Get(const std::string& section, const std::string& key) const {
  for (const Section& s : sections_) {
    if (!SameKey(s.name, section)) continue;
    for (const auto& [k, v] : s.entries)
      if (SameKey(k, key)) return v;
  }
  return std::nullopt;
}

void Profile::Set(const std::string& section, const std::string& key, const std::string& value) {
  for (Section& s : sections_) {
    if (!SameKey(s.name, section)) continue;
    for (auto& [k, v] : s.entries) {
      if (SameKey(k, key)) {
        v = value;
        return;
      }
    }
    s.entries.emplace_back(key, value);
    return;
  }
  sections_.push_back({section, {{key, value}}});
}

}  // namespace tavo
