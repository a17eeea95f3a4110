#include "Calculate.h"
#include "FormSession.h"
#include "Messages.h"
#include "MethodTable.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

using namespace lse;
using namespace lse::test;

namespace {

constexpr double kUntouched = -7.25;

Vector untouched(int n) {
    Vector x;
    x.recreate(n);
    for (int i = 1; i <= n; ++i)
        x(i) = kUntouched;
    return x;
}

// Symmetric and strongly diagonal, so that both methods solve it; with one spare column, as
// copyPass makes W.
Matrix wellConditioned(int n) {
    Matrix W;
    W.recreate(n, n, 1);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            W(i, j) = 1.0 / (i + j - 1) + (i == j ? n : 0);
    return W;
}

Vector ones(int n) {
    Vector b;
    b.recreate(n);
    for (int i = 1; i <= n; ++i)
        b(i) = 1;
    return b;
}

const MethodEntry& gauss = *findMethod(builtInMethods(), "gauss");
const MethodEntry& cholesky = *findMethod(builtInMethods(), "cholesky");

// The driver as the window runs it, on a state of its own.
CalculateOutcome calculate(const MethodEntry& method, Matrix& W, const Vector& b, Vector& x,
                           std::int16_t n, const SolveOptions& options = {}) {
    MethodState state;
    return method.solve(W, b, x, n, state, options);
}

} // namespace

// Each way a method ends, with the message the window shows for it; x changes only when the
// method solved the system.
TEST(Calculate, ReportsEachOutcomeAndWritesXOnlyWhenSolved) {
    struct Case {
        const char* name;
        const MethodEntry& method;
        Matrix a;
        Vector b;
        bool solved;
        std::optional<Message> message;
    };
    const Case cases[] = {
        {"default, Gauss", gauss, makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}),
         makeVector({14, -101, 155}), true, std::nullopt},
        {"default, Cholesky", cholesky, makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}),
         makeVector({14, -101, 155}), true, std::nullopt},
        {"singular, Gauss", gauss, makeMatrix({{1, 2}, {2, 4}}), makeVector({1, 2}), false,
         messages::gaussFailed},
        {"indefinite, Cholesky", cholesky, makeMatrix({{1, 2}, {2, 1}}), makeVector({3, 3}), false,
         messages::choleskyFailed},
        {"solution beyond the range, Cholesky", cholesky, makeMatrix({{1e-300}}),
         makeVector({1e300}), false, messages::choleskySolveFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix W = c.a;
        const auto n = static_cast<std::int16_t>(c.b.upper());
        Vector x = untouched(n);
        const CalculateOutcome outcome = calculate(c.method, W, c.b, x, n);
        EXPECT_EQ(outcome.solved(), c.solved);
        EXPECT_FALSE(outcome.cancelled());
        EXPECT_EQ(c.method.about(outcome), c.message);
        EXPECT_EQ(x != untouched(n), c.solved);
    }
}

TEST(Calculate, AFailedDecompositionIsNotFollowedByASolve) {
    Matrix W = makeMatrix({{1, 2}, {2, 1}});
    Vector x = untouched(2);
    const CalculateOutcome outcome = calculate(cholesky, W, makeVector({3, 3}), x, 2);
    const CholeskyStatuses& statuses = *outcome.statusesAs<CholeskyStatuses>();
    EXPECT_EQ(statuses.decomposition.status, CholeskyStatus::pivotNotPositive);
    EXPECT_EQ(statuses.decomposition.column, 2);
    EXPECT_EQ(statuses.solve, CholeskySolveStatus::solved) << "no solve ran";
}

