// Index of the variable names: whole name -> column of its first
// registration. Open addressing with linear probing over a power-of-two table
// of column numbers; the names themselves live in the caller's list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

class NameIndex {
 public:
  void Clear() {
    slots_.clear();
    hashes_.clear();
    count_ = 0;
  }

  // Column of `name` among `names`, or -1.
  int Find(std::string_view name, const std::vector<std::string>& names) const {
    if (slots_.empty()) return -1;
    const std::uint32_t h = Hash(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      const std::int32_t col = slots_[i];
      if (col < 0) return -1;
      if (hashes_[i] == h && names[col] == name) return col;
    }
  }

  // Records `names[col]` (which the caller has just appended) unless the name
  // is there already: the first registration keeps its column.
  void Insert(int col, const std::vector<std::string>& names) {
    if ((count_ + 1) * 2 > slots_.size()) Grow(names);
    const std::string& name = names[col];
    const std::uint32_t h = Hash(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      if (slots_[i] < 0) {
        slots_[i] = col;
        hashes_[i] = h;
        ++count_;
        return;
      }
      if (hashes_[i] == h && names[slots_[i]] == name) return;
    }
  }

 private:
  // FNV-1a.
  static std::uint32_t Hash(std::string_view s) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    return h;
  }

  void Grow(const std::vector<std::string>& names) {
    std::vector<std::int32_t> oldSlots;
    oldSlots.swap(slots_);
    const std::size_t size = oldSlots.empty() ? 256 : oldSlots.size() * 2;
    slots_.assign(size, -1);
    hashes_.assign(size, 0);
    count_ = 0;
    for (std::int32_t col : oldSlots)
      if (col >= 0) Insert(col, names);
  }

  std::vector<std::int32_t> slots_;    // column, -1 for an empty slot
  std::vector<std::uint32_t> hashes_;  // hash of the name in each slot
  std::size_t count_ = 0;
};

}  // namespace tavo
