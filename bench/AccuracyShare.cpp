// What the accuracy figures cost beside the solve: for each order and thread count, the best
// of a few runs of Calculate (the copy of A into W and the method's solve) and of the figures
// after it, for Gauss and Cholesky, by wall clock and by the process's processor time (which
// a machine shared with other work disturbs less). Prints a Markdown table.
#include "Accuracy.h"
#include "Calculate.h"
#include "ShareRun.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace lse;
using namespace lse::bench;

double processorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"The accuracy figures' share of Calculate"};
    ShareOptions options;
    options.sizes = {500, 2000, 4000};
    options.addTo(app);
    const auto& [sizes, threads, runs] = options;
    CLI11_PARSE(app, argc, argv);

    std::printf("| method | n | threads | Calculate (s) | figures (s) | share | Calculate, "
                "processor (s) | figures, processor (s) | share |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const int n : sizes) {
        Matrix A;
        Vector b;
        fillSystem(A, b, n);
        const auto order = static_cast<std::int16_t>(n);
        for (const Timed& method : kMethods)
            for (const int count : threads) {
                SolveOptions options;
                options.threads = count;
                double solve = 1e300;
                double figures = 1e300;
                double solveProcessor = 1e300;
                double figuresProcessor = 1e300;
                for (int run = 0; run < runs; ++run) {
                    Matrix W;
                    Vector x;
                    x.recreate(n);
                    MethodState state;
                    auto start = Clock::now();
                    double processor = processorSeconds();
                    const std::optional<double> norm1 = copyWithNorm1(A, W, order);
                    const CalculateOutcome outcome = method.solve(W, b, x, order, state, options);
                    solve = std::min(solve, seconds(start));
                    solveProcessor = std::min(solveProcessor, processorSeconds() - processor);
                    start = Clock::now();
                    processor = processorSeconds();
                    if (!outcome.factors)
                        return 1;
                    const AccuracyFigures result =
                        accuracyFigures({A, norm1}, *outcome.factors, b, x, options);
                    figures = std::min(figures, seconds(start));
                    figuresProcessor = std::min(figuresProcessor, processorSeconds() - processor);
                    if (!result.rcond)
                        return 1;
                }
                std::printf("| %s | %d | %d | %.4f | %.4f | %.1f %% | %.4f | %.4f | %.1f %% |\n",
                            method.name, n, count, solve, figures, 100 * figures / solve,
                            solveProcessor, figuresProcessor,
                            100 * figuresProcessor / solveProcessor);
                std::fflush(stdout);
            }
    }
    return 0;
}
