#include "Methods.h"

#include <algorithm>

namespace lse::cli {

namespace {

void copyOfA(const io::LinearSystem& system, Matrix& W) {
    // One spare column, so that the Gauss solver widens W in place.
    W.recreate(system.n, system.n, 1);
    for (int i = 1; i <= system.n; ++i)
        std::copy(system.A.row(i) + 1, system.A.row(i) + system.n + 1, W.row(i) + 1);
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
        MethodResult result{&method, {}, std::nullopt};
        result.x.recreate(n);
        // The last method may use up A; the copy an earlier one used goes first.
        const bool inA = keepA == KeepA::no && m + 1 == methods.size();
        if (inA)
            W = Matrix();
        else
            copyOfA(system, W);
        MethodState state;
        result.failure =
            method.about(method.solve(inA ? system.A : W, system.b, result.x, n, state, options));
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        results.push_back(std::move(result));
    }
    return results;
}

} // namespace lse::cli
