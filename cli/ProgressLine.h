#pragma once

#include <chrono>
#include <ostream>
#include <string_view>

namespace lse::cli {

// A line on a terminal that a long solve rewrites in place: the method, the elimination
// columns done and the time so far. It appears only once a method has run for a while, so
// that a quick solve leaves nothing behind, and is rewritten a few times a second at most.
class ProgressLine {
public:
    ProgressLine(std::ostream& terminal, bool enabled) : terminal_(terminal), enabled_(enabled) {}
    ~ProgressLine() { clear(); }

    // `title` names what runs; its start is reported with done = 0.
    void update(std::string_view title, int done, int total);
    // Shows `text` at once, until the next update or clear: for a step with no columns.
    void show(std::string_view text);
    // Removes the line, if it was shown.
    void clear();

private:
    using Clock = std::chrono::steady_clock;

    std::ostream& terminal_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_{};
    Clock::time_point lastShown_{};
};

} // namespace lse::cli
