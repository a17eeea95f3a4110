#include "Calculate.h"

#include <algorithm>
#include <cmath>

namespace lse {

namespace {

using Ending = CalculateOutcome::Ending;

// max |W(i, j)|, for the growth the elimination will have made: four running maxima, so that
// the pass runs at the speed of memory.
double largestEntry(const Matrix& W, int n) {
    double m[4] = {};
    for (int i = 1; i <= n; ++i) {
        const double* const row = W.row(i) + 1;
        int j = 0;
        for (; j + 4 <= n; j += 4)
            for (int l = 0; l < 4; ++l)
                m[l] = std::max(m[l], std::fabs(row[j + l]));
        for (; j < n; ++j)
            m[0] = std::max(m[0], std::fabs(row[j]));
    }
    return std::max(std::max(m[0], m[1]), std::max(m[2], m[3]));
}

} // namespace

CalculateOutcome calculateGauss(Matrix& W, const Vector& b, Vector& x, std::int16_t n, MethodState&,
                                const SolveOptions& options) {
    CalculateOutcome outcome;
    const double largestOfA = n > 0 && W.rowsUpper() >= n ? largestEntry(W, n) : 0;
    GaussOutcome& gauss =
        outcome.statuses.emplace<GaussOutcome>(modGauss::gaussSolve(W, x, b, n, options));
    if (gauss.status == GaussStatus::cancelled)
        outcome.ending = Ending::cancelled;
    else if (!gauss.solved())
        outcome.ending = Ending::failed;
    else if (n > 0)
        outcome.factors = std::make_shared<GaussFactors>(W, gauss.pivotRows, n, largestOfA);
    return outcome;
}

CalculateOutcome calculateCholesky(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                   MethodState& state, const SolveOptions& options) {
    CalculateOutcome outcome;
    // No solve after a failed decomposition: its result would not be a solution.
    CholeskyStatuses& statuses = outcome.statuses.emplace<CholeskyStatuses>();
    modChol& chol = state.of<modChol>();
    statuses.decomposition = chol.cholDecompose(W, n, options);
    if (statuses.decomposition.status == CholeskyStatus::cancelled) {
        outcome.ending = Ending::cancelled;
        return outcome;
    }
    outcome.ending = Ending::failed;
    if (!statuses.decomposition.decomposed())
        return outcome;
    if (n > 0 && x.upper() < n) {
        statuses.solve = CholeskySolveStatus::orderNotServed;
        return outcome;
    }
    // Into a vector of its own, so that a solve that overflows half way leaves x as it was.
    Vector y;
    y.recreate(std::max<int>(n, 0));
    statuses.solve = chol.cholSolve(b, y, options.steps);
    if (statuses.solve != CholeskySolveStatus::solved)
        return outcome;
    if (n > 0)
        std::copy(y.data() + 1, y.data() + n + 1, x.data() + 1);
    outcome.ending = Ending::solved;
    if (n > 0 && chol.factor() != nullptr)
        outcome.factors = std::make_shared<CholeskyFactors>(*chol.factor(), chol.diag(), n);
    return outcome;
}

} // namespace lse
