#pragma once

#include "Factors.h"
#include "Matrix.h"
#include "SolveOptions.h"
#include "modChol.h"
#include "modGauss.h"

#include <any>
#include <cstdint>
#include <memory>

namespace lse {

// How one method's run ended: the ending every caller acts on, and the solver's own statuses
// for a program that asks why.
struct CalculateOutcome {
    enum class Ending {
        solved,    // x holds the method's solution
        failed,    // the method could not solve the system; x is as it was
        cancelled, // the caller's cancel stopped it; x is as it was
    };
    Ending ending = Ending::solved;
    // Each method's statuses, of its own type (Gauss: GaussOutcome; Cholesky:
    // CholeskyStatuses), read by its entry in the method table; empty for a method that keeps
    // none. A new method declares its type beside its solver, not here.
    std::any statuses;
    // When solved: the factors the method made, which the figures read; they borrow the W the
    // method worked in (Factors.h). Null for a method that offers none.
    std::shared_ptr<const Factors> factors;

    bool solved() const { return ending == Ending::solved; }
    bool cancelled() const { return ending == Ending::cancelled; }
    // The statuses when the method keeps them as a T; else null.
    template <class T> const T* statusesAs() const { return std::any_cast<T>(&statuses); }
};

// Cholesky's statuses: the decomposition's, then the solve's once the decomposition succeeded.
struct CholeskyStatuses {
    CholeskyOutcome decomposition;
    CholeskySolveStatus solve = CholeskySolveStatus::solved;
};

// What a method keeps from its last run besides W, of its own type (Cholesky: its modChol,
// whose factor is the W it decomposed), for a caller that reads it; a run of another method
// may replace it. The factors need none of it (Factors.h).
class MethodState {
public:
    // The state a method keeps as a T: the last run's when it kept one, else a new one.
    template <class T> T& of() {
        if (T* kept = std::any_cast<T>(&kept_))
            return *kept;
        return kept_.emplace<T>();
    }
    // The last run's state when it was kept as a T; else null.
    template <class T> const T* as() const { return std::any_cast<T>(&kept_); }

private:
    std::any kept_;
};

// How a method runs, alike for every method, in the manner of LAPACK's drivers (dgesv,
// dposv): W holds A in rows and columns 1..n (best with one spare column, which Gauss widens
// into) and is the working storage; afterwards it holds what the method leaves there (Gauss:
// the eliminated system; Cholesky: L below the diagonal, which its modChol in `state` keeps
// using as its factor). x(1..n) is written only when the method solved the system; after any
// failure or a cancel it is as it was. std::bad_alloc when the solver's buffers cannot be had.
using MethodSolver = CalculateOutcome (*)(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                          MethodState& state, const SolveOptions& options);

CalculateOutcome calculateGauss(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                MethodState& state, const SolveOptions& options);
CalculateOutcome calculateCholesky(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                   MethodState& state, const SolveOptions& options);

} // namespace lse
