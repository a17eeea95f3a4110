// Times Gauss and Cholesky (decomposition and solve) on one thread, the same program built
// natively and for WebAssembly, so that the browser's and Node's speed can be put beside the
// native one: for each order, the median of several solves of one seeded symmetric positive
// definite system, each from a fresh copy of A, as Calculate does.
//
// usage: lineq_timing [ORDER...] [--runs N] [--kernels NAME]
#include "Matrix.h"
#include "SolveOptions.h"
#include "kernels/Kernels.h"
#include "modChol.h"
#include "modGauss.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct System {
    lse::Matrix A;
    lse::Vector b;
};

// Symmetric with a dominant diagonal, so positive definite: both methods solve it.
System spdSystem(int n) {
    System s;
    s.A.recreate(n, n);
    s.b.recreate(n);
    std::mt19937_64 random(static_cast<std::uint64_t>(n));
    std::uniform_real_distribution<double> entry(-1, 1);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j < i; ++j)
            s.A(i, j) = s.A(j, i) = entry(random);
        s.A(i, i) = n + entry(random);
        s.b(i) = entry(random);
    }
    return s;
}

template <typename Solve> double medianSeconds(const System& s, int n, int runs, Solve solve) {
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        lse::Matrix W;
        W.recreate(n, n, 1);
        for (int i = 1; i <= n; ++i)
            std::copy(s.A.row(i) + 1, s.A.row(i) + n + 1, W.row(i) + 1);
        lse::Vector x;
        x.recreate(n);
        const auto start = std::chrono::steady_clock::now();
        if (!solve(W, x)) {
            std::fprintf(stderr, "the solve failed at n = %d\n", n);
            std::exit(1);
        }
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> orders;
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--kernels") == 0 && i + 1 < argc) {
            const char* name = argv[++i];
            bool chosen = false;
            for (const auto set : lse::kernels::supported())
                if (lse::kernels::choose(set) &&
                    std::strcmp(lse::kernels::active().name, name) == 0) {
                    chosen = true;
                    break;
                }
            if (!chosen) {
                std::fprintf(stderr, "no %s kernels here\n", name);
                return 2;
            }
        } else {
            orders.push_back(std::atoi(argv[i]));
        }
    }
    if (orders.empty())
        orders = {500, 1000};

    lse::SolveOptions options;
    options.threads = 1;
    std::printf("kernels %s, one thread, median of %d runs\n", lse::kernels::active().name, runs);
    for (const int n : orders) {
        const System s = spdSystem(n);
        const auto order = static_cast<std::int16_t>(n);
        const double gauss = medianSeconds(s, n, runs, [&](lse::Matrix& W, lse::Vector& x) {
            return lse::modGauss::gaussSolve(W, x, s.b, order, options).solved();
        });
        const double cholesky = medianSeconds(s, n, runs, [&](lse::Matrix& W, lse::Vector& x) {
            lse::modChol chol;
            return chol.cholDecompose(W, order, options).decomposed() &&
                   chol.cholSolve(s.b, x) == lse::CholeskySolveStatus::solved;
        });
        std::printf("n %d gauss %.4f cholesky %.4f\n", n, gauss, cholesky);
    }
    return 0;
}
