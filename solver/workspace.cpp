#include "solver/workspace.h"

#include <sys/mman.h>

#include <cstdint>
#include <type_traits>

namespace tavo {
namespace {
template <typename V>
void Empty(V& v) {
  V().swap(v);  // size 0 and storage released
}

// Sizes an array to `size` zeros (none for a negative size); large arrays of
// doubles go through AssignZeros.
template <typename V>
void SizeZero(V& v, std::int64_t size) {
  const std::size_t count = static_cast<std::size_t>(size > 0 ? size : 0);
  if constexpr (std::is_same_v<V, std::vector<double>>) {
    AssignZeros(v, count);
  } else {
    v.assign(count, typename V::value_type{});
  }
}
}  // namespace

void Workspace::Release() {
  ForEachArray([this](const char*, auto& array, ArrayGroup group, std::int64_t) {
    if (group == ArrayGroup::kNames) return;
    if (group == ArrayGroup::kParsedCopy && NINT == 0) return;
    Empty(array);
  });
  APATM = -1;
}

void Workspace::SizeSolverArrays() {
  ForEachArray([](const char*, auto& array, ArrayGroup group, std::int64_t size) {
    if (group == ArrayGroup::kSolver) SizeZero(array, size);
  });
}

void Workspace::SizeSearchArrays(std::int32_t bbLength) {
  ForEachArray([](const char*, auto& array, ArrayGroup group, std::int64_t size) {
    if ((group == ArrayGroup::kSearch || group == ArrayGroup::kParsedCopy) && size >= 0) SizeZero(array, size);
  });
  // The table always holds the root, however small BB_LENGTH is.
  g_bbNodes.assign(static_cast<std::size_t>(bbLength > 1 ? bbLength : 1), BbNode{});
}

}  // namespace tavo

void tavo::AssignZeros(std::vector<double>& v, std::size_t count) {
  v.clear();
  v.shrink_to_fit();
  v.reserve(count);
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHuge = 2u << 20;
  const std::size_t bytes = count * sizeof(double);
  if (bytes >= 2 * kHuge) {
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(v.data());
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
#endif
  v.resize(count, 0.0);
}
