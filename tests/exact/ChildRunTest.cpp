#include "ChildRun.h"
#include "ExactSolution.h"
#include "Sanitizers.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

using namespace lse;
using namespace lse::exact;
using namespace lse::test;

namespace {

struct System {
    Matrix A;
    Vector b;
    int n = 0;
};

System defaultSystem() {
    return {makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}}), makeVector({14, -101, 155}), 3};
}

// Large but quick to write: the identity of order 1000 takes some 8 MB in each of the few
// forms the solve holds it in.
System identity(int n) {
    System s{Matrix(), Vector(), n};
    s.A.recreate(n, n);
    s.b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        s.A(i, i) = 1;
        s.b(i) = i;
    }
    return s;
}

// Entries whose exponents spread over 400 bits in each row: minutes of lifting, far longer
// than any cancel takes to arrive.
System slow() {
    const int n = 300;
    System s{Matrix(), Vector(), n};
    s.A.recreate(n, n);
    s.b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            s.A(i, j) = std::ldexp(1 + ((i * 7919 + j * 104729) % 1000003) / 1000003.0,
                                   -((i * 31 + j * 17) % 400));
        s.b(i) = 1;
    }
    return s;
}

ChildOptions options(std::uint64_t addressSpace = 0, const std::atomic<bool>* cancel = nullptr) {
    return {LINEQ_EXACT_PROGRAM, addressSpace, cancel};
}

TEST(ExactChild, AnswersAsTheSolveInThisProcess) {
    const System s = defaultSystem();
    const std::vector<Vector> methods{makeVector({2.999999999999995, -6, 1}),
                                      makeVector({3, -6, 1})};
    const ChildResult result = runExactChild(options(), s.A, s.b, s.n, {}, methods);
    ASSERT_EQ(result.outcome, ChildOutcome::finished) << result.message;
    EXPECT_EQ(result.report, solveAndJudge(s.A, s.b, s.n, methods));
    EXPECT_EQ(result.report.errors.at(0).ulps.at(0), 11u);
}

TEST(ExactChild, SaysWhatWentWrong) {
    const System s = defaultSystem();
    const struct {
        const char* name;
        ChildOptions options;
        const char* message;
    } cases[] = {
        {"no such program", {"/nonexistent/lineq-exact"}, "cannot start /nonexistent/lineq-exact"},
        {"a program that answers nothing", {"/bin/true"}, "lineq-exact answered nonsense"},
    };
    for (const auto& c : cases) {
        const ChildResult result = runExactChild(c.options, s.A, s.b, s.n, {}, {});
        EXPECT_EQ(result.outcome, ChildOutcome::failed) << c.name;
        EXPECT_TRUE(result.message.starts_with(c.message)) << c.name << ": " << result.message;
    }
}

TEST(ExactChild, RunsOutOfMemoryUnderAnAddressSpaceLimit) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "the sanitizer's shadow memory cannot live under a limit";
    const System s = identity(1000);
    const ChildResult result =
        runExactChild(options(std::uint64_t{32} << 20), s.A, s.b, s.n, {}, {});
    EXPECT_EQ(result.outcome, ChildOutcome::outOfMemory) << result.message;
    EXPECT_EQ(result.message, "lineq-exact: out of memory\n");
}

TEST(ExactChild, SolvesTheSameSystemWithoutTheLimit) {
    const System s = identity(1000);
    const ChildResult result = runExactChild(options(), s.A, s.b, s.n, {}, {});
    ASSERT_EQ(result.outcome, ChildOutcome::finished) << result.message;
    EXPECT_EQ(result.report.asWritten.components.at(999).text, "1000");
}

TEST(ExactChild, CancelStopsIt) {
    const System s = slow();
    const struct {
        const char* name;
        std::chrono::milliseconds delay;
    } cases[] = {{"cancelled before it starts", std::chrono::milliseconds(-1)},
                 {"cancelled while it solves", std::chrono::milliseconds(300)}};
    for (const auto& c : cases) {
        std::atomic<bool> cancel = c.delay.count() < 0;
        std::chrono::steady_clock::time_point cancelledAt = std::chrono::steady_clock::now();
        std::thread canceller([&] {
            if (c.delay.count() < 0)
                return;
            std::this_thread::sleep_for(c.delay);
            cancelledAt = std::chrono::steady_clock::now();
            cancel = true;
        });
        const ChildResult result = runExactChild(options(0, &cancel), s.A, s.b, s.n, {}, {});
        canceller.join();
        EXPECT_EQ(result.outcome, ChildOutcome::cancelled) << c.name << ": " << result.message;
        // Reported, not asserted: a loaded machine may take longer.
        const auto took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - cancelledAt);
        RecordProperty(c.name, std::to_string(took.count()) + " s");
        std::printf("%s: ended %.3f s after the cancel\n", c.name, took.count());
    }
}

} // namespace
