// The machine's side of the benchmark: how near the solvers' kernels come to what one core can
// do. The kernels are the solvers' own, chosen in turn for each instruction set.
#include "Meter.h"
#include "Peers.h"
#include "kernels/Kernels.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace lse::bench {

namespace {

int lanesOf(kernels::InstructionSet set) {
    switch (set) {
    case kernels::InstructionSet::avx512:
        return 8;
    case kernels::InstructionSet::avx2:
        return 4;
    default:
        return 2;
    }
}

// A shared machine only ever slows a measurement down, so each rate is the best of a few:
// the peaks and the kernels are measured in turn, round after round, so that both meet the
// same moments of the machine.
constexpr int kRounds = 5;

// Processor seconds of one call of `run`, the least of a few after a warm-up.
template <typename Run> double leastThreadSeconds(int runs, Run run) {
    run();
    double least = 0;
    for (int r = 0; r < runs; ++r) {
        const double start = threadSeconds();
        run();
        const double seconds = threadSeconds() - start;
        least = r == 0 ? seconds : std::min(least, seconds);
    }
    return least;
}

// An update `order` square and a panel deep, the shape of a trailing update of the Gauss
// elimination.
struct Update {
    static constexpr int kDepth = lse::tuning::kGaussPanel;
    explicit Update(int order)
        : order(order), a(static_cast<std::size_t>(order) * kDepth, 1e-3),
          b(static_cast<std::size_t>(kDepth) * order, 2e-3),
          c(static_cast<std::size_t>(order) * order, 1.0) {}
    double gflops(double seconds) const { return 2.0 * order * order * kDepth / seconds / 1e9; }

    int order;
    std::vector<double> a, b, c;
};

// GFLOP/s of the matrix-update kernel on the update.
double gemmRate(const kernels::Table& k, Update& u) {
    std::vector<double> workspace(k.gemmWorkspace(Update::kDepth));
    return u.gflops(leastThreadSeconds(3, [&] {
        k.gemm(u.order, u.order, Update::kDepth, u.a.data(), u.order, u.b.data(), u.order,
               u.c.data(), u.order, workspace.data());
    }));
}

// GFLOP/s of OpenBLAS's dgemm on the same update, on one thread: what a peer's kernel, fused
// multiply-add and all, makes of this processor on this shape.
double openblasRate(Update& u) {
    openblasThreads(1);
    return u.gflops(leastThreadSeconds(3, [&] {
        openblasUpdate(u.order, u.order, Update::kDepth, u.a.data(), u.b.data(), u.c.data());
    }));
}

// Multiply-subtract pairs per second of the Cholesky chains over a tile of `rows` rows, as
// the decomposition runs them at its last step.
double chainPairs(const kernels::CholeskyTile& tile, int rows, bool quick) {
    const int lanes = tile.lanes;
    std::vector<double> l(static_cast<std::size_t>(rows) + 1, 1e-3);
    std::vector<double> p((static_cast<std::size_t>(rows) + 1) * lanes, 2e-3);
    std::vector<double> acc(static_cast<std::size_t>(lanes), 1.0);
    const long calls = std::max(1L, (quick ? 1'000'000L : 400'000'000L) / rows / lanes);
    const double seconds = leastThreadSeconds(3, [&] {
        for (long c = 0; c < calls; ++c)
            tile.chain(rows, l.data(), 1, p.data(), acc.data());
    });
    return static_cast<double>(calls) * rows * lanes / seconds;
}

} // namespace

