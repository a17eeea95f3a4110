#pragma once

#include <cstdint>

namespace lse::exact {

// A finite double as mantissa * 2^exponent with an odd mantissa (0 for zero).
struct BinaryFraction {
    std::int64_t mantissa = 0;
    int exponent = 0;
};
BinaryFraction binaryFraction(double finite);

} // namespace lse::exact
