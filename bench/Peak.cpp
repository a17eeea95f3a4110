// Built with the processor's own instructions (-march=native): it measures the machine the
// benchmark runs on. Multiply and subtract stay separate here (-ffp-contract=off).
#include "ChainLoop.h"
#include "Meter.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace lse::bench {

double threadSeconds() {
    return chains::threadSeconds();
}

namespace {

template <int Lanes> Peak peakOf(long rounds) {
    return {Lanes, chains::rate<Lanes>(rounds), hasFused() ? fusedRate(Lanes, rounds) : 0.0,
            chains::kChains<Lanes>, chains::subtractionSeconds<Lanes>(rounds)};
}

} // namespace

std::vector<Peak> peaks(long rounds) {
    std::vector<Peak> result{peakOf<2>(rounds)};
#if defined(__AVX__)
    result.push_back(peakOf<4>(rounds));
#endif
#if defined(__AVX512F__)
    result.push_back(peakOf<8>(rounds));
#endif
    return result;
}

double clockHz(long additions) {
    std::uint64_t x = 0;
    const std::uint64_t step = 1;
    const long rounds = additions / 16;
    const double start = threadSeconds();
    for (long r = 0; r < rounds; ++r) {
        // Each addition waits for the one before; the barriers keep the compiler from
        // folding them into one.
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            x += step;
            asm volatile("" : "+r"(x));
        }
    }
    const double seconds = threadSeconds() - start;
    asm volatile("" : : "r"(x));
    return static_cast<double>(rounds) * 16 / seconds;
}

double readBandwidth(std::size_t bytes, double seconds) {
#if defined(__AVX512F__)
    constexpr int kLanes = 8;
#elif defined(__AVX__)
    constexpr int kLanes = 4;
#else
    constexpr int kLanes = 2;
#endif
    using V = chains::Vector<kLanes>::type;
    // Eight sums, so that the additions keep up with the loads.
    constexpr int kSums = 8;
    const std::size_t vectors = bytes / sizeof(V) / kSums * kSums;
    const std::unique_ptr<V[]> buffer(new V[vectors]);
    for (std::size_t i = 0; i < vectors; ++i)
        buffer[i] = V{} + 1e-3 * static_cast<double>(i % 7);
    V sum[kSums] = {};
    const auto pass = [&] {
        for (std::size_t i = 0; i < vectors; i += kSums)
#pragma GCC unroll 8
            for (int s = 0; s < kSums; ++s)
                sum[s] += buffer[i + s];
        asm volatile("" : "+m"(sum));
    };
    pass(); // brings the buffer into the cache it fits
    long passes = 0;
    const double start = threadSeconds();
    double elapsed = 0;
    while (elapsed < seconds) {
        for (int r = 0; r < 16; ++r)
            pass();
        passes += 16;
        elapsed = threadSeconds() - start;
    }
    V total = {};
    for (const V& s : sum)
        total += s;
    asm volatile("" : : "g"(total[0]));
    return static_cast<double>(passes) * static_cast<double>(vectors * sizeof(V)) / elapsed;
}

} // namespace lse::bench
