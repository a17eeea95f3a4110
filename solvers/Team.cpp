#include "Team.h"

#include <algorithm>
#include <system_error>

namespace lse {

Team::Team(int size) {
    // A thread the system refuses makes the team smaller, never the results different.
    try {
        for (int member = 1; member < size; ++member)
            helpers_.emplace_back([this, member] { serve(member); });
    } catch (const std::system_error&) {
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
        ++round_;
    }
    started_.notify_all();
    task(0);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return busy_ == 0; });
    task_ = nullptr;
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
        (*task)(member);
        {
            const std::lock_guard lock(mutex_);
            --busy_;
        }
        finished_.notify_one();
    }
}

} // namespace lse
