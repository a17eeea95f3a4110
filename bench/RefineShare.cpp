// What the refinement costs beside the method's solve: for each order and thread count, the
// best of a few runs of Calculate (the copy of A into W and the solve) and of refine() after
// it, for Gauss and Cholesky, the system as doubles and with a tail on every entry of A, by
// wall clock. Prints a Markdown table with the refinement's steps and status.
#include "Calculate.h"
#include "Refinement.h"
#include "ShareRun.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using namespace lse;
using namespace lse::bench;

const char* statusText(const Refined& r) {
    switch (r.status) {
    case RefinedStatus::correctlyRounded:
        return "correctly rounded";
    case RefinedStatus::withinUlps:
        return "within N ulps";
    case RefinedStatus::notConverged:
        break;
    }
    return "not converged";
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"The refinement's cost beside Calculate"};
    ShareOptions options;
    options.sizes = {500, 2000};
    options.addTo(app);
    const auto& [sizes, threads, runs] = options;
    CLI11_PARSE(app, argc, argv);

    std::printf("| method | n | threads | A | Calculate (s) | refine (s) | share | steps | status "
                "|\n|---|---:|---:|---|---:|---:|---:|---:|---|\n");
    for (const int n : sizes) {
        Matrix A, aLo;
        Vector b;
        fillSystem(A, b, n, &aLo);
        for (const Timed& method : kMethods)
            for (const int count : threads)
                for (const bool tails : {false, true}) {
                    SolveOptions options;
                    options.threads = count;
                    double solve = 1e300;
                    double refinement = 1e300;
                    Refined last;
                    for (int run = 0; run < runs; ++run) {
                        Vector x;
                        x.recreate(n);
                        MethodState state;
                        auto start = Clock::now();
                        Matrix W = A;
                        const CalculateOutcome outcome =
                            method.solve(W, b, x, static_cast<std::int16_t>(n), state, options);
                        solve = std::min(solve, seconds(start));
                        if (!outcome.factors)
                            return 1;
                        start = Clock::now();
                        last = refine({A, tails ? &aLo : nullptr, b, nullptr, n}, *outcome.factors,
                                      x, count);
                        refinement = std::min(refinement, seconds(start));
                    }
                    std::printf("| %s | %d | %d | %s | %.4f | %.4f | %.1f %% | %d | %s |\n",
                                method.name, n, count, tails ? "pairs" : "doubles", solve,
                                refinement, 100 * refinement / solve, last.steps, statusText(last));
                    std::fflush(stdout);
                }
    }
    return 0;
}
