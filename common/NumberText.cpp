#include "NumberText.h"
#include "NumberForm.h"
#include "NumberTextPaths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <locale.h>
#include <string>
#include <string_view>
#include <system_error>

#if __has_include(<fast_float/fast_float.h>)
#include <fast_float/fast_float.h>
#define LINEQ_HAS_FAST_FLOAT 1
#endif
#if __has_include(<fmt/format.h>)
// Header only: nothing to link, natively or in WebAssembly.
#define FMT_HEADER_ONLY
#include <fmt/format.h>
#define LINEQ_HAS_FMT 1
#endif

namespace lse {

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kRoundTripDigits = 17;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// For a decimal whose value is not zero: whether its magnitude is below 1. Used only when the
// value is outside the range of a double, to tell an underflow from an overflow.
[[maybe_unused]] bool isBelowOne(const NumberForm& form) {
    // The decimal exponent of the leading nonzero digit, then the written one, held at its bound:
    // only the sign of the total matters.
    long leading = 0;
    if (const std::size_t first = form.integerDigits.find_first_not_of('0');
        first != std::string_view::npos)
        leading = static_cast<long>(form.integerDigits.size() - first) - 1;
    else
        leading = -static_cast<long>(form.fractionDigits.find_first_not_of('0')) - 1;
    return leading + form.exponent < 0;
}

// Sets the C locale for the calling thread while it lives, so that strtod and snprintf read
// and write '.' whatever locale the program runs in.
class CLocale {
public:
    CLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        if (c != static_cast<locale_t>(nullptr))
            previous_ = uselocale(c);
    }
    ~CLocale() {
        if (previous_ != static_cast<locale_t>(nullptr))
            uselocale(previous_);
    }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;

private:
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

// |value| (finite, not zero) in scientific form "d.ddde+x", correctly rounded to 15
// significant digits, or with the fewest digits that read back as the same double.
std::string scientificByCharconv([[maybe_unused]] double magnitude,
                                 [[maybe_unused]] Digits digits) {
#if defined(__cpp_lib_to_chars)
    char buffer[40];
    const auto result = digits == Digits::window
                            ? std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                            std::chars_format::scientific, kSignificantDigits - 1)
                            : std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                            std::chars_format::scientific);
    return std::string(buffer, result.ptr);
#else
    return {};
#endif
}

std::string printScientific(double magnitude, int significantDigits) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*e", significantDigits - 1, magnitude);
    return buffer;
}

// The significand's digits one unit higher in the last place: "1.99e+5" gives "2.00e+5",
// "9.9e+5" gives "1.0e+6".
std::string nextUp(const std::string& scientific) {
    const std::size_t ePos = scientific.find('e');
    std::string result = scientific;
    std::size_t pos = ePos;
    while (pos-- > 0) {
        if (result[pos] == '.')
            continue;
        if (result[pos] != '9') {
            ++result[pos];
            return result;
        }
        result[pos] = '0';
    }
    // Every digit carried: 9.99e+x becomes 1.00e+(x+1).
    result[0] = '1';
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%+03d", std::atoi(result.c_str() + ePos + 1) + 1);
    return result.substr(0, ePos) + exponent;
}

// The fewest digits that read back, the nearest of them, by {fmt}'s Dragonbox (its shortest
// is to_chars's), laid out in scientific form as to_chars writes it. Its decimal rather than its
// text: {fmt}'s writer, with its locale, took 200 KB more of the page's reading module.
std::string scientificByFmt([[maybe_unused]] double magnitude) {
#if defined(LINEQ_HAS_FMT)
    const auto decimal = fmt::detail::dragonbox::to_decimal(magnitude);
    const std::string digits = std::to_string(decimal.significand);
    std::string scientific(1, digits[0]);
    if (digits.size() > 1)
        scientific.append(".").append(digits, 1);
    return scientific + "e" +
           std::to_string(decimal.exponent + static_cast<int>(digits.size()) - 1);
#else
    return {};
#endif
}

std::string scientificByCLibrary(double magnitude, Digits digits) {
    const CLocale cLocale;
    if (digits == Digits::window)
        return printScientific(magnitude, kSignificantDigits);
    // The nearest text of p digits is the one to take as soon as one of p digits reads back.
    // Only just above a power of two, where the doubles below lie twice as close as those
    // above, can the nearest fall short while the next one up reads back.
    int exponent2 = 0;
    const bool powerOfTwo = std::frexp(magnitude, &exponent2) == 0.5;
    for (int p = 1; p < kRoundTripDigits; ++p) {
        const std::string nearest = printScientific(magnitude, p);
        const double back = std::strtod(nearest.c_str(), nullptr);
        if (back == magnitude)
            return nearest;
        if (powerOfTwo && back < magnitude) {
            const std::string above = nextUp(nearest);
            if (std::strtod(above.c_str(), nullptr) == magnitude)
                return above;
        }
    }
    return printScientific(magnitude, kRoundTripDigits);
}

struct Parsed {
    const char* stop;
    std::errc error;
};

