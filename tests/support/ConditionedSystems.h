#pragma once

#include "Accuracy.h"
#include "Calculate.h"
#include "Matrix.h"
#include "NumberText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lse::test {

// A method as the accuracy checks run it: its solver, whose factors give the figures.
struct MethodUnderTest {
    const char* name;
    MethodSolver solve;

    bool isGauss() const { return solve == calculateGauss; }
};
inline constexpr MethodUnderTest kGauss{"Gauss", calculateGauss};
inline constexpr MethodUnderTest kCholesky{"Cholesky", calculateCholesky};

// The figures of a run from the factors it yielded; none where it yielded none.
inline std::optional<AccuracyFigures> figuresOf(const SystemMatrix& A,
                                                const CalculateOutcome& outcome, const Vector& b,
                                                const Vector& x, const SolveOptions& options = {}) {
    if (!outcome.factors)
        return std::nullopt;
    return accuracyFigures(A, *outcome.factors, b, x, options);
}

// Systems whose accuracy is known in advance, from the classic test matrices of numerical
// analysis. Every entry is formed by correctly rounded operations, so every build makes the
// same bits.
struct ConditionedSystem {
    std::string name;
    Matrix a;
    Vector b;
    bool symmetric = false; // Cholesky is tried too
    bool singular = false;  // exactly singular: no true solution, only a warning to give
};

inline ConditionedSystem makeSystem(std::string name, int n, bool symmetric, auto entry) {
    ConditionedSystem s{std::move(name), {}, {}, symmetric};
    s.a.recreate(n, n, 1);
    s.b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            s.a(i, j) = entry(i, j);
        // A right-hand side with entries of both signs and no pattern the matrices share.
        s.b(i) = static_cast<double>((i * 7) % 11 - 5);
    }
    return s;
}

// 1 / (i + j - 1), rounded: symmetric positive definite and famously ill conditioned.
inline ConditionedSystem hilbert(int n) {
    return makeSystem("Hilbert " + std::to_string(n), n, true,
                      [](int i, int j) { return 1.0 / (i + j - 1); });
}

// Binomial coefficients (i + j - 2 choose j - 1), exact integers: positive definite, det 1.
inline ConditionedSystem pascal(int n) {
    std::vector<std::vector<double>> p(n + 1, std::vector<double>(n + 1, 1.0));
    for (int i = 2; i <= n; ++i)
        for (int j = 2; j <= n; ++j)
            p[i][j] = p[i - 1][j] + p[i][j - 1];
    return makeSystem("Pascal " + std::to_string(n), n, true,
                      [p](int i, int j) { return p[i][j]; });
}

// Kahan's upper triangle: s^(i-1) on the diagonal, -c s^(i-1) right of it, c = 0.6, s = 0.8.
// Partial pivoting exchanges nothing and the condition grows like (1 + c)^n / s^n.
inline ConditionedSystem kahan(int n) {
    std::vector<double> power(n + 1, 1.0);
    for (int i = 2; i <= n; ++i)
        power[i] = power[i - 1] * 0.8;
    return makeSystem("Kahan " + std::to_string(n), n, false, [power](int i, int j) {
        return j < i ? 0.0 : j == i ? power[i] : -0.6 * power[i];
    });
}

// Wilkinson's matrix for the growth of partial pivoting: 1 on the diagonal, -1 below it, 1 in
// the last column. Well conditioned, yet the last column grows to 2^(n-1).
inline ConditionedSystem wilkinsonGrowth(int n) {
    return makeSystem("Wilkinson growth " + std::to_string(n), n, false, [n](int i, int j) {
        return j == n || i == j ? 1.0 : j < i ? -1.0 : 0.0;
    });
}

// The five-point Laplacian on a side x side grid with Neumann conditions: symmetric, positive
// semidefinite, singular (the constants are its null space).
inline ConditionedSystem neumannPoisson(int side) {
    const int n = side * side;
    const auto neighbours = [side](int cell) {
        const int r = (cell - 1) / side;
        const int c = (cell - 1) % side;
        return (r > 0) + (r < side - 1) + (c > 0) + (c < side - 1);
    };
    const auto adjacent = [side](int p, int q) {
        const int rp = (p - 1) / side, cp = (p - 1) % side;
        const int rq = (q - 1) / side, cq = (q - 1) % side;
        return (rp == rq && (cp - cq == 1 || cq - cp == 1)) ||
               (cp == cq && (rp - rq == 1 || rq - rp == 1));
    };
    ConditionedSystem s = makeSystem(
        "Neumann Poisson " + std::to_string(side) + "x" + std::to_string(side), n, true,
        [&](int i, int j) {
            return i == j ? static_cast<double>(neighbours(i)) : adjacent(i, j) ? -1.0 : 0.0;
        });
    s.singular = true;
    return s;
}

