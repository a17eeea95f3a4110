#include "NumberText.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

using namespace lse;
using test::bits;

TEST(DoubleToText, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(doubleToText(4), "4");
    EXPECT_EQ(doubleToText(-101), "-101");
    EXPECT_EQ(doubleToText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(doubleToText(2.5), "2.5");
    EXPECT_EQ(doubleToText(2.999999999999995), "3");
    EXPECT_EQ(doubleToText(-5.999999999999999), "-6");
    EXPECT_EQ(doubleToText(1.0000000000000009), "1");
    EXPECT_EQ(doubleToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(doubleToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(doubleToText(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(doubleToText(-0.0625), "-0.0625");
}

TEST(DoubleToText, ExponentFormOutsideMinusFourToFourteen) {
    EXPECT_EQ(doubleToText(0.0001), "0.0001");
    EXPECT_EQ(doubleToText(0.00001), "1E-05");
    EXPECT_EQ(doubleToText(-0.000012345), "-1.2345E-05");
    EXPECT_EQ(doubleToText(1e15), "1E+15");
    EXPECT_EQ(doubleToText(999999999999999.0), "999999999999999");
    // Rounding to 15 digits carries into the next power of ten, and so into exponent form.
    EXPECT_EQ(doubleToText(999999999999999.9), "1E+15");
    EXPECT_EQ(doubleToText(0.000099999999999999999), "0.0001");
    EXPECT_EQ(doubleToText(123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(doubleToText(1e-300), "1E-300");
    EXPECT_EQ(doubleToText(std::numeric_limits<double>::max()), "1.79769313486232E+308");
    EXPECT_EQ(doubleToText(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
}

TEST(DoubleToText, ZerosInfinitiesAndNaN) {
    EXPECT_EQ(doubleToText(0.0), "0");
    EXPECT_EQ(doubleToText(-0.0), "0");
    EXPECT_EQ(doubleToText(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(doubleToText(-std::numeric_limits<double>::infinity()), "-Infinity");
    EXPECT_EQ(doubleToText(std::nan("")), "NaN");
}

TEST(TextToDouble, AcceptedForms) {
    EXPECT_EQ(textToDouble("4"), 4);
    EXPECT_EQ(textToDouble("  -2.5  "), -2.5);
    EXPECT_EQ(textToDouble("\t+7\t"), 7);
    EXPECT_EQ(textToDouble("1e3"), 1000);
    EXPECT_EQ(textToDouble("-2.5E-3"), -0.0025);
    EXPECT_EQ(textToDouble(".5"), 0.5);
    EXPECT_EQ(textToDouble("5."), 5);
    EXPECT_EQ(textToDouble("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(textToDouble("0.333333333333333"), 0.333333333333333);
    // Too small to tell from zero is still a number.
    EXPECT_EQ(textToDouble("1e-400"), 0.0);
    EXPECT_EQ(textToDouble("-0.00000000001e-399"), 0.0);
}

TEST(TextToDouble, RefusedForms) {
    for (const char* text :
         {"",     "   ",   "+",    "-",     ".",      "e3",       "1e",         "1e+",
          "3abc", "1,5",   "0x10", "inf",   "nan",    "Infinity", "1 2",        "--1",
          "+-1",  "1.2.3", "１",   "1e400", "-1e400", "1.8e308",  "100000e304", "1\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(textToDouble(text).has_value());
        EXPECT_FALSE(isNumeric(text));
    }
}

// A fraction is one correctly rounded division of two exact doubles; decimals alone are read
// as before, and Matrix Market's grammar (decimalToDouble) takes no fraction.
TEST(TextToDouble, FractionsAreOneDivisionOfExactParts) {
    const struct {
        const char* text;
        double value;
    } accepted[] = {
        {"1/3", 1.0 / 3},
        {"-22/7", -22.0 / 7},
        {"3/-4", -0.75},
        {" +5/10 ", 0.5},
        {"0/7", 0},
        // The parts are doubles: a written -0 keeps its sign through the division.
        {"-0/266", -0.0},
        {"-0/-5", 0.0},
        {"0/-5", -0.0},
        {"9007199254740992/3", 9007199254740992.0 / 3},
        {"1/9007199254740992", 0x1p-53},
    };
    for (const auto& c : accepted) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(textToDouble(c.text), c.value);
        EXPECT_EQ(std::signbit(textToDouble(c.text).value_or(1)), std::signbit(c.value));
        EXPECT_FALSE(decimalToDouble(c.text).has_value());
        EXPECT_FALSE(fractionFault(c.text).has_value());
    }
    const struct {
        const char* text;
        const char* fault; // nullptr: refused as not a fraction at all
    } refused[] = {
        {"1/0", "its denominator is 0"},
        {"-5/-0", "its denominator is 0"},
        {"9007199254740993/2",
         "a fraction's numerator and denominator may be at most 9007199254740992"},
        {"1/99999999999999999999",
         "a fraction's numerator and denominator may be at most 9007199254740992"},
        {"1/", nullptr},
        {"/2", nullptr},
        {"1/2/3", nullptr},
        {"1.5/2", nullptr},
        {"1/ 2", nullptr},
        {"1/2e3", nullptr},
        {"--1/2", nullptr},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(textToDouble(c.text).has_value());
        EXPECT_EQ(fractionFault(c.text),
                  c.fault ? std::optional<std::string>(c.fault) : std::nullopt);
    }
}

// Word processors and web pages put these in place of '-'; each reads as '-' wherever a sign
// stands, to the same bits. Other dashes stay refused.
TEST(TextToDouble, LookAlikeMinusSignsReadAsTheMinus) {
    const std::string forms[] = {"#2.5", " #0.1 ", "1e#5", "#0", "#1/3", "3/#4", "#5/#7"};
    for (const std::string sign : {"\u2212", "\u2013", "\uFE63", "\uFF0D"}) {
        for (std::string form : forms) {
            const std::string ascii = std::regex_replace(form, std::regex("#"), "-");
            const std::string written = std::regex_replace(form, std::regex("#"), sign);
            SCOPED_TRACE(written);
            ASSERT_TRUE(textToDouble(written));
            EXPECT_EQ(bits(*textToDouble(written)), bits(*textToDouble(ascii)));
            EXPECT_EQ(asciiMinus(written), ascii);
        }
        EXPECT_EQ(fractionFault("1/" + sign + "0"), "its denominator is 0");
        EXPECT_FALSE(textToDouble(sign + sign + "1"));
        EXPECT_FALSE(textToDouble("1" + sign + "2"));
    }
    for (const char* other : {"\u20102", "\u20142", "\u00AD2", "2\u00B75"}) {
        EXPECT_FALSE(textToDouble(other)) << other;
        EXPECT_FALSE(asciiMinus(other)) << other;
    }
    EXPECT_FALSE(asciiMinus("-2.5"));
}

TEST(TextToInt16, WholeNumbersInRangeOnly) {
    EXPECT_EQ(textToInt16("3"), 3);
    EXPECT_EQ(textToInt16(" 1e3 "), 1000);
    EXPECT_EQ(textToInt16("-32768"), -32768);
    EXPECT_EQ(textToInt16("32767"), 32767);
    EXPECT_EQ(textToInt16("32767.0"), 32767);
    EXPECT_EQ(textToInt16("-0"), 0);
    EXPECT_FALSE(textToInt16("2.5"));
    EXPECT_FALSE(textToInt16("0.5"));
    EXPECT_FALSE(textToInt16("32768"));
    EXPECT_FALSE(textToInt16("-32769"));
    EXPECT_FALSE(textToInt16("1e400"));
    EXPECT_FALSE(textToInt16("abc"));
    EXPECT_FALSE(textToInt16(""));
}

TEST(IntToText, Basics) {
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(32766), "32766");
    EXPECT_EQ(intToText(-12), "-12");
}

TEST(DoubleToText, RoundTripDigitsInTheWindowsLayout) {
    const std::vector<std::pair<double, std::string>> cases{
        {0.1, "0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {-2.5, "-2.5"},
        {-0.0, "0"},
        {1e-5, "1E-05"},
        {0.0001234, "0.0001234"},
        {1e16, "10000000000000000"},
        {1e17, "1E+17"},
        {123456789012345678.0, "1.2345678901234568E+17"},
        {5e-324, "5E-324"},
        {1.7976931348623157e308, "1.7976931348623157E+308"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(doubleToText(value, Digits::roundTrip), text);
}

TEST(DoubleToText, RoundTripDigitsReadBackAsTheSameBits) {
    std::mt19937_64 random(9);
    for (int k = 0; k < 100000; ++k) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        const std::string text = doubleToText(value, Digits::roundTrip);
        ASSERT_EQ(bits(textToDouble(text).value_or(NAN)), bits(value == 0 ? 0.0 : value)) << text;
    }
}
