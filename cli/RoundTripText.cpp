#include "RoundTripText.h"

#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lse::cli {

namespace {

constexpr int kLongestDigits = 17;

} // namespace

std::string roundTripText(double value) {
    if (!std::isfinite(value) || value == 0)
        return doubleToText(value);

    // Without a precision, to_chars writes the shortest digits that round-trip.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value),
                                      std::chars_format::scientific);
    *result.ptr = '\0';
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t ePos = scientific.find('e');
    std::string digits(1, scientific[0]);
    if (ePos > 1)
        digits.append(scientific.substr(2, ePos - 2));
    const int exponent = std::atoi(buffer + ePos + 1);

    std::string text = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= kLongestDigits) {
        text += digits[0];
        if (digits.size() > 1)
            text += "." + digits.substr(1);
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        text += exponentText;
    } else if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits)
            text += digits + std::string(integerDigits - digits.size(), '0');
        else
            text += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
    }
    return text;
}

} // namespace lse::cli
