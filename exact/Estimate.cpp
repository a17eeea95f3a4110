#include "Estimate.h"

#include "BinaryFraction.h"
#include "ExactReport.h"
#include "NumberForm.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <string_view>

namespace lse::exact {

namespace {

constexpr double kBitsPerDigit = 3.321928094887362; // log2(10)
constexpr double kBitsOfFive = 2.321928094887362;   // log2(5)

// What one number of a row adds to the row's integers once the row is scaled by the least
// common multiple of its denominators: the bits above the point, and the denominator's powers
// of two and of ten, or the bits of any other denominator.
struct RowScale {
    double top = -std::numeric_limits<double>::infinity();
    long binaryPlaces = 0;
    long decimalPlaces = 0;
    double otherDenominatorBits = 0;

    void addDouble(double value) {
        const BinaryFraction entry = binaryFraction(value);
        if (entry.mantissa == 0)
            return;
        const auto magnitude =
            static_cast<std::uint64_t>(entry.mantissa < 0 ? -entry.mantissa : entry.mantissa);
        top = std::max(top, static_cast<double>(entry.exponent + std::bit_width(magnitude)));
        binaryPlaces = std::max(binaryPlaces, static_cast<long>(-entry.exponent));
    }

    // False for a text the exact arithmetic does not hold, which stands as its double.
    bool addWritten(std::string_view text);

    double bits() const {
        const long places = std::max(binaryPlaces, decimalPlaces);
        return top + static_cast<double>(places) +
               static_cast<double>(decimalPlaces) * kBitsOfFive + otherDenominatorBits;
    }
};

bool RowScale::addWritten(std::string_view text) {
    const std::optional<NumberForm> form = numberForm(text);
    if (!form)
        return true; // not a number the reader took: nothing to count
    if (form->kind == NumberForm::Kind::fraction) {
        // p/q as written, not in lowest terms: an overestimate, as the cost is.
        const auto p = static_cast<double>(form->numerator.size());
        const auto q = static_cast<double>(form->denominator.size());
        top = std::max(top, (p - q + 1) * kBitsPerDigit);
        otherDenominatorBits += q * kBitsPerDigit;
        return true;
    }
    if (form->exponent > kLargestDecimalExponent || form->exponent < -kLargestDecimalExponent)
        return false;
    // value = D * 10^exponent, D the digits without the point, leading and trailing zeros.
    const std::string digits = std::string(form->integerDigits).append(form->fractionDigits);
    const std::size_t last = digits.find_last_not_of('0');
    if (last == std::string::npos)
        return true; // 0
    const long exponent = form->exponent - static_cast<long>(form->fractionDigits.size()) +
                          static_cast<long>(digits.size() - 1 - last);
    const auto significant = static_cast<long>(last + 1 - digits.find_first_not_of('0'));
    top = std::max(top, static_cast<double>(significant + exponent) * kBitsPerDigit);
    decimalPlaces = std::max(decimalPlaces, -exponent);
    return true;
}

} // namespace

int entryBits(const Matrix& A, const Vector& b, int n) {
    int widest = 0;
    for (int i = 1; i <= n; ++i) {
        int lowest = std::numeric_limits<int>::max();
        int highest = std::numeric_limits<int>::min();
        for (int j = 1; j <= n + 1; ++j) {
            const BinaryFraction entry = binaryFraction(j <= n ? A(i, j) : b(i));
            if (entry.mantissa == 0)
                continue;
            const auto magnitude =
                static_cast<std::uint64_t>(entry.mantissa < 0 ? -entry.mantissa : entry.mantissa);
            lowest = std::min(lowest, entry.exponent);
            highest =
                std::max(highest, entry.exponent + static_cast<int>(std::bit_width(magnitude)));
        }
        if (highest > lowest)
            widest = std::max(widest, highest - lowest);
    }
    return widest;
}

int entryBits(const Matrix& A, const Vector& b, int n, const WrittenValues& written) {
    int widest = entryBits(A, b, n);
    std::vector<std::size_t> byRow(written.size());
    std::iota(byRow.begin(), byRow.end(), std::size_t{0});
    std::sort(byRow.begin(), byRow.end(), [&](std::size_t p, std::size_t q) {
        return std::pair(written[p].row, written[p].column) <
               std::pair(written[q].row, written[q].column);
    });
    for (std::size_t k = 0; k < byRow.size();) {
        const int row = written[byRow[k]].row;
        RowScale scale;
        for (int j = 1; j <= n + 1; ++j) {
            const bool isWritten =
                k < byRow.size() && written[byRow[k]].row == row && written[byRow[k]].column == j;
            if (!isWritten || !scale.addWritten(written[byRow[k]].text))
                scale.addDouble(j <= n ? A(row, j) : b(row));
            k += isWritten ? 1 : 0;
        }
        while (k < byRow.size() && written[byRow[k]].row == row)
            ++k; // a second text for one place, which no reader notes
        if (std::isfinite(scale.bits()))
            widest = std::max(widest, static_cast<int>(std::min(
                                          std::ceil(scale.bits()),
                                          static_cast<double>(std::numeric_limits<int>::max()))));
    }
    return widest;
}

double estimatedSeconds(int n, int bits) {
    // Processor seconds measured on an Intel Xeon (2 cores, shared) with bench/exact_timing,
    // orders 20 to 400 and entries of 53 to 800 bits: Dixon's lifting takes a number of steps
    // that grows with n * bits, each a product of A, of n^2 entries of `bits` bits, with a
    // vector. Entries that fit a machine word cost alike, whatever their size.
    const double order = n;
    const double extra = std::max(0, bits - 53);
    const double perCube = 2.6e-8 + 1.64e-9 * extra + 1.52e-12 * extra * extra;
    // Writing, sending and reading the system's text.
    const double perEntry = 2e-7;
    return order * order * (order * perCube + perEntry);
}

} // namespace lse::exact
