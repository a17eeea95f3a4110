// The C library's conversions, fast_float's and {fmt}'s, which builds without floating-point
// to_chars and from_chars use (WebAssembly), must give the texts and values of the C++
// library's, bit for bit.
#include "NumberTextPaths.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace lse;
using numbertext::Conversion;

namespace {

std::optional<std::uint64_t> bitsOf(const std::optional<double>& value) {
    if (!value)
        return std::nullopt;
    return std::bit_cast<std::uint64_t>(*value);
}

// Returns the number of values that differ; the first few are reported.
int compareTexts(const std::vector<double>& values) {
    int differences = 0;
    for (const double value : values) {
        for (const Digits digits : {Digits::window, Digits::roundTrip}) {
            const std::string expected =
                numbertext::doubleToText(value, digits, Conversion::charconv);
            // The C library's, and {fmt}'s where this build has it (the page's writing).
            for (const Conversion other : {Conversion::cLibrary, Conversion::fmt}) {
                if (!numbertext::available(other))
                    continue;
                const std::string actual = numbertext::doubleToText(value, digits, other);
                if (expected != actual && ++differences <= 5)
                    ADD_FAILURE() << std::hexfloat << value << ": " << expected << " vs " << actual
                                  << " by conversion " << static_cast<int>(other);
            }
        }
    }
    return differences;
}

// The C library's reading, and fast_float's where this build has it (the page's reading).
int compareValues(const std::vector<std::string>& texts) {
    int differences = 0;
    for (const Conversion other : {Conversion::cLibrary, Conversion::fastFloat}) {
        if (!numbertext::available(other))
            continue;
        for (const std::string& text : texts) {
            const auto expected = numbertext::textToDouble(text, Conversion::charconv);
            const auto actual = numbertext::textToDouble(text, other);
            if (bitsOf(expected) != bitsOf(actual) && ++differences <= 5)
                ADD_FAILURE() << '"' << text << "\" by conversion " << static_cast<int>(other);
        }
    }
    return differences;
}

std::vector<std::string> corpusFiles() {
    std::vector<std::string> contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(LINEQ_FUZZ_CORPUS_DIR)) {
        if (!entry.is_regular_file())
            continue;
        contents.push_back(test::fileContents(entry.path().string()));
    }
    return contents;
}

class NumberTextPaths : public testing::Test {
protected:
    void SetUp() override {
        if (!numbertext::available(Conversion::charconv))
            GTEST_SKIP() << "this C++ library has no floating-point to_chars";
    }
};

} // namespace

TEST_F(NumberTextPaths, SameTextsForEveryKindOfDouble) {
    std::vector<double> values = {std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  std::nan(""),
                                  -0.0,
                                  0.1 + 0.2,
                                  999999999999999.9,
                                  0.000099999999999999999,
                                  1.0 / 3};
    // Every power of two with its neighbours: the doubles below one lie closer than those
    // above, where the shortest text can be other than the nearest.
    for (int exponent = -1074; exponent <= 1023; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        values.insert(values.end(),
                      {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)});
    }
    // Every power of ten and its neighbours, where rounding carries into another exponent.
    for (int exponent = -323; exponent <= 308; ++exponent) {
        const double power = std::strtod(("1e" + std::to_string(exponent)).c_str(), nullptr);
        values.insert(values.end(),
                      {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL), -power});
    }
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 200000; ++i)
        values.push_back(std::bit_cast<double>(random()));
    std::uniform_real_distribution<double> moderate(-1e6, 1e6);
    for (int i = 0; i < 50000; ++i)
        values.push_back(moderate(random));
    EXPECT_EQ(compareTexts(values), 0) << "of " << values.size() << " values";
}

TEST_F(NumberTextPaths, SameValuesForEveryKindOfText) {
    std::vector<std::string> texts = {"4",
                                      " -2.5 ",
                                      "\t+7\t",
                                      "1e3",
                                      ".5",
                                      "5.",
                                      "1e400",
                                      "1e-400",
                                      "2e-324",
                                      "3e-324",
                                      "2.4703282292062328e-324",
                                      "2.4703282292062327e-324",
                                      "1.7976931348623157e308",
                                      "1.7976931348623158e308",
                                      "1.7976931348623159e308",
                                      "0.00000000001e-399",
                                      "100000e304",
                                      "3abc",
                                      "1,5",
                                      "0x10",
                                      "inf",
                                      "nan",
                                      "",
                                      "1e99999999999999999999",
                                      "1e-99999999999999999999",
                                      "\u22122.5e\u2212400",
                                      "\uFF0D1.7976931348623159e308"};
    std::mt19937_64 random(1207);
    std::uniform_int_distribution<int> digitCount(1, 40);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-420, 420);
    for (int i = 0; i < 100000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const int digits = digitCount(random);
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point)
                text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        text += "e" + std::to_string(exponent(random));
        texts.push_back(text);
    }
    // The round trip of the window's and lineq-solve's own texts.
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        texts.push_back(numbertext::doubleToText(value, Digits::window, Conversion::charconv));
        texts.push_back(numbertext::doubleToText(value, Digits::roundTrip, Conversion::charconv));
    }
    EXPECT_EQ(compareValues(texts), 0) << "of " << texts.size() << " texts";
}

// Every input the fuzzers keep, read as a text and, where it has eight bytes, as doubles.
TEST_F(NumberTextPaths, SameResultsOnTheFuzzCorpus) {
    const std::vector<std::string> corpus = corpusFiles();
    ASSERT_GT(corpus.size(), 100U);
    std::vector<double> values;
    for (const std::string& input : corpus)
        for (std::size_t at = 0; at + sizeof(double) <= input.size(); at += sizeof(double)) {
            double value;
            std::memcpy(&value, input.data() + at, sizeof value);
            values.push_back(value);
        }
    EXPECT_EQ(compareValues(corpus), 0);
    EXPECT_EQ(compareTexts(values), 0);
}