// Entries k / 16 with k from a fixed generator in -64..64: a general matrix with a few
// digits, quickly solved exactly.
inline double smallDyadic(std::uint64_t& state) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(static_cast<int>((state >> 33) % 129) - 64) / 16;
}

inline ConditionedSystem randomGeneral(int n, std::uint64_t seed) {
    std::uint64_t state = seed;
    return makeSystem("random " + std::to_string(n), n, false,
                      [&state](int, int) { return smallDyadic(state); });
}

// M M^T + n I for M from the generator: positive definite, well conditioned, exact.
inline ConditionedSystem randomPositiveDefinite(int n, std::uint64_t seed) {
    std::uint64_t state = seed;
    std::vector<std::vector<double>> m(n + 1, std::vector<double>(n + 1));
    for (int i = 1; i <= n; ++i)
        for (int k = 1; k <= n; ++k)
            m[i][k] = smallDyadic(state);
    return makeSystem("random SPD " + std::to_string(n), n, true, [&m, n](int i, int j) {
        double sum = i == j ? n : 0.0;
        for (int k = 1; k <= n; ++k)
            sum = sum + m[i][k] * m[j][k];
        return sum;
    });
}

// Symmetric, entries from the generator off the diagonal and 4 n on it: positive definite by
// Gershgorin's theorem, and quick to make at any order.
inline ConditionedSystem diagonallyDominant(int n, std::uint64_t seed) {
    std::uint64_t state = seed;
    ConditionedSystem s =
        makeSystem("diagonally dominant " + std::to_string(n), n, true, [&state, n](int i, int j) {
            return i == j ? 4.0 * n : j > i ? smallDyadic(state) : 0.0;
        });
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j < i; ++j)
            s.a(i, j) = s.a(j, i);
    return s;
}

// The random matrix with row i scaled by 10^(15 (i mod 3 - 1)), and b with it: its condition
// comes from the scaling alone, which partial pivoting and the componentwise figures see
// through.
inline ConditionedSystem badlyScaledRows(int n, std::uint64_t seed) {
    ConditionedSystem s = randomGeneral(n, seed);
    s.name = "badly scaled rows " + std::to_string(n);
    for (int i = 1; i <= n; ++i) {
        const double scale = i % 3 == 0 ? 1e-15 : i % 3 == 1 ? 1.0 : 1e15;
        for (int j = 1; j <= n; ++j)
            s.a(i, j) = s.a(i, j) * scale;
        s.b(i) = s.b(i) * scale;
    }
    return s;
}

// The system as lineq-solve reads it, in the plain layout, every number read back exactly.
inline std::string plainInput(const ConditionedSystem& s) {
    const int n = s.b.upper();
    std::string text = std::to_string(n) + "\n";
    const auto number = [&text](double value, bool last) {
        text.append(doubleToText(value, Digits::roundTrip)).append(last ? "\n" : " ");
    };
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            number(s.a(i, j), j == n);
    for (int i = 1; i <= n; ++i)
        number(s.b(i), i == n);
    return text;
}

// The system as a user pastes it: n rows of n + 1 numbers, b last, each number read back as
// the same double.
inline std::string pastedText(const ConditionedSystem& s) {
    std::string text;
    const int n = s.a.rowsUpper();
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            text += doubleToText(s.a(i, j), Digits::roundTrip) + " ";
        text += doubleToText(s.b(i), Digits::roundTrip) + "\n";
    }
    return text;
}

// The table the accuracy checks run through.
inline std::vector<ConditionedSystem> conditionedSystems() {
    std::vector<ConditionedSystem> all;
    for (const int n : {4, 8, 12})
        all.push_back(hilbert(n));
    for (const int n : {6, 12, 18})
        all.push_back(pascal(n));
    for (const int n : {10, 30, 60})
        all.push_back(kahan(n));
    for (const int n : {10, 60, 70})
        all.push_back(wilkinsonGrowth(n));
    for (const int side : {3, 5})
        all.push_back(neumannPoisson(side));
    all.push_back(randomGeneral(30, 1));
    all.push_back(randomGeneral(70, 2));
    all.push_back(randomPositiveDefinite(30, 3));
    all.push_back(badlyScaledRows(20, 4));
    return all;
}

} // namespace lse::test
