#include "NotHeld.h"

#include <algorithm>
#include <utility>

namespace lse::exact {

namespace {

// A number of a million digits must not make a sentence a megabyte long: its head and its
// exponent say which it is.
constexpr std::size_t kLongestShown = 24;
constexpr std::size_t kHeadShown = 10;
constexpr std::size_t kTailShown = 12;

std::string shortened(std::string_view text) {
    if (text.size() <= kLongestShown)
        return std::string(text);
    return std::string(text.substr(0, kHeadShown)) + "\u2026" +
           std::string(text.substr(text.size() - kTailShown));
}

std::string placed(const NotHeldValue& value, std::size_t order) {
    std::string place = value.text + " (equation " + std::to_string(value.row) + ", ";
    if (static_cast<std::size_t>(value.column) > order)
        return place + "right-hand side)";
    return place + "coefficient " + std::to_string(value.column) + ")";
}

} // namespace

void WrittenNotHeld::add(int row, int column, std::string_view text) {
    ++count;
    const auto before = [](const NotHeldValue& p, const NotHeldValue& q) {
        return std::pair(p.row, p.column) < std::pair(q.row, q.column);
    };
    NotHeldValue value{row, column, {}};
    const auto at = std::upper_bound(listed.begin(), listed.end(), value, before);
    if (at == listed.end() && listed.size() >= kListed)
        return;
    value.text = shortened(text);
    listed.insert(at, std::move(value));
    if (listed.size() > kListed)
        listed.pop_back();
}

std::string notHeldReason(const WrittenNotHeld& notHeld) {
    const auto order = static_cast<std::size_t>(notHeld.order);
    const std::string limit = "beyond the decimal exponents the exact arithmetic holds (\u00b1" +
                              std::to_string(kLargestDecimalExponent) + ")";
    if (notHeld.count == 1 && notHeld.listed.size() == 1)
        return placed(notHeld.listed.front(), order) + " is " + limit +
               ", and as its double it would make a system other than the one written";
    std::string list;
    for (const NotHeldValue& value : notHeld.listed)
        list.append(list.empty() ? "" : ", ").append(placed(value, order));
    if (notHeld.count > notHeld.listed.size())
        list.append(", and ")
            .append(std::to_string(notHeld.count - notHeld.listed.size()))
            .append(" more");
    return std::to_string(notHeld.count) + " written numbers are " + limit +
           ", and as their doubles they would make a system other than the one written: " + list;
}

std::string summedReason(const SummedEntries& summed) {
    const std::string place =
        "(" + std::to_string(summed.row) + ", " + std::to_string(summed.column) + ")";
    if (summed.count == 1)
        return "entry " + place +
               " of A was given more than once and summed in doubles, which may round, so it is "
               "not as written";
    return std::to_string(summed.count) + " entries of A, the first " + place +
           ", were given more than once and summed in doubles, which may round, so they are not "
           "as written";
}

std::optional<std::string> ExactReport::notAsWrittenReason() const {
    if (notHeld.any())
        return notHeldReason(notHeld);
    if (summed.any())
        return summedReason(summed);
    return std::nullopt;
}

} // namespace lse::exact
