#include "Digits.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lse {

int significantDigits(double relativeError) {
    // Decimal literals are correctly rounded by the compiler: each is the double nearest to
    // its power of ten.
    static constexpr std::array<double, 18> kPowers = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,
                                                       1e-6,  1e-7,  1e-8,  1e-9,  1e-10, 1e-11,
                                                       1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17};
    if (!(relativeError < 1)) // also NaN
        return 0;
    int digits = 0;
    while (digits + 1 < static_cast<int>(kPowers.size()) && relativeError <= kPowers[digits + 1])
        ++digits;
    return digits;
}

double smallerUlp(double value) {
    return std::min(std::nextafter(value, INFINITY) - value,
                    value - std::nextafter(value, -INFINITY));
}

} // namespace lse
