#pragma once

#include <cstdint>

namespace lse {

// Counts and indices are 16-bit signed. The Gauss solver needs n + 1 columns of W, so the
// largest system that can be represented has 32766 equations.
constexpr std::int16_t kMaxOrder = 32766;

// The largest system whose steps are shown: 8 unknowns keep a matrix of round-trip numbers
// within a wide screen.
inline constexpr int kStepsUpTo = 8;

} // namespace lse
