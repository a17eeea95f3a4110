#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lse::fixed {

// Sums whose order the code fixes, so that every compiler, level and instruction set gives the
// same bits: eight partial sums by index mod 8, combined pairwise at the end. They are held as
// four vectors of two lanes (SSE2, NEON, WebAssembly SIMD, or pairs of scalars where there is
// none), each lane doing alone what one partial sum does, so the vectors change the speed and
// never the bits; without fast-math no compiler may reassociate them.
inline constexpr int kLanes = 8;

typedef double Pair __attribute__((vector_size(16)));
typedef std::int64_t PairBits __attribute__((vector_size(16)));

struct Partial {
    Pair q[4] = {};
};

inline Pair load(const double* p) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store(double* p, Pair v) {
    std::memcpy(p, &v, sizeof v);
}

// |v| by clearing the sign bits, as fabs does.
inline Pair magnitude(Pair v) {
    const PairBits signless = {INT64_MAX, INT64_MAX};
    return reinterpret_cast<Pair>(reinterpret_cast<PairBits>(v) & signless);
}

inline double combine(const double (&s)[kLanes]) {
    return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}

inline double combine(const Partial& s) {
    return ((s.q[0][0] + s.q[0][1]) + (s.q[1][0] + s.q[1][1])) +
           ((s.q[2][0] + s.q[2][1]) + (s.q[3][0] + s.q[3][1]));
}

// The tail of fewer than eight entries, copied into a zero-padded block: the padding adds
// products of zero, which leave every partial sum as it was.
inline void padded(int count, const double* from, double (&to)[kLanes]) {
    for (int l = 0; l < kLanes; ++l)
        to[l] = l < count ? from[l] : 0.0;
}

// a . b over count entries, for each of a few b at once: a is read once, and each b takes the
// operations it takes alone.
template <std::size_t C>
inline std::array<double, C> dots(int count, const double* a,
                                  const std::array<const double*, C>& b) {
    Partial s[C];
    int t = 0;
    // Unrolled, so that the partial sums stay in registers.
    for (; t + kLanes <= count; t += kLanes)
#pragma GCC unroll 4
        for (int q = 0; q < 4; ++q) {
            const Pair va = load(a + t + 2 * q);
#pragma GCC unroll 4
            for (std::size_t c = 0; c < C; ++c)
                s[c].q[q] = s[c].q[q] + va * load(b[c] + t + 2 * q);
        }
    if (t < count) {
        double ta[kLanes], tb[kLanes];
        padded(count - t, a + t, ta);
        for (std::size_t c = 0; c < C; ++c) {
            padded(count - t, b[c] + t, tb);
            for (int q = 0; q < 4; ++q)
                s[c].q[q] = s[c].q[q] + load(ta + 2 * q) * load(tb + 2 * q);
        }
    }
    std::array<double, C> out;
    for (std::size_t c = 0; c < C; ++c)
        out[c] = combine(s[c]);
    return out;
}

// a . b and |a| . |b| in one pass.
inline void dotAndMagnitude(int count, const double* a, const double* b, double& product,
                            double& magnitudes) {
    Partial s, m;
    const auto step = [&](const double* pa, const double* pb) {
        for (int q = 0; q < 4; ++q) {
            const Pair va = load(pa + 2 * q);
            const Pair vb = load(pb + 2 * q);
            s.q[q] = s.q[q] + va * vb;
            m.q[q] = m.q[q] + magnitude(va) * magnitude(vb);
        }
    };
    int t = 0;
    for (; t + kLanes <= count; t += kLanes)
        step(a + t, b + t);
    if (t < count) {
        double ta[kLanes], tb[kLanes];
        padded(count - t, a + t, ta);
        padded(count - t, b + t, tb);
        step(ta, tb);
    }
    product = combine(s);
    magnitudes = combine(m);
}

// |v_1| + ... + |v_count|, as LAPACK's dasum.
inline double sumOfMagnitudes(int count, const double* v) {
    Partial s;
    int t = 0;
    for (; t + kLanes <= count; t += kLanes)
        for (int q = 0; q < 4; ++q)
            s.q[q] = s.q[q] + magnitude(load(v + t + 2 * q));
    if (t < count) {
        double tv[kLanes];
        padded(count - t, v + t, tv);
        for (int q = 0; q < 4; ++q)
            s.q[q] = s.q[q] + magnitude(load(tv + 2 * q));
    }
    return combine(s);
}

// y := y - f * x, entry by entry: each entry's own product and difference; for each of a few
// (f, y) at once, x read once.
template <std::size_t C>
inline void subtractMultiples(int count, const std::array<double, C>& f, const double* x,
                              const std::array<double*, C>& y) {
    int t = 0;
    for (; t + 2 <= count; t += 2) {
        const Pair vx = load(x + t);
        for (std::size_t c = 0; c < C; ++c) {
            const Pair vf = {f[c], f[c]};
            store(y[c] + t, load(y[c] + t) - vf * vx);
        }
    }
    for (; t < count; ++t)
        for (std::size_t c = 0; c < C; ++c)
            y[c][t] = y[c][t] - f[c] * x[t];
}

// Whether every entry is finite: x - x is 0 for finite x, NaN otherwise.
inline bool allFinite(int count, const double* v) {
    double s = 0;
    for (int t = 0; t < count; ++t)
        s += v[t] - v[t];
    return s == 0;
}

} // namespace lse::fixed
