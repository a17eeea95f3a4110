#include "modGauss.h"

#include "Finite.h"
#include "GaussBlocked.h"
#include "Limits.h"
#include "StepObserver.h"
#include "kernels/Tuning.h"

#include <cmath>
#include <utility>
#include <vector>

namespace lse::modGauss {

namespace {

// Row j becomes the row of largest magnitude in column j at or below it; the earliest row
// wins a tie. Columns left of j are not exchanged. Returns the row exchanged with j.
int pivot(Matrix& W, int j, int n) {
    int p = j;
    double m = std::fabs(W(j, j));
    for (int k = j + 1; k <= n; ++k) {
        if (std::fabs(W(k, j)) > m) {
            m = std::fabs(W(k, j));
            p = k;
        }
    }
    if (p != j)
        std::swap_ranges(W.row(j) + j, W.row(j) + n + 2, W.row(p) + j);
    return p;
}

} // namespace

GaussOutcome gaussSolve(Matrix& W, Vector& x, const Vector& b, std::int16_t n,
                        const SolveOptions& options) {
    // Test the arguments: nothing changes when they are refused. No equations need no
    // arrays.
    if (n < 0 || n > kMaxOrder)
        return {GaussStatus::orderNotServed};
    if (options.cancelRequested())
        return {GaussStatus::cancelled};
    if (n == 0)
        return {};
    if (W.rowsUpper() < n || W.colsUpper() < n || b.upper() < n || x.upper() < n)
        return {GaussStatus::orderNotServed};

    // Augment W with b as column n + 1.
    const int rhs = n + 1;
    W.widen(rhs);
    for (int i = 1; i <= n; ++i)
        W(i, rhs) = b(i);

    // Bring W to upper triangular form, one pivot column at a time: literally for a small
    // system, blocked for a large one, with the same bits.
    std::vector<int> pivotRows;
    StepObserver* const steps = options.steps;
    if (tuning::takesBlockedPath(options, n)) {
        GaussOutcome outcome = blocked::gaussEliminate(W, n, options);
        if (!outcome.solved())
            return outcome;
        pivotRows = std::move(outcome.pivotRows);
    } else {
        pivotRows.resize(static_cast<std::size_t>(n) + 1);
        for (int j = 1; j <= n - 1; ++j) {
            if (options.cancelRequested())
                return {GaussStatus::cancelled};
            pivotRows[static_cast<std::size_t>(j)] = pivot(W, j, n);
            if (steps)
                steps->pivotChosen(j, pivotRows[static_cast<std::size_t>(j)], W);
            if (const GaussStatus status = gaussEliminate(W, static_cast<std::int16_t>(j), n);
                status != GaussStatus::solved)
                return {status, status == GaussStatus::zeroPivot ? j : 0};
            if (steps)
                steps->eliminated(j, W);
            if (options.progress)
                options.progress(j, n);
        }
    }

    // Test the last pivot, which has no elimination step of its own, then back-substitute.
    if (steps)
        steps->pivotChosen(n, n, W);
    if (W(n, n) == 0)
        return {GaussStatus::zeroPivot, n};
    if (gaussBackSubstitute(W, n, steps) != GaussStatus::solved)
        return {GaussStatus::arithmeticError};

    // Copy the solution out.
    for (int i = 1; i <= n; ++i)
        x(i) = W(i, rhs);
    pivotRows[static_cast<std::size_t>(n)] = n;
    return {GaussStatus::solved, 0, std::move(pivotRows)};
}

GaussStatus gaussEliminate(Matrix& W, std::int16_t j, std::int16_t n) {
    // Test the pivot; a negative zero is zero too.
    if (W(j, j) == 0)
        return GaussStatus::zeroPivot;

    // Subtract multiples of row j from the rows below it, product first, then difference.
    FiniteCheck check;
    for (int i = j + 1; i <= n; ++i) {
        const double f = W(i, j) / W(j, j);
        check.add(f);
        for (int c = j + 1; c <= n + 1; ++c) {
            W(i, c) = W(i, c) - f * W(j, c);
            check.add(W(i, c));
        }
    }
    return check.allFinite() ? GaussStatus::solved : GaussStatus::arithmeticError;
}

GaussStatus gaussBackSubstitute(Matrix& W, std::int16_t n, StepObserver* steps) {
    const int rhs = n + 1;
    FiniteCheck check;
    // The solution so far, also kept in a row of its own: column n + 1 is read across rows.
    std::vector<double> solution(static_cast<std::size_t>(n) + 1);

    // Solve the last row, then each row above with the values already found below it.
    const double last = W(n, rhs);
    W(n, rhs) = last / W(n, n);
    if (steps)
        steps->backSubstituted(n, last, 0, W(n, rhs));
    solution[n] = W(n, rhs);
    check.add(W(n, rhs));
    for (int h = n - 1; h >= 1; --h) {
        const double* const row = W.row(h);
        double s = 0;
        for (int l = h + 1; l <= n; ++l)
            s = solution[l] * row[l] + s;
        const double value = W(h, rhs);
        W(h, rhs) = (value - s) / W(h, h);
        if (steps)
            steps->backSubstituted(h, value, s, W(h, rhs));
        solution[h] = W(h, rhs);
        check.add(W(h, rhs));
    }
    return check.allFinite() ? GaussStatus::solved : GaussStatus::arithmeticError;
}

} // namespace lse::modGauss
