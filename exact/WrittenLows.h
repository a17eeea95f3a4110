#pragma once

#include "Matrix.h"
#include "Refinement.h"
#include "WrittenPairs.h"
#include "WrittenValues.h"

#include <optional>
#include <string_view>

namespace lse::exact {

// A written number (a decimal or a fraction, as the exact solve reads it) as hi + lo: hi its
// correctly rounded double and lo the rest correctly rounded, from its exact value. nullopt
// for a text that is not such a number; `below` is set where the pair cannot hold it within
// 2^-106 because its tail falls below the doubles (|hi| < 2^-969), or hi is beyond them.
std::optional<dd::Pair> exactPair(std::string_view text, bool& beyond);

// The system the refinement is towards: each written value of [A | b] held as a pair, and b as
// the written A's row sums where b was made so and some written value of A is not its double
// (as the exact solve takes it). Where any value cannot be held, no pair at all: the doubles,
// and why. Values of a few digits take the error-free route (writtenPair); the others GMP's
// exact fractions, rounded by MPFR.
// Its thirds source reads `written` again, which must outlive it.
WrittenLows writtenLows(const Matrix& A, const Vector& b, int n, const WrittenValues& written);

// The written values' third words (ThirdWords), from their texts alone; nullopt where some value
// has none that holds it within 2^-159 (its third word below the normal doubles), or where b is
// A's row sums or some entry was summed.
std::optional<ThirdWords> writtenThirds(int n, const WrittenValues& written);

} // namespace lse::exact
