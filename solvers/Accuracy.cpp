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

// From this order on, when a second thread is allowed, it forms the residual while the first
// makes RCOND's first product.
constexpr int kThreadsFrom = 1000;

// BERR, into out, and FERR's weights from the residual (dgerfs, dporfs).
Entries backwardErrorAndWeights(const Residual& residual, int n, AccuracyFigures& out) {
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

template <class Factors> void stepAlone(const Factors& factors, Estimate& e) {
    const Side side = e.side();
    e.before();
    e.after(side == Side::inverse ? factors.solve(e.vector())
                                  : factors.solveTransposed(e.vector()));
}

// Makes the products two estimates ask for, in one pass over the factors whenever both ask for
// the same one, else the one behind alone: the factors are read from memory about half as
// often, and each estimate sees the bits it sees alone.
template <class Factors> void runTogether(const Factors& factors, Estimate* a, Estimate* b) {
    for (;;) {
        const Side sideA = sideOf(a);
        const Side sideB = sideOf(b);
        if (sideA == Side::none && sideB == Side::none)
            return;
        // A^-T is A^-1 for symmetric factors: every two products pair.
        const bool pair =
            sideA != Side::none && sideB != Side::none && (sideA == sideB || Factors::kSymmetric);
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

// The figures from ||A||_1, the residual, and the two estimates run together on the factors.
template <class Factors>
AccuracyFigures figures(std::optional<double> norm1, const SystemMatrix& A, const Vector& b,
                        const Vector& x, int n, const Factors& factors,
                        const SolveOptions& options) {
    // RCOND: 1 / (||A||_1 ||A^-1||_1), ||A^-1||_1 estimated (dgecon, dpocon).
    std::optional<Estimate> condition;
    if (norm1 && *norm1 != 0)
        condition.emplace(n, nullptr);
    // The residual needs A, which Gauss run in place no longer has.
    std::optional<Residual> residual;
    if (A.present && condition && n >= kThreadsFrom && Team::sizeFor(options.threads) >= 2) {
        Team team(2);
        team.run([&](int member) {
            if (member == 0)
                stepAlone(factors, *condition);
            if (member == 1 || team.size() < 2)
                residual = residualOf(A, b, x, n);
        });
    } else if (A.present) {
        residual = residualOf(A, b, x, n);
    }
    AccuracyFigures out;
    Entries weights;
    std::optional<Estimate> errors;
    if (residual) {
        weights = backwardErrorAndWeights(*residual, n, out);
        errors.emplace(n, &weights);
    }
    runTogether(factors, condition ? &*condition : nullptr, errors ? &*errors : nullptr);

    // 0 when the estimate overflows, as LAPACK's scaled solves give for a matrix that far from
    // invertible.
    if (norm1) {
        const std::optional<double> inverseNorm = condition ? condition->result() : std::nullopt;
        out.rcond = inverseNorm && *inverseNorm != 0 ? (1.0 / *inverseNorm) / *norm1 : 0.0;
    }
    // FERR, relative to ||x||_inf.
    if (errors)
        if (const std::optional<double> bound = errors->result()) {
            double largest = 0;
            for (int i = 1; i <= n; ++i)
                largest = std::max(largest, std::fabs(x(i)));
            out.ferr = largest != 0 ? *bound / largest : *bound;
        }
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
    return figures(norm1, A, b, x, n, GaussFactors(W, pivotRows, n), options);
}

std::optional<AccuracyFigures> choleskyAccuracy(const SystemMatrix& A, std::optional<double> norm1,
                                                const Matrix&, const CalculateOutcome& outcome,
                                                const MethodState& state, const Vector& b,
                                                const Vector& x, std::int16_t n,
                                                const SolveOptions& options) {
    const modChol& chol = state.chol;
    if (!outcome.solved() || n <= 0 || chol.factor() == nullptr || chol.cholOrder() != n)
        return std::nullopt;
    return figures(norm1, A, b, x, n, CholeskyFactors(*chol.factor(), chol.diag(), n), options);
}

} // namespace lse
