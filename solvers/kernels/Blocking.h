#pragma once

#include "Tuning.h"

#include <cstddef>
#include <cstdint>

// The shape of the kernels for each instruction set, in one place. They change the speed,
// never the bits: every entry of c takes its products in the same order whatever the shape.
namespace lse::kernels {

// The refinement's dot products run this many chains side by side: one vector of AVX-512, two
// of AVX2, four of the 128-bit sets. Unlike the shapes below it fixes the order of the sums, so
// it is the same for every family; 8 chains also cover the addition's latency, and each holds an
// eighth of the terms, which keeps the double-double error an eighth as large.
inline constexpr int kResidualChains = 8;

struct Blocking {
    int lanes;   // doubles per vector
    int rows;    // rows of a tile of c (MR): one broadcast of a each per step
    int vectors; // vectors across a tile of c (NR = lanes * vectors columns)
    // Steps a tile of c takes while it stays in registers (KC); a trailing update is at most a
    // Gauss panel deep, so it is taken in one pass and c is read and written once.
    int depth;
    int strips;          // strips of NR columns packed together (NC = strips * NR)
    int slivers;         // slivers of MR rows packed together (MC = slivers * MR)
    int choleskyVectors; // vectors side by side in a tall Cholesky tile; a low one has half
    // The bytes a Cholesky tile may take before the low one is used: the second-level cache
    // of one core.
    std::size_t choleskyTileBytes;
};

// A low tile of 3 vectors of 2 or 4 lanes runs too few chains to cover the subtraction's
// latency: with the AVX2 kernels at n = 4000 on an AMD EPYC (Zen 5) the decomposition took
// 1.07 s with it against 0.67 s with the tall tile, out of its cache.
inline constexpr std::size_t kTallTileOnly = SIZE_MAX;

// The tiles take rows * vectors accumulators, plus vectors values of b, one broadcast and one
// product: no more than the registers there are, and enough independent chains (at least 12)
// to cover the subtraction's latency on both pipes. The packed columns of b (depth * NC
// doubles) and rows of a (depth * MC) share the second-level cache with the lines of c
// streaming through.

// 2 lanes, 16 registers (SSE2, NEON): 6 x 4, 12 chains.
inline constexpr Blocking kBaseline{2, 6, 2, tuning::kGaussPanel, 16, 16, 6, kTallTileOnly};

// WebAssembly's 128-bit vectors: tiles of 4 rows by 4 columns; with the baseline's 6 rows the
// engine (V8 on x86-64 keeps one of the 16 registers for itself) spills, and Gauss at
// n = 1000 took about 1.5 times as long.
inline constexpr Blocking kSimd128{2, 4, 2, tuning::kGaussPanel, 16, 16, 6, kTallTileOnly};

// 4 lanes, 16 registers (AVX2): 6 x 8, 12 chains, 15 registers. b 256 KB (NC = 128) and a
// 96 KB (MC = 48): within the 512 KB second-level cache of AMD's AVX2 processors, and
// measured on an AMD EPYC (Zen 5) at 88 to 92 % of the 256-bit peak at n = 2000, where wider
// blocks gain at most 2 % there and would not fit the smaller caches.
inline constexpr Blocking kAvx2{4, 6, 2, tuning::kGaussPanel, 16, 8, 6, kTallTileOnly};

// 8 lanes, 32 registers (AVX-512): 8 x 24, 24 chains, 29 registers. b 384 KB (NC = 192) and
// a 128 KB (MC = 64): half the 1 MB second-level cache of AVX-512 processors (Intel Xeon
// since Skylake, AMD EPYC since Zen 4). Measured on an AMD EPYC (Zen 5): 16 strips or 16
// slivers, which fill the cache, lose 5 to 10 %. Cholesky tiles of 48 rows up to 2729
// equations, then of 24: on the same processor the 48-row tile was 8 % faster at n = 2000
// (750 KB), as fast at 3000 (1.1 MB), and 7 to 10 % slower at 4000 (1.5 MB, in the third-level
// cache), on one thread and two.
inline constexpr Blocking kAvx512{8, 8, 3, tuning::kGaussPanel, 8, 8, 6, 1 << 20};

} // namespace lse::kernels
