#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace lse::io {

// Why an input was refused: one line, without the file's name, which the caller knows.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A reading stopped because its caller asked it to (ReadOptions::cancel): no fault of the
// input, and nothing to report as one.
class ReadCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "the reading was cancelled"; }
};

// "line 4, column 17: " and "line 4: "; lines and columns count from 1, columns in bytes.
std::string place(long line, long column);
std::string place(long line);

// A field as a message shows it: quoted, with control and non-ASCII bytes escaped and a long
// field cut short, so that the message stays one readable line.
std::string describe(std::string_view field);

// A number through the program's one parser, or InputError naming where and what was found.
double numberAt(std::string_view field, long line, long column);

// A field of a line and where it starts; the text is empty for an empty field between commas.
struct Field {
    std::string_view text;
    long column;
};

} // namespace lse::io
