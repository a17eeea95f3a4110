#pragma once

// Fields of a text and the places that messages name; for the readers only.

#include <cstdint>
#include <string>
#include <string_view>

namespace lse::io {

// "line 4, column 17: " and "line 4: "; lines and columns count from 1, columns in bytes.
std::string place(std::int64_t line, std::int64_t column);
std::string place(std::int64_t line);

// A field as a message shows it: quoted, a long field cut short, so that the message stays one
// readable line. A UTF-8 character is shown as itself ('2·5'), one that cannot be seen by
// its code point ('2<U+00A0>5'), a control byte or one that is not UTF-8 escaped ('\x01').
std::string describe(std::string_view field);

// "line 2, column 5: expected a number, found '1/0': its denominator is 0"; a field in which
// semicolons join numbers is told that they separate none.
std::string notANumber(std::string_view field, std::int64_t line, std::int64_t column);
// The same for a decimal alone: "... found '1e400': its magnitude is beyond the largest double
// ...".
std::string notADecimal(std::string_view field, std::int64_t line, std::int64_t column);

// No reader takes a semicolon for a separator, though a spreadsheet may put one between
// numbers: what a field or a line with one is told, so that the advice leads to a text read.
inline constexpr std::string_view kSemicolonAdvice =
    "separate the numbers by spaces or tabs, not semicolons";
// ": " and kSemicolonAdvice for a field of numbers joined by semicolons ("4;1;1.5"), else "".
std::string semicolonsIn(std::string_view field);

// A number through the program's one parser, or InputError naming where and what was found
// (and why, for a fraction refused).
double numberAt(std::string_view field, std::int64_t line, std::int64_t column);
// The same for a decimal alone (Matrix Market's numbers).
double decimalAt(std::string_view field, std::int64_t line, std::int64_t column);

// A field of a line and where it starts; the text is empty for an empty field between commas.
struct Field {
    std::string_view text;
    std::int64_t column;
};

} // namespace lse::io
