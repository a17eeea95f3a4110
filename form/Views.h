#pragma once

#include "CalculateReport.h"
#include "Matrix.h"
#include "MethodTable.h"
#include "View.h"

namespace lse {

// The accuracy view of `report`: its figures and unknowns side by side (the unknowns' wrong
// digits marked once the exact solution is known), its text, and its commands' buttons.
View accuracyView(const CalculateReport& report);

// Steps… for `method` of `report`, the last Calculate of A x = b (which it left as they were):
// its steps in doubles and, once the exact solution brought the fraction steps, those beside
// them (besideEachOther); its Copy copies the doubles' steps with the fractions' after them, or,
// where they may come, with a line that says how.
View stepsView(const MethodEntry& method, const Matrix& A, const Vector& b, int n,
               const CalculateReport& report);

} // namespace lse
