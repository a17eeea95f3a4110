#pragma once

// One row of b - A x in the pairs, accurate to about u of itself: the refinement's last word,
// where the double-double residual's own error (up to some (n/8)^2 u^2 of |A| |x|) is what keeps
// its bound from deciding.

#include <cstddef>

namespace lse {

struct AccurateRow {
    double r = 0;         // b - A x, rounded
    double magnitude = 0; // |A| |x| + |b|, in doubles, as the double-double residual has it
};

// A row of [A | b] in words: hi and lo, and where had the third words; a null lo is all zero.
struct RowWords {
    const double* aHi;
    const double* aLo;
    const double* aLo2;
    double bHi, bLo, bLo2;
};

// The most terms a row of n entries makes, for the scratch the sum works in.
inline std::size_t accurateResidualTerms(int n) {
    return 9 * static_cast<std::size_t>(n) + 3;
}

// Every product split exactly (Dekker), then the row's N terms summed by Ogita, Rump and
// Oishi's SumK with K = 3 (two passes of error-free vector sums, then a plain sum), whose result
// errs by at most (u + gamma(N)^2) |exact| + gamma(2N)^3 times the terms' magnitudes (their
// Proposition 4.10). terms is scratch of accurateResidualTerms(n) doubles.
AccurateRow accurateResidualRow(int n, const RowWords& a, const double* xHi, const double* xLo,
                                double* terms);

// gamma(2N)^3 for a row of n entries, rounded up: the share of the terms' magnitudes, at most
// (1 + 5u) (|A| |x| + |b|), that the sum may lose.
double accurateResidualTermsError(int n);

} // namespace lse
