#pragma once

#include "Matrix.h"

namespace lse::exact {

// The bits of the largest integer in the system once each row of [A | b] is scaled by the
// power of two that makes its entries integers: what the exact solve's cost grows with.
int entryBits(const Matrix& A, const Vector& b, int n);

// Seconds the exact solve of order n with entries of `bits` bits takes in lineq-exact, for a
// view to say before it starts: within a factor of two of the measurements on the machine it
// was calibrated on for dense entries of full precision; an overestimate for small integers.
double estimatedSeconds(int n, int bits);

} // namespace lse::exact
