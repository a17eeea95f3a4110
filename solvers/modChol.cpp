#include "modChol.h"

#include "CholeskyBlocked.h"
#include "Finite.h"
#include "Limits.h"
#include "Power.h"
#include "StepObserver.h"
#include "Symmetry.h"
#include "kernels/Tuning.h"

#include <algorithm>
#include <cmath>

namespace lse {

namespace {

// target = sum / divisor, unless the sum is not finite already; false when either is not. So a
// failed solve leaves the quotient that failed, and nothing for a sum that did.
bool divideInto(double sum, double divisor, double& target) {
    if (!std::isfinite(sum))
        return false;
    target = sum / divisor;
    return std::isfinite(target);
}

} // namespace

CholeskyOutcome modChol::cholDecompose(Matrix& W, std::int16_t n, const SolveOptions& options) {
    // Test the arguments: a refused order leaves an empty state, so a following solve writes
    // nothing.
    if (n < 0 || n > kMaxOrder || W.rowsUpper() < n || W.colsUpper() < n) {
        cholInit(0);
        return {CholeskyStatus::orderNotServed};
    }
    cholInit(n);
    if (options.cancelRequested())
        return {CholeskyStatus::cancelled};

    // Test the symmetry the decomposition relies on (the blocked path with all its threads),
    // then decompose, literally for a small system, blocked for a large one: the same bits.
    const bool blocked = tuning::takesBlockedPath(options, n);
    if (!blocked && !symmetricRows(W, n, 1, n + 1))
        return {CholeskyStatus::notSymmetric};
    const CholeskyOutcome outcome =
        blocked ? blocked::choleskyDecompose(W, n, diag_, options) : decompose(W, n, options);

    // W is the factor for the solve; a cancel leaves nothing to solve with.
    if (outcome.decomposed()) {
        factor_ = &W;
    } else if (outcome.status == CholeskyStatus::cancelled) {
        std::fill(diag_.data(), diag_.data() + n + 1, 0.0);
    }
    return outcome;
}

CholeskyOutcome modChol::decompose(Matrix& W, int n, const SolveOptions& options) {
    StepObserver* const steps = options.steps;
    for (int i = 1; i <= n; ++i) {
        if (options.cancelRequested())
            return {CholeskyStatus::cancelled};
        // The pivot: A(i, i) less the squares of row i of L, from k = i - 1 down to 1.
        double sum = W(i, i);
        for (int k = i - 1; k >= 1; --k)
            sum = sum - W(i, k) * W(i, k);
        if (steps)
            steps->choleskyPivot(i, sum);
        if (!std::isfinite(sum))
            return {CholeskyStatus::arithmeticError, i};
        // A zero pivot is singular, so not positive definite either.
        if (!(sum > 0))
            return {CholeskyStatus::pivotNotPositive, i};
        diag_(i) = power(sum, 0.5);
        if (steps)
            steps->choleskyEntry(i, i, sum, diag_(i));

        // Column i of L below the diagonal, each entry's sum in the same descending order.
        FiniteCheck check;
        for (int j = i + 1; j <= n; ++j) {
            sum = W(i, j);
            for (int k = i - 1; k >= 1; --k)
                sum = sum - W(i, k) * W(j, k);
            W(j, i) = sum / diag_(i);
            if (steps)
                steps->choleskyEntry(j, i, sum, W(j, i));
            check.add(W(j, i));
        }
        if (!check.allFinite())
            return {CholeskyStatus::arithmeticError, i};
        if (options.progress)
            options.progress(i, n);
    }
    return {};
}

void modChol::cholInit(std::int16_t n) {
    cholOrder_ = n;
    diag_.recreate(n);
    factor_ = nullptr;
}

CholeskySolveStatus modChol::cholSolve(const Vector& b, Vector& x, StepObserver* steps) const {
    const int m = cholOrder_;
    const Matrix* const L = factor_;
    if (m > 0 && (b.upper() < m || x.upper() < m ||
                  (L != nullptr && (L->rowsUpper() < m || L->colsUpper() < m))))
        return CholeskySolveStatus::orderNotServed;
    // After a failed decomposition the factor is zero, and the solve runs on the diagonal as
    // the literal order leaves it.
    if (L == nullptr)
        return substitute(
            m, [](int, int) { return 0.0; }, b, x, steps);
    // L(i, k) by its address, which the loops then step through.
    const double* const l = L->row(0);
    const std::size_t stride = L->stride();
    return substitute(
        m, [l, stride](int i, int k) { return l[static_cast<std::size_t>(i) * stride + k]; }, b, x,
        steps);
}

template <typename Entry>
CholeskySolveStatus modChol::substitute(int m, Entry entry, const Vector& b, Vector& x,
                                        StepObserver* steps) const {
    // Forward substitution, L * y = b, y into x.
    for (int i = 1; i <= m; ++i) {
        double sum = b(i);
        for (int k = i - 1; k >= 1; --k)
            sum = sum - x(k) * entry(i, k);
        if (!divideInto(sum, diag_(i), x(i)))
            return CholeskySolveStatus::arithmeticError;
        if (steps)
            steps->choleskySubstituted(true, i, sum, x(i));
    }

    // Back substitution, L^T * x = y, reading column i of L as row i of L^T.
    for (int i = m; i >= 1; --i) {
        double sum = x(i);
        for (int k = i + 1; k <= m; ++k)
            sum = sum - x(k) * entry(k, i);
        if (!divideInto(sum, diag_(i), x(i)))
            return CholeskySolveStatus::arithmeticError;
        if (steps)
            steps->choleskySubstituted(false, i, sum, x(i));
    }
    return CholeskySolveStatus::solved;
}

} // namespace lse
