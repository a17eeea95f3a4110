#include "Session.h"

#include "AccuracyText.h"
#include "Estimate.h"
#include "RefinedText.h"
#include "WrittenLows.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace lse {

namespace {

// memcmp, not std::bit_cast: the page's C++ library has none.
bool sameBits(const Vector& a, const Vector& b, int n) {
    return n == 0 || std::memcmp(a.data() + 1, b.data() + 1, sizeof(double) * n) == 0;
}

bool worksInA(KeepA keepA, const MethodEntry& method, bool last) {
    if (!last || keepA == KeepA::yes || keepA == KeepA::forRefinement)
        return false;
    return keepA == KeepA::no || method.leaves != KeptOfA::nothing;
}

} // namespace

void Session::clear() {
    report_ = {};
    // The last run's working copy stays W, as it does where nothing was kept.
    for (KeptDecomposition& kept : kept_)
        if (kept.W.get() == lastW_)
            W_ = std::move(kept.W);
    kept_.clear();
    lastW_ = W_.get();
}

Task<bool> Session::calculate(MethodTable methods, SessionSystem system, Vector& x, KeepA keepA,
                              const EachMethod& each, Refine refine) {
    clear();
    report_.n = system.n;
    report_.exactTimeFactor = exactTimeFactor_;
    // Before any method, while A is whole; once for all of them.
    std::optional<WrittenLows> lows;
    if (refine == Refine::yes)
        lows = exact::writtenLows(system.A, system.b, system.n, system.written);
    for (std::size_t m = 0; m < methods.size(); ++m) {
        const MethodEntry& method = methods[m];
        // The last method may use up A; the copy an earlier one used goes first.
        const bool last = m + 1 == methods.size();
        const RunPlace place{worksInA(keepA, method, last),
                             keepA == KeepA::forRefinement && worksInA(KeepA::no, method, last)};
        const RunMethod run = [&](const SolveOptions& options) {
            lastW_ = W_.get();
            const auto once = [&] {
                return runMethod(method, system.A, system.b, x, system.n, *W_, state_, options,
                                 place, lows ? &*lows : nullptr);
            };
            MethodRun result;
            try {
                result = once();
            } catch (const std::bad_alloc&) {
                // What an earlier method kept gives way to this one's run.
                if (kept_.empty())
                    throw;
                kept_.clear();
                result = once();
            }
            if (!place.inA)
                keep(method, result, system.n);
            if (!result.outcome.cancelled())
                report_.methods.push_back(std::move(result.report));
            return std::move(result.outcome);
        };
        if (!co_await each(method, run)) {
            clear();
            co_return false;
        }
    }
    co_return true;
}

void Session::keep(const MethodEntry& method, const MethodRun& run, int n) {
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(n) * n;
    if (!keepsDecompositions_ || !run.outcome.solved() || !run.outcome.factors ||
        !refinable(run.report) || bytes > kKeptDecompositionBytes)
        return;
    kept_.push_back({&method, std::move(W_), run.outcome.factors});
    W_ = std::make_unique<Matrix>();
}

const Session::KeptDecomposition* Session::keptFor(const MethodEntry* method) const {
    for (const KeptDecomposition& kept : kept_)
        if (kept.method == method)
            return &kept;
    return nullptr;
}

