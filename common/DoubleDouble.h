#pragma once

// Error-free transformations on doubles (Knuth's two-sum, Dekker's split and product), written
// with plain operations alone: under -ffp-contract=off nothing fuses, so every processor and
// WebAssembly give the same bits. Exact unless a value overflows, or a product's error falls
// below the normal doubles.
namespace lse::dd {

// A value held as hi + lo with |lo| <= half an ulp of hi.
struct Pair {
    double hi = 0;
    double lo = 0;
};

// a + b = s + e exactly, whatever their order of magnitude (Knuth).
inline Pair twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    const double e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

// a = hi + lo with hi and lo of at most 26 significant bits each (Dekker), for |a| < 2^996.
inline Pair split(double a) {
    const double c = 134217729.0 * a; // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}

// a b = p + e exactly (Dekker), given a's and b's splits.
inline Pair twoProduct(double a, Pair as, double b, Pair bs) {
    const double p = a * b;
    const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
    return {p, e};
}

inline Pair twoProduct(double a, double b) {
    return twoProduct(a, split(a), b, split(b));
}

// (x.hi + x.lo) + (y.hi + y.lo), rounded to a pair: relative error a few units of 2^-106.
inline Pair add(Pair x, Pair y) {
    const Pair s = twoSum(x.hi, y.hi);
    const Pair t = twoSum(x.lo, y.lo);
    Pair u = twoSum(s.hi, s.lo + t.hi);
    u = twoSum(u.hi, u.lo + t.lo);
    return u;
}

} // namespace lse::dd
