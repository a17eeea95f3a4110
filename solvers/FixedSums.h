#pragma once

#include <cmath>
#include <cstddef>

namespace lse::fixed {

// Sums whose order the code fixes, so that every compiler and level gives the same bits: eight
// partial sums by index mod 8, combined pairwise at the end. Eight chains hide the latency of
// the additions; without fast-math no compiler may reassociate them.
inline constexpr int kLanes = 8;

inline double combine(const double (&s)[kLanes]) {
    return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}

// a . b over count entries.
inline double dot(int count, const double* a, const double* b) {
    double s[kLanes] = {};
    int t = 0;
    for (; t + kLanes <= count; t += kLanes)
        for (int l = 0; l < kLanes; ++l)
            s[l] = s[l] + a[t + l] * b[t + l];
    for (int l = 0; t + l < count; ++l)
        s[l] = s[l] + a[t + l] * b[t + l];
    return combine(s);
}

// a . b and |a| . |b| in one pass.
inline void dotAndMagnitude(int count, const double* a, const double* b, double& product,
                            double& magnitude) {
    double s[kLanes] = {};
    double m[kLanes] = {};
    int t = 0;
    for (; t + kLanes <= count; t += kLanes)
        for (int l = 0; l < kLanes; ++l) {
            s[l] = s[l] + a[t + l] * b[t + l];
            m[l] = m[l] + std::fabs(a[t + l]) * std::fabs(b[t + l]);
        }
    for (int l = 0; t + l < count; ++l) {
        s[l] = s[l] + a[t + l] * b[t + l];
        m[l] = m[l] + std::fabs(a[t + l]) * std::fabs(b[t + l]);
    }
    product = combine(s);
    magnitude = combine(m);
}

// |v_1| + ... + |v_count|, as LAPACK's dasum.
inline double sumOfMagnitudes(int count, const double* v) {
    double s[kLanes] = {};
    int t = 0;
    for (; t + kLanes <= count; t += kLanes)
        for (int l = 0; l < kLanes; ++l)
            s[l] = s[l] + std::fabs(v[t + l]);
    for (int l = 0; t + l < count; ++l)
        s[l] = s[l] + std::fabs(v[t + l]);
    return combine(s);
}

// y := y - f * x, entry by entry: each entry's own operations, so the order is the code's.
inline void subtractMultiple(int count, double f, const double* x, double* y) {
    for (int t = 0; t < count; ++t)
        y[t] = y[t] - f * x[t];
}

// Whether every entry is finite: x - x is 0 for finite x, NaN otherwise.
inline bool allFinite(int count, const double* v) {
    double s = 0;
    for (int t = 0; t < count; ++t)
        s += v[t] - v[t];
    return s == 0;
}

} // namespace lse::fixed
