#pragma once

#include "Factors.h"
#include "Matrix.h"

#include <functional>
#include <optional>
#include <vector>

namespace lse {

// A system as written, each entry hi + lo: the doubles the methods got in aHi and bHi (rows and
// columns 1..n), and what the written values add to them. A null lo is all zero and costs
// nothing.
// The written values' third words, lo2 = written - hi - lo rounded, each within 2^-159 of the
// written value with hi and lo; a null one is all zero.
struct ThirdWords {
    Matrix aLo2;
    Vector bLo2;
};
// Asked for only where the pairs' own representation error leaves a claim open: they take the
// exact arithmetic's time. nullopt where they cannot be had.
using ThirdWordsSource = std::function<std::optional<ThirdWords>()>;

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

// LAPACK's xLA_GERFSX_EXTENDED: ITHRESH = 10 and RTHRESH = 0.5. Each step gains the bits the
// factors carry, about 53 - log2(cond): from a method's x, x and its tail (106 bits) take
// 106 / (53 - log2(cond)) steps, 3 at a condition of 1e6 and 8 at 1e12; a contraction of one
// half, a bit a step, ends in the limit's "still changing" rather than in a claim.
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
    // Components that are 0 and whose bound is not: those are counted in boundUlps in units in
    // the last place of the largest component, their bound being absolute.
    int nearZero = 0;

    // The N of "within N ulps": the bound rounded up.
    double ulps() const;
};

// Refines x, a method's solution of the system, with that method's factors: the residual in
// double-double against the pairs, the correction from the factors, x kept as a pair. threads
// as SolveOptions::threads (0: one per processor); the bits never depend on it. std::bad_alloc
// when its buffers cannot be had. `thirds`, where given, is asked for the written values' third
// words should the pairs' representation error alone leave a claim open.
Refined refine(const PairSystem& system, const Factors& factors, const Vector& x, int threads = 0,
               const ThirdWordsSource& thirds = {});

} // namespace lse
