#include "FakePlatform.h"
#include "Systems.h"
#include "modChol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lse;
using namespace lse::test;

namespace {

const ShownMessage kFailed{"Cholesky Decomposition Failed", MessageStyle::OkOnly, std::nullopt};

std::int16_t order(const Matrix& m) {
    return static_cast<std::int16_t>(m.rowsUpper());
}

} // namespace

TEST(Cholesky, DefaultSystemDecomposesAndSolves) {
    FakePlatform platform;
    modChol chol;
    Matrix W = makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    ASSERT_TRUE(chol.cholDecompose(W, 3, platform));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(chol.cholOrder(), 3);
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{2, 4, 5}));
    // L below the diagonal; the diagonal and upper triangle still hold A.
    EXPECT_EQ(W, makeMatrix({{4, 2, 14}, {1, 17, -5}, {7, -3, 83}}));
    EXPECT_EQ(chol.factor(), W);

    Vector b = makeVector({14, -101, 155});
    Vector x;
    x.recreate(3);
    ASSERT_TRUE(chol.cholSolve(b, x));
    EXPECT_EQ(entries(x), (std::vector<double>{3, -6, 1}));
    EXPECT_EQ(x(0), 0);
    EXPECT_EQ(entries(b), (std::vector<double>{14, -101, 155}));

    // The state serves any number of solves.
    Vector again;
    again.recreate(3);
    ASSERT_TRUE(chol.cholSolve(b, again));
    EXPECT_EQ(again, x);
}

TEST(Cholesky, OneEquationUsesThePowerForTheRoot) {
    FakePlatform platform;
    modChol chol;
    Matrix W = makeMatrix({{9}});
    ASSERT_TRUE(chol.cholDecompose(W, 1, platform));
    EXPECT_EQ(chol.diag()(1), 3);
    Vector x;
    x.recreate(1);
    ASSERT_TRUE(chol.cholSolve(makeVector({3}), x));
    EXPECT_EQ(x(1), 1.0 / 3);
}

TEST(Cholesky, NegativePivotFailsAndLeavesThePartialState) {
    FakePlatform platform;
    modChol chol;
    Matrix W = makeMatrix({{1, 2}, {2, 1}});
    EXPECT_FALSE(chol.cholDecompose(W, 2, platform));
    EXPECT_EQ(platform.messages, std::vector<ShownMessage>{kFailed});
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{1, 0}));
    EXPECT_EQ(W(2, 1), 2);
    EXPECT_EQ(chol.factor(), makeMatrix({{0, 0}, {0, 0}}));

    // The solve then stops at the zero diagonal entry, having written 1 / 0.
    Vector x;
    x.recreate(2);
    EXPECT_FALSE(chol.cholSolve(makeVector({1, 1}), x));
    EXPECT_EQ(x(1), 1);
    EXPECT_EQ(x(2), std::numeric_limits<double>::infinity());
}

TEST(Cholesky, NegativeFirstPivotThenSolveWritesNaNAndStops) {
    FakePlatform platform;
    modChol chol;
    Matrix W = makeMatrix({{-1, 0}, {0, 1}});
    EXPECT_FALSE(chol.cholDecompose(W, 2, platform));
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{0, 0}));
    Vector x = makeVector({7, 8});
    EXPECT_FALSE(chol.cholSolve(makeVector({0, 5}), x));
    EXPECT_TRUE(std::isnan(x(1)));
    EXPECT_EQ(x(2), 8);
}

// Matrices the decomposition used to let through: singular ones (a zero pivot) and
// unsymmetric ones (only the upper triangle was read).
TEST(Cholesky, ZeroPivotsAndAsymmetryFail) {
    struct Case {
        const char* name;
        Matrix a;
    };
    const Case cases[] = {
        {"zero last pivot", makeMatrix({{1, 1}, {1, 1}})},
        {"zero only pivot", makeMatrix({{0}})},
        {"zero earlier pivot", makeMatrix({{0, 0}, {0, 1}})},
        {"lower triangle differs", makeMatrix({{4, 2}, {100, 5}})},
        {"asymmetry far from the diagonal", makeMatrix({{4, 0, 1}, {0, 4, 0}, {1.5, 0, 4}})},
        {"overflowing step", makeMatrix({{1e-300, 1e300}, {1e300, 1}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePlatform platform;
        modChol chol;
        Matrix W = c.a;
        EXPECT_FALSE(chol.cholDecompose(W, order(W), platform));
        EXPECT_EQ(platform.messages, std::vector<ShownMessage>{kFailed});
        Matrix zero;
        zero.recreate(order(W), order(W));
        EXPECT_EQ(chol.factor(), zero);
    }
}

TEST(Cholesky, SymmetricMatrixGivesTheSameResultAsTheMirroredOne) {
    FakePlatform platform;
    modChol chol;
    Matrix W = makeMatrix({{4, 2}, {2, 5}});
    ASSERT_TRUE(chol.cholDecompose(W, 2, platform));
    EXPECT_EQ(entries(chol.diag()), (std::vector<double>{2, 2}));
    EXPECT_EQ(W(2, 1), 1);
    Vector x;
    x.recreate(2);
    ASSERT_TRUE(chol.cholSolve(makeVector({1, 2}), x));
    EXPECT_EQ(entries(x), (std::vector<double>{0.0625, 0.375}));
}

TEST(Cholesky, OrderZeroAndRefusedOrders) {
    FakePlatform platform;
    modChol chol;
    Matrix W;
    W.recreate(0, 0);
    EXPECT_TRUE(chol.cholDecompose(W, 0, platform));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(chol.diag().upper(), 0);
    EXPECT_EQ(chol.factor().rowsUpper(), 0);
    Vector x = makeVector({5});
    EXPECT_TRUE(chol.cholSolve(makeVector({1}), x));
    EXPECT_EQ(x(1), 5) << "order 0 solves nothing";

    for (const std::int16_t bad : {std::int16_t{-1}, std::int16_t{32767}}) {
        FakePlatform refused;
        EXPECT_FALSE(chol.cholDecompose(W, bad, refused));
        EXPECT_EQ(refused.messages, std::vector<ShownMessage>{kFailed});
        EXPECT_EQ(chol.cholOrder(), 0);
    }
}

TEST(Cholesky, ASmallerSystemAfterALargerOneKeepsNothingOfIt) {
    FakePlatform platform;
    modChol chol;
    Matrix big = makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    ASSERT_TRUE(chol.cholDecompose(big, 3, platform));
    Matrix small = makeMatrix({{9}});
    ASSERT_TRUE(chol.cholDecompose(small, 1, platform));
    EXPECT_EQ(chol.cholOrder(), 1);
    EXPECT_EQ(chol.diag(), makeVector({3}));
    EXPECT_EQ(chol.factor(), makeMatrix({{9}}));
    Vector x = makeVector({0, 77, 77});
    ASSERT_TRUE(chol.cholSolve(makeVector({3, 1, 1}), x));
    EXPECT_EQ(entries(x), (std::vector<double>{1.0 / 3, 77, 77}));
}

TEST(Cholesky, SolveIntoTooShortAVectorStopsSilently) {
    FakePlatform platform;
    modChol chol;
    Matrix W = makeMatrix({{4, 2}, {2, 5}});
    ASSERT_TRUE(chol.cholDecompose(W, 2, platform));
    Vector x;
    x.recreate(1);
    EXPECT_FALSE(chol.cholSolve(makeVector({1, 2}), x));
    EXPECT_TRUE(platform.messages.empty());
}
