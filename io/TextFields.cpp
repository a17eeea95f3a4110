#include "TextFields.h"

#include "NumberText.h"
#include "SystemReader.h"

#include <cstdio>

namespace lse::io {

namespace {

constexpr std::size_t kLongestShown = 40;

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

std::string notANumber(std::string_view field, std::int64_t line, std::int64_t column) {
    const std::optional<std::string> fault = fractionFault(field);
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
    throw InputError(place(line, column) + "expected a number, found " + describe(field));
}

} // namespace lse::io
