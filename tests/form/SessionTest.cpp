// The Calculate every front end makes through the session: which run may use up A, what a
// cancel leaves, and the decompositions Refine Solution refines with.
#include "Session.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

using namespace lse;
using namespace lse::test;

namespace {

Matrix defaultA() {
    return makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
}

MethodTable named(const std::string& name) {
    if (const MethodEntry* method = findMethod(builtInMethods(), name))
        return {method, 1};
    return builtInMethods();
}

bool sameEntries(const Matrix& a, const Matrix& b, bool upperOnly) {
    for (int i = 1; i <= 3; ++i)
        for (int j = upperOnly ? i : 1; j <= 3; ++j)
            if (a(i, j) != b(i, j))
                return false;
    return true;
}

// A copy of A for every run that is not the last, or whose residual A must keep.
TEST(Session, OnlyTheLastRunMayWorkInAAndOnlyWhereAllowed) {
    enum class Left { whole, upperTriangle, nothing };
    struct Case {
        KeepA keepA;
        std::string methods;
        Left left;
        bool residual; // the last method's figures include the backward error
    };
    const std::vector<Case> cases{
        {KeepA::yes, "both", Left::whole, true},
        {KeepA::no, "gauss", Left::nothing, false},
        {KeepA::no, "both", Left::upperTriangle, true},
        {KeepA::forResidual, "gauss", Left::whole, true},
        {KeepA::forResidual, "cholesky", Left::upperTriangle, true},
    };
    const Vector b = makeVector({14, -101, 155});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.methods + " keepA " + std::to_string(static_cast<int>(c.keepA)));
        Matrix A = defaultA();
        const WrittenValues written;
        Vector x;
        x.recreate(3);
        Session session;
        const EachMethod each = [](const MethodEntry&, const RunMethod& run) -> Task<bool> {
            co_return !run({}).cancelled();
        };
        ASSERT_TRUE(
            runAtOnce(session.calculate(named(c.methods), {A, b, 3, written}, x, c.keepA, each)));
        EXPECT_EQ(sameEntries(A, defaultA(), false), c.left == Left::whole);
        EXPECT_EQ(sameEntries(A, defaultA(), true), c.left != Left::nothing);
        const MethodReport& last = session.report().methods.back();
        ASSERT_TRUE(last.solved && last.figures);
        EXPECT_EQ(last.figures->berr.has_value(), c.residual);
    }
}

// A cancel ends the Calculate there and takes back what the runs before it reported.
TEST(Session, ACancelEmptiesTheReportAndRunsNoFurtherMethod) {
    Matrix A = defaultA();
    const Vector b = makeVector({14, -101, 155});
    const WrittenValues written;
    Vector x;
    x.recreate(3);
    Session session;
    std::vector<std::string> ran;
    const EachMethod each = [&](const MethodEntry& method, const RunMethod& run) -> Task<bool> {
        ran.emplace_back(method.name);
        co_return ran.size() < 2 && !run({}).cancelled();
    };
    const bool finished =
        runAtOnce(session.calculate(builtInMethods(), {A, b, 3, written}, x, KeepA::yes, each));
    EXPECT_FALSE(finished);
    EXPECT_EQ(ran, (std::vector<std::string>{"gauss", "cholesky"}));
    EXPECT_TRUE(session.report().empty());
}

int solves = 0;

CalculateOutcome countedGauss(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                              MethodState& state, const SolveOptions& options) {
    ++solves;
    return calculateGauss(W, b, x, n, state, options);
}

CalculateOutcome countedCholesky(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                 MethodState& state, const SolveOptions& options) {
    ++solves;
    return calculateCholesky(W, b, x, n, state, options);
}

// Refine Solution refines with the decompositions Calculate kept, solving nothing again, and
// gets what a run again gets, in both methods' bits and claims; a session that keeps none
// solves again. A cancel during a kept one's refinement adds nothing, as during a run.
TEST(Session, RefineUsesTheKeptDecompositionsAsARunAgainWould) {
    std::vector<MethodEntry> counted(builtInMethods().begin(), builtInMethods().end());
    counted[0].solve = countedGauss;
    counted[1].solve = countedCholesky;
    const int n = 40;
    Matrix A;
    A.recreate(n, n);
    Vector b;
    b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        b(i) = 1.0 / i;
        for (int j = 1; j <= n; ++j)
            A(i, j) = 1.0 / (i + j) + (i == j ? 1 : 0);
    }
    const WrittenValues written;
    const auto run = [&](bool keeps, int cancelAt, int& solved) {
        auto session = std::make_unique<Session>(keeps);
        Vector x;
        x.recreate(n);
        const EachMethod each = [](const MethodEntry&, const RunMethod& run) -> Task<bool> {
            co_return !run({}).cancelled();
        };
        EXPECT_TRUE(
            runAtOnce(session->calculate(counted, {A, b, n, written}, x, KeepA::yes, each)));
        solves = 0;
        int runs = 0;
        std::atomic<bool> cancel = false;
        const EachMethod refineEach = [&](const MethodEntry&, const RunMethod& run) -> Task<bool> {
            SolveOptions options;
            options.cancel = &cancel;
            cancel = ++runs == cancelAt;
            co_return !run(options).cancelled();
        };
        runAtOnce(session->refine({A, b, n, written}, refineEach));
        solved = solves;
        return session;
    };
    int keptSolves = 0, againSolves = 0, cancelledSolves = 0;
    const auto kept = run(true, 0, keptSolves);
    const auto again = run(false, 0, againSolves);
    const auto cancelled = run(true, 2, cancelledSolves);
    EXPECT_EQ(keptSolves, 0);
    EXPECT_EQ(againSolves, 2);
    for (std::size_t m = 0; m < 2; ++m) {
        SCOPED_TRACE(counted[m].name);
        const MethodReport& k = kept->report().methods[m];
        const MethodReport& a = again->report().methods[m];
        ASSERT_TRUE(k.refined && a.refined);
        EXPECT_EQ(k.refined->refined.x, a.refined->refined.x);
        EXPECT_EQ(k.refined->refined.tail, a.refined->refined.tail);
        EXPECT_EQ(k.refined->refined.status, a.refined->refined.status);
        EXPECT_EQ(k.refined->refined.steps, a.refined->refined.steps);
    }
    EXPECT_TRUE(cancelled->report().methods[0].refined);
    EXPECT_FALSE(cancelled->report().methods[1].refined);
}

} // namespace
