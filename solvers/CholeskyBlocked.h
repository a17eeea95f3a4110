#pragma once

#include "Matrix.h"
#include "SolveOptions.h"
#include "modChol.h"

namespace lse::blocked {

// Tests that W is symmetric (notSymmetric when not, W and diag untouched), then decomposes it
// into diag and W's strictly lower triangle. Every sum runs through the same products,
// subtracted in the same descending order, as in the literal decomposition, so the bits and
// the reported failure are the same; diag then holds what the literal order leaves in it, and
// W's lower triangle is scratch. A cancel stops every thread at its next tile, or within a
// long one.
CholeskyOutcome choleskyDecompose(Matrix& W, int n, Vector& diag, const SolveOptions& options);

} // namespace lse::blocked
