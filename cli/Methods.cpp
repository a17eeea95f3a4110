#include "Methods.h"

#include "MethodRun.h"

namespace lse::cli {

namespace {

bool worksInA(KeepA keepA, const MethodEntry& method, bool last) {
    if (!last || keepA == KeepA::yes)
        return false;
    return keepA == KeepA::no || method.leaves != KeptOfA::nothing;
}

} // namespace

CalculateReport solve(io::LinearSystem& system, MethodTable methods, const Progress& progress,
                      int threads, KeepA keepA, const Solved& solved) {
    const auto n = static_cast<std::int16_t>(system.n);
    CalculateReport report;
    report.n = n;
    Matrix W;
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const MethodEntry& method = methods[m];
        SolveOptions options;
        options.threads = threads;
        if (progress) {
            options.progress = [&](int done, int total) { progress(method, done, total); };
            progress(method, 0, n);
        }
        Vector x;
        x.recreate(n);
        MethodState state;
        // The last method may use up A; the copy an earlier one used goes first.
        const bool inA = worksInA(keepA, method, m + 1 == methods.size());
        MethodRun run = runMethod(method, system.A, system.b, x, n, W, state, options, inA);
        if (solved && run.outcome.factors)
            solved(method, *run.outcome.factors);
        report.methods.push_back(std::move(run.report));
    }
    return report;
}

} // namespace lse::cli
