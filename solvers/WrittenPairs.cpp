#include "WrittenPairs.h"

#include <cmath>
#include <cstdint>

namespace lse {

namespace {

constexpr std::uint64_t kExactWhole = std::uint64_t{1} << 53;
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

double powerOfTen(int k) {
    double p = 1;
    for (int i = 0; i < k; ++i)
        p = p * 10; // exact up to 10^22
    return p;
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

std::optional<dd::Pair> decimal(std::string_view text) {
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
            if (m >= kExactWhole)
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
    if (m > kExactWhole)
        return std::nullopt;
    const double mantissa = negative ? -static_cast<double>(m) : static_cast<double>(m);
    if (m == 0)
        return dd::Pair{mantissa, 0};
    if (exponent < -kExactPowers || exponent > kExactPowers)
        return std::nullopt;
    if (exponent >= 0)
        return dd::twoProduct(mantissa, powerOfTen(exponent));
    return quotient(mantissa, powerOfTen(-exponent));
}

} // namespace

std::optional<dd::Pair> writtenPair(std::string_view text) {
    text = trimmed(text);
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return decimal(text);
    std::string_view top = trimmed(text.substr(0, slash));
    std::string_view bottom = trimmed(text.substr(slash + 1));
    const bool negative = takeSign(top) != takeSign(bottom);
    const std::optional<double> p = whole(top);
    const std::optional<double> q = whole(bottom);
    if (!p || !q || *q == 0)
        return std::nullopt;
    return quotient(negative ? -*p : *p, *q);
}

WrittenLows writtenLows(const Matrix& A, const Vector& b, int n, const WrittenValues& written) {
    WrittenLows lows;
    for (std::size_t k = 0; k < written.size(); ++k) {
        const WrittenValues::Entry e = written[k];
        const bool inB = e.column == n + 1;
        if (inB && written.bIsRowSums)
            continue;
        const double value = inB ? b(e.row) : A(e.row, e.column);
        const std::optional<dd::Pair> pair = writtenPair(e.text);
        if (!pair || pair->hi != value) {
            lows.notHeld.push_back(e);
            continue;
        }
        if (pair->lo == 0)
            continue;
        if (inB) {
            if (!lows.bLo.exists())
                lows.bLo.recreate(n);
            lows.bLo(e.row) = pair->lo;
        } else {
            if (!lows.aLo.exists())
                lows.aLo.recreate(n, n);
            lows.aLo(e.row, e.column) = pair->lo;
        }
    }
    // The written row sums are sums of pairs, which pairs do not hold exactly.
    lows.rowSumsNotHeld = written.bIsRowSums && lows.aLo.exists();
    return lows;
}

} // namespace lse
