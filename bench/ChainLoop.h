// Independent chains of c = c - x * f, included by Peak.cpp (multiply, then subtract) and by
// PeakFused.cpp (built to contract them into fused multiply-adds), each inside a namespace of
// its own. Both are built with the processor's own instructions.
#pragma once

#include <ctime>

namespace chains {

template <int Lanes> struct Vector;
template <> struct Vector<2> { typedef double type __attribute__((vector_size(16))); };
template <> struct Vector<4> { typedef double type __attribute__((vector_size(32))); };
template <> struct Vector<8> { typedef double type __attribute__((vector_size(64))); };

inline double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// GFLOP/s of `rounds` rounds of Chains chains of Lanes doubles, a multiply and a subtraction
// counted as two, over the thread's processor time (the machine may be shared).
//
// The chains must cover the latency of the dependent operation on every pipe that can run it:
// a subtraction or fused multiply-add takes 2 to 5 cycles on current x86-64 and ARM cores
// (subtractionSeconds measures it) and two pipes run them, so 10 at most are in flight. 12 chains
// leave a margin with 16 registers (SSE2, AVX2, NEON; each chain's factor is read from memory,
// which the load ports do beside the arithmetic), 24 with the 32 of AVX-512.
template <int Lanes> constexpr int kChains = Lanes == 8 ? 24 : 12;

template <int Lanes> double rate(long rounds) {
    constexpr int kChains = chains::kChains<Lanes>;
    using V = typename Vector<Lanes>::type;
    static V factor[kChains];
    V acc[kChains];
    V x = V{} + 1e-9;
#pragma GCC unroll 24
    for (int c = 0; c < kChains; ++c) {
        acc[c] = V{} + c;
        factor[c] = V{} + (1.5 + c); // never 1, whose product could be skipped
    }
    const double start = threadSeconds();
    for (long r = 0; r < rounds; ++r) {
        // A fresh x each round, so that every product is formed anew; the factors stay in
        // memory, which leaves the registers to the chains.
#if defined(__x86_64__)
        asm volatile("" : "+v"(x), "+m"(factor));
#else
        asm volatile("" : "+w"(x), "+m"(factor));
#endif
#pragma GCC unroll 24
        for (int c = 0; c < kChains; ++c)
            acc[c] = acc[c] - x * factor[c];
    }
    const double seconds = threadSeconds() - start;
    // Keep the sums, so that none of the work is left out.
    V sum = {};
#pragma GCC unroll 24
    for (int c = 0; c < kChains; ++c)
        sum += acc[c];
    asm volatile("" : : "g"(sum[0]));
    return 2.0 * static_cast<double>(rounds) * kChains * Lanes / seconds / 1e9;
}

// Seconds of one subtraction of Lanes doubles that waits for the one before: its latency.
template <int Lanes> double subtractionSeconds(long steps) {
    using V = typename Vector<Lanes>::type;
    V acc = V{} + 1.0;
    V x = V{} + 1e-300; // leaves acc as it is, without subnormal numbers
#if defined(__x86_64__)
    asm volatile("" : "+v"(x));
#else
    asm volatile("" : "+w"(x));
#endif
    const long rounds = steps / 16;
    const double start = threadSeconds();
    for (long r = 0; r < rounds; ++r) {
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            acc = acc - x;
            // Keeps acc in a register between the steps, adding no instruction.
#if defined(__x86_64__)
            asm volatile("" : "+v"(acc));
#else
            asm volatile("" : "+w"(acc));
#endif
        }
    }
    const double seconds = threadSeconds() - start;
    asm volatile("" : : "g"(acc[0]));
    return seconds / (static_cast<double>(rounds) * 16);
}

} // namespace chains
