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

// "line 4, column 17: " and "line 4: "; lines and columns count from 1, columns in bytes.
std::string place(long line, long column);
std::string place(long line);

// A field as a message shows it: quoted, with control and non-ASCII bytes escaped and a long
// field cut short, so that the message stays one readable line.
std::string describe(std::string_view field);

// A number through the program's one parser, or InputError naming where and what was found.
double numberAt(std::string_view field, long line, long column);

// The input's lines, one at a time, without their line ends.
class LineReader {
public:
    explicit LineReader(std::string_view data) : rest_(data) {}

    bool next(std::string_view& line);
    // The number of the line last returned.
    long number() const { return number_; }

private:
    std::string_view rest_;
    bool done_ = false;
    long number_ = 0;
};

struct Field {
    std::string_view text; // empty for an empty field between commas
    long column;
};

// Splits one line into fields. Spaces, tabs and carriage returns separate fields, and so does
// one comma with any blanks around it; two commas in a row, or one at either end of the line,
// leave an empty field, which no reader accepts. `comment` ends the line's data.
class FieldSplitter {
public:
    explicit FieldSplitter(std::string_view line, char comment = '#')
        : line_(line), comment_(comment) {}

    bool next(Field& field);
    // Whether the line holds any data at all.
    static bool isBlank(std::string_view line, char comment = '#');

private:
    void skipBlanks();
    bool atEnd() const { return pos_ == line_.size() || line_[pos_] == comment_; }

    std::string_view line_;
    char comment_;
    std::size_t pos_ = 0;
    bool fieldOwed_ = false; // a comma was passed, so a field must follow
};

// Throws numberAt's error for the first field of the lines left that is not a number, passing
// over line `skipLine` and the first `skipFields` fields. A reader calls it before refusing a
// wrong count: a field that is not a number comes earlier in the input than the place where
// the count runs out, and is the likelier mistake.
void refuseFirstNonNumber(LineReader lines, char comment, long skipLine = 0, long skipFields = 0);

} // namespace lse::io
