#pragma once

#include "Matrix.h"
#include "SolveOptions.h"
#include "modGauss.h"

namespace lse::blocked {

// Eliminates below the pivots of columns 1..n - 1 of W, which already carries b as column
// n + 1. Every entry receives the same updates, formed the same way and in the same order, as
// in the literal steps of gaussEliminate, so the bits and the reported failure are the same;
// only the order across entries differs. After a failure W is scratch. A success hands out
// the pivot rows of steps 1..n - 1.
GaussOutcome gaussEliminate(Matrix& W, int n, const SolveOptions& options);

} // namespace lse::blocked
