#pragma once

// Commands that wait without blocking: the form's commands are coroutines, and what they wait
// for (a box, a view, long work, a Worker's answer) is a Task of the platform's. The desktop
// and lineq-solve answer at once; the page answers when the browser does, resuming the command
// from its own event, so that nothing holds the page's one thread while a user reads a box.

#if __has_include(<coroutine>)
#include <coroutine>
#else
// The page's C++ library (Emscripten 3.1.6's libc++ 13) has them only as experimental; its
// compiler (Clang 14) takes either, warning at every coroutine that it will not for long.
#include <experimental/coroutine>
#pragma clang diagnostic ignored "-Wdeprecated-experimental-coroutine"
#endif
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace lse {

namespace coro {
#if __has_include(<coroutine>)
using std::coroutine_handle;
using std::suspend_always;
using std::suspend_never;
#else
using std::experimental::coroutine_handle;
using std::experimental::suspend_always;
using std::experimental::suspend_never;
#endif
} // namespace coro

namespace task_detail {

// Whether the awaiting coroutine or the task got to the meeting point first: the task's end
// resumes its awaiter only when the awaiter already went to sleep, so that a task that ends
// at once costs no resumption, and a loop over such tasks no stack.
struct Rendezvous {
    coro::coroutine_handle<> awaiting;
    bool otherArrived = false;

    bool arrive() { return std::exchange(otherArrived, true); }
};

template <class Promise> struct FinalAwaiter {
    bool await_ready() noexcept { return false; }
    void await_suspend(coro::coroutine_handle<Promise> done) noexcept {
        Rendezvous& meeting = done.promise().meeting;
        if (meeting.arrive())
            meeting.awaiting.resume();
    }
    void await_resume() noexcept {}
};

template <class T> struct Result {
    std::optional<T> value;
    void return_value(T v) { value.emplace(std::move(v)); }
    T take() { return std::move(*value); }
};

template <> struct Result<void> {
    void return_void() {}
    void take() {}
};

} // namespace task_detail

// A piece of a command that may wait: started when awaited, and ended, with its value or its
// exception, before the awaiting coroutine goes on. One awaiter, once.
template <class T = void> class [[nodiscard]] Task {
public:
    struct promise_type : task_detail::Result<T> {
        task_detail::Rendezvous meeting;
        std::exception_ptr failure;

        Task get_return_object() {
            return Task(coro::coroutine_handle<promise_type>::from_promise(*this));
        }
        coro::suspend_always initial_suspend() noexcept { return {}; }
        task_detail::FinalAwaiter<promise_type> final_suspend() noexcept { return {}; }
        void unhandled_exception() { failure = std::current_exception(); }
    };

    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~Task() {
        if (handle_)
            handle_.destroy();
    }

    bool await_ready() const noexcept { return false; }
    bool await_suspend(coro::coroutine_handle<> awaiting) {
        handle_.promise().meeting.awaiting = awaiting;
        handle_.resume();
        // False: it ended while it ran, and the awaiting coroutine goes on at once.
        return !handle_.promise().meeting.arrive();
    }
    T await_resume() {
        if (handle_.promise().failure)
            std::rethrow_exception(handle_.promise().failure);
        return handle_.promise().take();
    }

private:
    explicit Task(coro::coroutine_handle<promise_type> handle) : handle_(handle) {}
    coro::coroutine_handle<promise_type> handle_;
};

// A command as the window starts it: it runs at once, as far as it goes without waiting, and
// goes on by itself as its waits end. Whoever started it may ask whether it has ended, or be
// told when it does. An exception that escapes a command is a fault of the program's: it
// ends the program, as one from a button's handler does.
class CommandRun {
public:
    struct State {
        bool ended = false;
        std::function<void()> then;
    };
    struct promise_type {
        std::shared_ptr<State> state = std::make_shared<State>();

        CommandRun get_return_object() { return CommandRun(state); }
        coro::suspend_never initial_suspend() noexcept { return {}; }
        coro::suspend_never final_suspend() noexcept { return {}; }
        void return_void() {
            state->ended = true;
            if (state->then)
                state->then();
        }
        void unhandled_exception() noexcept { std::terminate(); }
    };

    bool ended() const { return state_->ended; }
    // Calls `then` when the command ends, at once when it has.
    void whenEnded(std::function<void()> then) {
        if (state_->ended)
            then();
        else
            state_->then = std::move(then);
    }

private:
    explicit CommandRun(std::shared_ptr<State> state) : state_(std::move(state)) {}
    std::shared_ptr<State> state_;
};

namespace task_detail {

template <class T>
CommandRun runInto(Task<T>& task, std::optional<T>& value, std::exception_ptr& failure) {
    try {
        value.emplace(co_await task);
    } catch (...) {
        failure = std::current_exception();
    }
}

inline CommandRun runInto(Task<void>& task, std::exception_ptr& failure) {
    try {
        co_await task;
    } catch (...) {
        failure = std::current_exception();
    }
}

} // namespace task_detail

// The task's value where nothing it awaits waits: on a platform that answers at once
// (the desktop's thread of long work, lineq-solve). Its exception reaches the caller; a task
// that waits there is a fault of the program's, which ends it, since nothing would resume it.
template <class T> T runAtOnce(Task<T> task) {
    std::exception_ptr failure;
    if constexpr (std::is_void_v<T>) {
        if (!task_detail::runInto(task, failure).ended())
            std::terminate();
        if (failure)
            std::rethrow_exception(failure);
    } else {
        std::optional<T> value;
        if (!task_detail::runInto(task, value, failure).ended())
            std::terminate();
        if (failure)
            std::rethrow_exception(failure);
        return std::move(*value);
    }
}

} // namespace lse
