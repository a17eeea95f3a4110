#pragma once

#include "Matrix.h"
#include "SolveOptions.h"
#include "modChol.h"
#include "modGauss.h"

#include <cstdint>

namespace lse {

enum class Method { gauss, cholesky };

// How one method's run ended: the solvers' own statuses. Gauss fills `gauss`; Cholesky fills
// `decomposition`, and `solve` once the decomposition succeeded.
struct CalculateOutcome {
    Method method = Method::gauss;
    GaussOutcome gauss;
    CholeskyOutcome decomposition;
    CholeskySolveStatus solve = CholeskySolveStatus::solved;

    // x holds the method's solution.
    bool solved() const;
    // The caller's cancel stopped it; x is as it was.
    bool cancelled() const;
};

// Solves A x = b by one method, in the manner of LAPACK's drivers (dgesv, dposv): W holds A in
// rows and columns 1..n (best with one spare column, which Gauss widens into) and is the
// working storage; afterwards it holds what the method leaves there (Gauss: the eliminated
// system; Cholesky: L below the diagonal, which `chol` keeps using as its factor). x(1..n) is
// written only when the method solved the system; after any failure or a cancel it is as it
// was. std::bad_alloc when the solver's buffers cannot be had.
CalculateOutcome calculate(Method method, Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                           modChol& chol, const SolveOptions& options = {});

// The same, for a caller that keeps no Cholesky state.
CalculateOutcome calculate(Method method, Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                           const SolveOptions& options = {});

} // namespace lse
