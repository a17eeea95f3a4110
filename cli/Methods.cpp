#include "Methods.h"

#include <algorithm>

namespace lse::cli {

namespace {

// Cholesky leaves A's upper triangle, which holds all of a symmetric A; Gauss leaves nothing.
bool leavesUpperTriangle(const MethodEntry& method) {
    return method.solve == calculateCholesky;
}

bool worksInA(KeepA keepA, const MethodEntry& method, bool last) {
    if (!last || keepA == KeepA::yes)
        return false;
    return keepA == KeepA::no || leavesUpperTriangle(method);
}

// What the residual can read of A after the method: all of it when the method worked on a
// copy, else what the method left.
SystemMatrix matrixLeft(const Matrix& A, const MethodEntry& method, bool inA) {
    if (!inA)
        return {A};
    if (leavesUpperTriangle(method))
        return {A, true};
    return {A, false, false};
}

} // namespace

std::vector<MethodResult> solve(io::LinearSystem& system, MethodTable methods,
                                const Progress& progress, int threads, KeepA keepA) {
    const auto n = static_cast<std::int16_t>(system.n);
    std::vector<MethodResult> results;
    Matrix W;
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const MethodEntry& method = methods[m];
        SolveOptions options;
        options.threads = threads;
        if (progress)
            options.progress = [&](int done, int total) { progress(method, done, total); };
        const auto start = std::chrono::steady_clock::now();
        if (progress)
            progress(method, 0, n);
        MethodResult result{&method, {}, std::nullopt, 0, std::nullopt, 0};
        result.x.recreate(n);
        // The last method may use up A; the copy an earlier one used goes first.
        const bool inA = worksInA(keepA, method, m + 1 == methods.size());
        std::optional<double> norm1;
        if (inA) {
            W = Matrix();
            norm1 = norm1Of(system.A, n);
        } else {
            norm1 = copyWithNorm1(system.A, W, n);
        }
        Matrix& worked = inA ? system.A : W;
        MethodState state;
        const CalculateOutcome outcome =
            method.solve(worked, system.b, result.x, n, state, options);
        result.failure = method.about(outcome);
        const auto solved = std::chrono::steady_clock::now();
        result.seconds = std::chrono::duration<double>(solved - start).count();
        if (method.accuracy != nullptr) {
            result.accuracy = method.accuracy(matrixLeft(system.A, method, inA), norm1, worked,
                                              outcome, state, system.b, result.x, n, options);
            result.accuracySeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - solved).count();
        }
        results.push_back(std::move(result));
    }
    return results;
}

} // namespace lse::cli
