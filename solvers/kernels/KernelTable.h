#pragma once

#include <cstddef>

// The inner loops of the blocked solvers, compiled once per instruction set and chosen at run
// time. Every variant forms each product and then subtracts it, in the order the callers give,
// so all of them give the same bits; they differ only in how many entries they do at once.
namespace lse::kernels {

enum class InstructionSet { baseline, avx2, avx512, simd128 };

// acc(t) = acc(t) - l[q * lStride] * p[q * lanes + t] for q = 0, 1, ..., count - 1 in turn and
// every lane t < lanes. The decomposition keeps its values so that q = 0 is the first step of
// its sums, whose steps run downwards: the chains then read upwards through memory, which the
// caches' prefetchers follow.
using CholeskyChain = void (*)(int count, const double* l, std::ptrdiff_t lStride, const double* p,
                               double* acc);

// One height of Cholesky tile: its lanes (the rows whose chains run side by side) and chains.
struct CholeskyTile {
    int lanes;
    CholeskyChain chain;
};

struct Table {
    InstructionSet set;
    const char* name;
    // The Cholesky tiles, the tall one first. Every step reads the whole tile (all its values
    // of the steps before), so it should stay in the second-level cache: beyond
    // choleskyTileBytes the low one is used.
    CholeskyTile choleskyTiles[2];
    std::size_t choleskyTileBytes;

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

    // The refinement's dot product sum_j (aHi(j) + aLo(j)) (xHi(j) + xLo(j)) over j < count, in
    // double-double: aLo may be null (all zero), xSplit holds the Dekker splits of xHi, high
    // halves then low ones (2 count doubles). Returns the sum as out[0] + out[1] and
    // sum_j |aHi(j) xHi(j)| as out[2]. Whatever the vector width, kResidualChains chains take
    // every kResidualChains-th j each and are added in their order, so every family gives the
    // same bits.
    void (*dotPair)(int count, const double* aHi, const double* aLo, const double* xHi,
                    const double* xSplit, const double* xLo, double* out);
};

// The tile for a decomposition of n equations: the tall one while its values (n + 1 steps of
// its lanes) take at most tileBytes, else the low one.
inline const CholeskyTile& choleskyTileFor(const Table& table, int n, std::size_t tileBytes) {
    const CholeskyTile& tall = table.choleskyTiles[0];
    const std::size_t bytes = (static_cast<std::size_t>(n) + 1) * tall.lanes * sizeof(double);
    return bytes <= tileBytes ? tall : table.choleskyTiles[1];
}

} // namespace lse::kernels
