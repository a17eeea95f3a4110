#include "Team.h"

#include <algorithm>
#include <utility>

namespace lse {

Team::Team(int size) {
    // A thread the system refuses, or memory for its record, makes the team smaller, never
    // the results different; a joinable thread is never left to the vector's destructor.
    try {
        helpers_.reserve(static_cast<std::size_t>(std::max(size - 1, 0)));
        for (int member = 1; member < size; ++member)
            helpers_.emplace_back([this, member] { serve(member); });
    } catch (const std::exception&) {
    }
}

Team::~Team() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    started_.notify_all();
    for (std::thread& helper : helpers_)
        helper.join();
}

int Team::sizeFor(int threads) {
    if (threads > 0)
        return threads;
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

void Team::run(const std::function<void(int)>& task) {
    if (helpers_.empty()) {
        task(0);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        task_ = &task;
        busy_ = static_cast<int>(helpers_.size());
        helperFailure_ = nullptr;
        ++round_;
    }
    started_.notify_all();
    // The helpers use the task until they are done with it, so the caller's exception waits
    // for them.
    std::exception_ptr failure;
    try {
        task(0);
    } catch (...) {
        failure = std::current_exception();
    }
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return busy_ == 0; });
    task_ = nullptr;
    if (!failure)
        failure = std::exchange(helperFailure_, nullptr);
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
}

void Team::serve(int member) {
    unsigned long seen = 0;
    for (;;) {
        const std::function<void(int)>* task = nullptr;
        {
            std::unique_lock lock(mutex_);
            started_.wait(lock, [&] { return closing_ || round_ != seen; });
            if (closing_)
                return;
            seen = round_;
            task = task_;
        }
        std::exception_ptr failure;
        try {
            (*task)(member);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            if (failure && !helperFailure_)
                helperFailure_ = failure;
            --busy_;
        }
        finished_.notify_one();
    }
}

} // namespace lse
