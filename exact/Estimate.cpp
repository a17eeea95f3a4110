#include "Estimate.h"

#include "BinaryFraction.h"

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
    // Processor seconds measured on an Intel Xeon (2 cores, shared) with bench/exact_timing,
    // orders 20 to 400 and entries of 53 to 800 bits: Dixon's lifting takes a number of steps
    // that grows with n * bits, each a product of A, of n^2 entries of `bits` bits, with a
    // vector. Entries that fit a machine word cost alike, whatever their size.
    const double order = n;
    const double extra = std::max(0, bits - 53);
    const double perCube = 2.6e-8 + 1.64e-9 * extra + 1.52e-12 * extra * extra;
    // Writing, sending and reading the system's text.
    const double perEntry = 2e-7;
    return order * order * (order * perCube + perEntry);
}

} // namespace lse::exact
