#pragma once

#include "SolveOptions.h"

#include <cstddef>

// The thresholds of the solvers' schedules, beside the kernels' shapes (Blocking.h, which
// keeps what differs by instruction set). Like those they change the speed, never the bits.
// Each says what chose it: a figure, the processor and how it was taken (build/dev/bench/
// lineq_bench at the order and threads given unless perf is named; the tables are in
// bench/results), or that none was kept.
namespace lse::tuning {

// Both methods take their blocked path from this order on. Chosen with the blocked paths
// (commit c9dcf38); neither figure nor processor was kept.
inline constexpr int kBlockedFrom = 64;

// Whether a solve of order n takes the blocked path: asked for, or left to the order; never
// when its steps are watched.
inline bool takesBlockedPath(const SolveOptions& options, int n) {
    return options.steps == nullptr &&
           (options.path == SolverPath::blocked ||
            (options.path == SolverPath::automatic && n >= kBlockedFrom));
}

// Gauss: steps per panel, the depth of each trailing update, so that the trailing matrix is
// read from memory once per this many steps; the matrix update's depth block (Blocking.h)
// equals it, so an update is one pass. Chosen with the blocked paths (c9dcf38); no figure was
// kept.
inline constexpr int kGaussPanel = 256;

// Gauss: beyond 8191 equations the panel narrows so that the multipliers of two panels,
// 2 (n + 1) panel doubles, stay within this, and a system with room for A and W finds room for
// them too. A memory bound, not a speed: a panel of 128 steps costs little speed, one of 64
// (32766 equations) some (commit 9261c54).
inline constexpr std::size_t kGaussMultiplierBytes = std::size_t{32} << 20;
inline constexpr int kGaussNarrowestPanel = 64;

// Gauss: panel columns eliminated one step at a time (wider parts of a panel are split in
// halves), rows of a triangle updated row by row (larger ones are split in halves), and the
// trailing columns a team member takes at a time. Chosen with the blocked paths (c9dcf38); no
// figure was kept.
inline constexpr int kGaussLeaf = 8;
inline constexpr int kGaussTriangleLeaf = 16;
inline constexpr int kGaussChunk = 384;

// Below these orders one thread does it all: the others would mostly wait. Raised from 384
// and 256 where a second thread started to pay, on the Intel Xeon AVX-512 with 2 cores (commit
// e6500bf); no figure was kept. There, at n = 1000, Gauss took 0.0174 s on 2 threads against
// 0.0177 on 1, Cholesky 0.0086 against 0.0131 (bench/results/intel-xeon-avx512.md).
inline constexpr int kGaussThreadsFrom = 640;
inline constexpr int kCholeskyThreadsFrom = 448;

// Cholesky: the chains ask for the rest of a row of L this many steps (4 KB) ahead: a memory
// access's latency is a few hundred steps of a few cycles each, and nearer requests left the
// chains waiting at n = 2000 (commit 6bf4bc9); no figure was kept.
inline constexpr int kCholeskyPrefetchSteps = 512;

// Cholesky: the head of the next row of L asked for while a step runs, as far as the chains'
// own requests begin. On an AMD EPYC (Zen 5), n = 2000, one thread: 0.089 s against 0.110
// without, the time of a row kept in the first-level cache (bench/results/amd-epyc-zen5.md).
inline constexpr int kCholeskyRowHead = kCholeskyPrefetchSteps;

// Cholesky: a tile of the last rows of a large system looks for a cancel request every this
// many steps, so that a cancel need not wait for the whole tile. Not measured; a look costs
// one relaxed load (commit 26d1865).
inline constexpr int kCholeskyCancelSteps = 256;

// Rows of the upper triangle compared at a time, in square tiles, so that the column read
// across rows stays in the cache; bands of these rows are dealt out to the team. On an AMD
// EPYC (Zen 5), n = 2000, two threads: the decomposition 0.053 s against 0.057 with the test
// on one thread (commit c1548f8); the tile's side itself had no figure kept (629e23e).
inline constexpr int kSymmetryBand = 32;

// Gauss: the factors keep each multiplier divided once while they take at most this (about
// 5800 equations), so that a solve multiplies where it divided: the division was most of a
// solve's time, and the figures and the refinement make a dozen solves. On the Intel Xeon
// (AVX-512), n = 2000, one thread, scripts/refine-cost under a load of about 3.6: the
// refinement 0.048 to 0.060 s against 0.071 to 0.079 dividing, and lineq-solve --method gauss
// --refine 1.31 times the run without --refine, against 1.49.
inline constexpr std::size_t kGaussKeptMultipliersBytes = std::size_t{128} << 20;

// Refinement: the residual's rows are dealt out to the team from this order on, in bands of
// this many rows. A row of 2000 takes about a microsecond, so a band is long enough for the
// team's hand-over; not yet measured (see docs/accuracy.md for the residual's cost).
inline constexpr int kRefineThreadsFrom = 256;
inline constexpr int kRefineRowBand = 64;

// The matrix update asks for the columns of a this many columns ahead of their packing. With
// a packed a sliver at a time and so asked for, perf of Gauss at n = 2000 on one thread on an
// AMD EPYC (Zen 5): the packing took a sixth of the tiles' time, a third when read a line per
// step (bench/results/amd-epyc-zen5.md; commit 1ed9314, Intel Xeon, the same third).
inline constexpr int kPackAhead = 4;

// Gauss's factors (GaussFactors' solves for the accuracy figures): steps of the elimination
// replayed together, so that their multipliers are read along the rows of W (one page of
// memory per row and block) instead of down its columns (one page per entry). Chosen with the
// blocked replay (commit 55fc29d); no figure was kept.
inline constexpr int kReplayBlock = 64;

// Gauss's factors: rows a block's pass asks for ahead of the one it reads: a row's part is a
// few cache lines a page or more from the last, where the processor's own prefetching does not
// look. At n = 2000 this halved the time of both replays on an Intel Xeon (commit 55fc29d).
inline constexpr int kReplayRowsAhead = 8;

// The accuracy figures: from this order on, when a second thread is allowed, it forms the
// residual while the first makes RCOND's first product. Chosen with the second thread (commit
// 57a742c, with bench/AccuracyShare.cpp to measure the figures' share of Calculate); no figure
// was kept.
inline constexpr int kFiguresThreadsFrom = 1000;
// A refinement and the figures: from this order on, when a second thread is allowed, the two
// run side by side, each on one thread (form/MethodRun.cpp). lineq-solve --method gauss
// --refine --threads 2 on make_system's .npy, side by side against one after the other, best
// of 15 alternated (AMD EPYC, 2 cores): n = 250 7.2 against 6.9 ms, 500 15.4 against 15.6,
// 1000 38.6 against 41.0, 2000 175 against 193.
inline constexpr int kRefineBesideFiguresFrom = 1000;

} // namespace lse::tuning
