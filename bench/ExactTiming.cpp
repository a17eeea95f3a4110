// The exact solve's time beside FLINT's own solvers on the same systems, and the figures its
// time estimate is calibrated on:
//   exact_timing N BITS [RUNS]
// Entries are random doubles whose exponents within a row spread so that, scaled to
// integers, they take about BITS bits; below 53 bits, they are integers. Prints n, bits, the
// estimate, then the fastest of RUNS (processor time) for this program's solve and for
// fmpq_mat_solve_dixon.
//   exact_timing --written N DECIMALS [RUNS]
// Entries are random decimals of DECIMALS places below 10 in magnitude, as typed: the solve
// of the system as written beside FLINT's own solve (fmpq_mat_solve_fmpz_mat) of the same
// system times 10^DECIMALS, then the whole Compute Exact Solution (written and doubles).

#include "Estimate.h"
#include "ExactSolution.h"
#include "NumberText.h"
#include "Rational.h"

#include <flint/fmpq_mat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

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

// The system as written against FLINT on the same integers.
int written(int n, int decimals, int runs) {
    std::mt19937_64 random(20261208);
    const long scale = std::lround(std::pow(10.0, decimals));
    std::uniform_int_distribution<long> digits(-10 * scale + 1, 10 * scale - 1);
    lse::Matrix A;
    lse::Vector b;
    lse::WrittenValues texts;
    A.recreate(n, n + 1);
    b.recreate(n);
    fmpz_mat_t M, B;
    fmpz_mat_init(M, n, n);
    fmpz_mat_init(B, n, 1);
    char text[64];
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n + 1; ++j) {
            const long whole = digits(random);
            std::snprintf(text, sizeof text, "%s%ld.%0*ld", whole < 0 ? "-" : "",
                          std::labs(whole) / scale, decimals, std::labs(whole) % scale);
            const double value = *lse::textToDouble(text);
            (j <= n ? A(i, j) : b(i)) = value;
            texts.note(i, j, text);
            fmpz_set_si(j <= n ? fmpz_mat_entry(M, i - 1, j - 1) : fmpz_mat_entry(B, i - 1, 0),
                        whole);
        }
    fmpq_mat_t X;
    fmpq_mat_init(X, n, 1);
    double ours = 1e300, flint = 1e300, whole = 1e300;
    for (int run = 0; run < runs; ++run) {
        ours = std::min(ours, seconds([&] { lse::exact::solveAsWritten(A, b, n, texts); }));
        flint = std::min(flint, seconds([&] { fmpq_mat_solve_fmpz_mat(X, M, B); }));
        whole = std::min(whole, seconds([&] { lse::exact::solveAndJudge(A, b, n, {}, texts); }));
    }
    std::printf("n %d decimals %d written %.3f flint %.3f ratio %.3f with the doubles' %.3f\n", n,
                decimals, ours, flint, ours / flint, whole);
    fmpq_mat_clear(X);
    fmpz_mat_clear(M);
    fmpz_mat_clear(B);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--written")
        return written(std::atoi(argv[2]), std::atoi(argv[3]), argc > 4 ? std::atoi(argv[4]) : 3);
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
