#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lse {

// Number texts, the same everywhere in the program and independent of the locale.

// How many significant digits a number's text has.
enum class Digits {
    window,    // at most 15, as the window shows numbers
    roundTrip, // the fewest, at most 17, that read back as the same double
};

// General format with no trailing zeros: "4", "-101", "0.333333333333333", "1E-05",
// "1.23456789012346E+17" (with 17 round-trip digits: "0.30000000000000004",
// "1.2345678901234567E+17"); exponent form from the decimal exponent -5 down and from 15 (17)
// up. Negative zero is "0"; infinities and NaN are "Infinity", "-Infinity" and "NaN".
std::string doubleToText(double value, Digits digits = Digits::window);

// A figure about a number rather than the number: two significant digits in exponent form,
// correctly rounded, as printf's %.1e writes them ("1.2e+17", "3.4e-02"); zero is "0".
std::string figureText(double value);

// Plain decimal digits, with a leading minus sign when negative.
std::string intToText(long long value);

// Surrounding spaces and tabs, an optional sign, digits with an optional fraction and an
// optional exponent ("1e3", "-2.5E-3", ".5", "5."), within the range of a double.
// Everything else, including the empty text, is refused with nullopt.
std::optional<double> textToDouble(std::string_view text);

// True exactly when textToDouble accepts the text.
bool isNumeric(std::string_view text);

// A numeric text that is a whole number within -32768..32767; a fraction is refused, not
// rounded.
std::optional<std::int16_t> textToInt16(std::string_view text);

} // namespace lse
