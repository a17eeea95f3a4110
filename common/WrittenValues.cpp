#include "WrittenValues.h"

#include "NumberText.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

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
    // The exact solve and Save System read a plain '-' alone. Apart, so that no string of the
    // rare case is alive here: in the page's WebAssembly each call that may throw while one
    // is alive would go out to JavaScript and back (see io/RowsReader.cpp's passRows).
    if (std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) {
        keepAsciiMinus(row, column, text);
        return;
    }
    store(row, column, text);
}

void WrittenValues::keepAsciiMinus(int row, int column, std::string_view text) {
    const std::optional<std::string> ascii = asciiMinus(text);
    store(row, column, ascii ? std::string_view(*ascii) : text);
}

void WrittenValues::store(int row, int column, std::string_view text) {
    kept_.push_back({row, column, texts_.size(), text.size()});
    texts_.append(text);
}

void WrittenValues::assign(std::vector<Record> records, std::string texts) {
    for (const Record& r : records)
        if (r.offset > texts.size() || r.length > texts.size() - r.offset)
            throw std::invalid_argument("a number kept as written reaches beyond the texts");
    kept_ = std::move(records);
    texts_ = std::move(texts);
}

void WrittenValues::clear() {
    kept_.clear();
    texts_.clear();
    bIsRowSums = false;
    dropped = false;
    summedEntries = {};
}

} // namespace lse
