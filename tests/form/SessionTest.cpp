// The Calculate every front end makes through the session: which run may use up A, and what
// a cancel leaves.
#include "Session.h"
#include "Systems.h"

#include <gtest/gtest.h>

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
        ASSERT_TRUE(session.calculate(
            named(c.methods), {A, b, 3, written}, x, c.keepA,
            [](const MethodEntry&, const RunMethod& run) { return !run({}).cancelled(); }));
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
    const bool finished = session.calculate(builtInMethods(), {A, b, 3, written}, x, KeepA::yes,
                                            [&](const MethodEntry& method, const RunMethod& run) {
                                                ran.emplace_back(method.name);
                                                return ran.size() < 2 && !run({}).cancelled();
                                            });
    EXPECT_FALSE(finished);
    EXPECT_EQ(ran, (std::vector<std::string>{"gauss", "cholesky"}));
    EXPECT_TRUE(session.report().empty());
}

} // namespace
