// Number texts against the C library: for any bytes the parser, the numeric test, the 16-bit
// conversion and the entry's count agree with an independent grammar and strtod; any eight
// bytes taken as a double print like "%.15G" and read back as strtod reads that text; and the
// second conversion (strtod and snprintf, for WebAssembly) gives the same values and texts; a
// decimal's one scan for its words finds the same double.
#include "FakePlatform.h"
#include "FuzzCheck.h"
#include "Limits.h"
#include "Messages.h"
#include "NumberText.h"
#include "NumberTextPaths.h"
#include "WrittenNumber.h"
#include "frmCholesky.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

using lse::test::check;

namespace {

// Larger counts would make the entry allocate gigabytes; the memory-limit test covers them.
constexpr double kLargestCountDriven = 64;

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The text with the minus signs that word processors and web pages write as '-'.
std::string withAsciiMinus(const std::string& text) {
    static const std::regex signs("\u2212|\u2013|\uFE63|\uFF0D");
    return std::regex_replace(text, signs, "-");
}

// The accepted forms, written once more as a regular expression, with strtod for the value.
std::optional<double> expectedValue(const std::string& written) {
    const std::string text = withAsciiMinus(written);
    static const std::regex grammar(
        R"([ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?[ \t]*)");
    if (!std::regex_match(text, grammar))
        return std::nullopt;
    errno = 0;
    const double value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value))
        return std::nullopt; // beyond the range of a double; an underflow is still a number
    return value;
}

// A fraction p/q once more by a regular expression, with strtoll for its parts.
std::optional<double> expectedFraction(const std::string& written) {
    const std::string text = withAsciiMinus(written);
    static const std::regex grammar(R"([ \t]*([+-]?[0-9]+)/([+-]?[0-9]+)[ \t]*)");
    std::smatch parts;
    if (!std::regex_match(text, parts, grammar))
        return std::nullopt;
    constexpr long long kLargest = 1LL << 53;
    errno = 0;
    const long long p = std::strtoll(parts[1].str().c_str(), nullptr, 10);
    const long long q = std::strtoll(parts[2].str().c_str(), nullptr, 10);
    if (errno != 0 || q == 0 || std::llabs(p) > kLargest || std::llabs(q) > kLargest)
        return std::nullopt;
    // The parts are doubles, so a written -0 keeps its sign: -0/266 is -0, -0/-5 is 0.
    const double numerator = p == 0 && parts[1].str()[0] == '-' ? -0.0 : static_cast<double>(p);
    return numerator / static_cast<double>(q);
}

void checkParsing(const std::string& text) {
    const std::optional<double> decimalOrFraction = lse::textToDouble(text);
    const std::optional<double> fraction = expectedFraction(text);
    const std::optional<double> parsed = lse::decimalToDouble(text);
    check(decimalOrFraction.has_value() == (parsed || fraction) &&
              (!decimalOrFraction || sameBits(*decimalOrFraction, parsed ? *parsed : *fraction)),
          "a fraction is read otherwise than as one division", text);
    // The C library's conversion and fast_float's, which WebAssembly builds use, read the
    // same value.
    for (const auto other :
         {lse::numbertext::Conversion::cLibrary, lse::numbertext::Conversion::fastFloat}) {
        if (!lse::numbertext::available(other))
            continue;
        const std::optional<double> byOther = lse::numbertext::textToDouble(text, other);
        check(parsed.has_value() == byOther.has_value() && (!parsed || sameBits(*parsed, *byOther)),
              "another conversion reads another value", text);
    }
    check(lse::isNumeric(text) == decimalOrFraction.has_value(),
          "isNumeric disagrees with textToDouble", text);
    // The one scan that gives a decimal's words finds its double itself: the reader's.
    if (const std::optional<lse::Words> words = lse::decimalTextWords(text)) {
        const std::optional<lse::Words> read =
            decimalOrFraction ? lse::writtenWords(text, *decimalOrFraction) : std::nullopt;
        check(read && sameBits(words->hi, read->hi) && sameBits(words->lo, read->lo) &&
                  sameBits(words->lo2, read->lo2),
              "the scan's words are not the reader's", text);
    }
    const std::optional<double> expected = expectedValue(text);
    check(parsed.has_value() == expected.has_value(), "accepted differently from strtod", text);
    if (expected)
        check(sameBits(*parsed, *expected), "value differs from strtod", text);

    const bool whole = expected && std::trunc(*expected) == *expected;
    const bool in16 = whole && *expected >= -32768 && *expected <= 32767;
    const std::optional<std::int16_t> count = lse::textToInt16(text);
    check(count.has_value() == in16, "16-bit conversion accepts the wrong texts", text);
    if (count)
        check(*count == *expected, "16-bit conversion changed the value", text);
}

// Submit with the box unticked after the default system, cancelling the first prompt: an
// accepted count asks for A(1,1) (or, for 0, empties the system), a refused one only shows
// its message.
void checkEntryCount(const std::string& text) {
    const std::optional<double> expected = expectedValue(text);
    const bool accepted = expected && std::trunc(*expected) == *expected && *expected >= 0 &&
                          *expected <= lse::kMaxOrder;
    if (accepted && *expected > kLargestCountDriven)
        return;

    lse::test::FakePlatform platform;
    lse::frmCholesky form(platform);
    form.submit_but_Click();
    platform.chkDefault = 0;
    platform.texts[lse::TextBox::Textn] = text;
    form.submit_but_Click();

    if (!accepted) {
        // A number that is no count, fractions too, is told so; anything else is no number.
        const std::string& message = expected || expectedFraction(text)
                                         ? lse::messages::badCount.text
                                         : lse::messages::notANumber.text;
        check(platform.messages.size() == 1 && platform.messages[0].text == message,
              "refused count without its message", text);
        check(platform.prompts.empty() && form.n == 3, "refused count changed the system", text);
    } else if (*expected == 0) {
        check(platform.messages.empty() && platform.prompts.empty() && form.n == 0,
              "count 0 not taken", text);
    } else {
        check(platform.messages.empty() && platform.prompts.size() == 1 &&
                  platform.prompts[0] == "Enter A coefficient (1,1)" && form.n == 3,
              "accepted count not asked for, or cancel not honoured", text);
    }
}

void checkRoundTrip(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double))
        return;
    double d;
    std::memcpy(&d, data, sizeof d);
    if (!std::isfinite(d))
        return;
    const std::string text = lse::doubleToText(d);
    for (const lse::Digits digits : {lse::Digits::window, lse::Digits::roundTrip})
        for (const auto other :
             {lse::numbertext::Conversion::cLibrary, lse::numbertext::Conversion::fmt})
            check(!lse::numbertext::available(other) ||
                      lse::numbertext::doubleToText(d, digits, other) ==
                          lse::doubleToText(d, digits),
                  "another conversion writes another text", text);
    char c[64];
    std::snprintf(c, sizeof c, "%.15G", d);
    const std::string expectedText = d == 0 ? "0" : c; // negative zero is written "0"
    check(text == expectedText, "double text differs from %.15G", expectedText);

    const double rounded = d == 0 ? 0.0 : std::strtod(c, nullptr);
    const std::optional<double> back = lse::textToDouble(text);
    if (std::isinf(rounded)) // the 15-digit rounding of the largest doubles overflows
        check(!back, "an overflowing text was read", text);
    else
        check(back && sameBits(*back, rounded), "round trip differs from %.15G", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkParsing(text);
    checkEntryCount(text);
    checkRoundTrip(data, size);
    return 0;
}
