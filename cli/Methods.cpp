#include "Methods.h"

#include "modChol.h"
#include "modGauss.h"

namespace lse::cli {

namespace {

void copyOfA(const io::LinearSystem& system, Matrix& W) {
    // One spare column, so that the Gauss solver widens W in place.
    W.recreate(system.n, system.n, 1);
    for (int i = 1; i <= system.n; ++i)
        for (int j = 1; j <= system.n; ++j)
            W(i, j) = system.A(i, j);
}

} // namespace

std::vector<MethodResult> solve(const io::LinearSystem& system, const std::vector<Method>& methods,
                                const Progress& progress, int threads) {
    const auto n = static_cast<std::int16_t>(system.n);
    std::vector<MethodResult> results;
    Matrix W;
    for (const Method method : methods) {
        SolveOptions options;
        options.threads = threads;
        if (progress)
            options.progress = [&](int done, int total) { progress(method, done, total); };
        const auto start = std::chrono::steady_clock::now();
        if (progress)
            progress(method, 0, n);
        MethodResult result{method, {}, std::nullopt};
        result.x.recreate(n);
        copyOfA(system, W);
        if (method == Method::gauss) {
            result.failure =
                messages::about(modGauss::gaussSolve(W, result.x, system.b, n, options));
        } else {
            modChol cholesky;
            const CholeskyOutcome decomposition = cholesky.cholDecompose(W, n, options);
            result.failure = decomposition.decomposed()
                                 ? messages::about(cholesky.cholSolve(system.b, result.x))
                                 : messages::about(decomposition);
        }
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        results.push_back(std::move(result));
    }
    return results;
}

} // namespace lse::cli
