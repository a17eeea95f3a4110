#pragma once

#include "Factors.h"
#include "Matrix.h"

#include <optional>
#include <vector>

namespace lse {

// A system as written, each entry hi + lo: the doubles the methods got in aHi and bHi (rows and
// columns 1..n), and what the written values add to them. A null lo is all zero and costs
// nothing.
struct PairSystem {
    const Matrix& aHi;
    const Matrix* aLo = nullptr;
    const Vector& bHi;
    const Vector* bLo = nullptr;
    int n = 0;
};

enum class RefinedStatus {
    correctlyRounded, // every component is the written system's solution rounded to nearest
    withinUlps,       // every component within ulps() units in the last place of it
    notConverged,
};

enum class RefineStop {
    converged,
    conditionTooLarge, // the factors are too inexact for the system to trust a bound from them
    stalled,           // a correction shrank by less than half: the factors do not contract
    stepLimit,         // still moving after kRefineSteps corrections
    notFinite,         // a residual or a correction overflowed
};

// LAPACK's xLA_GERFSX_EXTENDED: ITHRESH = 10 and RTHRESH = 0.5. A contraction of one half
// gains a bit a step; from a method's x, good to about 53 - log2(cond) bits, the 53 bits
// beyond it then take at most ten steps.
inline constexpr int kRefineSteps = 10;
inline constexpr double kStallRatio = 0.5;

struct Refined {
    std::vector<double> x;    // 1..n, entry 0 unused: the refined solution rounded to doubles
    std::vector<double> tail; // what x lacks of the refined pair, as LAPACK's y_tail
    RefinedStatus status = RefinedStatus::notConverged;
    RefineStop stop = RefineStop::converged;
    int steps = 0; // corrections applied
    // The largest componentwise error bound, in units in the last place of each component;
    // none where the refinement did not converge.
    std::optional<double> boundUlps;

    // The N of "within N ulps": the bound rounded up.
    double ulps() const;
};

// Refines x, a method's solution of the system, with that method's factors: the residual in
// double-double against the pairs, the correction from the factors, x kept as a pair. threads
// as SolveOptions::threads (0: one per processor); the bits never depend on it. std::bad_alloc
// when its buffers cannot be had.
Refined refine(const PairSystem& system, const Factors& factors, const Vector& x, int threads = 0);

} // namespace lse
