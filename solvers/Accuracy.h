#pragma once

#include "Calculate.h"
#include "Matrix.h"
#include "SolveOptions.h"

#include <cstdint>
#include <optional>

namespace lse {

// The unit roundoff of doubles, LAPACK's dlamch('Epsilon').
inline constexpr double kUnitRoundoff = 0x1p-53;

// What a solution's bits are worth, as LAPACK's expert drivers (dgesvx, dposvx) tell it. Each
// figure is none where it cannot be had: a norm or a residual beyond the doubles.
struct AccuracyFigures {
    // 1 / (||A||_1 ||A^-1||_1), with ||A^-1||_1 estimated from the method's factors (dgecon,
    // dpocon); 0 when the estimate overflows.
    std::optional<double> rcond;
    // The componentwise backward error max_i |b - A x|_i / (|A| |x| + |b|)_i (dgerfs, dporfs):
    // the smallest relative change to the entries of A and b that makes x exact.
    std::optional<double> berr;
    // An estimated bound on ||x_true - x||_inf / ||x||_inf (dgerfs, dporfs, without refining x).
    std::optional<double> ferr;

    // The decimal digits of x that FERR vouches for; none without FERR.
    std::optional<int> correctDigits() const;
    // The solution should not be trusted: FERR >= 1, or, without FERR, RCOND < the unit
    // roundoff (LAPACK's INFO = N + 1).
    bool warning() const;
    // RCOND < the unit roundoff.
    bool singularToWorkingPrecision() const;
};

// The matrix of the system: as given, or symmetric with its upper triangle read (Cholesky
// leaves A's upper triangle in W). The two give different bits: their sums run differently.
struct SystemMatrix {
    const Matrix& entries;
    bool symmetricUpper = false;
    // False when A is gone (a method solved in it and left nothing of it): entries is then not
    // read, and the figures have RCOND alone.
    bool present = true;
};

// Copies A into W, rows and columns 1..n, W re-created with one spare column (so that Gauss
// widens it in place), and returns ||A||_1, or none when it overflows.
std::optional<double> copyWithNorm1(const Matrix& A, Matrix& W, std::int16_t n);

// ||A||_1 as copyWithNorm1 returns it, the same bits, for a method that works in A itself.
std::optional<double> norm1Of(const Matrix& A, std::int16_t n);

// How a method's figures are had, alike for every method: from A (norm1 = ||A||_1 as
// copyWithNorm1 returned it) and what the method's run left: W, its outcome, its state, b and
// x. None unless the run solved the system with n > 0. options.threads: for a large system a
// second thread, if allowed, forms the residual beside the first product; the bits are the
// same.
using MethodAccuracy = std::optional<AccuracyFigures> (*)(
    const SystemMatrix& A, std::optional<double> norm1, const Matrix& W,
    const CalculateOutcome& outcome, const MethodState& state, const Vector& b, const Vector& x,
    std::int16_t n, const SolveOptions& options);

// Gauss: from W as the elimination leaves it and the pivot rows in outcome.gauss.
std::optional<AccuracyFigures> gaussAccuracy(const SystemMatrix& A, std::optional<double> norm1,
                                             const Matrix& W, const CalculateOutcome& outcome,
                                             const MethodState& state, const Vector& b,
                                             const Vector& x, std::int16_t n,
                                             const SolveOptions& options);

// Cholesky: from the factor state.chol keeps (L in the W it decomposed). A may be that W's
// upper triangle, {W, true}.
std::optional<AccuracyFigures> choleskyAccuracy(const SystemMatrix& A, std::optional<double> norm1,
                                                const Matrix& W, const CalculateOutcome& outcome,
                                                const MethodState& state, const Vector& b,
                                                const Vector& x, std::int16_t n,
                                                const SolveOptions& options);

} // namespace lse
