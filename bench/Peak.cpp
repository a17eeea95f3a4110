// Built with the processor's own instructions (-march=native): it measures the machine the
// benchmark runs on.
#include "Peers.h"

#include <chrono>

namespace lse::bench {

double unfusedPeak(long rounds) {
#if defined(__AVX512F__)
    constexpr int kLanes = 8;
#elif defined(__AVX__)
    constexpr int kLanes = 4;
#else
    constexpr int kLanes = 2;
#endif
    typedef double V __attribute__((vector_size(kLanes * 8)));
    // Independent chains keep both arithmetic ports busy past the subtraction's latency.
    constexpr int kChains = kLanes == 8 ? 12 : 6;
    V acc[kChains];
    V factor[kChains];
    V x = V{} + 1e-9;
#pragma GCC unroll 12
    for (int c = 0; c < kChains; ++c) {
        acc[c] = V{} + c;
        factor[c] = V{} + (1.5 + c); // never 1, whose product the compiler would skip
    }
    const auto start = std::chrono::steady_clock::now();
    for (long r = 0; r < rounds; ++r) {
        // A fresh x each round, so that every product is formed anew.
#if defined(__x86_64__)
        asm volatile("" : "+v"(x));
#else
        asm volatile("" : "+w"(x));
#endif
#pragma GCC unroll 12
        for (int c = 0; c < kChains; ++c)
            acc[c] = acc[c] - x * factor[c];
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Keep the sums, so that none of the work is left out.
    V sum = {};
#pragma GCC unroll 12
    for (int c = 0; c < kChains; ++c)
        sum += acc[c];
    asm volatile("" : : "g"(sum[0]));
    return 2.0 * static_cast<double>(rounds) * kChains * kLanes / seconds / 1e9;
}

} // namespace lse::bench
