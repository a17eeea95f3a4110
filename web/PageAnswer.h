#pragma once

#include "Task.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace lse::web {

// What a command awaits of the page: `ask` starts it with the wait's number, the page answers
// when it can (a box closed, a Worker's event, the browser's turn) through the export
// resumeWait, and the command goes on from there. The page's thread is free meanwhile.
class PageAnswer {
public:
    explicit PageAnswer(std::function<void(int wait)> ask) : ask_(std::move(ask)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(coro::coroutine_handle<> awaiting);
    std::optional<std::string> await_resume() { return std::move(reply_); }

    // The page's answer to wait `wait`: its text, or none, and the command resumed.
    static void answer(int wait, std::optional<std::string> reply);

private:
    std::function<void(int wait)> ask_;
    coro::coroutine_handle<> awaiting_;
    std::optional<std::string> reply_;
};

// The browser's turn: whatever the page has to do (paint, a click, a timer) happens before the
// command goes on.
PageAnswer browserTurn();

} // namespace lse::web
