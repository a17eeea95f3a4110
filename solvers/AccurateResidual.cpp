#include "AccurateResidual.h"

#include "DoubleDouble.h"

#include <cmath>

namespace lse {

namespace {

constexpr double kU = 0x1p-53;
constexpr int kSumPasses = 2; // SumK's K - 1

} // namespace

AccurateRow accurateResidualRow(int n, const double* aHi, const double* aLo, const double* xHi,
                                const double* xLo, double bHi, double bLo, double* terms) {
    AccurateRow row;
    std::size_t count = 0;
    terms[count++] = bHi;
    terms[count++] = bLo;
    double magnitude = 0;
    for (int j = 0; j < n; ++j) {
        const dd::Pair xs = dd::split(xHi[j]);
        const dd::Pair as = dd::split(aHi[j]);
        const dd::Pair p = dd::twoProduct(aHi[j], as, xHi[j], xs);
        const dd::Pair q = dd::twoProduct(aHi[j], as, xLo[j], dd::split(xLo[j]));
        terms[count++] = -p.hi;
        terms[count++] = -p.lo;
        terms[count++] = -q.hi;
        terms[count++] = -q.lo;
        if (aLo != nullptr) {
            const dd::Pair t = dd::twoProduct(aLo[j], dd::split(aLo[j]), xHi[j], xs);
            terms[count++] = -t.hi;
            terms[count++] = -t.lo;
            // Of the order u^2 of the row's terms, so that its own rounding is some u^3.
            terms[count++] = -(aLo[j] * xLo[j]);
        }
        magnitude = magnitude + std::fabs(aHi[j] * xHi[j]);
    }
    for (int pass = 0; pass < kSumPasses; ++pass)
        for (std::size_t k = 1; k < count; ++k) {
            const dd::Pair s = dd::twoSum(terms[k], terms[k - 1]);
            terms[k] = s.hi;
            terms[k - 1] = s.lo;
        }
    double sum = 0;
    for (std::size_t k = 0; k + 1 < count; ++k)
        sum = sum + terms[k];
    row.r = sum + terms[count - 1];
    row.magnitude = magnitude + std::fabs(bHi);
    return row;
}

double accurateResidualTermsError(int n) {
    // The terms' magnitudes are (1 + 5u) |A| |x| + |b| at most, and |A| |x| + |b| in doubles
    // is below the true one by gamma(n + 1) at most: 1.01 covers both for any order held.
    const double twiceTerms = 2.0 * (7.0 * n + 2);
    const double gamma = twiceTerms * kU / (1 - twiceTerms * kU);
    return gamma * gamma * gamma * 1.01 * (1 + 0x1p-40);
}

} // namespace lse
