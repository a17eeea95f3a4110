#pragma once

#include "Matrix.h"
#include "WrittenValues.h"

namespace lse::exact {

// The bits of the largest integer in the system once each row of [A | b] is scaled by the
// power of two that makes its entries integers: what the exact solve's cost grows with.
int entryBits(const Matrix& A, const Vector& b, int n);
// The same where numbers are kept as written: a row holding one is scaled as the exact solve
// of the system as written scales it, by the least common multiple of its denominators, and
// the wider of that and the doubles' system counts. A bound from each text's digits and
// exponent, read without arithmetic on its value.
int entryBits(const Matrix& A, const Vector& b, int n, const WrittenValues& written);

// Seconds the exact solve of order n with entries of `bits` bits takes in lineq-exact, for a
// view to say before it starts: within a factor of two of the measurements on the machine it
// was calibrated on for dense entries of full precision; an overestimate for small integers.
double estimatedSeconds(int n, int bits);

} // namespace lse::exact
