#include "Power.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace lse;

namespace {

// Whether r is x^0.5 correctly rounded: (r - u/2)^2 < x < (r + u/2)^2 with u the unit in the
// last place of r, decided in exact integer arithmetic.
bool isCorrectlyRoundedRoot(double x, double r) {
    int rExponent = 0;
    int xExponent = 0;
    // r = rm * 2^(rExponent - 53), x = xm * 2^(xExponent - 53), both mantissas 53-bit integers.
    const auto rm = static_cast<std::int64_t>(std::ldexp(std::frexp(r, &rExponent), 53));
    const auto xm = static_cast<std::int64_t>(std::ldexp(std::frexp(x, &xExponent), 53));
    // (2 rm -+ 1)^2 * 2^(2 rExponent - 108) against xm * 2^(xExponent - 53).
    const int shift = xExponent - 53 - (2 * rExponent - 108);
    if (shift < 0 || shift > 70)
        return false;
    using U = unsigned __int128;
    const U scaledX = static_cast<U>(xm) << shift;
    const U below = static_cast<U>(2 * rm - 1) * static_cast<U>(2 * rm - 1);
    const U above = static_cast<U>(2 * rm + 1) * static_cast<U>(2 * rm + 1);
    return below < scaledX && scaledX < above;
}

} // namespace

TEST(Power, SquareRootsAreCorrectlyRounded) {
    // Each of these is one where Debian 12's pow(x, 0.5) is off by one unit in the last place,
    // on a processor with FMA and AVX2 or with both masked; which ones depends on the variant
    // glibc picks at run time.
    const double inputs[] = {0x1.28461b6b9d0c1p+29, 0x1.2e01b42b848dbp+27, 0x1.7d449b7f5288cp+9,
                             0x1.0ca3b91e01431p-4,  0x1.203b0ebf46bafp+4,  0x1.5a6999d784b69p+23,
                             0x1.35047614e6db2p+0,  0x1.6758405d51738p+9,  2.0};
    for (const double x : inputs) {
        SCOPED_TRACE(x);
        const double root = power(x, 0.5);
        EXPECT_TRUE(isCorrectlyRoundedRoot(x, root));
        EXPECT_EQ(root, std::sqrt(x));
    }
}

TEST(Power, EdgesOfTheSquareRoot) {
    EXPECT_EQ(power(0, 0.5), 0);
    EXPECT_FALSE(std::signbit(power(-0.0, 0.5))) << "a base of 0 gives 0, not -0";
    EXPECT_EQ(power(16, 0.5), 4);
    EXPECT_TRUE(std::isnan(power(-1, 0.5)));
    EXPECT_EQ(power(2, 3), 8) << "other exponents stay the library's";
}
