#pragma once

#include "Matrix.h"

namespace lse::exact {

// The bits of the largest integer in the system once each row of [A | b] is scaled by the
// power of two that makes its entries integers: what the exact solve's cost grows with.
int entryBits(const Matrix& A, const Vector& b, int n);

// Seconds the exact solve of order n with entries of `bits` bits takes, roughly (within a
// factor of two on the machine it was measured on), for a view to say before it starts.
double estimatedSeconds(int n, int bits);

} // namespace lse::exact
