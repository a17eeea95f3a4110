#include "Calculate.h"

#include <algorithm>

namespace lse {

namespace {

using Ending = CalculateOutcome::Ending;

} // namespace

CalculateOutcome calculateGauss(Matrix& W, const Vector& b, Vector& x, std::int16_t n, MethodState&,
                                const SolveOptions& options) {
    CalculateOutcome outcome;
    outcome.gauss = modGauss::gaussSolve(W, x, b, n, options);
    if (outcome.gauss.status == GaussStatus::cancelled)
        outcome.ending = Ending::cancelled;
    else if (!outcome.gauss.solved())
        outcome.ending = Ending::failed;
    return outcome;
}

CalculateOutcome calculateCholesky(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                   MethodState& state, const SolveOptions& options) {
    CalculateOutcome outcome;
    // No solve after a failed decomposition: its result would not be a solution.
    outcome.decomposition = state.chol.cholDecompose(W, n, options);
    if (outcome.decomposition.status == CholeskyStatus::cancelled) {
        outcome.ending = Ending::cancelled;
        return outcome;
    }
    outcome.ending = Ending::failed;
    if (!outcome.decomposition.decomposed())
        return outcome;
    if (n > 0 && x.upper() < n) {
        outcome.solve = CholeskySolveStatus::orderNotServed;
        return outcome;
    }
    // Into a vector of its own, so that a solve that overflows half way leaves x as it was.
    Vector y;
    y.recreate(std::max<int>(n, 0));
    outcome.solve = state.chol.cholSolve(b, y);
    if (outcome.solve != CholeskySolveStatus::solved)
        return outcome;
    if (n > 0)
        std::copy(y.data() + 1, y.data() + n + 1, x.data() + 1);
    outcome.ending = Ending::solved;
    return outcome;
}

} // namespace lse
