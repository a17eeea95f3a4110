#include "Systems.h"
#include "modChol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lse;
using namespace lse::test;

namespace {

std::int16_t order(const Matrix& m) {
    return static_cast<std::int16_t>(m.rowsUpper());
}

} // namespace

TEST(Cholesky, DefaultSystemDecomposesAndSolves) {
    modChol chol;
    Matrix W = makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    ASSERT_TRUE(chol.cholDecompose(W, 3).decomposed());
    EXPECT_EQ(chol.cholOrder(), 3);
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{2, 4, 5}));
    // L below the diagonal; the diagonal and upper triangle still hold A.
    EXPECT_EQ(W, makeMatrix({{4, 2, 14}, {1, 17, -5}, {7, -3, 83}}));
    EXPECT_EQ(chol.factor(), &W) << "the factor is W itself, not a copy";

    Vector b = makeVector({14, -101, 155});
    Vector x;
    x.recreate(3);
    ASSERT_EQ(chol.cholSolve(b, x), CholeskySolveStatus::solved);
    EXPECT_EQ(entries(x), (std::vector<double>{3, -6, 1}));
    EXPECT_EQ(x(0), 0);
    EXPECT_EQ(entries(b), (std::vector<double>{14, -101, 155}));

    // The state serves any number of solves.
    Vector again;
    again.recreate(3);
    ASSERT_EQ(chol.cholSolve(b, again), CholeskySolveStatus::solved);
    EXPECT_EQ(again, x);
}

TEST(Cholesky, OneEquationUsesThePowerForTheRoot) {
    modChol chol;
    Matrix W = makeMatrix({{9}});
    ASSERT_TRUE(chol.cholDecompose(W, 1).decomposed());
    EXPECT_EQ(chol.diag()(1), 3);
    Vector x;
    x.recreate(1);
    ASSERT_EQ(chol.cholSolve(makeVector({3}), x), CholeskySolveStatus::solved);
    EXPECT_EQ(x(1), 1.0 / 3);
}

TEST(Cholesky, NegativePivotFailsAndLeavesThePartialState) {
    modChol chol;
    Matrix W = makeMatrix({{1, 2}, {2, 1}});
    const CholeskyOutcome outcome = chol.cholDecompose(W, 2);
    EXPECT_EQ(outcome.status, CholeskyStatus::pivotNotPositive);
    EXPECT_EQ(outcome.column, 2);
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{1, 0}));
    EXPECT_EQ(W(2, 1), 2);
    EXPECT_EQ(chol.factor(), nullptr);

    // The solve then stops at the zero diagonal entry, having written 1 / 0.
    Vector x;
    x.recreate(2);
    EXPECT_EQ(chol.cholSolve(makeVector({1, 1}), x), CholeskySolveStatus::arithmeticError);
    EXPECT_EQ(x(1), 1);
    EXPECT_EQ(x(2), std::numeric_limits<double>::infinity());
}

TEST(Cholesky, NegativeFirstPivotThenSolveWritesNaNAndStops) {
    modChol chol;
    Matrix W = makeMatrix({{-1, 0}, {0, 1}});
    EXPECT_EQ(chol.cholDecompose(W, 2).column, 1);
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{0, 0}));
    Vector x = makeVector({7, 8});
    EXPECT_EQ(chol.cholSolve(makeVector({0, 5}), x), CholeskySolveStatus::arithmeticError);
    EXPECT_TRUE(std::isnan(x(1)));
    EXPECT_EQ(x(2), 8);
}

