#include "Estimate.h"

#include "Rational.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace lse::exact {

int entryBits(const Matrix& A, const Vector& b, int n) {
    int widest = 0;
    for (int i = 1; i <= n; ++i) {
        int lowest = std::numeric_limits<int>::max();
        int highest = std::numeric_limits<int>::min();
        for (int j = 1; j <= n + 1; ++j) {
            const BinaryFraction entry = binaryFraction(j <= n ? A(i, j) : b(i));
            if (entry.mantissa == 0)
                continue;
            const auto magnitude =
                static_cast<std::uint64_t>(entry.mantissa < 0 ? -entry.mantissa : entry.mantissa);
            lowest = std::min(lowest, entry.exponent);
            highest =
                std::max(highest, entry.exponent + static_cast<int>(std::bit_width(magnitude)));
        }
        if (highest > lowest)
            widest = std::max(widest, highest - lowest);
    }
    return widest;
}

double estimatedSeconds(int n, int bits) {
    // Calibrated below.
    const double order = n;
    return 1e-9 * order * order * order * (1 + bits / 64.0);
}

} // namespace lse::exact
