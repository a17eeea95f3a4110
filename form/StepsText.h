#pragma once

#include "Limits.h"
#include "Matrix.h"
#include "MethodTable.h"

#include <string>

namespace lse {

// How `method` solves A x = b, step by step, in the doubles it computes with and their
// round-trip digits: each value that the method computes, with what it came from, and where
// the method fails, why. The method runs once more, on a copy, on its literal path, which
// gives the same bits as the run whose solution is shown. Above kStepsUpTo unknowns, a line
// that says so.
std::string stepsText(const MethodEntry& method, const Matrix& A, const Vector& b, int n);

// The steps view's title for the method.
std::string stepsTitle(const MethodEntry& method);

} // namespace lse