Task<bool> Session::refine(SessionSystem system, const EachMethod& each) {
    const WrittenLows lows = exact::writtenLows(system.A, system.b, system.n, system.written);
    Vector x;
    x.recreate(system.n);
    for (MethodReport& entry : report_.methods) {
        if (!refinable(entry) || entry.refined)
            continue;
        if (const KeptDecomposition* kept = keptFor(entry.method)) {
            const RunMethod run = [&](const SolveOptions& options) {
                CalculateOutcome outcome;
                outcome.factors = kept->factors;
                std::optional<RefinedReport> refined = refinedWith(
                    system.A, system.b, system.n, lows, *kept->factors, entry.x, options.threads);
                // A cancel while it ran leaves the method as a cancelled run again would.
                if (options.cancelRequested())
                    outcome.ending = CalculateOutcome::Ending::cancelled;
                else
                    entry.refined = std::move(refined);
                return outcome;
            };
            if (!co_await each(*entry.method, run))
                co_return false;
            continue;
        }
        const RunMethod run = [&](const SolveOptions& options) {
            lastW_ = W_.get();
            MethodRun result = runMethod(*entry.method, system.A, system.b, x, system.n, *W_,
                                         state_, options, RunPlace{}, &lows);
            if (!result.outcome.cancelled() && result.report.solved &&
                sameBits(result.report.x, entry.x, system.n))
                entry.refined = std::move(result.report.refined);
            return std::move(result.outcome);
        };
        if (!co_await each(*entry.method, run))
            co_return false;
    }
    if (report_.exact)
        settleRefined();
    co_return true;
}

void Session::copyPass(const Matrix& A, int n) {
    // One spare column, so that the Gauss solver widens W in place.
    Matrix& W = *W_;
    W.recreate(n, n, 1);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            W(i, j) = A(i, j);
    lastW_ = W_.get();
}

void Session::releaseWorkingCopy() {
    kept_.clear();
    W_ = std::make_unique<Matrix>();
    lastW_ = W_.get();
    state_ = MethodState();
}

bool Session::settlesRefined(SessionSystem system) {
    const bool undecided =
        std::any_of(report_.methods.begin(), report_.methods.end(), [](const MethodReport& r) {
            return r.refined && r.refined->refined.status != RefinedStatus::correctlyRounded;
        });
    const double factor = report_.exactTimeFactor;
    if (!undecided || report_.exact || !system.written.wholeTexts() ||
        exact::estimatedSeconds(system.n, 1) * factor >= kSettleSeconds)
        return false;
    measureEntries(system);
    return exact::estimatedSeconds(system.n, report_.entryBits) * factor < kSettleSeconds;
}

int Session::firstUnsettledOrder() {
    int n = 1;
    while (exact::estimatedSeconds(n, 1) < kSettleSeconds)
        ++n;
    return n;
}

void Session::settleRefined() {
    for (MethodReport& result : report_.methods) {
        if (!result.refined || result.refined->refined.status == RefinedStatus::correctlyRounded)
            continue;
        const exact::ExactAnswer* truth = refinedTruth(*result.refined, report_);
        if (!truth || truth->components.size() != result.refined->refined.x.size() - 1)
            continue;
        Refined& refined = result.refined->refined;
        std::vector<double> nearest(refined.x.size(), 0);
        bool beyond = false;
        for (std::size_t i = 1; i < nearest.size(); ++i) {
            const std::optional<double>& value = truth->components[i - 1].nearest;
            beyond = beyond || !value;
            nearest[i] = value.value_or(0);
        }
        if (beyond)
            continue;
        refined.x = std::move(nearest);
        refined.tail.assign(refined.x.size(), 0);
        refined.status = RefinedStatus::correctlyRounded;
        refined.stop = RefineStop::converged;
        refined.boundUlps = 0;
        refined.nearZero = 0;
        result.refined->settledExactly = true;
    }
}

void Session::measureEntries(SessionSystem system) {
    if (report_.entryBits > 0 || report_.decimalEntries)
        return;
    report_.entryBits = exact::entryBits(system.A, system.b, system.n, system.written);
    report_.decimalEntries = holdsLongFractions(system.A, system.b, system.n);
}

Task<std::optional<ExactOutcome>>
Session::solveExact(SessionSystem system, const ExactSolver& solver, WorkStatus& status) {
    const std::vector<Vector> solutions = report_.solutions();
    const ExactProblem problem{system.A, system.b, system.n, system.written, solutions};
    std::optional<ExactOutcome> outcome = co_await solver(problem, status);
    if (outcome && outcome->ending == ExactOutcome::Ending::solved) {
        report_.setExact(std::move(outcome->report));
        settleRefined();
    }
    co_return outcome;
}

} // namespace lse