void printMachine(bool quick, const std::vector<int>& choleskyOrders) {
    const long rounds = quick ? 100'000 : 20'000'000;
    const std::vector<kernels::InstructionSet> sets = kernels::supported();
    double hz = 0;
    std::vector<Peak> measured;
    std::vector<double> gemm(sets.size(), 0.0);
    double peer = 0;
    Update update(quick ? 64 : 2000);
    for (int round = 0; round < (quick ? 1 : kRounds); ++round) {
        hz = std::max(hz, clockHz(quick ? 1'000'000 : 80'000'000));
        const std::vector<Peak> now = peaks(rounds);
        if (measured.empty())
            measured = now;
        for (std::size_t w = 0; w < now.size(); ++w) {
            measured[w].unfused = std::max(measured[w].unfused, now[w].unfused);
            measured[w].fused = std::max(measured[w].fused, now[w].fused);
            measured[w].subtraction = std::min(measured[w].subtraction, now[w].subtraction);
        }
        for (std::size_t s = 0; s < sets.size(); ++s) {
            kernels::choose(sets[s]);
            gemm[s] = std::max(gemm[s], gemmRate(kernels::active(), update));
        }
        peer = std::max(peer, openblasRate(update));
    }
    std::printf("Clock of one core: %.2f GHz (dependent integer additions); each rate below is "
                "the best of %d rounds taken in turn\n\n",
                hz / 1e9, quick ? 1 : kRounds);
    std::printf("| vector | unfused peak GFLOP/s | flop/cycle | fused peak GFLOP/s | flop/cycle | "
                "chains | subtraction latency, cycles |\n|---|---|---|---|---|---|---|\n");
    for (const Peak& p : measured)
        std::printf("| %d bits | %.1f | %.1f | %.1f | %.1f | %d | %.1f |\n", p.lanes * 64,
                    p.unfused, p.unfused * 1e9 / hz, p.fused, p.fused * 1e9 / hz, p.chains,
                    p.subtraction * hz);
    // Two pipes subtract on current cores: latency x 2 chains keep both busy.
    for (const Peak& p : measured)
        if (p.chains < 2 * p.subtraction * hz)
            std::printf("\nAt %d bits the %d chains do not cover the subtraction's latency on two "
                        "pipes: that peak is understated.\n",
                        p.lanes * 64, p.chains);
    const Peak& widest = measured.back();
    if (widest.fused > 0 && widest.fused < 1.1 * widest.unfused)
        std::printf("\nThe unfused peak equals the fused one here: fused multiply-add buys no "
                    "speed on this processor, so a peer's lead is its implementation, not its "
                    "arithmetic.\n");
    else if (widest.fused > 0)
        std::printf("\nFused multiply-add reaches %.2f times the unfused peak here: that much of "
                    "a peer's lead can be its arithmetic.\n",
                    widest.fused / widest.unfused);

    const auto peakOf = [&](int lanes) {
        for (const Peak& p : measured)
            if (p.lanes == lanes)
                return p.unfused;
        return measured.back().unfused;
    };
    std::printf("\nThe solvers' kernels for each instruction set, against the unfused peak of "
                "its vector width:\n\n| kernels | matrix update GFLOP/s | share of peak |\n"
                "|---|---|---|\n");
    for (std::size_t s = 0; s < sets.size(); ++s) {
        kernels::choose(sets[s]);
        std::printf("| %s | %.1f | %.0f %% |\n", kernels::active().name, gemm[s],
                    100 * gemm[s] / peakOf(lanesOf(sets[s])));
    }
    // Which vectors its kernels use, OpenBLAS does not say: its share of the peak of each
    // width it could be using.
    std::printf("\nOpenBLAS's dgemm (%s kernels, one thread) on the same update: %.1f GFLOP/s",
                openblasCore().c_str(), peer);
    const char* separator = ";";
    for (auto p = measured.rbegin(); p != measured.rend(); ++p) {
        const double peak = p->fused > 0 ? p->fused : p->unfused;
        if (peer > 1.05 * peak)
            break;
        std::printf("%s %.0f %% of the %d-bit %s peak", separator, 100 * peer / peak, p->lanes * 64,
                    p->fused > 0 ? "fused" : "unfused");
        separator = ",";
    }
    std::printf("\n");
    std::fflush(stdout);

    // Each pair reads one value of the tile (8 bytes) that no register holds: the rate at
    // which the tile's cache level delivers them bounds the chains.
    std::printf("\nThe Cholesky chains of the last tile of n equations against the bandwidth of "
                "the cache their tile lives in (a streaming read of a buffer of the tile's "
                "size), at 8 bytes per multiply-subtract pair:\n\n"
                "| kernels | n | tile KB | read GB/s | bound pairs/cycle | chains pairs/cycle | "
                "share of bound | chains GFLOP/s |\n|---|---|---|---|---|---|---|---|\n");
    for (const kernels::InstructionSet set : sets) {
        kernels::choose(set);
        const kernels::Table& k = kernels::active();
        for (const int rows : choleskyOrders) {
            const kernels::CholeskyTile& tile =
                kernels::choleskyTileFor(k, rows, k.choleskyTileBytes);
            const std::size_t tileBytes =
                (static_cast<std::size_t>(rows) + 1) * tile.lanes * sizeof(double);
            const double bandwidth = readBandwidth(tileBytes, quick ? 0.001 : 0.3);
            const double bound = bandwidth / 8 / hz;
            const double pairs = chainPairs(tile, rows, quick);
            std::printf("| %s | %d | %.0f | %.1f | %.2f | %.2f | %.0f %% | %.1f |\n", k.name, rows,
                        static_cast<double>(tileBytes) / 1024, bandwidth / 1e9, bound, pairs / hz,
                        100 * pairs / hz / bound, 2 * pairs / 1e9);
            std::fflush(stdout);
        }
    }
    kernels::choose(sets.back());
}

} // namespace lse::bench
