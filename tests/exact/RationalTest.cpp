#include "Rational.h"
#include "ExactSystems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

using namespace lse::exact;
using lse::test::kInf;
using lse::test::kMax;
using lse::test::kNaN;
using lse::test::kTiny;
using lse::test::RationalText;
using lse::test::setRational;

namespace {

struct NearestCase {
    const char* name;
    RationalText value;
    std::optional<double> nearest;
};

// Each tie is checked beside values a hair either side of it, which must not follow the tie.
const NearestCase kNearestCases[] = {
    {"one third", {"1/3"}, 1.0 / 3},
    {"tie above one goes down to even", {"9007199254740993", -53}, 1.0},
    {"a hair above the tie goes up", {"9007199254740993", -53, 1, -200}, 0x1.0000000000001p0},
    {"tie to the even neighbour above", {"9007199254740995", -53}, 0x1.0000000000002p0},
    {"negative tie mirrors", {"-9007199254740993", -53}, -1.0},
    {"tie below two goes up to two", {"18014398509481983", -53}, 2.0},
    {"a hair below that tie goes down", {"18014398509481983", -53, -1, -200}, 0x1.fffffffffffffp0},
    {"tie above two goes down to two", {"1", 1, 1, -52}, 2.0},
    {"half the smallest subnormal goes to zero", {"1", -1075}, 0.0},
    {"a hair above it is the smallest subnormal", {"1", -1075, 1, -1200}, kTiny},
    {"subnormal tie to even", {"3", -1075}, 2 * kTiny},
    {"tie below the smallest normal goes up", {"1", -1022, -1, -1075}, 0x1p-1022},
    {"largest double tie overflows", {"18014398509481983", 970}, std::nullopt},
    {"a hair below it is the largest double", {"18014398509481983", 970, -1, 900}, kMax},
    {"far beyond the doubles", {"1", 5000}, std::nullopt},
    {"far below the doubles", {"-1", -5000}, -0.0},
};

TEST(NearestDouble, RoundsOnceToNearestTiesToEven) {
    for (const NearestCase& c : kNearestCases) {
        Rational value;
        setRational(value.value, c.value);
        EXPECT_EQ(nearestDouble(value.value), c.nearest) << c.name;
    }
}

TEST(DoubleAbove, NeverUnderstates) {
    const struct {
        RationalText value;
        double above;
    } cases[] = {
        {{"1/3"}, std::nextafter(1.0 / 3, 1.0)}, // 1/3 as a double lies below 1/3
        {{"1", -1075}, kTiny},
        {{"18014398509481983", 970, -1, 900}, kInf},
        {{"-1", -5000}, -0.0},
        {{"1", 0}, 1.0},
    };
    for (const auto& c : cases) {
        Rational value;
        setRational(value.value, c.value);
        EXPECT_EQ(doubleAbove(value.value), c.above) << c.value.text << " " << c.value.twos;
    }
}

TEST(FractionText, ShortFractionsInLowestTermsAtMostTwentyDigits) {
    const struct {
        const char* value;
        std::optional<std::string> text;
    } cases[] = {
        {"6/2", "3"},
        {"-14/4", "-7/2"},
        {"0", "0"},
        {"12345678901/123456789", "12345678901/123456789"},
        {"12345678901/1234567891", std::nullopt},
        {"-12345678901234567890", "-12345678901234567890"},
        {"123456789012345678901", std::nullopt},
        {"3602879701896397/36028797018963968", std::nullopt},
    };
    for (const auto& c : cases) {
        Rational value;
        setRational(value.value, {c.value});
        EXPECT_EQ(fractionText(value.value), c.text) << c.value;
    }
}

TEST(DecimalText, SeventeenDigitsRoundedFromTheExactValue) {
    const std::string tenTo300 = "1" + std::string(300, '0');
    const struct {
        RationalText value;
        const char* text;
    } cases[] = {
        {{"3602879701896397/36028797018963968"}, "0.10000000000000001"},
        {{"1/3"}, "0.33333333333333333"},
        {{"-2/3"}, "-0.66666666666666667"},
        {{"100000000000000005/100000000000000000"}, "1.0000000000000000"},
        {{"100000000000000015/100000000000000000"}, "1.0000000000000002"},
        {{"100000000000000005/100000000000000000", 0, 1, -300}, "1.0000000000000001"},
        {{"199999999999999999/2"}, "1.0000000000000000E+17"},
        {{"12345678901234567"}, "12345678901234567"},
        {{"1/10000"}, "0.00010000000000000000"},
        {{"1/100000"}, "1.0000000000000000E-05"},
        {{tenTo300 + "/3"}, "3.3333333333333333E+299"},
        {{"1", -1075}, "2.4703282292062327E-324"},
    };
    for (const auto& c : cases) {
        Rational value;
        setRational(value.value, c.value);
        EXPECT_EQ(decimalText(value.value), c.text) << c.value.text;
    }
}

TEST(DoublesBetween, CountsAlongTheNumberLine) {
    const struct {
        double a, b;
        std::optional<std::uint64_t> count;
    } cases[] = {
        {1.0, 1.0, 0},
        {1.0, std::nextafter(1.0, 2.0), 1},
        {std::nextafter(2.0, 0.0), std::nextafter(2.0, 4.0), 2}, // across a power of two
        {2.999999999999995, 3.0, 11},
        {-kTiny, kTiny, 2},
        {-0.0, 0.0, 0},
        {kMax, kInf, 1},
        {-kMax, kMax, 0x7fefffffffffffffULL * 2},
        {kNaN, 1.0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(doublesBetween(c.a, c.b), c.count) << c.a << " " << c.b;
        EXPECT_EQ(doublesBetween(c.b, c.a), c.count) << c.b << " " << c.a;
    }
}

// Every 64-bit value whole, also where FLINT's slong is narrower (the page's WebAssembly):
// the halves either side of bit 32, their signs and the extremes.
TEST(SetInteger, HoldsEverySixtyFourBitValue) {
    constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"},
        {-1, "-1"},
        {0xffffffff, "4294967295"},
        {0x100000000, "4294967296"},
        {-0x100000001, "-4294967297"},
        {0x1fffffffffffff, "9007199254740991"},
        {-0x1ffffffffffffb, "-9007199254740987"},
        {kHighest, "9223372036854775807"},
        {kLowest, "-9223372036854775808"},
    };
    for (const auto& [value, text] : cases) {
        fmpz_t integer;
        fmpz_init(integer);
        setInteger(integer, value);
        char* digits = fmpz_get_str(nullptr, 10, integer);
        EXPECT_STREQ(digits, text);
        flint_free(digits);
        fmpz_clear(integer);
    }
}

TEST(SetExact, HoldsEveryDoubleExactly) {
    for (const double value : {0.1, -3.0, kTiny, -kMax, 0x1p-1022, 1e300, 0.0}) {
        Rational exact(value);
        EXPECT_EQ(nearestDouble(exact.value), value) << value;
        EXPECT_EQ(doubleAbove(exact.value), value) << value;
    }
}

// The written exponent alone is bounded: digits cost what their text does.
TEST(SetWritten, HoldsDecimalExponentsUpToAMillion) {
    const struct {
        std::string text;
        bool held;
    } cases[] = {
        {"1e-1000000", true},
        {"-2.5E+1000000", true},
        {"1e-1000001", false},
        {"1e1000001", false},
        {"0." + std::string(1500000, '0') + "1", true},
    };
    Rational value, expected;
    for (const auto& c : cases)
        EXPECT_EQ(setWritten(value.value, c.text), c.held) << c.text.substr(0, 20);
    ASSERT_TRUE(setWritten(value.value, "-2.5E+1000000"));
    fmpz_set_ui(fmpq_numref(expected.value), 10);
    fmpz_pow_ui(fmpq_numref(expected.value), fmpq_numref(expected.value), 999999);
    fmpz_mul_si(fmpq_numref(expected.value), fmpq_numref(expected.value), -25);
    EXPECT_TRUE(fmpq_equal(value.value, expected.value));
}

} // namespace
