#pragma once

#include "Matrix.h"
#include "WrittenValues.h"

#include <string>

namespace lse::exact {

// Gauss elimination with partial pivoting as the steps view shows it in doubles, but in exact
// rational arithmetic on the system as written (0.1 is 1/10, 1/3 is 1/3): each column's pivot,
// the largest in exact magnitude, and its row exchange, each multiplier, the matrix after the
// step, the back substitution, every number a fraction in lowest terms. Where A as written is
// singular, the column where elimination stops. Where some written value is beyond what the
// exact arithmetic holds, why no steps are shown. For the small systems the steps are shown for;
// std::invalid_argument for an entry that is not finite.
std::string fractionStepsText(const Matrix& A, const Vector& b, int n,
                              const WrittenValues& written);

} // namespace lse::exact
