#include "ExactSolution.h"
#include "Calculate.h"
#include "Digits.h"
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

// p + t1 v1 + t2 v2 + ... from the whole fractions, for the chosen t.
std::vector<Rational> pointOf(const ExactAnswer& answer, const std::vector<long>& t) {
    std::vector<Rational> x(answer.components.size());
    Rational term, value;
    for (std::size_t j = 0; j < x.size(); ++j) {
        fmpq_set_str(x[j].value, answer.components[j].whole.c_str(), 10);
        for (std::size_t k = 0; k < t.size(); ++k) {
            fmpq_set_str(value.value, answer.nullSpace[k][j].whole.c_str(), 10);
            fmpq_mul_si(term.value, value.value, t[k]);
            fmpq_add(x[j].value, x[j].value, term.value);
        }
    }
    return x;
}

TEST(ExactSolution, SingularSystemsGetTheirRanksAndACertificateOrTheGeneralSolution) {
    const struct {
        const char* name;
        Matrix A;
        Vector b;
        ExactStatus status;
        int rank, augmentedRank;
    } cases[] = {
        {"dependent rows, consistent", makeMatrix({{1, 2}, {2, 4}}), makeVector({3, 6}),
         ExactStatus::infinitelyMany, 1, 1},
        {"dependent rows, inconsistent", makeMatrix({{1, 2}, {2, 4}}), makeVector({3, 7}),
         ExactStatus::noSolution, 1, 2},
        {"zero matrix", makeMatrix({{0, 0}, {0, 0}}), makeVector({0, 0}),
         ExactStatus::infinitelyMany, 0, 0},
        {"1 x 1 zero", makeMatrix({{0}}), makeVector({1}), ExactStatus::noSolution, 0, 1},
        {"third row the exact sum of the others",
         makeMatrix({{1, 0.5, 0x1p-1000}, {0.25, 7, 0x1p-1000}, {1.25, 7.5, 0x1p-999}}),
         makeVector({1, 2, 3}), ExactStatus::infinitelyMany, 2, 2},
        {"4 x 4 of rank 2",
         makeMatrix({{1, 2, 3, 4}, {2, 4, 6, 8.5}, {0, 0, 0, 0.5}, {3, 6, 9, 12.5}}),
         makeVector({1, 2.5, 0.5, 3.5}), ExactStatus::infinitelyMany, 2, 2},
        {"4 x 4 of rank 2, inconsistent",
         makeMatrix({{1, 2, 3, 4}, {2, 4, 6, 8.5}, {0, 0, 0, 0.5}, {3, 6, 9, 12.5}}),
         makeVector({1, 2.5, 0.5, 4}), ExactStatus::noSolution, 2, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = c.A.rowsUpper();
        Vector ones;
        ones.recreate(n);
        const ExactReport report = solveAndJudge(c.A, c.b, n, {ones}, {}, ExactDetail::whole);
        const ExactAnswer& answer = report.asWritten;
        EXPECT_FALSE(report.doubles);
        EXPECT_TRUE(report.errors.empty()); // nothing to judge a method's numbers against
        ASSERT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.rank, c.rank);
        EXPECT_EQ(answer.augmentedRank, c.augmentedRank);
        Rational sum, term, entry;
        if (c.status == ExactStatus::noSolution) {
            // y^T A = 0 and y^T b = c, not 0.
            ASSERT_EQ(answer.certificate.size(), static_cast<std::size_t>(n));
            for (int j = 1; j <= n + 1; ++j) {
                fmpq_zero(sum.value);
                for (int i = 1; i <= n; ++i) {
                    fmpq_set_str(term.value, answer.certificate[i - 1].whole.c_str(), 10);
                    setExact(entry.value, j <= n ? c.A(i, j) : c.b(i));
                    fmpq_addmul(sum.value, term.value, entry.value);
                }
                fmpq_set_str(term.value, answer.certificateValue.whole.c_str(), 10);
                if (j <= n)
                    EXPECT_TRUE(fmpq_is_zero(sum.value)) << "column " << j;
                else
                    EXPECT_TRUE(fmpq_equal(sum.value, term.value) && !fmpq_is_zero(sum.value));
            }
            continue;
        }
        ASSERT_EQ(answer.nullSpace.size(), static_cast<std::size_t>(n - c.rank));
        for (const std::vector<long>& t : {std::vector<long>(answer.nullSpace.size(), 0),
                                           std::vector<long>(answer.nullSpace.size(), -3),
                                           std::vector<long>(answer.nullSpace.size(), 7)}) {
            const std::vector<Rational> x = pointOf(answer, t);
            for (int i = 1; i <= n; ++i) {
                fmpq_zero(sum.value);
                for (int j = 1; j <= n; ++j) {
                    setExact(entry.value, c.A(i, j));
                    fmpq_addmul(sum.value, entry.value, x[static_cast<std::size_t>(j - 1)].value);
                }
                setExact(entry.value, c.b(i));
                EXPECT_TRUE(fmpq_equal(sum.value, entry.value)) << "row " << i;
            }
        }
    }
}

