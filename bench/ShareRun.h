#pragma once

// What the share benchmarks (accuracy_share, refine_share) have in common: the seeded system,
// the methods timed and the command line.

#include "Calculate.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace lse::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Entries uniform in [-1, 1); symmetric with n on the diagonal, so positive definite. aLo,
// when given: a tail of up to half an ulp on each entry, as decimals leave.
inline void fillSystem(Matrix& A, Vector& b, int n, Matrix* aLo = nullptr) {
    std::mt19937_64 engine(static_cast<std::uint64_t>(n));
    const auto unit = [&] { return static_cast<double>(engine() >> 11) * 0x1p-52 - 1.0; };
    A.recreate(n, n);
    b.recreate(n);
    if (aLo)
        aLo->recreate(n, n);
    for (int i = 1; i <= n; ++i) {
        A(i, i) = n;
        b(i) = unit();
        for (int j = i + 1; j <= n; ++j)
            A(i, j) = A(j, i) = unit();
        if (aLo)
            for (int j = 1; j <= n; ++j)
                (*aLo)(i, j) = A(i, j) * 0x1p-54 * unit();
    }
}

struct Timed {
    const char* name;
    MethodSolver solve;
};
inline constexpr Timed kMethods[] = {{"Gauss", calculateGauss}, {"Cholesky", calculateCholesky}};

// The orders, thread counts and runs to measure, from the command line.
struct ShareOptions {
    std::vector<int> sizes;
    std::vector<int> threads{1, 2};
    int runs = 3;

    void addTo(CLI::App& app) {
        app.add_option("--sizes", sizes, "orders")->delimiter(',');
        app.add_option("--threads", threads, "thread counts")->delimiter(',');
        app.add_option("--runs", runs, "runs of each, the best kept");
    }
};

} // namespace lse::bench
