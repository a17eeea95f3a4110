#pragma once

#include "Factors.h"
#include "Matrix.h"
#include "SolveOptions.h"

#include <cstdint>
#include <optional>

namespace lse {

// The unit roundoff of doubles, LAPACK's dlamch('Epsilon').
inline constexpr double kUnitRoundoff = 0x1p-53;

// Why a figure is missing.
enum class FigureGap {
    none,
    matrixBeyondDoubles,    // ||A||_1 overflows
    inverseBeyondDoubles,   // the estimate of ||A^-1||_1 overflows: A is singular as far as
                            // the doubles can tell
    conditionBeyondDoubles, // RCOND is so small that 1 / RCOND overflows
    noResidual,             // the method worked in A itself and left too little of it
    residualBeyondDoubles,  // b - A x or |A| |x| + |b| overflows
    boundBeyondDoubles,     // the estimate of the bound overflows
    factorsChangedA,        // the factors do not multiply out to A to working precision
    solutionUnderflowed,    // x lies below the normal doubles, where its bits are lost
};

// Why a solution should not be trusted, when it should not.
enum class Doubt {
    none,
    singular,    // RCOND < the unit roundoff, with nothing better to go by
    noDigit,     // the error bound leaves no correct digit
    unstable,    // the factors or the backward error show the method lost the problem
    growth,      // Gauss without a residual: its pivot growth leaves no digit
    underflowed, // the solution lies below the normal doubles
};

// What a solution's bits are worth, as LAPACK's expert drivers (dgesvx, dposvx) tell it. Each
// figure is none where it cannot be had, with its gap saying why.
struct AccuracyFigures {
    // 1 / (||A||_1 ||A^-1||_1), with ||A^-1||_1 estimated from the method's factors (dgecon,
    // dpocon).
    std::optional<double> rcond;
    FigureGap rcondGap = FigureGap::none;
    // The componentwise backward error max_i |b - A x|_i / (|A| |x| + |b|)_i (dgerfs, dporfs):
    // the smallest relative change to the entries of A and b that makes x exact. A row whose
    // residual is exactly 0 counts 0.
    std::optional<double> berr;
    FigureGap berrGap = FigureGap::none;
    // An estimated bound on ||x_true - x||_inf / ||x||_inf (dgerfs, dporfs, without refining x).
    std::optional<double> ferr;
    FigureGap ferrGap = FigureGap::none;
    // max |U| / max |A| for Gauss.
    std::optional<double> growth;
    // Where RCOND < the unit roundoff but FERR vouches for digits: the estimated condition
    // number of A with its rows equilibrated, ||A^-1 diag(|A| e)||_inf; none beyond the
    // doubles. Badly scaled rows leave it small; a matrix singular however scaled does not.
    std::optional<double> scaledCondition;
    // The premise of the bound: the factors multiply out to A to working precision.
    bool factorsReproduceA = true;
    // ||x||_inf is below the normal doubles while b is not 0.
    bool solutionUnderflowed = false;

    // kappa_1 = 1 / RCOND; none where RCOND is missing or its reciprocal overflows.
    std::optional<double> conditionNumber() const;
    // The decimal digits of x that FERR vouches for: none without FERR, 0 for a solution that
    // underflowed or earns a warning.
    std::optional<int> correctDigits() const;
    // Why the solution should not be trusted, or none.
    Doubt doubt() const;
    bool warning() const { return doubt() != Doubt::none; }
    // RCOND < the unit roundoff (LAPACK's INFO = N + 1), or beyond the doubles.
    bool singularToWorkingPrecision() const;
};

// A backward error above this (half the digits) is far above the unit roundoff: the method,
// not the matrix, lost accuracy, and the bound's premise is no longer taken on trust.
inline constexpr double kBackwardErrorLimit = 0x1p-26;
// An estimated relative error above this leaves no correct digit: significantDigits' 10^-1.
inline constexpr double kNoDigitError = 1e-1;
// Without a residual, Gauss warns where kappa rho eps exceeds this (rho its pivot growth).
// Measured by scripts/growth-rule against the exact solution: the true error was at most
// 0.075 kappa rho eps on Wilkinson's growth matrix (n = 20 to 60), random matrices (n = 50 to
// 400) and nearly singular random ones (kappa 6e14, 7.5e15), so above 1 the error may leave
// no digit; Wilkinson's matrix warns from n = 50 (true error 2.5e-3; 1.6e-1 at n = 55).
inline constexpr double kGrowthRuleLimit = 1;
// Up to this order the factors are multiplied out row by row and checked against A; beyond
// it the check is the factors' own scan for underflow, since a rebuild costs n^3 operations,
// more than the factorisation: at 64 it takes 0.3 ms of the figures' 0.4 ms (AMD EPYC,
// accuracy_share), at 65 the figures take 0.04 ms.
inline constexpr int kRebuildCheckUpTo = 64;

// The matrix of the system, as far as the figures can read it after the method: as given, or
// what the method left of it when it worked in A itself (Cholesky: the upper triangle, all of
// a symmetric A; Gauss: nothing, and then the figures have no residual). The two readings
// give different bits: their sums run differently.
struct SystemMatrix {
    const Matrix& entries;
    std::optional<double> norm1; // ||A||_1 as copyWithNorm1 returned it
    KeptOfA kept = KeptOfA::all;
};

// Copies A into W, rows and columns 1..n, W re-created with one spare column (so that Gauss
// widens it in place), and returns ||A||_1, or none when it overflows.
std::optional<double> copyWithNorm1(const Matrix& A, Matrix& W, std::int16_t n);

// ||A||_1 as copyWithNorm1 returns it, the same bits, for a method that works in A itself.
std::optional<double> norm1Of(const Matrix& A, std::int16_t n);

// The figures of a solution x of A x = b from the factors its method made, alike for every
// method. options.threads: for a large system a second thread, if allowed, forms the residual
// beside the first product; the bits are the same.
AccuracyFigures accuracyFigures(const SystemMatrix& A, const Factors& factors, const Vector& b,
                                const Vector& x, const SolveOptions& options = {});

} // namespace lse
