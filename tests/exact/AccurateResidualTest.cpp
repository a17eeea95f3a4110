// The refinement's accurate residual against the exact one: rows whose b nearly cancels A x,
// as a refined x's do, with tails (and third words) on A, b and x and magnitudes far apart.
#include "AccurateResidual.h"
#include "Rational.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace lse;
using namespace lse::exact;

namespace {

constexpr double kU = 0x1p-53;

// |r - exact| <= 2u |exact| plus what the terms may lose, as the refinement's bound takes it.
TEST(AccurateResidual, WithinUOfTheExactResidual) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::uniform_int_distribution<int> exponent(-40, 40);
    int cancelled = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const int n = 1 + static_cast<int>(random() % 60);
        const bool tails = trial % 3 != 0;
        const bool thirds = tails && trial % 2 == 0;
        std::vector<double> aHi(n), aLo(n), aLo2(n), xHi(n), xLo(n);
        for (int j = 0; j < n; ++j) {
            aHi[j] = std::ldexp(unit(random), exponent(random));
            aLo[j] = tails ? aHi[j] * kU * unit(random) : 0;
            aLo2[j] = thirds ? aLo[j] * kU * unit(random) : 0;
            xHi[j] = std::ldexp(unit(random), exponent(random) / 4);
            xLo[j] = xHi[j] * kU * unit(random);
        }
        // b the row's value, or a little beside it: r then cancels to some u^2 of the terms.
        Rational exact, term, product;
        for (int j = 0; j < n; ++j) {
            Rational a(aHi[j]), x(xHi[j]), al(aLo[j]), al2(aLo2[j]), xl(xLo[j]);
            fmpq_add(a.value, a.value, al.value);
            fmpq_add(a.value, a.value, al2.value);
            fmpq_add(x.value, x.value, xl.value);
            fmpq_mul(product.value, a.value, x.value);
            fmpq_add(term.value, term.value, product.value);
        }
        const double bHi = *nearestDouble(term.value);
        Rational rest(bHi);
        fmpq_sub(rest.value, term.value, rest.value);
        const double shift = trial % 4 == 0 ? std::ldexp(bHi, -80) * unit(random) : 0;
        const double bLo = *nearestDouble(rest.value) + shift;
        const double bLo2 = thirds ? bLo * kU * unit(random) : 0;
        Rational b(bHi), bl(bLo), bl2(bLo2);
        fmpq_add(b.value, b.value, bl.value);
        fmpq_add(b.value, b.value, bl2.value);
        fmpq_sub(exact.value, b.value, term.value);

        std::vector<double> terms(accurateResidualTerms(n));
        const RowWords words{
            aHi.data(), tails ? aLo.data() : nullptr, thirds ? aLo2.data() : nullptr, bHi, bLo,
            bLo2};
        const AccurateRow row = accurateResidualRow(n, words, xHi.data(), xLo.data(), terms.data());
        Rational got(row.r), error;
        fmpq_sub(error.value, got.value, exact.value);
        fmpq_abs(error.value, error.value);
        const double exactSize = std::fabs(*nearestDouble(exact.value));
        const double allowed = 2 * kU * exactSize * (1 + 4 * kU) +
                               (accurateResidualTermsError(n) + 2 * kU * kU * kU) * row.magnitude;
        ASSERT_LE(*nearestDouble(error.value), allowed)
            << "trial " << trial << ", n " << n << ", exact " << exactSize;
        cancelled += exactSize < row.magnitude * 0x1p-90;
    }
    EXPECT_GT(cancelled, 500); // most rows cancel far below the doubles' own residual
}

} // namespace
