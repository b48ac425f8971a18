#include "solver/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace tavo {
namespace {

std::atomic<std::uint64_t> g_testLimit{0};

// MemAvailable of /proc/meminfo in bytes, or 0 when it cannot be read.
std::uint64_t MemAvailable() {
  std::FILE* f = std::fopen("/proc/meminfo", "r");
  if (!f) return 0;
  char line[256];
  std::uint64_t kb = 0;
  while (std::fgets(line, sizeof line, f)) {
    unsigned long long v = 0;
    if (std::sscanf(line, "MemAvailable: %llu kB", &v) == 1) {
      kb = v;
      break;
    }
  }
  std::fclose(f);
  return kb * 1024u;
}

std::uint64_t Min(std::uint64_t a, std::uint64_t b) { return a < b ? a : b; }

}  // namespace

std::uint64_t AvailableMemoryBytes() {
  if (std::uint64_t t = g_testLimit.load()) return t;
  std::uint64_t avail = MemAvailable();
  if (avail == 0) {
    long pages = sysconf(_SC_PHYS_PAGES);
    long size = sysconf(_SC_PAGESIZE);
    avail = (pages > 0 && size > 0) ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size) : UINT64_MAX;
  }
  struct rlimit rl;
  if (getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) avail = Min(avail, rl.rlim_cur);
  if (getrlimit(RLIMIT_DATA, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY) avail = Min(avail, rl.rlim_cur);
  return avail;
}

void SetAvailableMemoryForTesting(std::uint64_t bytes) { g_testLimit.store(bytes); }

}  // namespace tavo
