#include "TextFields.h"

#include "NumberText.h"
#include "SystemReader.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace lse::io {

namespace {

constexpr std::size_t kLongestShown = 40; // characters

// The code point of the UTF-8 character at the start of `text` and its length in bytes;
// nullopt for a byte that does not start one (another encoding, a cut or overlong sequence).
std::optional<std::pair<char32_t, std::size_t>> utf8At(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length)
        return std::nullopt;
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return std::pair(code, length);
}

// Characters a message cannot show: controls, blanks other than the space, and those that
// are not seen at all (zero-width spaces, direction marks, the byte order mark).
bool unseen(char32_t code) {
    return code < 0xA1 || code == 0xAD || (code >= 0x2000 && code <= 0x200F) ||
           (code >= 0x2028 && code <= 0x202F) || (code >= 0x205F && code <= 0x206F) ||
           code == 0x3000 || code == 0xFEFF;
}

} // namespace

std::string place(std::int64_t line, std::int64_t column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

std::string place(std::int64_t line) {
    return "line " + std::to_string(line) + ": ";
}

std::string describe(std::string_view field) {
    if (field.empty())
        return "an empty field";
    std::string shown = "'";
    std::size_t pos = 0;
    for (std::size_t characters = 0; pos < field.size() && characters < kLongestShown;
         ++characters) {
        const auto byte = static_cast<unsigned char>(field[pos]);
        if (byte >= 0x20 && byte < 0x7f) {
            shown += field[pos++];
            continue;
        }
        char escaped[16];
        const auto character = byte < 0x80 ? std::nullopt : utf8At(field.substr(pos));
        if (!character) {
            // Not text: only its value can be shown.
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            ++pos;
        } else if (unseen(character->first)) {
            std::snprintf(escaped, sizeof escaped, "<U+%04X>",
                          static_cast<unsigned>(character->first));
            pos += character->second;
        } else {
            shown.append(field.substr(pos, character->second));
            pos += character->second;
            continue;
        }
        shown += escaped;
    }
    shown += pos < field.size() ? "...'" : "'";
    return shown;
}

std::string semicolonsIn(std::string_view field) {
    if (field.find(';') == std::string_view::npos)
        return {};
    for (std::size_t start = 0; start <= field.size();) {
        const std::size_t end = std::min(field.find(';', start), field.size());
        if (!textToDouble(field.substr(start, end - start)))
            return {};
        start = end + 1;
    }
    return ": " + std::string(kSemicolonAdvice);
}

std::string notANumber(std::string_view field, std::int64_t line, std::int64_t column) {
    const std::optional<std::string> fault = numberFault(field);
    return place(line, column) + "expected a number, found " + describe(field) +
           (fault ? ": " + *fault : semicolonsIn(field));
}

std::string notADecimal(std::string_view field, std::int64_t line, std::int64_t column) {
    const std::optional<std::string> fault = decimalFault(field);
    return place(line, column) + "expected a number, found " + describe(field) +
           (fault ? ": " + *fault : std::string());
}

double numberAt(std::string_view field, std::int64_t line, std::int64_t column) {
    if (const std::optional<double> value = textToDouble(field))
        return *value;
    throw InputError(notANumber(field, line, column));
}

double decimalAt(std::string_view field, std::int64_t line, std::int64_t column) {
    if (const std::optional<double> value = decimalToDouble(field))
        return *value;
    throw InputError(notADecimal(field, line, column));
}

} // namespace lse::io
