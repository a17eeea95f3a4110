#include "Accuracy.h"

#include "ConditionEstimate.h"
#include "Digits.h"
#include "Factors.h"
#include "FixedSums.h"
#include "Team.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

namespace lse {

namespace {

using Entries = std::vector<double>; // entries 1..n, entry 0 unused

// r = b - A x and the scale |A| |x| + |b| it is measured against; none when either overflows.
struct Residual {
    Entries r;
    Entries scale;
};

std::optional<Residual> residualOf(const SystemMatrix& A, const Vector& b, const Vector& x, int n) {
    Residual out{Entries(static_cast<std::size_t>(n) + 1),
                 Entries(static_cast<std::size_t>(n) + 1)};
    const Matrix& a = A.entries;
    const double* const xs = x.data();
    if (A.kept == KeptOfA::all) {
        for (int i = 1; i <= n; ++i) {
            double product = 0;
            double magnitude = 0;
            fixed::dotAndMagnitude(n, a.row(i) + 1, xs + 1, product, magnitude);
            out.r[i] = b(i) - product;
            out.scale[i] = magnitude + std::fabs(b(i));
        }
    } else {
        // Row i of the upper triangle is row i of A from the diagonal on, and column i of A
        // below it: its products with x(i) go to the rows below, which gather them in turn.
        Entries below(static_cast<std::size_t>(n) + 1);
        Entries belowMagnitude(static_cast<std::size_t>(n) + 1);
        Entries xMagnitude(static_cast<std::size_t>(n) + 1);
        for (int i = 1; i <= n; ++i)
            xMagnitude[i] = std::fabs(x(i));
        for (int i = 1; i <= n; ++i) {
            const double* const row = a.row(i);
            double product = 0;
            double magnitude = 0;
            fixed::dotAndMagnitude(n - i + 1, row + i, xs + i, product, magnitude);
            out.r[i] = b(i) - (below[i] + product);
            out.scale[i] = (belowMagnitude[i] + magnitude) + std::fabs(b(i));
            const double xi = x(i);
            const double xiMagnitude = xMagnitude[i];
            for (int j = i + 1; j <= n; ++j) {
                below[j] = below[j] + row[j] * xi;
                belowMagnitude[j] = belowMagnitude[j] + std::fabs(row[j]) * xiMagnitude;
            }
        }
    }
    if (!fixed::allFinite(n, out.r.data() + 1) || !fixed::allFinite(n, out.scale.data() + 1))
        return std::nullopt;
    return out;
}

// BERR, into out, and FERR's weights from the residual (dgerfs, dporfs).
Entries backwardErrorAndWeights(const Residual& residual, int n, AccuracyFigures& out) {
    // BERR: tiny denominators are raised by safe1, and their numerators with them, so that an
    // exact zero in |A| |x| + |b| does not blow the ratio up. Unlike dgerfs, safe1 is what
    // underflow can really add to a sum of n + 1 products (the smallest subnormal each, not
    // the smallest normal number), so that a system of tiny numbers is measured rather than
    // read as BERR = 1; and a row whose residual is exactly 0 counts 0, so that an exact
    // solution has BERR = 0.
    const double eps = kUnitRoundoff;
    const double nz = n + 1;
    const double safe1 = nz * std::numeric_limits<double>::denorm_min();
    const double safe2 = safe1 / eps;
    const Entries& r = residual.r;
    const Entries& scale = residual.scale;
    double berr = 0;
    for (int i = 1; i <= n; ++i) {
        if (r[i] == 0)
            continue;
        const double ratio = scale[i] > safe2 ? std::fabs(r[i]) / scale[i]
                                              : (std::fabs(r[i]) + safe1) / (scale[i] + safe1);
        berr = std::max(berr, ratio);
    }
    out.berr = berr;

    // FERR is ||A^-1| w|_inf with w = |r| + (n + 1) eps (|A| |x| + |b|), the rounding of the
    // residual allowed for, estimated as ||diag(w) A^-T||_1.
    Entries w(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        w[i] = scale[i] > safe2 ? std::fabs(r[i]) + nz * eps * scale[i]
                                : std::fabs(r[i]) + nz * eps * scale[i] + safe1;
    return w;
}

enum class Side { inverse, transposed, none };

// One of the two estimates: RCOND's of ||A^-1||_1 from products with A^-1 and A^-T; FERR's
// of ||diag(w) A^-T||_1 from A^-T followed by diag(w), and diag(w) followed by A^-1.
class Estimate {
public:
    Estimate(int n, const Entries* weights) : norm_(n), weights_(weights) {}

    Side side() const {
        switch (norm_.need()) {
        case Norm1Estimate::Need::times:
            return weights_ ? Side::transposed : Side::inverse;
        case Norm1Estimate::Need::timesTransposed:
            return weights_ ? Side::inverse : Side::transposed;
        case Norm1Estimate::Need::nothing:
            break;
        }
        return Side::none;
    }
    Entries& vector() { return norm_.vector(); }
    int products() const { return norm_.products(); }
    std::optional<double> result() const { return norm_.result(); }

    void before() {
        if (weights_ && norm_.need() == Norm1Estimate::Need::timesTransposed)
            scale();
    }
    void after(bool finite) {
        if (finite && weights_ && norm_.need() == Norm1Estimate::Need::times)
            scale();
        norm_.advance(finite);
    }

private:
    void scale() {
        Entries& v = norm_.vector();
        for (std::size_t i = 1; i < v.size(); ++i)
            v[i] = v[i] * (*weights_)[i];
    }

    Norm1Estimate norm_;
    const Entries* weights_;
};

Side sideOf(const Estimate* e) {
    return e ? e->side() : Side::none;
}

void stepAlone(const Factors& factors, Estimate& e) {
    const Side side = e.side();
    e.before();
    e.after(side == Side::inverse ? factors.solve(e.vector())
                                  : factors.solveTransposed(e.vector()));
}

// Makes the products two estimates ask for, in one pass over the factors whenever both ask for
// the same one, else the one behind alone: the factors are read from memory about half as
// often, and each estimate sees the bits it sees alone.
void runTogether(const Factors& factors, Estimate* a, Estimate* b) {
    for (;;) {
        const Side sideA = sideOf(a);
        const Side sideB = sideOf(b);
        if (sideA == Side::none && sideB == Side::none)
            return;
        // A^-T is A^-1 for symmetric factors: every two products pair.
        const bool pair =
            sideA != Side::none && sideB != Side::none && (sideA == sideB || factors.symmetric());
        if (pair) {
            a->before();
            b->before();
            const TwoColumns both{&a->vector(), &b->vector()};
            const std::array<bool, 2> finite =
                sideA == Side::inverse ? factors.solve(both) : factors.solveTransposed(both);
            a->after(finite[0]);
            b->after(finite[1]);
        } else if (sideB == Side::none || (sideA != Side::none && a->products() <= b->products())) {
            stepAlone(factors, *a);
        } else {
            stepAlone(factors, *b);
        }
    }
}

// 1 / (||A||_1 ||A^-1||_1) as dgecon forms it, or the other way round where that overflows
// first (a 1 x 1 system of the largest double); none where the quotient lies beyond the doubles.
std::optional<double> reciprocalCondition(double norm1, double inverseNorm) {
    double rcond = (1.0 / inverseNorm) / norm1;
    if (!std::isfinite(rcond) || rcond == 0)
        rcond = (1.0 / norm1) / inverseNorm;
    if (!std::isfinite(rcond) || rcond == 0)
        return std::nullopt;
    return rcond;
}

// A(i, j) as the figures can read it; j >= i always can be.
double entryOf(const SystemMatrix& A, int i, int j) {
    return A.kept == KeptOfA::all || j >= i ? A.entries(i, j) : A.entries(j, i);
}

// The premise of the bound: where it is cheap, every row of the factors multiplied out within
// the rounding the factorisation allows, |A - L U| <= gamma |L| |U|, with room for the
// rebuild's own rounding and underflow; beyond, or without A, no multiplier or pivot below
// the normal doubles (which also flags one that happens to be exact).
bool reproducesA(const SystemMatrix& A, const Factors& factors) {
    const int n = factors.order();
    if (n > kRebuildCheckUpTo || A.kept == KeptOfA::nothing)
        return !factors.underflowed();
    const double tolerance = 4.0 * (n + 1) * kUnitRoundoff;
    const double absolute = 4.0 * (n + 1) * std::numeric_limits<double>::denorm_min();
    Entries row;
    Entries magnitude;
    for (int i = 1; i <= n; ++i) {
        factors.rebuildRow(i, row, magnitude);
        for (int j = 1; j <= n; ++j) {
            const double a = entryOf(A, i, j);
            const double allowed = tolerance * (magnitude[j] + std::fabs(a)) + absolute;
            if (!(std::fabs(a - row[j]) <= allowed))
                return false;
        }
    }
    return true;
}

bool allZero(const Vector& v, int n) {
    for (int i = 1; i <= n; ++i)
        if (v(i) != 0)
            return false;
    return true;
}

} // namespace

AccuracyFigures accuracyFigures(const SystemMatrix& A, const Factors& factors, const Vector& b,
                                const Vector& x, const SolveOptions& options) {
    const int n = factors.order();
    const std::optional<double> norm1 = A.norm1;
    AccuracyFigures out;
    out.growth = factors.pivotGrowth();
    // RCOND: 1 / (||A||_1 ||A^-1||_1), ||A^-1||_1 estimated (dgecon, dpocon).
    std::optional<Estimate> condition;
    if (norm1 && *norm1 != 0)
        condition.emplace(n, nullptr);
    // The residual needs A, which Gauss run in place no longer has.
    const bool present = A.kept != KeptOfA::nothing;
    std::optional<Residual> residual;
    if (present && condition && n >= tuning::kFiguresThreadsFrom &&
        Team::sizeFor(options.threads) >= 2) {
        Team team(2);
        team.run([&](int member) {
            if (member == 0)
                stepAlone(factors, *condition);
            if (member == 1 || team.size() < 2)
                residual = residualOf(A, b, x, n);
        });
    } else if (present) {
        residual = residualOf(A, b, x, n);
    }
    Entries weights;
    std::optional<Estimate> errors;
    if (residual) {
        weights = backwardErrorAndWeights(*residual, n, out);
        errors.emplace(n, &weights);
    } else {
        out.berrGap = out.ferrGap =
            present ? FigureGap::residualBeyondDoubles : FigureGap::noResidual;
    }
    runTogether(factors, condition ? &*condition : nullptr, errors ? &*errors : nullptr);

    if (!norm1) {
        out.rcondGap = FigureGap::matrixBeyondDoubles;
    } else {
        const std::optional<double> inverseNorm = condition ? condition->result() : std::nullopt;
        out.rcond = inverseNorm && *inverseNorm != 0 ? reciprocalCondition(*norm1, *inverseNorm)
                                                     : std::nullopt;
        if (!out.rcond)
            out.rcondGap = FigureGap::inverseBeyondDoubles;
    }

    double largest = 0;
    for (int i = 1; i <= n; ++i)
        largest = std::max(largest, std::fabs(x(i)));
    out.solutionUnderflowed = largest < DBL_MIN && !allZero(b, n);
    out.factorsReproduceA = reproducesA(A, factors);
    // FERR, relative to ||x||_inf.
    if (!out.factorsReproduceA) {
        out.ferrGap = FigureGap::factorsChangedA;
    } else if (out.solutionUnderflowed) {
        out.ferrGap = FigureGap::solutionUnderflowed;
    } else if (errors) {
        const std::optional<double> bound = errors->result();
        const double relative = bound ? (largest != 0 ? *bound / largest : *bound)
                                      : std::numeric_limits<double>::infinity();
        if (std::isfinite(relative))
            out.ferr = relative;
        else
            out.ferrGap = FigureGap::boundBeyondDoubles;
    }
    // A matrix singular to working precision whose bound still vouches for digits: either
    // its rows are merely badly scaled, or the estimate of the bound missed (Hager's
    // estimates are lower bounds). The condition number of A with its rows equilibrated tells
    // the two apart: ||A^-1 diag(|A| e)||_inf, estimated as ||diag(|A| e) A^-T||_1, as FERR's
    // is.
    if (out.ferr && out.singularToWorkingPrecision()) {
        Entries rowSums(static_cast<std::size_t>(n) + 1);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                rowSums[i] = rowSums[i] + std::fabs(entryOf(A, i, j));
        Estimate scaled(n, &rowSums);
        runTogether(factors, &scaled, nullptr);
        out.scaledCondition = scaled.result();
    }
    return out;
}

namespace {

// ||A||_1 from the column sums; none when it overflows.
std::optional<double> largestSum(const Entries& sums, int n) {
    double norm = 0;
    for (int j = 1; j <= n; ++j)
        norm = std::max(norm, sums[j]);
    if (!std::isfinite(norm))
        return std::nullopt;
    return norm;
}

} // namespace

std::optional<double> AccuracyFigures::conditionNumber() const {
    if (!rcond)
        return std::nullopt;
    const double kappa = 1 / *rcond;
    if (!std::isfinite(kappa))
        return std::nullopt;
    return kappa;
}

std::optional<int> AccuracyFigures::correctDigits() const {
    if (solutionUnderflowed)
        return 0;
    if (!ferr)
        return std::nullopt;
    // A bound can vouch for digits that the warning's own reason takes away (a matrix singular
    // however its rows are scaled, a backward error far above the unit roundoff): the warning
    // wins, so no figure claims a digit beside "may have no correct digit".
    if (doubt() != Doubt::none)
        return 0;
    return significantDigits(*ferr);
}

bool AccuracyFigures::singularToWorkingPrecision() const {
    return rcond ? *rcond < kUnitRoundoff : rcondGap == FigureGap::inverseBeyondDoubles;
}

Doubt AccuracyFigures::doubt() const {
    if (solutionUnderflowed)
        return Doubt::underflowed;
    if (!factorsReproduceA)
        return Doubt::unstable;
    const bool singular = singularToWorkingPrecision();
    // A method that lost the problem: the condition number's warning stands whatever the
    // bound says, and the first-order bound kappa BERR decides.
    if (berr && *berr > kBackwardErrorLimit) {
        if (singular)
            return Doubt::singular;
        const std::optional<double> kappa = conditionNumber();
        if (!kappa || *kappa * *berr > kNoDigitError)
            return Doubt::unstable;
    }
    // Where the bound leaves no digit on a matrix singular to working precision, the matrix
    // is the reason given.
    const bool noDigit = ferr ? *ferr > kNoDigitError : ferrGap == FigureGap::boundBeyondDoubles;
    // A singular matrix whose rows equilibrated are singular too has no bound to trust.
    const bool scaledSingular =
        singular && ferr && !(scaledCondition && *scaledCondition * kUnitRoundoff < 1);
    if (scaledSingular)
        return Doubt::singular;
    if (ferr || ferrGap == FigureGap::boundBeyondDoubles)
        return !noDigit ? Doubt::none : singular ? Doubt::singular : Doubt::noDigit;
    if (singular)
        return Doubt::singular;
    // Without a residual, the growth bounds the backward error at about growth * eps, and
    // the error at kappa times that; the limit is measured.
    if (const std::optional<double> kappa = conditionNumber();
        kappa && growth && *kappa * *growth * kUnitRoundoff > kGrowthRuleLimit)
        return Doubt::growth;
    return Doubt::none;
}

std::optional<double> copyWithNorm1(const Matrix& A, Matrix& W, std::int16_t n) {
    const int order = std::max<int>(n, 0);
    W.recreate(order, order, 1);
    // Column sums gathered row by row, in row order.
    Entries sums(static_cast<std::size_t>(order) + 1);
    for (int i = 1; i <= n; ++i) {
        const double* const from = A.row(i);
        double* const to = W.row(i);
        for (int j = 1; j <= n; ++j) {
            to[j] = from[j];
            sums[j] = sums[j] + std::fabs(from[j]);
        }
    }
    return largestSum(sums, n);
}

std::optional<double> norm1Of(const Matrix& A, std::int16_t n) {
    Entries sums(static_cast<std::size_t>(std::max<int>(n, 0)) + 1);
    for (int i = 1; i <= n; ++i) {
        const double* const from = A.row(i);
        for (int j = 1; j <= n; ++j)
            sums[j] = sums[j] + std::fabs(from[j]);
    }
    return largestSum(sums, n);
}

} // namespace lse