// Singular matrices (a zero pivot), unsymmetric ones (only the upper triangle is read) and
// overflows all fail, each with its own status.
TEST(Cholesky, FailuresAreReportedByKind) {
    struct Case {
        const char* name;
        Matrix a;
        CholeskyOutcome expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"zero last pivot", makeMatrix({{1, 1}, {1, 1}}), {CholeskyStatus::pivotNotPositive, 2}},
        {"zero only pivot", makeMatrix({{0}}), {CholeskyStatus::pivotNotPositive, 1}},
        {"zero earlier pivot", makeMatrix({{0, 0}, {0, 1}}), {CholeskyStatus::pivotNotPositive, 1}},
        {"NaN pivot", makeMatrix({{nan}}), {CholeskyStatus::arithmeticError, 1}},
        {"lower triangle differs", makeMatrix({{4, 2}, {100, 5}}), {CholeskyStatus::notSymmetric}},
        {"asymmetry far from the diagonal",
         makeMatrix({{4, 0, 1}, {0, 4, 0}, {1.5, 0, 4}}),
         {CholeskyStatus::notSymmetric}},
        {"overflowing step",
         makeMatrix({{1e-300, 1e300}, {1e300, 1}}),
         {CholeskyStatus::arithmeticError, 1}},
        // Column 1 overflows in row 3 before the pivot of column 2 is reached.
        {"overflow before a bad pivot",
         makeMatrix({{1e-300, 1, 1e300}, {1, 1, 0}, {1e300, 0, 1}}),
         {CholeskyStatus::arithmeticError, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        modChol chol;
        Matrix W = c.a;
        const CholeskyOutcome outcome = chol.cholDecompose(W, order(W));
        EXPECT_EQ(outcome.status, c.expected.status);
        EXPECT_EQ(outcome.column, c.expected.column);
        EXPECT_EQ(chol.factor(), nullptr);
    }
}

TEST(Cholesky, SymmetricMatrixGivesTheSameResultAsTheMirroredOne) {
    modChol chol;
    Matrix W = makeMatrix({{4, 2}, {2, 5}});
    ASSERT_TRUE(chol.cholDecompose(W, 2).decomposed());
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{2, 2}));
    EXPECT_EQ(W(2, 1), 1);
    Vector x;
    x.recreate(2);
    ASSERT_EQ(chol.cholSolve(makeVector({1, 2}), x), CholeskySolveStatus::solved);
    EXPECT_EQ(entries(x), (std::vector<double>{0.0625, 0.375}));
}

TEST(Cholesky, OrderZeroAndRefusedOrders) {
    modChol chol;
    Matrix W;
    W.recreate(0, 0);
    EXPECT_TRUE(chol.cholDecompose(W, 0).decomposed());
    EXPECT_EQ(chol.diag().upper(), 0);
    EXPECT_EQ(chol.factor(), &W);
    Vector x = makeVector({5});
    EXPECT_EQ(chol.cholSolve(makeVector({1}), x), CholeskySolveStatus::solved);
    EXPECT_EQ(x(1), 5) << "order 0 solves nothing";

    for (const std::int16_t bad : {std::int16_t{-1}, std::int16_t{32767}, std::int16_t{1}}) {
        EXPECT_EQ(chol.cholDecompose(W, bad).status, CholeskyStatus::orderNotServed);
        EXPECT_EQ(chol.cholOrder(), 0);
    }
}

TEST(Cholesky, ASmallerSystemAfterALargerOneKeepsNothingOfIt) {
    modChol chol;
    Matrix big = makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    ASSERT_TRUE(chol.cholDecompose(big, 3).decomposed());
    Matrix small = makeMatrix({{9}});
    ASSERT_TRUE(chol.cholDecompose(small, 1).decomposed());
    EXPECT_EQ(chol.cholOrder(), 1);
    EXPECT_EQ(chol.diag(), makeVector({3}));
    EXPECT_EQ(chol.factor(), &small);
    Vector x = makeVector({0, 77, 77});
    ASSERT_EQ(chol.cholSolve(makeVector({3, 1, 1}), x), CholeskySolveStatus::solved);
    EXPECT_EQ(entries(x), (std::vector<double>{1.0 / 3, 77, 77}));
}

TEST(Cholesky, SolveIntoTooShortAVectorIsRefused) {
    modChol chol;
    Matrix W = makeMatrix({{4, 2}, {2, 5}});
    ASSERT_TRUE(chol.cholDecompose(W, 2).decomposed());
    Vector x;
    x.recreate(1);
    EXPECT_EQ(chol.cholSolve(makeVector({1, 2}), x), CholeskySolveStatus::orderNotServed);
    EXPECT_EQ(x(1), 0);
}
