#pragma once

// Fields of a text and the places that messages name; for the readers only.

#include <cstdint>
#include <string>
#include <string_view>

namespace lse::io {

// "line 4, column 17: " and "line 4: "; lines and columns count from 1, columns in bytes.
std::string place(std::int64_t line, std::int64_t column);
std::string place(std::int64_t line);

// A field as a message shows it: quoted, with control and non-ASCII bytes escaped and a long
// field cut short, so that the message stays one readable line.
std::string describe(std::string_view field);

// A number through the program's one parser, or InputError naming where and what was found.
double numberAt(std::string_view field, std::int64_t line, std::int64_t column);

// A field of a line and where it starts; the text is empty for an empty field between commas.
struct Field {
    std::string_view text;
    std::int64_t column;
};

} // namespace lse::io