// from_chars in general form by the C++ library or by fast_float; conversion is one of the
// two and available. fast_float gives a value beyond the largest double as infinity and one
// below the smallest as zero, without an error.
Parsed fromChars([[maybe_unused]] numbertext::Conversion conversion,
                 [[maybe_unused]] const char* first, [[maybe_unused]] const char* last,
                 [[maybe_unused]] double& value) {
#if defined(LINEQ_HAS_FAST_FLOAT)
    if (conversion == numbertext::Conversion::fastFloat) {
        const auto [stop, error] = fast_float::from_chars(first, last, value);
        return {stop, error};
    }
#endif
#if defined(__cpp_lib_to_chars)
    const auto [stop, error] = std::from_chars(first, last, value, std::chars_format::general);
    return {stop, error};
#else
    return {first, std::errc::invalid_argument};
#endif
}

// The value of the unsigned text of a decimal `form`; nullopt when it is too large for a
// double, 0 when too small to tell from zero.
std::optional<double> magnitudeByFromChars(numbertext::Conversion conversion, std::string_view text,
                                           const NumberForm& form) {
    double magnitude = 0;
    const auto [end, error] =
        fromChars(conversion, text.data(), text.data() + text.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        // Too small to tell from zero is still a number (it underflows to zero); too large
        // for a double is not.
        if (!isBelowOne(form))
            return std::nullopt;
        magnitude = 0;
    } else if (error != std::errc() || end != text.data() + text.size() ||
               !std::isfinite(magnitude)) {
        return std::nullopt;
    }
    return magnitude;
}

std::optional<double> magnitudeByCLibrary(std::string_view text) {
    const CLocale cLocale;
    const std::string terminated(text);
    char* end = nullptr;
    // strtod rounds correctly, to infinity beyond the largest double and to zero below the
    // smallest; the grammar was checked already, so nothing else can come back.
    const double magnitude = std::strtod(terminated.c_str(), &end);
    if (end != terminated.c_str() + terminated.size())
        return std::nullopt;
    return magnitude;
}

} // namespace

namespace numbertext {

bool available([[maybe_unused]] Conversion conversion) {
    switch (conversion) {
    case Conversion::charconv:
#if defined(__cpp_lib_to_chars)
        return true;
#else
        return false;
#endif
    case Conversion::fastFloat:
#if defined(LINEQ_HAS_FAST_FLOAT)
        return true;
#else
        return false;
#endif
    case Conversion::fmt:
#if defined(LINEQ_HAS_FMT)
        return true;
#else
        return false;
#endif
    case Conversion::cLibrary:
        break;
    }
    return true;
}

std::string doubleToText(double value, Digits digits, Conversion conversion) {
    if (!available(conversion))
        conversion = Conversion::cLibrary;
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0)
        return "0";

    // Scientific form rounds once, to 15 significant digits (14 decimals) or to the fewest
    // that round-trip, and tells the decimal exponent after rounding; the digits are then laid
    // out in fixed or exponent form.
    const std::string scientific = conversion == Conversion::charconv
                                       ? scientificByCharconv(std::fabs(value), digits)
                                   : conversion == Conversion::fmt && digits == Digits::roundTrip
                                       ? scientificByFmt(std::fabs(value))
                                       : scientificByCLibrary(std::fabs(value), digits);
    const std::size_t ePos = scientific.find('e');
    std::string significand(1, scientific[0]);
    if (ePos > 1)
        significand.append(scientific.substr(2, ePos - 2));
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    while (significand.size() > 1 && significand.back() == '0')
        significand.pop_back();
    const int widest = digits == Digits::window ? kSignificantDigits : kRoundTripDigits;
    std::string text = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= widest) {
        text += significand[0];
        if (significand.size() > 1)
            text += "." + significand.substr(1);
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        text += exponentText;
    } else if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + significand;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (significand.size() <= integerDigits) {
            text += significand + std::string(integerDigits - significand.size(), '0');
        } else {
            text += significand.substr(0, integerDigits) + "." + significand.substr(integerDigits);
        }
    }
    return text;
}