// A cancel before the start and one from the progress callback, on every path and with one
// and two threads: the method reports it, x is untouched, the window would say nothing, and
// the next run on a fresh copy gives the uncancelled bits.
TEST(Calculate, CancelStopsEitherMethodOnEveryPathAndLeavesXUntouched) {
    // Several Cholesky tiles, however wide the vector unit makes them.
    constexpr int kN = 160;
    SolveOptions blocked;
    blocked.path = SolverPath::blocked;
    blocked.blocks = {.panel = 5, .leaf = 2, .triangleLeaf = 2, .chunk = 7, .threadsFrom = 1};
    SolveOptions literal;
    literal.path = SolverPath::literal;
    const Vector b = ones(kN);

    for (const MethodEntry& method : builtInMethods()) {
        for (const int threads : {1, 2}) {
            for (SolveOptions options : {literal, blocked}) {
                SCOPED_TRACE(std::string(method.title) + ", " + std::to_string(threads) +
                             " threads, " +
                             (options.path == SolverPath::blocked ? "blocked" : "literal"));
                options.threads = threads;
                Matrix W = wellConditioned(kN);
                Vector expected = untouched(kN);
                ASSERT_TRUE(calculate(method, W, b, expected, kN, options).solved());

                for (const bool beforeStart : {true, false}) {
                    SCOPED_TRACE(beforeStart ? "before the start" : "during the solve");
                    std::atomic<bool> cancel{beforeStart};
                    int progressCalls = 0;
                    SolveOptions cancelling = options;
                    cancelling.cancel = &cancel;
                    cancelling.progress = [&](int, int) {
                        ++progressCalls;
                        cancel = true;
                    };
                    MethodState state;
                    W = wellConditioned(kN);
                    Vector x = untouched(kN);
                    const CalculateOutcome outcome = method.solve(W, b, x, kN, state, cancelling);
                    EXPECT_LE(progressCalls, beforeStart ? 0 : 1);
                    // The blocked Cholesky reports its calling thread's tiles only, and the
                    // other thread may make every tile left before the cancel is seen, however
                    // the threads are scheduled: then the run ends solved, with the bits of
                    // an uncancelled one.
                    if (!beforeStart && outcome.solved()) {
                        EXPECT_TRUE(&method == &cholesky && threads > 1 &&
                                    options.path == SolverPath::blocked);
                        EXPECT_EQ(x, expected);
                        continue;
                    }
                    EXPECT_TRUE(outcome.cancelled());
                    EXPECT_FALSE(outcome.solved());
                    EXPECT_EQ(method.about(outcome), std::nullopt);
                    EXPECT_EQ(x, untouched(kN));
                    if (&method == &cholesky) {
                        ASSERT_NE(state.as<modChol>(), nullptr);
                        EXPECT_EQ(state.as<modChol>()->factor(), nullptr);
                    }

                    cancel = false;
                    W = wellConditioned(kN);
                    ASSERT_TRUE(method.solve(W, b, x, kN, state, options).solved());
                    EXPECT_EQ(x, expected);
                }
            }
        }
    }
}

TEST(Calculate, ACancelledCalculateLeavesBothBoxesEmptyWithoutAMessage) {
    for (const Choice choice : {Both, Gauss, Cholesky}) {
        SCOPED_TRACE(choice);
        FormSession s;
        s.submitDefault();
        s.calculate(Both);
        const Vector before = s.form.x();
        std::atomic<bool> cancel{true};
        s.form.solveOptions.cancel = &cancel;
        s.calculate(choice);
        EXPECT_EQ(s.box(TextBox::txtGauss), "");
        EXPECT_EQ(s.box(TextBox::txtCholesky), "");
        EXPECT_TRUE(s.platform.messages.empty());
        EXPECT_EQ(s.form.x(), before);
    }
}

// The factors borrow only W: a later run in another W on the same state leaves the earlier
// factors whole, so that a caller may read them until it changes their W.
TEST(Calculate, FactorsOutliveTheStateTheyWereMadeIn) {
    constexpr std::int16_t kN = 3;
    MethodState state;
    Matrix first = wellConditioned(kN);
    Vector x = untouched(kN);
    const CalculateOutcome kept = calculateCholesky(first, ones(kN), x, kN, state, {});
    ASSERT_TRUE(kept.solved());
    const Matrix before = kept.factors->matrices().L;

    Matrix second = wellConditioned(kN);
    for (int i = 1; i <= kN; ++i)
        second(i, i) *= 4;
    ASSERT_TRUE(calculateCholesky(second, ones(kN), x, kN, state, {}).solved());
    EXPECT_EQ(kept.factors->matrices().L, before);
}
