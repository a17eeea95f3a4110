#include "BinaryFraction.h"

#include <bit>
#include <cmath>
#include <limits>

namespace lse::exact {

BinaryFraction binaryFraction(double finite) {
    if (finite == 0)
        return {};
    int exponent = 0;
    const double fraction = std::frexp(finite, &exponent);
    constexpr int kDigits = std::numeric_limits<double>::digits;
    auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, kDigits));
    exponent -= kDigits;
    const int zeros = std::countr_zero(static_cast<std::uint64_t>(mantissa));
    return {mantissa >> zeros, exponent + zeros};
}

} // namespace lse::exact
