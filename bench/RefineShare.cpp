// What the refinement costs beside the method's solve: for each order and thread count, the
// best of a few runs of Calculate (the copy of A into W and the solve) and of refine() after
// it, for Gauss and Cholesky, the system as doubles and with a tail on every entry of A, by
// wall clock. Prints a Markdown table with the refinement's steps and status.
#include "Calculate.h"
#include "Refinement.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using namespace lse;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Entries uniform in [-1, 1); symmetric with n on the diagonal, so positive definite. aLo: a
// tail of up to half an ulp on each entry, as decimals leave.
void fill(Matrix& A, Matrix& aLo, Vector& b, int n) {
    std::mt19937_64 engine(static_cast<std::uint64_t>(n));
    const auto unit = [&] { return static_cast<double>(engine() >> 11) * 0x1p-52 - 1.0; };
    A.recreate(n, n);
    aLo.recreate(n, n);
    b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        A(i, i) = n;
        b(i) = unit();
        for (int j = i + 1; j <= n; ++j)
            A(i, j) = A(j, i) = unit();
        for (int j = 1; j <= n; ++j)
            aLo(i, j) = A(i, j) * 0x1p-54 * unit();
    }
}

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

struct Timed {
    const char* name;
    MethodSolver solve;
};
constexpr Timed kMethods[] = {{"Gauss", calculateGauss}, {"Cholesky", calculateCholesky}};

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"The refinement's cost beside Calculate"};
    std::vector<int> sizes{500, 2000};
    std::vector<int> threads{1, 2};
    int runs = 3;
    app.add_option("--sizes", sizes, "orders")->delimiter(',');
    app.add_option("--threads", threads, "thread counts")->delimiter(',');
    app.add_option("--runs", runs, "runs of each, the best kept");
    CLI11_PARSE(app, argc, argv);

    std::printf("| method | n | threads | A | Calculate (s) | refine (s) | share | steps | status "
                "|\n|---|---:|---:|---|---:|---:|---:|---:|---|\n");
    for (const int n : sizes) {
        Matrix A, aLo;
        Vector b;
        fill(A, aLo, b, n);
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
