#pragma once

#include "Matrix.h"
#include "Platform.h"

#include <cstdint>

// Gauss elimination with partial pivoting and back substitution, in place on W.
namespace lse::modGauss {

inline constexpr const char* errorText = "Aborting analysis";
inline constexpr const char* errorTitle = "Gauss Elimination Error";

// Solves the system held in W (columns 1..n, as copyPass leaves it) with right-hand side b,
// widening W by the column n + 1. Returns true when it wrote the solution into x(1..n).
// A zero pivot, an arithmetic error or an order above kMaxOrder is reported with the
// "Aborting analysis" message box and leaves x unchanged; n below 1 does nothing.
bool gaussSolve(Matrix& W, Vector& x, const Vector& b, std::int16_t n, Platform& platform);

// One elimination step below the pivot W(j, j). False, after the message, for a zero pivot.
bool gaussEliminate(Matrix& W, std::int16_t j, std::int16_t n, Platform& platform);

// Leaves the solution in column n + 1 of W. Throws ArithmeticError when a step overflows or
// divides by a zero last pivot.
void gaussBackSubstitute(Matrix& W, std::int16_t n);

void gaussError(Platform& platform);

} // namespace lse::modGauss
