#include "MethodRun.h"

#include "Team.h"
#include "kernels/Tuning.h"

#include <chrono>
#include <new>

namespace lse {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

std::optional<RefinedReport> refinedWith(const Matrix& A, const Vector& b, int n,
                                         const WrittenLows& lows, const Factors& factors,
                                         const Vector& x, int threads) {
    const Clock::time_point start = Clock::now();
    const PairSystem system{A, !lows.aLo.exists() ? nullptr : &lows.aLo,
                            lows.bHi.exists() ? lows.bHi : b,
                            !lows.bLo.exists() ? nullptr : &lows.bLo, n};
    RefinedReport report;
    try {
        report.refined = refine(system, factors, x, threads, lows.thirds);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    report.towardsDoubles = lows.towardsDoubles;
    report.seconds = secondsSince(start);
    return report;
}

MethodRun runMethod(const MethodEntry& method, Matrix& A, const Vector& b, Vector& x,
                    std::int16_t n, Matrix& W, MethodState& state, const SolveOptions& options,
                    RunPlace place, const WrittenLows* refineTowards) {
    const bool inA = place.inA;
    const Clock::time_point start = Clock::now();
    std::optional<double> norm1;
    if (inA) {
        W = Matrix();
        norm1 = norm1Of(A, n);
    } else {
        norm1 = copyWithNorm1(A, W, n);
    }
    MethodRun run;
    run.outcome = method.solve(inA ? A : W, b, x, n, state, options);
    MethodReport& report = run.report;
    report.method = &method;
    report.solved = run.outcome.solved();
    report.failure = method.about(run.outcome);
    report.seconds = secondsSince(start);
    if (!report.solved)
        return run;
    report.x = x;
    const std::shared_ptr<const Factors>& factors = run.outcome.factors;
    const auto figures = [&](const SolveOptions& figuresOptions) {
        const Clock::time_point solved = Clock::now();
        try {
            if (factors) {
                const KeptOfA kept = inA || place.figuresAsInA ? factors->keptOfA() : KeptOfA::all;
                report.figures = accuracyFigures({A, norm1, kept}, *factors, b, x, figuresOptions);
            }
        } catch (const std::bad_alloc&) {
            report.figures.reset();
        }
        report.figuresSeconds = secondsSince(solved);
    };
    const auto refinement = [&](int threads) {
        report.refined = refinedWith(A, b, n, *refineTowards, *factors, x, threads);
    };
    const bool refining = refineTowards && factors && (!inA || factors->keptOfA() == KeptOfA::all);
    if (refining && n >= tuning::kRefineBesideFiguresFrom && Team::sizeFor(options.threads) >= 2) {
        // Both only read the factors, A and x, and each is mostly solves on one thread: side
        // by side, each on a thread of its own (the bits are the same for any number).
        SolveOptions oneThread = options;
        oneThread.threads = 1;
        Team team(2);
        team.run([&](int member) {
            if (member == 0)
                figures(oneThread);
            if (member == 1 || team.size() < 2)
                refinement(1);
        });
    } else {
        figures(options);
        if (refining)
            refinement(options.threads);
    }
    return run;
}

} // namespace lse