// The systems a user writes: decimals and fractions count as written, and the doubles' own
// solution comes beside it with the input's rounding told apart from each method's error.
TEST(ExactSolution, TheSystemAsWrittenComesFirst) {
    WrittenValues tenths;
    const char* texts[2][3] = {{"0.1", "0.2", "0.1"}, {"0.3", "0.3", "0.5"}};
    Matrix A = makeMatrix({{0.1, 0.2}, {0.3, 0.3}});
    Vector b = makeVector({0.1, 0.5});
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 3; ++j)
            tenths.note(i, j, texts[i - 1][j - 1]);
    const ExactReport report = solveAndJudge(A, b, 2, {makeVector({7.0 / 3, -2.0 / 3})}, tenths);
    ASSERT_TRUE(report.doubles);
    EXPECT_EQ(report.asWritten.components[0].text, "7/3");
    EXPECT_EQ(report.asWritten.components[1].text, "-2/3");
    EXPECT_FALSE(report.doubles->components[0].isFraction); // 0.1's double has 55 bits
    ASSERT_TRUE(report.inputRounding);
    EXPECT_GT(report.inputRounding->correctDigits, 10);
    ASSERT_EQ(report.errors.size(), 1u); // against the doubles' solution

    // The 7 x 7 Hilbert matrix in fractions with b its row sums: exactly ones, as written.
    const int n = 7;
    WrittenValues hilbert;
    Matrix H;
    Vector sums;
    H.recreate(n, n);
    sums.recreate(n);
    for (int i = 1; i <= n; ++i) {
        Rational sum, entry;
        for (int j = 1; j <= n; ++j) {
            H(i, j) = 1.0 / (i + j - 1);
            hilbert.note(i, j, "1/" + std::to_string(i + j - 1));
            fmpq_set_si(entry.value, 1, static_cast<ulong>(i + j - 1));
            fmpq_add(sum.value, sum.value, entry.value);
        }
        sums(i) = *nearestDouble(sum.value);
        hilbert.note(i, n + 1, *fractionText(sum.value, 100));
    }
    const ExactReport ones = solveAndJudge(H, sums, n, {}, hilbert);
    ASSERT_TRUE(ones.doubles);
    for (const ExactComponent& x : ones.asWritten.components)
        EXPECT_EQ(x.text, "1");
    ASSERT_TRUE(ones.inputRounding);
    EXPECT_LT(ones.inputRounding->correctDigits, 10); // kappa ~ 5e8 magnifies the rounding

    // Decimals that are their doubles leave one answer.
    WrittenValues halves;
    halves.note(1, 1, "0.5");
    halves.note(1, 2, "2.5e0");
    const ExactReport same = solveAndJudge(makeMatrix({{0.5}}), makeVector({2.5}), 1, {}, halves);
    EXPECT_FALSE(same.doubles);
    EXPECT_EQ(same.asWritten.components[0].text, "5");
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
        std::optional<double> measured; // |x - x̂| / |x|, exactly, as the digits are counted
    } cases[] = {
        // 1/3 - third = 2^-54 / 3.
        {"the nearest double", 3, 1, third, 0, 16, 0x1p-54},
        {"one below", 3, 1, std::nextafter(third, 0.0), 1, 15, 0x1p-52},
        {"three above", 3, 1, std::nextafter(std::nextafter(std::nextafter(third, 1.0), 1.0), 1.0),
         3, 15, 0x1p-51},
        {"exactly right", 4, 1, 0.25, 0, 17, 0.0},
        {"wrong sign", 4, 1, -0.25, 0x3fd0000000000000ULL * 2, 0, 2.0},
        {"across zero from the smallest subnormal", 1, kTiny, -kTiny, 2, 0, 2.0},
        {"beyond the doubles", 0.5, kMax, kMax, std::nullopt, 0, 0.5},
        {"not a number", 3, 1, kNaN, std::nullopt, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const ExactSolution solution =
            ExactSolution::solve(makeMatrix({{c.a}}), makeVector({c.b}), 1);
        const MethodError error = solution.judge(makeVector({c.method}));
        EXPECT_EQ(error.ulps.at(0), c.ulps) << c.name;
        EXPECT_EQ(error.largestUlps, c.ulps) << c.name;
        EXPECT_EQ(error.correctDigits, c.digits) << c.name;
        EXPECT_EQ(error.measuredError, c.measured) << c.name;
    }
}

