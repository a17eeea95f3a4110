#pragma once

// The rows layout: n lines of n + 1 numbers, b last, or n lines of n numbers, A alone; CSV
// with a header line among them.

#include "SystemReader.h"
#include "TextScanner.h"

#include <cstdint>
#include <optional>
#include <string>

namespace lse::io {

// The first line that holds data, after any header. Its fields are counted, and the scanner is
// taken back to its start, so that it can be read again once the layout is known.
struct FirstLine {
    std::int64_t line = 0; // 0 when the input holds no data
    std::int64_t fields = 0;
    std::string first;           // the first field's text
    std::int64_t headerLine = 0; // the line of a CSV header, 0 when there is none
};

FirstLine findFirstLine(TextScanner& in, bool headerAllowed);

// The rows from the first line on; the first data line tells the width. Nothing when
// plainTotal is given and the input holds exactly that many numbers, which no rows layout
// has: the caller reads it again as a plain system.
std::optional<LinearSystem> readRows(TextScanner& in, const FirstLine& first,
                                     const ReadOptions& options,
                                     std::optional<std::int64_t> plainTotal);

} // namespace lse::io
