#include "Systems.h"
#include "modGauss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lse;
using namespace lse::test;

namespace {

struct GaussRun {
    Matrix W;
    Vector x;
    Vector b;
    GaussOutcome outcome;
    bool solved = false;

    GaussRun(Matrix a, Vector rhs) : W(std::move(a)), b(std::move(rhs)) { x.recreate(b.upper()); }
    GaussRun& solve() {
        outcome = modGauss::gaussSolve(W, x, b, static_cast<std::int16_t>(b.upper()));
        solved = outcome.solved();
        return *this;
    }
};

GaussRun defaultSystem() {
    return GaussRun(makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}),
                    makeVector({14, -101, 155}));
}

} // namespace

// The exact bits come from rounding every step in the prescribed order; a fused
// multiply-add or a reordered sum changes at least one of them.
TEST(Gauss, DefaultSystemGivesTheExactBitsOfTheOperationOrder) {
    GaussRun run = defaultSystem();
    run.solve();
    ASSERT_TRUE(run.solved);
    EXPECT_EQ(bits(run.x(1)), bits(2.999999999999995));
    EXPECT_EQ(bits(run.x(2)), bits(-5.999999999999999));
    EXPECT_EQ(bits(run.x(3)), bits(1.0000000000000009));
}

TEST(Gauss, DefaultSystemLeavesTheEliminatedAugmentedMatrix) {
    GaussRun run = defaultSystem();
    run.solve();
    ASSERT_EQ(run.W.colsUpper(), 4);
    ASSERT_EQ(run.W.rowsUpper(), 3);
    // Row 1 after the exchange with row 3, with the solution in column 4.
    EXPECT_EQ(run.W(1, 1), 14);
    EXPECT_EQ(run.W(1, 2), -5);
    EXPECT_EQ(run.W(1, 3), 83);
    // Below the diagonal: the numerators of the multipliers, never cleared.
    EXPECT_EQ(run.W(2, 1), 2);
    EXPECT_EQ(run.W(3, 1), 4);
    EXPECT_DOUBLE_EQ(run.W(3, 2), 24.0 / 7);
    EXPECT_DOUBLE_EQ(run.W(2, 2), 124.0 / 7);
    EXPECT_DOUBLE_EQ(run.W(3, 3), -200.0 / 31);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(bits(run.W(i, 4)), bits(run.x(i)));
    // Row 0 and column 0 untouched, x(0) untouched, b unchanged.
    for (int c = 0; c <= 4; ++c)
        EXPECT_EQ(run.W(0, c), 0);
    for (int r = 0; r <= 3; ++r)
        EXPECT_EQ(run.W(r, 0), 0);
    EXPECT_EQ(run.x(0), 0);
    EXPECT_EQ(entries(run.b), (std::vector<double>{14, -101, 155}));
}

TEST(Gauss, PivotSearch) {
    // A tie keeps the diagonal row: multiplier -1, row 2 becomes (-2, 4 | 4).
    GaussRun tie(makeMatrix({{2, 1}, {-2, 3}}), makeVector({3, 1}));
    tie.solve();
    EXPECT_EQ(entries(tie.x), (std::vector<double>{1, 1}));
    EXPECT_EQ(tie.W(1, 1), 2);
    EXPECT_EQ(tie.W(2, 1), -2);
    EXPECT_EQ(tie.W(2, 2), 4);

    // A zero on the diagonal with a nonzero entry below is exchanged away, no message.
    GaussRun zeroDiagonal(makeMatrix({{0, 1}, {1, 1}}), makeVector({1, 2}));
    zeroDiagonal.solve();
    EXPECT_TRUE(zeroDiagonal.solved);
    EXPECT_EQ(entries(zeroDiagonal.x), (std::vector<double>{1, 1}));
    EXPECT_EQ(zeroDiagonal.W(1, 1), 1);

    // One equation: no pivot search, no zero test.
    GaussRun single(makeMatrix({{4}}), makeVector({8}));
    single.solve();
    EXPECT_EQ(entries(single.x), (std::vector<double>{2}));
}

