#pragma once

#include "DoubleDouble.h"
#include "Matrix.h"
#include "WrittenValues.h"

#include <optional>
#include <string_view>
#include <vector>

namespace lse {

// A written number as hi + lo, hi its double: a decimal m 10^k with m < 2^53 and |k| <= 22,
// or a fraction p/q with |p|, |q| <= 2^53, formed by error-free transformations alone (exact
// for m 10^k with k >= 0, within 2^-106 of the value otherwise). nullopt for any other text:
// more digits, a larger exponent, or not a number.
std::optional<dd::Pair> writtenPair(std::string_view text);

// What the written values add to A's and b's doubles, for the refinement.
struct WrittenLows {
    Matrix aLo; // absent while every lo of A is 0
    Vector bLo; // absent while every lo of b is 0
    // The kept texts that could not be held as pairs (or are not A's double): they stand as
    // their doubles.
    std::vector<WrittenValues::Entry> notHeld;
    // b was A's row sums and A has written values: b stands as its doubles.
    bool rowSumsNotHeld = false;
};

WrittenLows writtenLows(const Matrix& A, const Vector& b, int n, const WrittenValues& written);

} // namespace lse
