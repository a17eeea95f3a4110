#pragma once

#include "Refinement.h"

#include <vector>

namespace lse {

// Whether b - A x is exactly 0 for the pairs of s and x (1..n, doubles): every product taken
// exactly (Dekker) and every term summed in a fixed-point accumulator that spans the doubles.
// false also where a product falls below 2^-960 or a split would overflow, where Dekker's
// product is no longer exact: then it cannot tell.
bool residualIsZero(const PairSystem& s, const std::vector<double>& x);

} // namespace lse