TEST(Gauss, ZeroPivotStopsAtItsColumnAndLeavesXAlone) {
    GaussRun run(makeMatrix({{2, 4, 1}, {1, 2, 3}, {4, 8, 5}}), makeVector({1, 1, 1}));
    run.x(1) = 7;
    run.x(2) = 8;
    run.x(3) = 9;
    run.solve();
    EXPECT_EQ(run.outcome.status, GaussStatus::zeroPivot);
    EXPECT_EQ(run.outcome.column, 2);
    EXPECT_EQ(entries(run.x), (std::vector<double>{7, 8, 9}));
    // W stays as column 1 left it.
    EXPECT_EQ(run.W(1, 1), 4);
    EXPECT_EQ(run.W(1, 4), 1);
    EXPECT_EQ(run.W(2, 2), 0);
    EXPECT_EQ(run.W(2, 3), 1.75);
    EXPECT_EQ(run.W(2, 4), 0.75);
    EXPECT_EQ(run.W(3, 2), 0);
    EXPECT_EQ(run.W(3, 3), -1.5);
    EXPECT_EQ(run.W(3, 4), 0.5);
}

// A zero last pivot or any non-finite step is a failure, never an infinity or NaN shown
// as a solution.
TEST(Gauss, ZeroLastPivotsAndArithmeticErrorsAreFailures) {
    struct Case {
        const char* name;
        Matrix a;
        Vector b;
        GaussOutcome expected;
    };
    const double huge = std::numeric_limits<double>::max();
    const Case cases[] = {
        {"singular, zero last pivot",
         makeMatrix({{1, 2}, {2, 4}}),
         makeVector({1, 2}),
         {GaussStatus::zeroPivot, 2}},
        {"singular, zero over zero",
         makeMatrix({{1, 2}, {2, 4}}),
         makeVector({1, 2 + 0.0}),
         {GaussStatus::zeroPivot, 2}},
        {"one equation, zero coefficient",
         makeMatrix({{0}}),
         makeVector({5}),
         {GaussStatus::zeroPivot, 1}},
        {"one equation, zero over zero",
         makeMatrix({{-0.0}}),
         makeVector({0}),
         {GaussStatus::zeroPivot, 1}},
        {"overflowing elimination",
         makeMatrix({{1, huge}, {-1, huge}}),
         makeVector({1, 1}),
         {GaussStatus::arithmeticError}},
        {"overflowing back substitution",
         makeMatrix({{1e-300, 0}, {0, 1e-300}}),
         makeVector({1e300, 1}),
         {GaussStatus::arithmeticError}},
        // An overflow in column 1 comes before the zero pivot of column 2.
        {"overflow before a zero pivot",
         makeMatrix({{1, 0, huge}, {1, 0, -huge}, {1, 0, 1}}),
         makeVector({1, 1, 1}),
         {GaussStatus::arithmeticError}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GaussRun run(c.a, c.b);
        run.x(1) = 42;
        run.solve();
        EXPECT_EQ(run.outcome.status, c.expected.status);
        EXPECT_EQ(run.outcome.column, c.expected.column);
        EXPECT_EQ(run.x(1), 42);
    }
}

TEST(Gauss, UnderflowAndNearSingularityPassSilently) {
    GaussRun tiny(makeMatrix({{1e-200, 0}, {0, 1e-200}}), makeVector({1e-300, 1e-300}));
    tiny.solve();
    EXPECT_TRUE(tiny.solved);

    GaussRun nearlySingular(makeMatrix({{1, 1}, {1, 1 + 1e-15}}), makeVector({2, 2}));
    nearlySingular.solve();
    EXPECT_TRUE(nearlySingular.solved);
}

TEST(Gauss, OrdersAndShapesThatAreNotServedChangeNothing) {
    Matrix W;
    W.recreate(0, 0);
    Vector x;
    x.recreate(0);
    Vector b;
    b.recreate(0);
    EXPECT_TRUE(modGauss::gaussSolve(W, x, b, 0).solved()) << "no equations, nothing to do";
    EXPECT_EQ(modGauss::gaussSolve(W, x, b, -3).status, GaussStatus::orderNotServed);
    EXPECT_EQ(modGauss::gaussSolve(W, x, b, 32767).status, GaussStatus::orderNotServed);
    EXPECT_EQ(W.colsUpper(), 0);

    Matrix square = makeMatrix({{1, 0}, {0, 1}});
    Vector shortX;
    shortX.recreate(1);
    Vector twoB = makeVector({1, 1});
    EXPECT_EQ(modGauss::gaussSolve(square, shortX, twoB, 2).status, GaussStatus::orderNotServed);
    EXPECT_EQ(shortX(1), 0);
    EXPECT_EQ(square.colsUpper(), 2) << "refused before anything changes";

    Matrix absent;
    EXPECT_EQ(modGauss::gaussSolve(absent, shortX, twoB, 1).status, GaussStatus::orderNotServed);
    EXPECT_FALSE(absent.exists());
}
