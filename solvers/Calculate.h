#pragma once

#include "Factors.h"
#include "Matrix.h"
#include "SolveOptions.h"
#include "modChol.h"
#include "modGauss.h"

#include <cstdint>
#include <memory>

namespace lse {

// How one method's run ended: the ending every caller acts on, and the solvers' own statuses
// for a program that asks why. Gauss fills `gauss`; Cholesky fills `decomposition`, and
// `solve` once the decomposition succeeded.
struct CalculateOutcome {
    enum class Ending {
        solved,    // x holds the method's solution
        failed,    // the method could not solve the system; x is as it was
        cancelled, // the caller's cancel stopped it; x is as it was
    };
    Ending ending = Ending::solved;
    GaussOutcome gauss;
    CholeskyOutcome decomposition;
    CholeskySolveStatus solve = CholeskySolveStatus::solved;
    // When solved: the factors the method made, which the figures read; they refer to the W
    // and the state the method worked in. Null for a method that offers none.
    std::shared_ptr<const Factors> factors;

    bool solved() const { return ending == Ending::solved; }
    bool cancelled() const { return ending == Ending::cancelled; }
};

// What the methods keep from their last run besides W, for a caller that reads their factors:
// the Cholesky module state, whose factor is the W it decomposed.
struct MethodState {
    modChol chol;
};

// How a method runs, alike for every method, in the manner of LAPACK's drivers (dgesv,
// dposv): W holds A in rows and columns 1..n (best with one spare column, which Gauss widens
// into) and is the working storage; afterwards it holds what the method leaves there (Gauss:
// the eliminated system; Cholesky: L below the diagonal, which state.chol keeps using as its
// factor). x(1..n) is written only when the method solved the system; after any failure or a
// cancel it is as it was. std::bad_alloc when the solver's buffers cannot be had.
using MethodSolver = CalculateOutcome (*)(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                          MethodState& state, const SolveOptions& options);

CalculateOutcome calculateGauss(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                MethodState& state, const SolveOptions& options);
CalculateOutcome calculateCholesky(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                   MethodState& state, const SolveOptions& options);

} // namespace lse
