#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lse {

// A number text split by the program's one grammar, which every reader of numbers takes (the
// doubles, the words, the exact values): surrounding spaces and tabs, then either a decimal (an
// optional sign, digits with an optional point and an optional exponent, at least one digit
// before or after the point) or a fraction p/q of whole numbers, each with an optional sign.
// The parts are views into the text given. A look-alike of the minus sign is for the caller to
// make '-' first (asciiMinus).
struct NumberForm {
    enum class Kind { decimal, fraction };
    Kind kind = Kind::decimal;
    bool negative = false; // a decimal's sign, a fraction's numerator's

    // A decimal: its digits before and after the point, and its exponent as written, held at
    // kExponentBound beyond it (no reader takes such an exponent: it is refused or 0 or
    // infinite, each reader says which).
    std::string_view integerDigits;
    std::string_view fractionDigits;
    long exponent = 0;
    // The digits before and after the point as one whole number, where they are at most
    // kMantissaDigits: the number's value is then mantissa 10^(exponent - fraction's digits).
    std::optional<std::uint64_t> mantissa;

    // A fraction: its numerator's and denominator's digits.
    std::string_view numerator;
    std::string_view denominator;
    bool denominatorNegative = false;

    static constexpr long kExponentBound = 1000000000;
    static constexpr int kMantissaDigits = 19;
};

namespace numberform {

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

inline bool takeSign(const char*& p, const char* end) {
    if (p < end && (*p == '+' || *p == '-'))
        return *p++ == '-';
    return false;
}

// The digits from p on, p moved past them, each taken into m (which wraps beyond 19 digits).
inline std::string_view digitsFrom(const char*& p, const char* end, std::uint64_t& m) {
    const char* const first = p;
    for (; p < end && isDigit(*p); ++p)
        m = m * 10 + static_cast<std::uint64_t>(*p - '0');
    return {first, static_cast<std::size_t>(p - first)};
}

// The denominator of a fraction whose numerator's digits were read, p at the '/'.
inline bool parseFraction(const char* p, const char* end, NumberForm& form) {
    form.kind = NumberForm::Kind::fraction;
    form.numerator = form.integerDigits;
    form.integerDigits = {};
    ++p;
    form.denominatorNegative = takeSign(p, end);
    std::uint64_t ignored = 0;
    form.denominator = digitsFrom(p, end, ignored);
    return !form.numerator.empty() && !form.denominator.empty() && p == end;
}

// Fills `form`, which starts as NumberForm{}; false where the grammar does not take the text.
// Every reading of a number comes through here: the scan keeps to locals and writes the form
// once.
inline bool parse(std::string_view text, NumberForm& form) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && isBlank(*p))
        ++p;
    while (end > p && isBlank(end[-1]))
        --end;
    form.negative = takeSign(p, end);
    std::uint64_t m = 0;
    form.integerDigits = digitsFrom(p, end, m);
    if (p < end && *p == '/')
        return parseFraction(p, end, form);
    std::string_view fraction;
    if (p < end && *p == '.') {
        ++p;
        fraction = digitsFrom(p, end, m);
    }
    const std::size_t digits = form.integerDigits.size() + fraction.size();
    if (digits == 0)
        return false;
    long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = takeSign(p, end);
        const char* const first = p;
        for (; p < end && isDigit(*p); ++p)
            exponent = std::min(exponent * 10 + (*p - '0'), NumberForm::kExponentBound);
        if (p == first)
            return false;
        if (negative)
            exponent = -exponent;
    }
    if (p != end)
        return false;
    form.fractionDigits = fraction;
    form.exponent = exponent;
    if (digits <= static_cast<std::size_t>(NumberForm::kMantissaDigits))
        form.mantissa = m;
    return true;
}

} // namespace numberform

// Whether the text begins as the grammar's numbers begin: a sign, a digit or the point, after
// any blanks; it may not go on as one ("3abc" is a mistyped number, "x1" is a word). As for
// parse, a look-alike of the minus sign is for the caller to make '-' first.
inline bool beginsLikeNumber(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && numberform::isBlank(*p))
        ++p;
    const char* const start = p;
    numberform::takeSign(p, end);
    return p != start || (p < end && (numberform::isDigit(*p) || *p == '.'));
}

// nullopt for a text the grammar does not take, the empty text among them. Inline, and the form
// made in place: the words' reading takes it for every number, and a form copied out of a call
// went through the stack in pieces, each read back whole (a stall a number).
inline std::optional<NumberForm> numberForm(std::string_view text) {
    std::optional<NumberForm> form(std::in_place);
    if (!numberform::parse(text, *form))
        form.reset();
    return form;
}

// A fraction's part (numberForm's numerator or denominator digits) as a double, which holds
// every whole number up to 2^53 exactly, so that p/q is correctly rounded by one division;
// nullopt for a longer part, which would need arithmetic beyond the doubles.
inline std::optional<double> fractionPart(std::string_view digits) {
    constexpr std::uint64_t kLargest = std::uint64_t{1} << 53;
    std::uint64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > kLargest)
            return std::nullopt;
    }
    return static_cast<double>(value);
}

} // namespace lse
