// The exact solve's time beside FLINT's own Dixon solver on the same systems, and the
// figures its time estimate is calibrated on:
//   exact_timing N BITS [RUNS]
// Entries are random doubles whose exponents within a row spread so that, scaled to
// integers, they take about BITS bits; below 53 bits, they are integers. Prints n, bits, the
// estimate, then the fastest of RUNS (processor time) for this program's solve and for
// fmpq_mat_solve_dixon.

#include "Estimate.h"
#include "ExactSolution.h"
#include "Rational.h"

#include <flint/fmpq_mat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {

// Processor time: the solves run on one thread, and on a shared machine the wall clock also
// counts the others' work.
double seconds(auto&& work) {
    timespec start{}, end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    work();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    return static_cast<double>(end.tv_sec - start.tv_sec) +
           1e-9 * static_cast<double>(end.tv_nsec - start.tv_nsec);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: exact_timing N BITS [RUNS]\n");
        return 2;
    }
    const int n = std::atoi(argv[1]);
    const int bits = std::atoi(argv[2]);
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::uniform_int_distribution<int> spread(0, std::max(0, bits - 53));
    lse::Matrix A;
    lse::Vector b;
    A.recreate(n, n + 1);
    b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            A(i, j) = bits < 53 ? std::round(std::ldexp(unit(random), bits))
                                : std::ldexp(unit(random), -spread(random));
        b(i) = bits < 53 ? std::round(std::ldexp(unit(random), bits)) : unit(random);
    }
    fmpq_mat_t Q, B, X;
    fmpq_mat_init(Q, n, n);
    fmpq_mat_init(B, n, 1);
    fmpq_mat_init(X, n, 1);
    lse::exact::setExactSystem(Q, B, A, b, n);
    double ours = 1e300, flint = 1e300;
    for (int run = 0; run < runs; ++run) {
        ours = std::min(ours, seconds([&] { lse::exact::ExactSolution::solve(A, b, n); }));
        flint = std::min(flint, seconds([&] { fmpq_mat_solve_dixon(X, Q, B); }));
    }
    const int measuredBits = lse::exact::entryBits(A, b, n);
    std::printf("n %d bits %d estimate %.3f ours %.3f flint %.3f ratio %.3f\n", n, measuredBits,
                lse::exact::estimatedSeconds(n, measuredBits), ours, flint, ours / flint);
    fmpq_mat_clear(Q);
    fmpq_mat_clear(B);
    fmpq_mat_clear(X);
}
