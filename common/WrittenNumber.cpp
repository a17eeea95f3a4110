#include "WrittenNumber.h"

#include "NumberForm.h"
#include "NumberText.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace lse {

namespace {

constexpr std::uint64_t kExactWhole = std::uint64_t{1} << 53;
// A mantissa of 19 digits fits in 64 bits, so that 17-digit decimals (what most programs write)
// take the 128-bit route below rather than the exact one.
constexpr std::uint64_t kLargestMantissa = ~std::uint64_t{0} / 10 - 1;
// The powers of ten a double holds exactly.
constexpr int kExactPowers = 22;
// Beyond this an exponent is only a mistake or a value no route holds; it stops growing here.
constexpr int kLargestExponent = 100000;

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

// 5^k for k <= kExactPowers, each within 52 bits.
constexpr std::array<std::uint64_t, kExactPowers + 1> kPowersOfFive = [] {
    std::array<std::uint64_t, kExactPowers + 1> powers{};
    powers[0] = 1;
    for (int k = 1; k <= kExactPowers; ++k)
        powers[k] = powers[k - 1] * 5;
    return powers;
}();

// 2^t for -1022 <= t <= 1023, exactly.
double powerOfTwo(int t) {
    const std::uint64_t bits = static_cast<std::uint64_t>(t + 1023) << 52;
    double power;
    std::memcpy(&power, &bits, sizeof power); // std::bit_cast, which the page's library lacks
    return power;
}

// x / q (x exact) as lo + lo2, each rounded once: the remainder x - lo q of a correctly rounded
// quotient is a double (Boldo and Daumas), formed exactly from Dekker's product and Sterbenz's
// subtraction.
struct Tail {
    double lo;
    double lo2;
};
Tail tailOf(double x, double q) {
    const double lo = x / q;
    const dd::Pair product = dd::twoProduct(lo, q);
    const double remainder = (x - product.hi) - product.lo;
    return {lo, remainder / q};
}

Words quotientWords(double p, double q) {
    const double hi = p / q;
    const dd::Pair product = dd::twoProduct(hi, q);
    const Tail tail = tailOf((p - product.hi) - product.lo, q);
    return {hi, tail.lo, tail.lo2};
}

// hi = H 2^e, 2^52 <= H < 2^53, read off a normal double's bits.
struct Binary {
    std::int64_t whole;
    int exponent;
};
Binary binaryOf(double hi) {
    std::uint64_t bits;
    std::memcpy(&bits, &hi, sizeof bits);
    return {static_cast<std::int64_t>((bits & ((std::uint64_t{1} << 52) - 1)) |
                                      (std::uint64_t{1} << 52)),
            static_cast<int>((bits >> 52) & 0x7FF) - 1075};
}

// For m / 10^k with a mantissa beyond 2^53 (k <= 22) and a normal hi = H 2^e near it: with
// 10^k = 5^k 2^k the remainder m / 10^k - hi is N 2^t / 10^k = N 2^e / 5^k, t = e + k, for the
// whole number N = m 2^-t - H 5^k (t < 0). Every product stays within 128 bits: m 2^-t is about
// H 5^k < 2^105. nullopt where hi is not near enough for that.
std::optional<__int128> remainderOf(std::uint64_t m, int k, double hi, int& t) {
    if (!std::isnormal(hi))
        return std::nullopt;
    const Binary binary = binaryOf(hi);
    t = binary.exponent + k;
    if (t >= 0 || t < -64)
        return std::nullopt;
    const auto scaled = static_cast<unsigned __int128>(m) << -t;
    if (scaled >> 120 != 0)
        return std::nullopt;
    return static_cast<__int128>(scaled) - static_cast<__int128>(kPowersOfFive[k]) * binary.whole;
}

// hi, a positive normal double, moved by one ulp up or down: its bits are in order.
double stepped(double hi, int ulps) {
    std::uint64_t bits;
    std::memcpy(&bits, &hi, sizeof bits);
    bits += static_cast<std::uint64_t>(static_cast<std::int64_t>(ulps));
    std::memcpy(&hi, &bits, sizeof hi);
    return hi;
}

// hi and the remainder N 2^t / 10^k that it leaves of m / 10^k.
struct Quotient {
    double hi;
    __int128 n;
    int t;
};

// The correctly rounded m / 10^k for a mantissa beyond 2^53 (1 <= k <= 22), decided by the exact
// remainder alone: m's double divided by 10^k is within two ulps, and each step that finds the
// remainder beyond half an ulp (N > 5^k / 2, or below -5^k / 2, -5^k / 4 at a power of two,
// whose ulp below is half) moves one ulp. 5^k is odd, so no remainder is a tie.
std::optional<Quotient> nearestQuotient(std::uint64_t m, int k) {
    Quotient q{static_cast<double>(m) / powerOfTen(k), 0, 0};
    const auto five = static_cast<__int128>(kPowersOfFive[k]);
    for (int step = 0; step < 4; ++step) {
        const std::optional<__int128> n = remainderOf(m, k, q.hi, q.t);
        if (!n)
            return std::nullopt;
        q.n = *n;
        const bool powerOfTwo = binaryOf(q.hi).whole == std::int64_t{1} << 52;
        if (2 * q.n > five)
            q.hi = stepped(q.hi, 1);
        else if ((powerOfTwo ? 4 * q.n : 2 * q.n) < -five)
            q.hi = stepped(q.hi, -1);
        else
            return q;
    }
    return std::nullopt;
}

// The same for a hi given, the reader's.
std::optional<Quotient> givenQuotient(std::uint64_t m, int k, double hi) {
    Quotient q{hi, 0, 0};
    const std::optional<__int128> n = remainderOf(m, k, hi, q.t);
    if (!n)
        return std::nullopt;
    q.n = *n;
    return q;
}

// m / 10^k for a mantissa beyond 2^53 (k <= 22) from its correctly rounded double and the
// remainder it leaves. Since the remainder is at most half an ulp of hi, |N| <= 5^k / 2 < 2^52:
// a double, so that lo, N 2^t divided by 10^k, is rounded once.
std::optional<Words> longQuotient(const Quotient& q, int k) {
    if (q.n >= (__int128{1} << 53) || q.n <= -(__int128{1} << 53))
        return std::nullopt;
    // N 2^t is exact, t >= -64 keeping it far above the subnormals.
    const Tail tail = tailOf(static_cast<double>(static_cast<std::int64_t>(q.n)) * powerOfTwo(q.t),
                             powerOfTen(k));
    return Words{q.hi, tail.lo, tail.lo2};
}

// A decimal of at most 19 significant digits as its digits m and a power of ten: the written
// value is (negative ? -1 : 1) m 10^exponent.
struct DecimalParts {
    std::uint64_t mantissa = 0;
    int exponent = 0;
    bool negative = false;
};

// A mantissa of more than 19 digits, which may still hold 19 significant ones once its leading
// and trailing zeros are taken out ("0.00012345678901234567", "1.5000000000000000000").
std::optional<DecimalParts> longMantissa(const NumberForm& form, DecimalParts parts) {
    std::uint64_t m = 0;
    int zeros = 0; // trailing zeros not yet taken into m
    for (const std::string_view digits : {form.integerDigits, form.fractionDigits})
        for (const char c : digits) {
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
    parts.mantissa = m;
    parts.exponent += zeros - static_cast<int>(form.fractionDigits.size());
    return parts;
}

// A decimal's parts as the words take them; nullopt for a fraction, or where no route holds
// the value (an exponent far beyond the doubles').
std::optional<DecimalParts> partsOf(const NumberForm& form) {
    if (form.kind != NumberForm::Kind::decimal || form.exponent <= -kLargestExponent ||
        form.exponent >= kLargestExponent)
        return std::nullopt;
    DecimalParts parts;
    parts.negative = form.negative;
    parts.exponent = static_cast<int>(form.exponent);
    if (!form.mantissa)
        return longMantissa(form, parts);
    // Trailing zeros out, as the long way takes them: 17 digits ending in 0 often fit 2^53.
    std::uint64_t m = *form.mantissa;
    parts.exponent -= static_cast<int>(form.fractionDigits.size());
    for (; m != 0 && m % 10 == 0; m /= 10)
        ++parts.exponent;
    parts.mantissa = m;
    return parts;
}

bool isTiny(double word) {
    return word != 0 && std::fabs(word) < std::numeric_limits<double>::min();
}

// The words of the parts, hi the reader's `rounded` where given, else found here: by Clinger's
// one rounding of exact operands, or for a long mantissa by its exact remainder.
std::optional<Words> partsWords(const DecimalParts& parts, std::optional<double> rounded) {
    if (parts.exponent < -kExactPowers || parts.exponent > kExactPowers)
        return parts.mantissa == 0 && rounded ? std::optional<Words>(Words{*rounded, 0, 0})
                                              : std::nullopt;
    std::optional<Words> words;
    if (parts.mantissa <= kExactWhole) {
        const auto m = static_cast<double>(parts.mantissa);
        const double mantissa = parts.negative ? -m : m;
        if (parts.exponent >= 0) {
            const dd::Pair product = dd::twoProduct(mantissa, powerOfTen(parts.exponent));
            words = Words{product.hi, product.lo, 0};
        } else {
            words = quotientWords(mantissa, powerOfTen(-parts.exponent));
        }
    } else {
        if (parts.exponent >= 0)
            return std::nullopt;
        const int k = -parts.exponent;
        const std::optional<Quotient> quotient =
            rounded ? givenQuotient(parts.mantissa, k, std::fabs(*rounded))
                    : nearestQuotient(parts.mantissa, k);
        words = quotient ? longQuotient(*quotient, k) : std::nullopt;
        if (words && parts.negative)
            *words = {-words->hi, -words->lo, -words->lo2};
    }
    // The reader rounds as the words do; a text read otherwise is not taken as written.
    if (!words || (rounded && words->hi != *rounded) || isTiny(words->lo) || isTiny(words->lo2))
        return std::nullopt;
    return words;
}

} // namespace

std::optional<Words> decimalTextWords(std::string_view text) {
    NumberForm form;
    if (!numberform::parse(text, form))
        return std::nullopt;
    const std::optional<DecimalParts> parts = partsOf(form);
    return parts ? partsWords(*parts, std::nullopt) : std::nullopt;
}

std::optional<Words> writtenWords(std::string_view text, double rounded) {
    const std::optional<NumberForm> form = numberForm(text);
    if (!form)
        return std::nullopt;
    if (form->kind == NumberForm::Kind::decimal) {
        const std::optional<DecimalParts> parts = partsOf(*form);
        return parts ? partsWords(*parts, rounded) : std::nullopt;
    }
    const std::optional<double> p = fractionPart(form->numerator);
    const std::optional<double> q = fractionPart(form->denominator);
    if (!p || !q || *q == 0)
        return std::nullopt;
    // The sign on the numerator, as the reader's one division has it: -0/5 and 0/-5 are -0.
    const bool negative = form->negative != form->denominatorNegative;
    const Words words = quotientWords(negative ? -*p : *p, *q);
    if (words.hi != rounded || isTiny(words.lo) || isTiny(words.lo2))
        return std::nullopt;
    return words;
}

std::optional<dd::Pair> writtenPair(std::string_view text, std::optional<double> rounded) {
    if (!rounded)
        rounded = textToDouble(text);
    if (!rounded)
        return std::nullopt;
    const std::optional<Words> words = writtenWords(text, *rounded);
    if (!words)
        return std::nullopt;
    return dd::Pair{words->hi, words->lo};
}

} // namespace lse