// Where the exact value is 0 or below the last place of x's largest entry, the error is
// counted in that place's units (here 2^-52, x's largest entry 1), rounded to the nearest.
TEST(MethodError, TinyExactValuesCountInTheUnitOfTheLargestEntry) {
    const struct {
        const char* name;
        double exact2;  // x2 of x = (1, exact2), through the diagonal system
        double method2; // the method's x2; its x1 is 1
        std::uint64_t ulps;
        bool largestUnit;
        int digits;
    } cases[] = {
        {"an exact 0 found", 0, 0, 0, true, 17},
        {"an exact 0 missed by a ninth of a unit", 0, 0x1p-55, 0, true, 16},
        {"an exact 0 missed by 1.4 units", 0, 0x1.6p-52, 1, true, 15},
        {"an exact 0 missed by 2.5 units: the tie goes up", 0, -0x1.4p-51, 3, true, 15},
        {"a tiny exact value, the method's 0", 0x1p-60, 0, 0, true, 17},
        {"at the last place, its own doubles count", 0x1p-52, 0x1.0000000000001p-52, 1, false, 17},
    };
    for (const auto& c : cases) {
        const ExactSolution solution =
            ExactSolution::solve(makeMatrix({{1, 0}, {0, 1}}), makeVector({1, c.exact2}), 2);
        const MethodError error = solution.judge(makeVector({1, c.method2}));
        EXPECT_EQ(error.ulps.at(1), c.ulps) << c.name;
        EXPECT_EQ(error.inLargestEntryUnits, c.largestUnit) << c.name;
        EXPECT_EQ(error.correctDigits, c.digits) << c.name;
        EXPECT_EQ(error.correctDigits, significantDigits(*error.measuredError)) << c.name;
    }
}

// A written number beyond the exact arithmetic: the written system is not solved, the doubles'
// is, and the report names the first few numbers by place.
TEST(ExactSolution, AWrittenNumberNotHeldLeavesTheWrittenSystemUnsolved) {
    const Matrix A = makeMatrix({{1, 0}, {0, 1}});
    const Vector b = makeVector({1, 0});
    const struct {
        const char* name;
        std::vector<std::tuple<int, int, const char*>> texts;
        std::size_t count;
        std::vector<NotHeldValue> listed;
    } cases[] = {
        {"within the limit", {{2, 3, "1e-1000000"}}, 0, {}},
        {"one beyond", {{2, 3, "1e-1000001"}}, 1, {{2, 3, "1e-1000001"}}},
        {"the first three by place, a long one shortened",
         {{2, 3, "7e-2000000"},
          {1, 2, "0.000000000000000000000000000001e-1000001"},
          {2, 1, "1e-1000000"},
          {1, 3, "2e-3000000"},
          {2, 2, "1e-9999999"}},
         4,
         {{1, 2, "0.00000000\u2026001e-1000001"}, {1, 3, "2e-3000000"}, {2, 2, "1e-9999999"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WrittenValues written;
        for (const auto& [row, column, text] : c.texts)
            written.note(row, column, text);
        const ExactReport report = solveAndJudge(A, b, 2, {makeVector({1, 0})}, written);
        EXPECT_EQ(report.notHeld.count, c.count);
        EXPECT_EQ(report.notHeld.listed, c.listed);
        // Not held: the doubles' answer alone; held: the written one beside it.
        EXPECT_EQ(report.doubles.has_value(), c.count == 0);
        EXPECT_FALSE(report.inputRounding && c.count > 0);
        EXPECT_EQ(report.ofDoubles().components.at(1).text, "0");
        EXPECT_EQ(report.errors.size(), 1u);
        EXPECT_EQ(
            report.fractionSteps.starts_with("The same steps in exact fractions are not shown"),
            c.count > 0);
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
