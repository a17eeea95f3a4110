#pragma once

#include <cstddef>

// The inner loops of the blocked solvers, compiled once per instruction set and chosen at run
// time. Every variant forms each product and then subtracts it, in the order the callers give,
// so all of them give the same bits; they differ only in how many entries they do at once.
namespace lse::kernels {

enum class InstructionSet { baseline, avx2, avx512, simd128 };

struct Table {
    InstructionSet set;
    const char* name;
    // Lanes of one Cholesky tile: the columns whose chains run side by side.
    int choleskyLanes;

    // c(i, j) = c(i, j) - a(i, k) * b(k, j) for k = 0, 1, ..., depth - 1 in turn, for every
    // i < rows and j < cols; a is stored by columns (a(i, k) = a[i + k * lda]), b and c by
    // rows. workspace holds gemmWorkspace(depth) doubles. Returns 0 when every result is
    // finite, NaN otherwise.
    double (*gemm)(int rows, int cols, int depth, const double* a, std::size_t lda, const double* b,
                   std::size_t ldb, double* c, std::size_t ldc, double* workspace);
    std::size_t (*gemmWorkspace)(int depth);

    // y(j) = y(j) - f * x(j) for j < count. Returns 0 when every result is finite, NaN
    // otherwise.
    double (*axpy)(int count, double f, const double* x, double* y);

    // The first index of the largest magnitude among x(0..count - 1), count > 0; a NaN is
    // never larger.
    int (*largestMagnitude)(int count, const double* x);

    // quotient(t) = sum(t) / divisor for t < count. Returns 0 when every quotient is finite,
    // NaN otherwise.
    double (*divide)(int count, const double* sum, double divisor, double* quotient);

    // acc(t) = acc(t) - l[q * lStride] * p[q * choleskyLanes + t] for q = 0, 1, ..., count - 1
    // in turn and every lane t < choleskyLanes. The decomposition keeps its values so that
    // q = 0 is the first step of its sums, whose steps run downwards: the chains then read
    // upwards through memory, which the caches' prefetchers follow.
    void (*choleskyChain)(int count, const double* l, std::ptrdiff_t lStride, const double* p,
                          double* acc);
};

} // namespace lse::kernels
