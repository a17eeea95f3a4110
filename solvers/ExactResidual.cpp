#include "ExactResidual.h"

#include "DoubleDouble.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace lse {

namespace {

// Products from here up keep Dekker's error term exact; splits from 2^995 up overflow.
constexpr double kSmallestExactProduct = 0x1p-960;
constexpr double kLargestSplit = 0x1p995;

// The exact sum of doubles as signed digits of 32 bits from 2^-1074 upward: 68 digits reach
// past 2^1100, and each may take 2^31 terms before its 64 bits overflow.
class FixedSum {
public:
    void add(double v) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
        const int field = static_cast<int>((bits >> 52) & 0x7ff);
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        const std::uint64_t m = field == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
        const int offset = field == 0 ? 0 : field - 1;
        const int digit = offset / 32;
        const int shift = offset % 32;
        const std::int64_t sign = (bits >> 63) != 0 ? -1 : 1;
        const std::uint64_t rest = shift == 0 ? m >> 32 : m >> (32 - shift);
        digits_[digit] += sign * static_cast<std::int64_t>(static_cast<std::uint32_t>(m << shift));
        digits_[digit + 1] += sign * static_cast<std::int64_t>(static_cast<std::uint32_t>(rest));
        digits_[digit + 2] += sign * static_cast<std::int64_t>(rest >> 32);
    }

    bool isZero() const {
        std::int64_t carry = 0;
        for (const std::int64_t d : digits_) {
            const std::int64_t v = d + carry;
            if ((v & 0xffffffff) != 0)
                return false;
            carry = v >> 32;
        }
        return carry == 0;
    }

private:
    std::array<std::int64_t, 68> digits_{};
};

// Adds a x exactly, or says it cannot.
bool addProduct(FixedSum& sum, double a, double x) {
    if (a == 0 || x == 0)
        return true;
    if (!(std::fabs(a) < kLargestSplit && std::fabs(x) < kLargestSplit))
        return false;
    const dd::Pair p = dd::twoProduct(a, x);
    if (!(std::fabs(p.hi) >= kSmallestExactProduct))
        return false;
    sum.add(p.hi);
    sum.add(p.lo);
    return true;
}

} // namespace

bool residualIsZero(const PairSystem& s, const std::vector<double>& x) {
    for (int i = 1; i <= s.n; ++i) {
        FixedSum sum;
        sum.add(s.bHi(i));
        if (s.bLo)
            sum.add((*s.bLo)(i));
        for (int j = 1; j <= s.n; ++j) {
            if (!addProduct(sum, -s.aHi(i, j), x[j]))
                return false;
            if (s.aLo && !addProduct(sum, -(*s.aLo)(i, j), x[j]))
                return false;
        }
        if (!sum.isZero())
            return false;
    }
    return true;
}

} // namespace lse
