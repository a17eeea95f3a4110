// Commands that wait: what the page does, with its answers given later rather than at once.
#include "FakePlatform.h"
#include "FormSession.h"
#include "Task.h"
#include "frmCholesky.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace lse;
using namespace lse::test;

namespace {

// An answer the test gives when it chooses, as the page gives a box's reply.
class Later {
public:
    auto wait() {
        struct Awaiter {
            Later& later;
            bool await_ready() const noexcept { return false; }
            void await_suspend(coro::coroutine_handle<> awaiting) { later.awaiting_ = awaiting; }
            std::optional<std::string> await_resume() { return std::move(later.reply_); }
        };
        return Awaiter{*this};
    }
    bool waiting() const { return static_cast<bool>(awaiting_); }
    void answer(std::optional<std::string> reply) {
        reply_ = std::move(reply);
        std::exchange(awaiting_, {}).resume();
    }

private:
    coro::coroutine_handle<> awaiting_;
    std::optional<std::string> reply_;
};

// Its input boxes answered later, one at a time, and its long work begun after the browser's
// turn, which the test gives.
class PagePlatform : public FakePlatform {
public:
    Later reply;
    Later turn;
    Task<std::optional<std::string>> inputBox(std::string prompt) override {
        prompts.push_back(std::move(prompt));
        co_return co_await reply.wait();
    }
    Task<> runLong(LongWork work, WorkStatus& status) override {
        co_await turn.wait();
        co_await FakePlatform::runLong(std::move(work), status);
    }
};

Task<int> at(int value) {
    co_return value;
}

Task<int> sumOfAtOnce(int count) {
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += co_await at(1);
    co_return sum;
}

Task<int> failing() {
    throw std::runtime_error("inner");
    co_return 0;
}

Task<int> passesOn() {
    co_return co_await failing() + 1;
}

} // namespace

// Tasks that end at once cost the awaiter no suspension: a loop of them neither waits nor
// grows the stack (a million nested resumptions would overflow it), and an exception reaches
// the outermost awaiter.
TEST(Task, EndedAtOnceTheAwaiterGoesOnAndExceptionsPassThrough) {
    EXPECT_EQ(runAtOnce(sumOfAtOnce(1000000)), 1000000);
    EXPECT_THROW(runAtOnce(passesOn()), std::runtime_error);
}

// An entry waits for each reply with nothing held: the command has not ended, and neither a
// Calculate nor a second Submit starts meanwhile; each answer takes it on, and the last one
// ends it with the system entered.
TEST(WaitingCommand, AnEntryGoesOnWithEachAnswerAndNothingElseStartsMeanwhile) {
    PagePlatform platform;
    frmCholesky form(platform);
    platform.chkDefault = 0;
    platform.texts[TextBox::Textn] = "1";
    const CommandRun entry = form.submit_but_Click();
    bool told = false;
    CommandRun(entry).whenEnded([&] { told = true; });
    ASSERT_TRUE(platform.reply.waiting());
    EXPECT_FALSE(entry.ended());

    form.Start_Click();
    form.submit_but_Click();
    EXPECT_EQ(platform.prompts.size(), 1u);
    EXPECT_TRUE(platform.longRuns.empty());

    platform.reply.answer("4");
    EXPECT_EQ(platform.prompts.size(), 2u);
    EXPECT_FALSE(entry.ended());
    platform.reply.answer("8");
    EXPECT_TRUE(entry.ended());
    EXPECT_TRUE(told);
    EXPECT_EQ(form.n, 1);
    EXPECT_EQ(platform.text(TextBox::display), "   4\r\n");

    const CommandRun calculate = form.Start_Click();
    platform.turn.answer(std::nullopt); // each method's
    platform.turn.answer(std::nullopt);
    EXPECT_TRUE(calculate.ended());
    EXPECT_EQ(platform.text(TextBox::txtGauss), "x1 =   2\r\n");
}

// A Calculate whose methods each wait for the browser's turn goes on from each turn where it
// was, its state kept across the waits, and takes no entry meanwhile.
TEST(WaitingCommand, ACalculateGoesOnAfterEachTurnWithItsStateKept) {
    PagePlatform platform;
    frmCholesky form(platform);
    form.submit_but_Click(); // the default system
    const int echoes = platform.writes[TextBox::display];
    const CommandRun calculate = form.Start_Click();
    ASSERT_TRUE(platform.turn.waiting());
    form.submit_but_Click();
    EXPECT_EQ(platform.writes[TextBox::display], echoes);

    platform.turn.answer(std::nullopt);
    EXPECT_EQ(platform.text(TextBox::txtGauss), kDefaultSolution);
    ASSERT_TRUE(platform.turn.waiting());
    EXPECT_FALSE(calculate.ended());
    platform.turn.answer(std::nullopt);
    EXPECT_TRUE(calculate.ended());
    EXPECT_EQ(platform.text(TextBox::txtCholesky), platform.text(TextBox::txtGauss));
    EXPECT_EQ(platform.longRuns,
              (std::vector<std::string>{"Gauss Elimination", "Cholesky Decomposition"}));
    EXPECT_EQ(form.report().methods.size(), 2u);
}
