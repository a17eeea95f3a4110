#pragma once

#include "Matrix.h"
#include "SolveOptions.h"

#include <cstdint>
#include <vector>

namespace lse {

class StepObserver;

// How a Gauss solve ended, in the manner of LAPACK's INFO.
enum class GaussStatus {
    solved,          // x(1..n) holds the solution
    zeroPivot,       // the pivot of `column` is exactly zero: the matrix is singular
    arithmeticError, // a step overflowed or was invalid
    orderNotServed,  // n is negative or above kMaxOrder, or the arrays do not cover it
    cancelled,       // the caller asked it to stop (SolveOptions::cancel)
};

struct GaussOutcome {
    GaussStatus status = GaussStatus::solved;
    int column = 0; // the zero pivot's column, 1..n
    // When solved: pivotRows[j] is the row that step j exchanged with row j (j itself when
    // none), for j = 1..n - 1, and pivotRows[n] = n, as LAPACK's IPIV; with W they are the
    // factors. Empty otherwise.
    std::vector<int> pivotRows = {};

    bool solved() const { return status == GaussStatus::solved; }
};

// Gauss elimination with partial pivoting and back substitution, in place on W.
namespace modGauss {

// Solves the system held in W (rows and columns 1..n, as copyPass leaves it) with right-hand
// side b, widening W by the column n + 1. Writes x(1..n) only when it returns solved; after
// a failure or a cancel W is scratch. n = 0 is solved with nothing to write.
GaussOutcome gaussSolve(Matrix& W, Vector& x, const Vector& b, std::int16_t n,
                        const SolveOptions& options = {});

// One elimination step below the pivot W(j, j): solved, zeroPivot (nothing changed) or
// arithmeticError.
GaussStatus gaussEliminate(Matrix& W, std::int16_t j, std::int16_t n);

// Leaves the solution in column n + 1 of W: solved or arithmeticError. `steps`, when given,
// sees each unknown as it is found.
GaussStatus gaussBackSubstitute(Matrix& W, std::int16_t n, StepObserver* steps = nullptr);

} // namespace modGauss
} // namespace lse
