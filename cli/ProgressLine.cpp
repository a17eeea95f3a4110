#include "ProgressLine.h"

#include <string>

namespace lse::cli {

namespace {

constexpr auto kQuietTime = std::chrono::milliseconds(500);
constexpr auto kInterval = std::chrono::milliseconds(100);
// Back to the line's start, then erase it.
constexpr std::string_view kEraseLine = "\r\033[K";

} // namespace

void ProgressLine::update(std::string_view title, int done, int total) {
    if (!enabled_)
        return;
    const Clock::time_point now = Clock::now();
    if (done == 0) {
        start_ = now;
        return;
    }
    const auto elapsed = now - start_;
    if (elapsed < kQuietTime || (now - lastShown_ < kInterval && done != total))
        return;
    lastShown_ = now;
    shown_ = true;
    const auto tenths =
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() / 100;
    terminal_ << kEraseLine << title << ": " << done << " of " << total << " columns, "
              << tenths / 10 << "." << tenths % 10 << " s" << std::flush;
}

void ProgressLine::show(std::string_view text) {
    if (!enabled_)
        return;
    shown_ = true;
    terminal_ << kEraseLine << text << std::flush;
}

void ProgressLine::clear() {
    if (shown_)
        terminal_ << kEraseLine << std::flush;
    shown_ = false;
}

} // namespace lse::cli
