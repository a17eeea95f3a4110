#include "ExactSolution.h"
#include "Calculate.h"
#include "ExactSystems.h"
#include "Rational.h"
#include "Systems.h"

#include <flint/fmpq_mat.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

using namespace lse;
using namespace lse::exact;
using namespace lse::test;

namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Matrix defaultA() {
    return makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
}

Vector defaultB() {
    return makeVector({14, -101, 155});
}

// The solution by FLINT's multimodular algorithm (the solve uses fraction-free elimination or
// Dixon's lifting), from the doubles' exact values without the scaling by rows: nullopt when
// it finds the matrix singular.
std::optional<std::vector<ExactComponent>> independently(const Matrix& A, const Vector& b, int n) {
    fmpq_mat_t Q, B, X;
    fmpq_mat_init(Q, n, n);
    fmpq_mat_init(B, n, 1);
    fmpq_mat_init(X, n, 1);
    setExactSystem(Q, B, A, b, n);
    std::optional<std::vector<ExactComponent>> result;
    if (fmpq_mat_solve_multi_mod(X, Q, B)) {
        result.emplace();
        for (int i = 0; i < n; ++i) {
            const fmpq* x = fmpq_mat_entry(X, i, 0);
            const std::optional<std::string> fraction = fractionText(x);
            result->push_back(
                {fraction.has_value(), fraction ? *fraction : decimalText(x), nearestDouble(x)});
        }
    }
    fmpq_mat_clear(Q);
    fmpq_mat_clear(B);
    fmpq_mat_clear(X);
    return result;
}

TEST(ExactSolution, AgreesWithTheMultimodularSolverOnRandomSystems) {
    // Orders up to 40: FLINT solves the larger ones by Dixon's lifting, the smaller ones
    // fraction-free; singular, extreme and ill-conditioned kinds among them.
    int singular = 0;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
        const reference::System system = reference::randomSystem(seed);
        Matrix A;
        Vector b;
        toArrays(system, A, b);
        const int n = A.rowsUpper();
        const ExactSolution solution = ExactSolution::solve(A, b, n);
        const auto expected = independently(A, b, n);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + reference::kindName(system.kind));
        ASSERT_EQ(solution.status() == ExactStatus::solved, expected.has_value());
        if (expected)
            EXPECT_EQ(solution.components(), *expected);
        else
            ++singular;
    }
    EXPECT_GT(singular, 0); // the draw has reached the singular kinds
}

TEST(ExactSolution, SystemsWithoutAUniqueSolutionSaySo) {
    const struct {
        const char* name;
        Matrix A;
        Vector b;
    } cases[] = {
        {"dependent rows, consistent", makeMatrix({{1, 2}, {2, 4}}), makeVector({3, 6})},
        {"dependent rows, inconsistent", makeMatrix({{1, 2}, {2, 4}}), makeVector({3, 7})},
        {"zero matrix", makeMatrix({{0, 0}, {0, 0}}), makeVector({0, 0})},
        {"1 x 1 zero", makeMatrix({{0}}), makeVector({1})},
        {"third row the exact sum of the others",
         makeMatrix({{1, 0.5, 0x1p-1000}, {0.25, 7, 0x1p-1000}, {1.25, 7.5, 0x1p-999}}),
         makeVector({1, 2, 3})},
    };
    for (const auto& c : cases) {
        const ExactReport report = solveAndJudge(c.A, c.b, c.A.rowsUpper(), {});
        EXPECT_EQ(report.status, ExactStatus::noUniqueSolution) << c.name;
        EXPECT_TRUE(report.components.empty()) << c.name;
    }
}

TEST(ExactSolution, ComponentsOfOneByOneSystems) {
    const struct {
        const char* name;
        double a, b;
        ExactComponent x;
    } cases[] = {
        {"integer", 2, -8, {true, "-4", -4.0}},
        {"short binary fraction", 8, 3, {true, "3/8", 0.375}},
        {"a third", 3, 1, {true, "1/3", 1.0 / 3}},
        {"typed 0.1", 1, 0.1, {false, "0.10000000000000001", 0.1}},
        {"twice the largest double", 0.5, kMax, {false, "3.5953862697246314E+308", std::nullopt}},
        {"half the smallest subnormal rounds to zero",
         2,
         kTiny,
         {false, "2.4703282292062327E-324", 0.0}},
        {"subnormal divided exactly", kTiny, 2 * kTiny, {true, "2", 2.0}},
    };
    for (const auto& c : cases) {
        const ExactSolution solution =
            ExactSolution::solve(makeMatrix({{c.a}}), makeVector({c.b}), 1);
        ASSERT_EQ(solution.status(), ExactStatus::solved) << c.name;
        const ExactComponent x = solution.components().at(0);
        EXPECT_EQ(x.isFraction, c.x.isFraction) << c.name;
        EXPECT_EQ(x.nearest, c.x.nearest) << c.name;
        EXPECT_EQ(x.text, c.x.text) << c.name;
    }
}

