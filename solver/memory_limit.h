// How much memory the solver may still take. Set-up compares the size of the
// dense solver arrays (the basis inverse grows with the square of the row
// count) with this figure before it allocates them, so that a model too large
// for the machine ends with a clear message instead of a crash.
#pragma once

#include <cstdint>

namespace tavo {

// Bytes the process may still allocate: the system's available memory
// (MemAvailable), limited by the address-space and data-segment limits of the
// process. Returns UINT64_MAX when nothing is known.
std::uint64_t AvailableMemoryBytes();

// Tests only: pretend that `bytes` are available; 0 restores the real figure.
void SetAvailableMemoryForTesting(std::uint64_t bytes);

}  // namespace tavo
