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

// A number as a person writes one: surrounding spaces and tabs, then a decimal (an optional
// sign, digits with an optional fraction and an optional exponent: "1e3", "-2.5E-3", ".5",
// "5.") within the range of a double, or a fraction p/q ("1/3", "-22/7", "3/-4") of whole
// numbers, each with an optional sign, of magnitude at most 2^53, q not 0. The value is the
// double nearest to what was written: a fraction's is one division of two exact doubles.
// Everything else, including the empty text, is refused with nullopt. A minus sign may also be
// written as word processors and web pages write it (asciiMinus).
std::optional<double> textToDouble(std::string_view text);

// The same for decimals alone, as Matrix Market and the counts of a layout write them.
std::optional<double> decimalToDouble(std::string_view text);

// Why a text written as a fraction is refused, for a message ("its denominator is 0");
// nullopt for a text that is not written as a fraction, or is one that textToDouble accepts.
std::optional<std::string> fractionFault(std::string_view text);

// Why a text written as a decimal is refused, for a message: its magnitude is beyond the
// largest double, which no double holds ("1e400"; "1e-400" is accepted, as 0). nullopt for a
// text not written as a decimal, or one that decimalToDouble accepts.
std::optional<std::string> decimalFault(std::string_view text);

// Why textToDouble refuses a text written as a number: decimalFault's or fractionFault's
// reason; nullopt for a text not written as a number, or one that it accepts.
std::optional<std::string> numberFault(std::string_view text);

// The text with each look-alike of '-' that word processors and web pages put in its place
// (U+2212 minus sign, U+2013 en dash, U+FE63 small and U+FF0D fullwidth hyphen-minus) written
// as '-'; nullopt when it holds none, as an ASCII text never does. Other dashes are left: a
// hyphen or an em dash between numbers is more often a range or a gap than a sign.
std::optional<std::string> asciiMinus(std::string_view text);

// True exactly when textToDouble accepts the text.
bool isNumeric(std::string_view text);

// A numeric text that is a whole number within -32768..32767; a fraction is refused, not
// rounded.
std::optional<std::int16_t> textToInt16(std::string_view text);

} // namespace lse
