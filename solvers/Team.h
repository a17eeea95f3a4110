#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lse {

// A few threads that run one task at a time together: run() hands the task to every member,
// the calling thread being member 0, and returns when all have finished it. The members
// decide among themselves who does what, so the results never depend on how many there are.
class Team {
public:
    // Up to `size` members: a thread that cannot be started makes the team smaller.
    explicit Team(int size);
    ~Team();
    Team(const Team&) = delete;
    Team& operator=(const Team&) = delete;

    int size() const { return static_cast<int>(helpers_.size()) + 1; }
    // Returns only when every member has finished the task, whatever happened; then rethrows
    // the calling thread's exception, or else the first a helper threw.
    void run(const std::function<void(int member)>& task);

    // The number of members for a request of `threads` (0: one per processor).
    static int sizeFor(int threads);

private:
    void serve(int member);

    std::vector<std::thread> helpers_;
    std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable finished_;
    const std::function<void(int)>* task_ = nullptr;
    unsigned long round_ = 0;
    int busy_ = 0;
    bool closing_ = false;
    std::exception_ptr helperFailure_;
};

} // namespace lse
