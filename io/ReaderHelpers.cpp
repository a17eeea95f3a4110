#include "ReaderHelpers.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <thread>

namespace lse::io {

namespace {

int threadsFor(int threads) {
    return threads > 0 ? threads
                       : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace

LinearSystem makeSystem(int n, InputFormat format) {
    try {
        LinearSystem system;
        system.n = n;
        system.format = format;
        // One spare column, so that Gauss can solve in this array and widen it in place.
        system.A.recreate(n, n, 1);
        system.b.recreate(n);
        return system;
    } catch (const std::bad_alloc&) {
        throw InputError("not enough memory for a system of " + std::to_string(n) + " equations");
    }
}

bool mayHold(const TextScanner& in, std::uint64_t numbers) {
    const std::optional<std::uint64_t> left = in.remaining();
    return !left || numbers == 0 || *left >= 2 * numbers - 1;
}

std::string orderTooLarge(double n, int maxOrder) {
    return "n = " + doubleToText(n) + " is more than " + std::to_string(maxOrder) + " equations";
}

std::int64_t wholeNumberAt(const Field& field, std::int64_t line, std::int64_t least,
                           std::int64_t most, const std::string& what) {
    const std::optional<double> value = decimalToDouble(field.text);
    if (!value || std::trunc(*value) != *value || *value < static_cast<double>(least) ||
        *value > static_cast<double>(most))
        throw InputError(place(line, field.column) + "expected " + what + ", found " +
                         describe(field.text) + semicolonsIn(field.text));
    return static_cast<std::int64_t>(*value);
}

int orderAt(const Field& field, std::int64_t line, int maxOrder, const std::string& what) {
    const std::optional<double> value = decimalToDouble(field.text);
    if (value && *value > maxOrder && std::trunc(*value) == *value)
        throw InputError(place(line, field.column) + orderTooLarge(*value, maxOrder));
    return static_cast<int>(wholeNumberAt(
        field, line, 0, maxOrder, what + ", a whole number from 0 to " + std::to_string(maxOrder)));
}

BatchOnScanner::BatchOnScanner(TextScanner& in, int threads)
    : in_(in), batch_(threadsFor(threads)) {
    in_.setBeforeFill([this] { batch_.flush(); });
}

} // namespace lse::io
