#include "AccurateResidual.h"

#include "DoubleDouble.h"

#include <cmath>

namespace lse {

namespace {

constexpr double kU = 0x1p-53;
constexpr int kSumPasses = 2; // SumK's K - 1

} // namespace

AccurateRow accurateResidualRow(int n, const RowWords& a, const double* xHi, const double* xLo,
                                double* terms) {
    AccurateRow row;
    std::size_t count = 0;
    terms[count++] = a.bHi;
    terms[count++] = a.bLo;
    terms[count++] = a.bLo2;
    double magnitude = 0;
    const auto product = [&](double u, double v, dd::Pair vs) {
        const dd::Pair p = dd::twoProduct(u, dd::split(u), v, vs);
        terms[count++] = -p.hi;
        terms[count++] = -p.lo;
    };
    for (int j = 0; j < n; ++j) {
        const dd::Pair xs = dd::split(xHi[j]);
        product(a.aHi[j], xHi[j], xs);
        product(a.aHi[j], xLo[j], dd::split(xLo[j]));
        if (a.aLo != nullptr) {
            product(a.aLo[j], xHi[j], xs);
            // Of the order u^2 of the row's terms, so that its own rounding is some u^3.
            terms[count++] = -(a.aLo[j] * xLo[j]);
        }
        if (a.aLo2 != nullptr)
            product(a.aLo2[j], xHi[j], xs);
        magnitude = magnitude + std::fabs(a.aHi[j] * xHi[j]);
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
    row.magnitude = magnitude + std::fabs(a.bHi);
    return row;
}

double accurateResidualTermsError(int n) {
    // The terms' magnitudes are (1 + 5u) (|A| |x| + |b|) at most, and |A| |x| + |b| in doubles
    // is below the true one by gamma(n + 1) at most: 1.01 covers both for any order held.
    const double twiceTerms = 2.0 * static_cast<double>(accurateResidualTerms(n));
    const double gamma = twiceTerms * kU / (1 - twiceTerms * kU);
    return gamma * gamma * gamma * 1.01 * (1 + 0x1p-40);
}

} // namespace lse
