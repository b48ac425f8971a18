#include "solver/vector_kernels.h"

#include <cmath>

namespace tavo::vector_kernels {

// The variants: the plain build, AVX2 and AVX-512. None of them enables FMA,
// and the build turns off floating-point contraction, so a*b+c is always a
// rounded product followed by a rounded sum.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TAVO_VECTOR_VARIANTS __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define TAVO_VECTOR_VARIANTS
#endif

TAVO_VECTOR_VARIANTS
void AddMultiple(double* __restrict y, const double* __restrict x, double a, std::int64_t n) {
  for (std::int64_t k = 0; k < n; ++k) y[k] += a * x[k];
}

TAVO_VECTOR_VARIANTS
void AddMultipleSnapped(double* __restrict alpha, const double* __restrict b, double a, double etol, std::int64_t n) {
  // Written without branches so that it vectorises.
  for (std::int64_t k = 0; k < n; ++k) {
    const double bk = b[k];
    const double v = alpha[k] + a * bk;
    const double snapped = std::fabs(v) < etol ? 0.0 : v;
    alpha[k] = std::fabs(bk) >= etol ? snapped : alpha[k];
  }
}

}  // namespace tavo::vector_kernels
