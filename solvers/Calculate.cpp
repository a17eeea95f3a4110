#include "Calculate.h"

#include <algorithm>

namespace lse {

bool CalculateOutcome::solved() const {
    if (method == Method::gauss)
        return gauss.solved();
    return decomposition.decomposed() && solve == CholeskySolveStatus::solved;
}

bool CalculateOutcome::cancelled() const {
    if (method == Method::gauss)
        return gauss.status == GaussStatus::cancelled;
    return decomposition.status == CholeskyStatus::cancelled;
}

CalculateOutcome calculate(Method method, Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                           modChol& chol, const SolveOptions& options) {
    CalculateOutcome outcome;
    outcome.method = method;
    if (method == Method::gauss) {
        outcome.gauss = modGauss::gaussSolve(W, x, b, n, options);
        return outcome;
    }

    // No solve after a failed decomposition: its result would not be a solution.
    outcome.decomposition = chol.cholDecompose(W, n, options);
    if (!outcome.decomposition.decomposed())
        return outcome;
    if (n > 0 && x.upper() < n) {
        outcome.solve = CholeskySolveStatus::orderNotServed;
        return outcome;
    }
    // Into a vector of its own, so that a solve that overflows half way leaves x as it was.
    Vector y;
    y.recreate(std::max<int>(n, 0));
    outcome.solve = chol.cholSolve(b, y);
    if (outcome.solve == CholeskySolveStatus::solved && n > 0)
        std::copy(y.data() + 1, y.data() + n + 1, x.data() + 1);
    return outcome;
}

CalculateOutcome calculate(Method method, Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                           const SolveOptions& options) {
    modChol chol;
    return calculate(method, W, b, x, n, chol, options);
}

} // namespace lse
