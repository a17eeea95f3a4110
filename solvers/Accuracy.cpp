#include "Accuracy.h"

#include "ConditionEstimate.h"
#include "Digits.h"
#include "Factors.h"
#include "FixedSums.h"
#include "Team.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
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
    if (!A.symmetricUpper) {
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

// From this order on the two estimates run side by side when a second thread is allowed: each
// reads all the factors from memory several times.
constexpr int kThreadsFrom = 1000;

// RCOND: 1 / (||A||_1 ||A^-1||_1), ||A^-1||_1 estimated (dgecon, dpocon); 0 when the
// estimate overflows, as LAPACK's scaled solves give for a matrix that far from invertible.
std::optional<double> rcondOf(std::optional<double> norm1, int n, const Product& inverse,
                              const Product& inverseTransposed) {
    if (!norm1)
        return std::nullopt;
    if (*norm1 == 0)
        return 0.0;
    const std::optional<double> inverseNorm = estimateNorm1(n, inverse, inverseTransposed);
    return inverseNorm && *inverseNorm != 0 ? (1.0 / *inverseNorm) / *norm1 : 0.0;
}

// BERR and FERR from the residual (dgerfs, dporfs).
void errorsOf(const Residual& residual, const Vector& x, int n, const Product& inverse,
              const Product& inverseTransposed, AccuracyFigures& out) {
    // BERR: tiny denominators are raised by safe1, and their numerators with them, so that an
    // exact zero in |A| |x| + |b| does not blow the ratio up.
    const double eps = kUnitRoundoff;
    const double nz = n + 1;
    const double safe1 = nz * DBL_MIN;
    const double safe2 = safe1 / eps;
    const Entries& r = residual.r;
    const Entries& scale = residual.scale;
    double berr = 0;
    for (int i = 1; i <= n; ++i) {
        const double ratio = scale[i] > safe2 ? std::fabs(r[i]) / scale[i]
                                              : (std::fabs(r[i]) + safe1) / (scale[i] + safe1);
        berr = std::max(berr, ratio);
    }
    out.berr = berr;

    // FERR: ||A^-1| w|_inf with w = |r| + (n + 1) eps (|A| |x| + |b|), the rounding of the
    // residual allowed for, estimated as ||diag(w) A^-T||_1, then taken relative to ||x||_inf.
    Entries w(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        w[i] = scale[i] > safe2 ? std::fabs(r[i]) + nz * eps * scale[i]
                                : std::fabs(r[i]) + nz * eps * scale[i] + safe1;
    const auto scaled = [&w, n](Entries& v) {
        for (int i = 1; i <= n; ++i)
            v[i] = v[i] * w[i];
    };
    const std::optional<double> bound = estimateNorm1(
        n,
        [&](Entries& v) {
            if (!inverseTransposed(v))
                return false;
            scaled(v);
            return true;
        },
        [&](Entries& v) {
            scaled(v);
            return inverse(v);
        });
    if (!bound)
        return;
    double largest = 0;
    for (int i = 1; i <= n; ++i)
        largest = std::max(largest, std::fabs(x(i)));
    out.ferr = largest != 0 ? *bound / largest : *bound;
}

// The figures from ||A||_1, the residual, and products with A^-1 and A^-T. The two estimates
// share nothing, so a second thread may take one: the same bits either way.
AccuracyFigures figures(std::optional<double> norm1, const SystemMatrix& A, const Vector& b,
                        const Vector& x, int n, const Product& inverse,
                        const Product& inverseTransposed, const SolveOptions& options) {
    AccuracyFigures out;
    const auto condition = [&] { out.rcond = rcondOf(norm1, n, inverse, inverseTransposed); };
    const auto errors = [&] {
        if (!A.present)
            return;
        if (const std::optional<Residual> residual = residualOf(A, b, x, n))
            errorsOf(*residual, x, n, inverse, inverseTransposed, out);
    };
    if (n < kThreadsFrom || Team::sizeFor(options.threads) < 2) {
        condition();
        errors();
        return out;
    }
    Team team(2);
    team.run([&](int member) {
        if (member == 0)
            condition();
        if (member == 1 || team.size() < 2)
            errors();
    });
    return out;
}

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

std::optional<int> AccuracyFigures::correctDigits() const {
    if (!ferr)
        return std::nullopt;
    return significantDigits(*ferr);
}

bool AccuracyFigures::warning() const {
    if (ferr)
        return *ferr >= 1;
    return singularToWorkingPrecision();
}

bool AccuracyFigures::singularToWorkingPrecision() const {
    return rcond && *rcond < kUnitRoundoff;
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

std::optional<AccuracyFigures> gaussAccuracy(const SystemMatrix& A, std::optional<double> norm1,
                                             const Matrix& W, const CalculateOutcome& outcome,
                                             const MethodState&, const Vector& b, const Vector& x,
                                             std::int16_t n, const SolveOptions& options) {
    const std::vector<int>& pivotRows = outcome.gauss.pivotRows;
    if (!outcome.solved() || n <= 0 || pivotRows.size() <= static_cast<std::size_t>(n))
        return std::nullopt;
    const GaussFactors factors(W, pivotRows, n);
    return figures(
        norm1, A, b, x, n, [&](Entries& v) { return factors.solve(v); },
        [&](Entries& v) { return factors.solveTransposed(v); }, options);
}

std::optional<AccuracyFigures> choleskyAccuracy(const SystemMatrix& A, std::optional<double> norm1,
                                                const Matrix&, const CalculateOutcome& outcome,
                                                const MethodState& state, const Vector& b,
                                                const Vector& x, std::int16_t n,
                                                const SolveOptions& options) {
    const modChol& chol = state.chol;
    if (!outcome.solved() || n <= 0 || chol.factor() == nullptr || chol.cholOrder() != n)
        return std::nullopt;
    const CholeskyFactors factors(*chol.factor(), chol.diag(), n);
    const Product inverse = [&](Entries& v) { return factors.solve(v); };
    return figures(norm1, A, b, x, n, inverse, inverse, options);
}

} // namespace lse
