#include "Team.h"
#include "MemoryLimit.h"
#include "Sanitizers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>

using namespace lse;
using namespace lse::test;

namespace {

enum class Thrower { caller, helper, everyone };

} // namespace

// Whoever throws, run() returns only after every member has finished, and the exception
// reaches the caller; the team then serves the next task with all its members.
TEST(Team, AnExceptionReachesTheCallerAfterEveryMemberHasStopped) {
    struct Case {
        const char* name;
        Thrower thrower;
        const char* expected;
    };
    for (const Case& c : {Case{"caller", Thrower::caller, "member 0"},
                          Case{"a helper", Thrower::helper, "member 2"},
                          Case{"everyone", Thrower::everyone, "member 0"}}) {
        SCOPED_TRACE(c.name);
        Team team(3);
        ASSERT_EQ(team.size(), 3);
        std::atomic<int> stopped{0};
        std::atomic<int> thrown{0};
        const int throwers = c.thrower == Thrower::everyone ? 3 : 1;
        try {
            team.run([&](int member) {
                const bool throws = c.thrower == Thrower::everyone ||
                                    (c.thrower == Thrower::caller && member == 0) ||
                                    (c.thrower == Thrower::helper && member == 2);
                // Those that do not throw are still at work when the others throw, however
                // the threads are scheduled, and stay at it a while longer, so that a run()
                // that returned on the exception would find them unfinished.
                if (!throws) {
                    while (thrown.load() < throwers)
                        std::this_thread::yield();
                    std::this_thread::sleep_for(std::chrono::milliseconds(30));
                }
                ++stopped;
                if (throws) {
                    ++thrown;
                    throw std::runtime_error("member " + std::to_string(member));
                }
            });
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(stopped.load(), 3) << "run() returned while members were still at work";
            EXPECT_STREQ(error.what(), c.expected);
        }

        std::atomic<int> members{0};
        team.run([&](int) { ++members; });
        EXPECT_EQ(members.load(), 3);
    }
}

namespace {

// Runs in the death test's child, whose address space leaves no room for a thread's stack;
// exits 0 when every expectation holds.
[[noreturn]] void startTeamsWithoutRoomForThreads() {
    limitAddressSpace(addressSpaceInUse() + (2LL << 20));
    // Thread stacks cannot be had, nor room for a billion threads' records.
    Team few(4);
    Team many(1 << 30);
    std::atomic<int> members{0};
    few.run([&](int) { ++members; });
    many.run([&](int) { ++members; });
    std::cerr << "sizes " << few.size() << " " << many.size() << ", members " << members << "\n";
    std::exit(members == few.size() + many.size() && few.size() < 4 && many.size() < 4 ? 0 : 1);
}

} // namespace

TEST(Team, ThreadsThatCannotStartMakeTheTeamSmaller) {
    if (kAddressSanitizer || kThreadSanitizer)
        GTEST_SKIP() << "the sanitizers reserve terabytes of address space";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(startTeamsWithoutRoomForThreads(), ::testing::ExitedWithCode(0), "members");
}