std::optional<double> textToDouble(std::string_view text, Conversion conversion) {
    if (!available(conversion))
        conversion = Conversion::cLibrary;
    if (conversion == Conversion::fmt)
        conversion = Conversion::cLibrary; // it only writes
    const bool byFromChars = conversion != Conversion::cLibrary;
    // The common case first, in one pass: from_chars reads exactly the form accepted here once
    // the sign is taken off and the text starts with a digit or a point (no "inf", "nan" or
    // second sign), so a text it reads whole into a finite value is accepted as it is. Blanks,
    // ranges and mistakes go the long way below, which decides alone.
    if (byFromChars && !text.empty()) {
        const bool negative = text.front() == '-';
        const std::size_t start = negative || text.front() == '+' ? 1 : 0;
        if (start < text.size() && (isDigit(text[start]) || text[start] == '.')) {
            double magnitude = 0;
            const char* const end = text.data() + text.size();
            const auto [stop, error] = fromChars(conversion, text.data() + start, end, magnitude);
            if (error == std::errc() && stop == end && std::isfinite(magnitude))
                return negative ? -magnitude : magnitude;
        }
    }
    const std::optional<std::string> ascii = asciiMinus(text);
    text = trimBlanks(ascii ? std::string_view(*ascii) : text);
    const std::optional<NumberForm> form = numberForm(text);
    if (!form || form->kind != NumberForm::Kind::decimal)
        return std::nullopt;
    const bool negative = form->negative;
    if (text.front() == '+' || text.front() == '-')
        text.remove_prefix(1);
    const std::optional<double> magnitude =
        byFromChars ? magnitudeByFromChars(conversion, text, *form) : magnitudeByCLibrary(text);
    if (!magnitude || !std::isfinite(*magnitude))
        return std::nullopt;
    return negative ? -*magnitude : *magnitude;
}

} // namespace numbertext

std::string doubleToText(double value, Digits digits) {
    return numbertext::doubleToText(value, digits, numbertext::kNativeConversion);
}

std::string figureText(double value) {
    if (value == 0)
        return "0"; // an exact zero, not a rounded one
#if defined(__cpp_lib_to_chars)
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 1);
    return std::string(buffer, result.ptr);
#else
    const CLocale cLocale;
    return printScientific(value, 2);
#endif
}

std::string intToText(long long value) {
    return std::to_string(value);
}

namespace {

// p/q by one division of its parts.
std::optional<double> fractionToDouble(const NumberForm& form, std::string* fault) {
    const std::optional<double> p = fractionPart(form.numerator);
    const std::optional<double> q = fractionPart(form.denominator);
    if (!p || !q) {
        if (fault != nullptr)
            *fault = "a fraction's numerator and denominator may be at most 9007199254740992";
        return std::nullopt;
    }
    if (*q == 0) {
        if (fault != nullptr)
            *fault = "its denominator is 0";
        return std::nullopt;
    }
    // Each part a double with its own sign, so that -0/5 is -0.
    return (form.negative ? -*p : *p) / (form.denominatorNegative ? -*q : *q);
}

} // namespace

std::optional<double> decimalToDouble(std::string_view text) {
    return numbertext::textToDouble(text, numbertext::kReadingConversion);
}

std::optional<double> textToDouble(std::string_view text) {
    if (const std::optional<double> decimal = decimalToDouble(text))
        return decimal;
    const std::optional<std::string> ascii = asciiMinus(text);
    const std::optional<NumberForm> form = numberForm(ascii ? std::string_view(*ascii) : text);
    if (!form || form->kind != NumberForm::Kind::fraction)
        return std::nullopt;
    return fractionToDouble(*form, nullptr);
}

std::optional<std::string> fractionFault(std::string_view text) {
    const std::optional<std::string> ascii = asciiMinus(text);
    const std::optional<NumberForm> form = numberForm(ascii ? std::string_view(*ascii) : text);
    std::string fault;
    if (!form || form->kind != NumberForm::Kind::fraction || fractionToDouble(*form, &fault) ||
        fault.empty())
        return std::nullopt;
    return fault;
}

std::optional<std::string> decimalFault(std::string_view text) {
    const std::optional<std::string> ascii = asciiMinus(text);
    const std::optional<NumberForm> form = numberForm(ascii ? std::string_view(*ascii) : text);
    // Written as a decimal and still refused: only an overflow is, an underflow reads as 0.
    if (!form || form->kind != NumberForm::Kind::decimal || decimalToDouble(text))
        return std::nullopt;
    return "its magnitude is beyond the largest double (1.7976931348623157e308), so it cannot be "
           "held";
}

std::optional<std::string> numberFault(std::string_view text) {
    if (std::optional<std::string> fault = decimalFault(text))
        return fault;
    return fractionFault(text);
}

std::optional<std::string> asciiMinus(std::string_view text) {
    // Each in UTF-8; no other character's bytes contain one of them.
    static constexpr std::string_view kMinusSigns[] = {"\u2212", "\u2013", "\uFE63", "\uFF0D"};
    if (std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; }))
        return std::nullopt;
    std::string ascii;
    bool replaced = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto sign =
            std::find_if(std::begin(kMinusSigns), std::end(kMinusSigns),
                         [&](std::string_view s) { return text.substr(pos).starts_with(s); });
        if (sign == std::end(kMinusSigns)) {
            ascii += text[pos++];
            continue;
        }
        ascii += '-';
        pos += sign->size();
        replaced = true;
    }
    if (!replaced)
        return std::nullopt;
    return ascii;
}

bool isNumeric(std::string_view text) {
    return textToDouble(text).has_value();
}

std::optional<std::int16_t> textToInt16(std::string_view text) {
    const std::optional<double> value = decimalToDouble(text);
    if (!value || std::trunc(*value) != *value)
        return std::nullopt;
    if (*value < std::numeric_limits<std::int16_t>::min() ||
        *value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

} // namespace lse
