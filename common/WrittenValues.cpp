#include "WrittenValues.h"

#include "NumberText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>

namespace lse {

namespace {

// A double holds every whole number of 15 digits exactly.
constexpr std::ptrdiff_t kExactDigits = 15;

} // namespace

bool WrittenValues::mayDiffer(std::string_view text) {
    return classify(text).mayDiffer;
}

WrittenValues::TextClass WrittenValues::classify(std::string_view text) {
    // Every number of a large system comes through here while it is read: a decimal's point
    // comes early, and bytes beyond ASCII are looked for a word at a time.
    TextClass kind{false, false};
    for (const char c : text)
        if (c == '.' || c == '/' || c == 'e' || c == 'E') {
            kind.mayDiffer = true;
            break;
        }
    if (!kind.mayDiffer)
        kind.mayDiffer = std::count_if(text.begin(), text.end(),
                                       [](char c) { return c >= '0' && c <= '9'; }) > kExactDigits;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0)
            return {kind.mayDiffer, true};
    }
    for (; i < text.size(); ++i)
        if ((text[i] & 0x80) != 0)
            return {kind.mayDiffer, true};
    return kind;
}

void WrittenValues::note(int row, int column, std::string_view text) {
    const TextClass kind = classify(text);
    if (!kind.mayDiffer)
        return;
    // The exact solve and Save System read a plain '-' alone. Apart, so that no string of the
    // rare case is alive here: in the page's WebAssembly each call that may throw while one
    // is alive would go out to JavaScript and back (see io/RowsReader.cpp's passRows).
    if (kind.beyondAscii)
        keepAsciiMinus(row, column, text);
    else
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
    words.reset();
}

} // namespace lse
