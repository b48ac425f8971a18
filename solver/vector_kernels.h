// The innermost dense loops of the basis inverse. Each is built in several
// instruction-set variants and the widest the processor offers is chosen
// when the program loads. Every variant performs the same multiplications
// and additions element by element (no fused multiply-add), so the results
// are identical bit for bit whichever runs.
#pragma once

#include <cstdint>

namespace tavo::vector_kernels {

// y[k] += a * x[k] for k = 0 .. n-1.
void AddMultiple(double* y, const double* x, double a, std::int64_t n);

// One column's share of FTRAN: for every k with |b[k]| >= etol,
// alpha[k] += a * b[k], and a sum below etol in magnitude becomes 0; entries
// with |b[k]| < etol leave alpha[k] as it was.
void AddMultipleSnapped(double* alpha, const double* b, double a, double etol, std::int64_t n);

}  // namespace tavo::vector_kernels
