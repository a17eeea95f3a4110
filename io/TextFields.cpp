#include "TextFields.h"

#include "NumberText.h"

#include <cstdio>
#include <cstring>

namespace lse::io {

namespace {

constexpr std::size_t kLongestShown = 40;

bool isBlankByte(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

std::string place(long line, long column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

std::string place(long line) {
    return "line " + std::to_string(line) + ": ";
}

std::string describe(std::string_view field) {
    if (field.empty())
        return "an empty field";
    std::string shown = "'";
    for (const char c : field.substr(0, kLongestShown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    shown += field.size() > kLongestShown ? "...'" : "'";
    return shown;
}

double numberAt(std::string_view field, long line, long column) {
    if (const std::optional<double> value = textToDouble(field))
        return *value;
    throw InputError(place(line, column) + "expected a number, found " + describe(field));
}

void refuseFirstNonNumber(LineReader lines, char comment, long skipLine, long skipFields) {
    std::string_view line;
    while (lines.next(line)) {
        if (lines.number() == skipLine)
            continue;
        FieldSplitter fields(line, comment);
        Field field;
        while (fields.next(field))
            if (skipFields-- <= 0)
                numberAt(field.text, lines.number(), field.column);
    }
}

bool LineReader::next(std::string_view& line) {
    if (done_)
        return false;
    ++number_;
    // An empty view may have no data pointer at all, which memchr must not be given.
    const void* end = rest_.empty() ? nullptr : std::memchr(rest_.data(), '\n', rest_.size());
    if (end == nullptr) {
        // The last line; a final line end does not start another, empty, line.
        done_ = true;
        line = rest_;
        return !line.empty() || number_ == 1;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(end) - rest_.data());
    line = rest_.substr(0, length);
    rest_.remove_prefix(length + 1);
    return true;
}

void FieldSplitter::skipBlanks() {
    while (pos_ < line_.size() && isBlankByte(line_[pos_]))
        ++pos_;
}

bool FieldSplitter::next(Field& field) {
    skipBlanks();
    const auto column = static_cast<long>(pos_) + 1;
    if (atEnd()) {
        if (!fieldOwed_)
            return false;
        fieldOwed_ = false;
        field = {{}, column};
        return true;
    }
    if (line_[pos_] == ',') {
        ++pos_;
        fieldOwed_ = true;
        field = {{}, column};
        return true;
    }
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !isBlankByte(line_[pos_]) && line_[pos_] != ',' &&
           line_[pos_] != comment_)
        ++pos_;
    field = {line_.substr(start, pos_ - start), column};
    skipBlanks();
    fieldOwed_ = pos_ < line_.size() && line_[pos_] == ',';
    if (fieldOwed_)
        ++pos_;
    return true;
}

bool FieldSplitter::isBlank(std::string_view line, char comment) {
    for (const char c : line) {
        if (c == comment)
            return true;
        if (!isBlankByte(c))
            return false;
    }
    return true;
}

} // namespace lse::io
