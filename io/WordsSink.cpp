#include "WordsSink.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace lse::io {

WordsSink::WordsSink(const Matrix& A, const Vector* b)
    : words_(std::make_shared<WrittenValues::HeldWords>()), stride_(A.stride()) {
    WrittenValues::HeldWords& words = *words_;
    const int spare = static_cast<int>(A.stride()) - A.colsUpper() - 1;
    words.aLo.recreate(A.rowsUpper(), A.colsUpper(), spare);
    words.aLo2.recreate(A.rowsUpper(), A.colsUpper(), spare);
    const std::size_t size = static_cast<std::size_t>(A.rowsUpper() + 1) * A.stride();
    a_ = {reinterpret_cast<std::uintptr_t>(A.row(0)), size, words.aLo.row(0), words.aLo2.row(0)};
    if (b != nullptr) {
        words.bLo.recreate(b->upper());
        words.bLo2.recreate(b->upper());
        b_ = {reinterpret_cast<std::uintptr_t>(b->data()), static_cast<std::size_t>(b->upper() + 1),
              words.bLo.data(), words.bLo2.data()};
    }
}

WordsSink::Place WordsSink::placeOf(const double* destination) const {
    const auto address = reinterpret_cast<std::uintptr_t>(destination);
    const bool inB = address - a_.begin >= a_.size * sizeof(double);
    const Region& region = inB ? b_ : a_;
    return {&region, (address - region.begin) / sizeof(double), inB};
}

void WordsSink::put(const Place& place, const Words& words) {
    // Fresh pages stay untouched for a whole number's zero words.
    if (words.lo != 0)
        place.region->lo[place.offset] = words.lo;
    if (words.lo2 != 0)
        place.region->lo2[place.offset] = words.lo2;
}

bool WordsSink::read(std::string_view text, double* destination) {
    const std::optional<Words> words = decimalTextWords(text);
    if (!words)
        return false;
    *destination = words->hi;
    put(placeOf(destination), *words);
    return true;
}

void WordsSink::take(std::string_view text, double value, const double* destination) {
    const Place place = placeOf(destination);
    if (const std::optional<Words> words = writtenWords(text, value)) {
        put(place, *words);
        return;
    }
    const std::lock_guard lock(mutex_);
    unheld_.push_back({place.inB, place.offset, std::string(text)});
}

void WordsSink::finish(WrittenValues& written, int n, int bColumn) {
    WrittenValues::HeldWords& words = *words_;
    if (!words.bLo.exists()) {
        // b comes from A's last column, or later on its own (its texts noted then).
        words.bLo.recreate(n);
        words.bLo2.recreate(n);
    }
    if (bColumn != 0) {
        for (int i = 1; i <= n; ++i) {
            words.bLo(i) = std::exchange(words.aLo(i, bColumn), 0);
            words.bLo2(i) = std::exchange(words.aLo2(i, bColumn), 0);
        }
    }
    words.aLo.shrink(n, n);
    words.aLo2.shrink(n, n);
    // Threads found them in any order; the readers note in input order.
    std::sort(unheld_.begin(), unheld_.end(), [](const Unheld& x, const Unheld& y) {
        return std::tie(x.inB, x.offset) < std::tie(y.inB, y.offset);
    });
    for (const Unheld& u : unheld_) {
        const int row = static_cast<int>(u.inB ? u.offset : u.offset / stride_);
        const int column = u.inB ? n + 1 : static_cast<int>(u.offset % stride_);
        written.note(row, column, u.text); // A's column bColumn is b's, n + 1
    }
    unheld_.clear();
    written.words = std::move(words_);
}

} // namespace lse::io
