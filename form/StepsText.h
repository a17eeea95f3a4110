#pragma once

#include "Limits.h"
#include "Matrix.h"
#include "MethodTable.h"

#include <string>
#include <string_view>
#include <utility>

namespace lse {

// How `method` solves A x = b, step by step, in the doubles it computes with and their
// round-trip digits: each value that the method computes, with what it came from, and where
// the method fails, why. The method runs once more, on a copy, on its literal path, which
// gives the same bits as the run whose solution is shown. Above kStepsUpTo unknowns, a line
// that says so.
std::string stepsText(const MethodEntry& method, const Matrix& A, const Vector& b, int n);

// Two texts of the same steps side by side, as two columns that scroll together: each block of
// lines (between blank lines) beside the block of the other that begins the same way ("Step
// 2.", "Back substitution", "x ="), the first blocks beside each other, a block that the other
// lacks beside blank lines; the shorter of two blocks is padded with blank lines, so both come
// back with the same number of lines.
std::pair<std::string, std::string> besideEachOther(std::string_view left, std::string_view right);

// The steps view's title for the method, and its column of exact fractions' name.
std::string stepsTitle(const MethodEntry& method);
std::string stepsFractionsTitle(const MethodEntry& method);

// Whether the steps of `method` on n equations have the same steps in exact fractions, which
// the exact arithmetic computes where the exact solution is computed.
bool hasFractionSteps(const MethodEntry& method, int n);

} // namespace lse