TEST(ExactSolution, TinyBesideHugeAndSubnormalsInOneSystem) {
    // Rows spanning the whole exponent range become integers of two thousand bits; the
    // solution must still be the exact one.
    const Matrix A = makeMatrix({{1e300, 1e-300, kTiny}, {kTiny, 1, 1e-300}, {1, 1e300, 3}});
    const Vector b = makeVector({1, kTiny, 1e-300});
    const ExactSolution solution = ExactSolution::solve(A, b, 3);
    ASSERT_EQ(solution.status(), ExactStatus::solved);
    EXPECT_EQ(solution.components(), independently(A, b, 3));
}

TEST(ExactSolution, RefusesNumbersThatAreNotFinite) {
    EXPECT_THROW(ExactSolution::solve(makeMatrix({{kNaN}}), makeVector({1}), 1),
                 std::invalid_argument);
    EXPECT_THROW(ExactSolution::solve(makeMatrix({{1}}), makeVector({HUGE_VAL}), 1),
                 std::invalid_argument);
}

// The methods' actual answers on the default system, judged against x = (3, -6, 1).
TEST(MethodError, TheMethodsOnTheDefaultSystem) {
    const struct {
        MethodSolver method;
        std::vector<std::optional<std::uint64_t>> ulps;
        std::uint64_t largest;
        int digits;
    } cases[] = {
        {calculateGauss, {11, 1, 4}, 11, 15},
        {calculateCholesky, {0, 0, 0}, 0, 17},
    };
    const ExactSolution solution = ExactSolution::solve(defaultA(), defaultB(), 3);
    for (const auto& c : cases) {
        Matrix W = defaultA();
        W.widen(4);
        Vector x;
        x.recreate(3);
        MethodState state;
        ASSERT_TRUE(c.method(W, defaultB(), x, 3, state, {}).solved());
        const MethodError error = solution.judge(x);
        EXPECT_EQ(error.ulps, c.ulps);
        EXPECT_EQ(error.largestUlps, c.largest);
        EXPECT_EQ(error.correctDigits, c.digits);
    }
}

TEST(MethodError, ConstructedDistances) {
    const double third = 1.0 / 3;
    const struct {
        const char* name;
        double a, b; // the 1 x 1 system
        double method;
        std::optional<std::uint64_t> ulps;
        int digits;
    } cases[] = {
        {"the nearest double", 3, 1, third, 0, 16},
        {"one below", 3, 1, std::nextafter(third, 0.0), 1, 15},
        {"three above", 3, 1, std::nextafter(std::nextafter(std::nextafter(third, 1.0), 1.0), 1.0),
         3, 15},
        {"exactly right", 4, 1, 0.25, 0, 17},
        {"wrong sign", 4, 1, -0.25, 0x3fd0000000000000ULL * 2, 0},
        {"across zero from the smallest subnormal", 1, kTiny, -kTiny, 2, 0},
        {"beyond the doubles", 0.5, kMax, kMax, std::nullopt, 0},
        {"not a number", 3, 1, kNaN, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const ExactSolution solution =
            ExactSolution::solve(makeMatrix({{c.a}}), makeVector({c.b}), 1);
        const MethodError error = solution.judge(makeVector({c.method}));
        EXPECT_EQ(error.ulps.at(0), c.ulps) << c.name;
        EXPECT_EQ(error.largestUlps, c.ulps) << c.name;
        EXPECT_EQ(error.correctDigits, c.digits) << c.name;
    }
}

TEST(MethodError, LargestIsUnknownWhenAComponentIsOutOfRange) {
    const ExactSolution solution =
        ExactSolution::solve(makeMatrix({{1, 0}, {0, 0.5}}), makeVector({1, kMax}), 2);
    const MethodError error = solution.judge(makeVector({std::nextafter(1.0, 2.0), kMax}));
    EXPECT_EQ(error.ulps, (std::vector<std::optional<std::uint64_t>>{1, std::nullopt}));
    EXPECT_EQ(error.largestUlps, std::nullopt);
}

} // namespace
