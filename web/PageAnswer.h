#pragma once

#include "Task.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace lse::web {

// A string the page handed over, allocated with malloc; null where it gave none.
using PageString = std::unique_ptr<char, decltype(&std::free)>;

// What a command awaits of the page: `ask` starts it with the wait's number, the page answers
// when it can (a box closed, a Worker's event, the browser's turn) through the export
// resumeWait, and the command goes on from there. The page's thread is free meanwhile.
class PageAnswer {
public:
    explicit PageAnswer(std::function<void(int wait)> ask) : ask_(std::move(ask)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(coro::coroutine_handle<> awaiting);
    PageString await_resume() { return std::move(reply_); }

    // The page's answer to wait `wait`: its text (malloc'd, or null), and the command resumed.
    static void answer(int wait, char* reply);

private:
    std::function<void(int wait)> ask_;
    coro::coroutine_handle<> awaiting_;
    PageString reply_{nullptr, &std::free};
};

// The browser's turn: whatever the page has to do (paint, a click, a timer) happens before the
// command goes on.
PageAnswer browserTurn();

} // namespace lse::web
