#include "WrittenValues.h"

#include <algorithm>

namespace lse {

namespace {

// A double holds every whole number of 15 digits exactly.
constexpr std::ptrdiff_t kExactDigits = 15;

} // namespace

bool WrittenValues::mayDiffer(std::string_view text) {
    if (text.find_first_of("./eE") != std::string_view::npos)
        return true;
    return std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) >
           kExactDigits;
}

void WrittenValues::keep(int row, int column, std::string_view text) {
    kept_.push_back({row, column, texts_.size(), text.size()});
    texts_.append(text);
}

void WrittenValues::clear() {
    kept_.clear();
    texts_.clear();
    bIsRowSums = false;
    dropped = false;
}

} // namespace lse
