#pragma once

// The exact values behind the solution's texts and errors, on FLINT's rationals.

#include "BinaryFraction.h"
#include "ExactReport.h"
#include "Matrix.h"

#include <flint/fmpq.h>
#include <flint/fmpq_mat.h>
#include <flint/fmpz.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lse::exact {

// An fmpq_t that clears itself.
struct Rational {
    fmpq_t value;
    Rational() { fmpq_init(value); }
    explicit Rational(double exact);
    Rational(const Rational&) = delete;
    Rational& operator=(const Rational&) = delete;
    ~Rational() { fmpq_clear(value); }
};

// out = value, for every 64-bit value whatever the width of FLINT's slong.
void setInteger(fmpz_t out, std::int64_t value);

// The exact value of a finite double.
void setExact(fmpq_t out, double finite);

// The value of a number text as written (io's grammar: a decimal, or a fraction p/q): 0.1 is
// 1/10. False for any other text, and for a written exponent beyond kLargestDecimalExponent,
// whose value would take more memory than it is worth.
bool setWritten(fmpq_t out, std::string_view text);

// Q = A(1..n, 1..n) and B = b(1..n) (n x 1) as the exact values of their doubles, unscaled:
// the system as FLINT's rational solvers take it directly.
void setExactSystem(fmpq_mat_t Q, fmpq_mat_t B, const Matrix& A, const Vector& b, int n);

// The double nearest to value, ties to even, subnormals included; nullopt beyond the largest
// double. Rounded once, by MPFR in the doubles' exponent range.
std::optional<double> nearestDouble(const fmpq_t value);

// The smallest double not below value (+infinity beyond the doubles, 0 only for 0).
double doubleAbove(const fmpq_t value);

// "p/q" in lowest terms ("p" when q is 1) when the digits shown number at most maxDigits.
std::optional<std::string> fractionText(const fmpq_t value, int maxDigits = kShortFractionDigits);

// value rounded to `digits` significant decimal digits, ties to even, from the exact value
// (a binary approximation first would round twice). Every digit is kept; exponent form
// outside 1E-04 <= |value| < 1E+17 (for 17 digits), as the round-trip texts of doubles have it.
std::string decimalText(const fmpq_t value, int digits = kApproximationDigits);

// How many doubles lie between a and b counted along the number line (adjacent: 1, equal: 0,
// +0 and -0 are the same); nullopt when either is not a number.
std::optional<std::uint64_t> doublesBetween(double a, double b);

} // namespace lse::exact
