#include "MethodRun.h"

#include <chrono>
#include <new>

namespace lse {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

RefinedReport refined(const Matrix& A, const Vector& b, int n, const WrittenLows& lows,
                      const Factors& factors, const Vector& x, int threads) {
    const Clock::time_point start = Clock::now();
    const PairSystem system{A, !lows.aLo.exists() ? nullptr : &lows.aLo,
                            lows.bHi.exists() ? lows.bHi : b,
                            !lows.bLo.exists() ? nullptr : &lows.bLo, n};
    RefinedReport report;
    report.refined = refine(system, factors, x, threads, lows.thirds);
    report.towardsDoubles = lows.towardsDoubles;
    report.seconds = secondsSince(start);
    return report;
}

} // namespace

MethodRun runMethod(const MethodEntry& method, Matrix& A, const Vector& b, Vector& x,
                    std::int16_t n, Matrix& W, MethodState& state, const SolveOptions& options,
                    bool inA, const WrittenLows* refineTowards) {
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
    const Clock::time_point solved = Clock::now();
    try {
        if (const std::shared_ptr<const Factors>& factors = run.outcome.factors) {
            const KeptOfA kept = inA ? factors->keptOfA() : KeptOfA::all;
            report.figures = accuracyFigures({A, norm1, kept}, *factors, b, x, options);
        }
        report.x = x;
    } catch (const std::bad_alloc&) {
        report.figures.reset();
    }
    report.figuresSeconds = secondsSince(solved);
    const std::shared_ptr<const Factors>& factors = run.outcome.factors;
    if (refineTowards && factors && (!inA || factors->keptOfA() == KeptOfA::all)) {
        try {
            report.refined = refined(A, b, n, *refineTowards, *factors, x, options.threads);
        } catch (const std::bad_alloc&) {
            report.refined.reset();
        }
    }
    return run;
}

} // namespace lse
