#include "WrittenPairs.h"

#include "NumberText.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace lse {

namespace {

constexpr std::uint64_t kExactWhole = std::uint64_t{1} << 53;
// A mantissa of 19 digits fits in 64 bits, so that 17-digit decimals (what most programs write)
// take the 128-bit route below rather than the exact one.
constexpr std::uint64_t kLargestMantissa = ~std::uint64_t{0} / 10 - 1;
// The powers of ten a double holds exactly.
constexpr int kExactPowers = 22;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool takeSign(std::string_view& text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        const bool negative = text.front() == '-';
        text.remove_prefix(1);
        return negative;
    }
    return false;
}

// A whole number of digits alone, at most 2^53.
std::optional<double> whole(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > kExactWhole)
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > kExactWhole)
        return std::nullopt;
    return static_cast<double>(value);
}

// 10^k for k <= kExactPowers, each exact.
constexpr std::array<double, kExactPowers + 1> kPowersOfTen = [] {
    std::array<double, kExactPowers + 1> powers{};
    powers[0] = 1;
    for (int k = 1; k <= kExactPowers; ++k)
        powers[k] = powers[k - 1] * 10;
    return powers;
}();

double powerOfTen(int k) {
    return kPowersOfTen[static_cast<std::size_t>(k)];
}

// 2^t for -1022 <= t <= 1023, exactly.
double powerOfTwo(int t) {
    const std::uint64_t bits = static_cast<std::uint64_t>(t + 1023) << 52;
    double power;
    std::memcpy(&power, &bits, sizeof power); // std::bit_cast, which the page's library lacks
    return power;
}

// p / q as a pair: hi the correctly rounded quotient, whose remainder p - hi q is a double
// (formed exactly from Dekker's product and Sterbenz's subtraction), and lo that remainder
// divided by q.
dd::Pair quotient(double p, double q) {
    const double hi = p / q;
    const dd::Pair product = dd::twoProduct(hi, q);
    const double remainder = (p - product.hi) - product.lo;
    return {hi, remainder / q};
}

// 5^k for k <= kExactPowers, each within 52 bits.
constexpr std::array<std::uint64_t, kExactPowers + 1> kPowersOfFive = [] {
    std::array<std::uint64_t, kExactPowers + 1> powers{};
    powers[0] = 1;
    for (int k = 1; k <= kExactPowers; ++k)
        powers[k] = powers[k - 1] * 5;
    return powers;
}();

// m / 10^k for a mantissa beyond 2^53 (k <= 22), given hi, its correctly rounded double (as
// the reader rounds the text): with hi = H 2^e and 10^k = 5^k 2^k the remainder m / 10^k - hi
// is N 2^t / 10^k, t = e + k, for the whole number N = m 2^-t - H 5^k (t < 0). Since the
// remainder is at most half an ulp of hi, |N| <= 5^k / 2 < 2^52: a double, so that lo, N 2^t
// divided by 10^k, is rounded once. Every product stays within 128 bits: m 2^-t is about
// H 5^k < 2^105.
std::optional<dd::Pair> longQuotient(std::uint64_t m, int k, double hi) {
    if (!std::isnormal(hi))
        return std::nullopt;
    // hi = whole 2^e with 2^52 <= whole < 2^53, read off its bits.
    std::uint64_t bits;
    std::memcpy(&bits, &hi, sizeof bits);
    const auto whole = static_cast<std::int64_t>((bits & ((std::uint64_t{1} << 52) - 1)) |
                                                 (std::uint64_t{1} << 52));
    const int e = static_cast<int>((bits >> 52) & 0x7FF) - 1075;
    const int t = e + k;
    if (t >= 0 || t < -64)
        return std::nullopt;
    const auto scaled = static_cast<__int128>(static_cast<unsigned __int128>(m) << -t);
    const __int128 n = scaled - static_cast<__int128>(kPowersOfFive[k]) * whole;
    if (n >= (__int128{1} << 53) || n <= -(__int128{1} << 53))
        return std::nullopt;
    // N 2^t is exact, t >= -64 keeping it far above the subnormals.
    return dd::Pair{std::fabs(hi), static_cast<double>(static_cast<std::int64_t>(n)) *
                                       powerOfTwo(t) / powerOfTen(k)};
}

std::optional<dd::Pair> decimal(std::string_view text, std::optional<double> rounded) {
    const bool negative = takeSign(text);
    std::uint64_t m = 0;
    int exponent = 0;
    int zeros = 0; // trailing zeros not yet taken into m, so that 1.5000000000000000000 fits
    bool digits = false;
    bool point = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        digits = true;
        exponent -= point;
        if (c == '0') {
            zeros += m != 0;
            continue;
        }
        for (; zeros >= 0; --zeros) {
            if (m > kLargestMantissa)
                return std::nullopt;
            m = m * 10;
        }
        zeros = 0;
        m = m + static_cast<std::uint64_t>(c - '0');
    }
    exponent += zeros;
    if (!digits)
        return std::nullopt;
    if (i < text.size()) {
        if (text[i] != 'e' && text[i] != 'E')
            return std::nullopt;
        std::string_view rest = text.substr(i + 1);
        const bool negativeExponent = takeSign(rest);
        const std::optional<double> written = whole(rest);
        if (!written || *written > 1000)
            return std::nullopt;
        exponent += static_cast<int>(negativeExponent ? -*written : *written);
    }
    if (m == 0)
        return dd::Pair{negative ? -0.0 : 0.0, 0};
    if (exponent < -kExactPowers || exponent > kExactPowers)
        return std::nullopt;
    if (m > kExactWhole) {
        if (exponent >= 0)
            return std::nullopt;
        if (!rounded)
            rounded = textToDouble(text);
        std::optional<dd::Pair> pair =
            rounded ? longQuotient(m, -exponent, *rounded) : std::nullopt;
        if (pair && negative)
            *pair = {-pair->hi, -pair->lo};
        return pair;
    }
    const double mantissa = negative ? -static_cast<double>(m) : static_cast<double>(m);
    if (exponent >= 0)
        return dd::twoProduct(mantissa, powerOfTen(exponent));
    return quotient(mantissa, powerOfTen(-exponent));
}

} // namespace

std::optional<dd::Pair> writtenPair(std::string_view text, std::optional<double> rounded) {
    text = trimmed(text);
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return decimal(text, rounded);
    std::string_view top = trimmed(text.substr(0, slash));
    std::string_view bottom = trimmed(text.substr(slash + 1));
    const bool negative = takeSign(top) != takeSign(bottom);
    const std::optional<double> p = whole(top);
    const std::optional<double> q = whole(bottom);
    if (!p || !q || *q == 0)
        return std::nullopt;
    return quotient(negative ? -*p : *p, *q);
}

} // namespace lse
