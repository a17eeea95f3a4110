#pragma once

// What an exact solve answers, as data without the arithmetic behind it: the window, the page
// and the child's protocol use it without linking FLINT.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lse::exact {

// The longest fraction shown as p/q, in digits; a longer one is shown as decimal digits.
inline constexpr int kShortFractionDigits = 20;
inline constexpr int kApproximationDigits = 17;

enum class ExactStatus { solved, noUniqueSolution };

inline constexpr const char* kNoUniqueSolutionText = "The system has no unique solution.";

// One component of the exact solution, as it is shown.
struct ExactComponent {
    // True: `text` is the value itself, p/q in lowest terms ("3", "-7/2"). False: the fraction
    // is too long to read and `text` is the value rounded to 17 significant digits, shown
    // after "≈".
    bool isFraction = false;
    std::string text;
    // The double nearest to the value, ties to even, subnormals included; nullopt when that
    // lies beyond the largest double.
    std::optional<double> nearest;

    bool operator==(const ExactComponent&) const = default;
};

// How far one method's solution lies from the exact one.
struct MethodError {
    // Per component, in order: how many doubles lie between the method's value and the nearest
    // double to the exact value (0: the method found it); nullopt where the exact value is
    // beyond the doubles or the method's value is not a number.
    std::vector<std::optional<std::uint64_t>> ulps;
    // The largest of ulps; nullopt when any component has none.
    std::optional<std::uint64_t> largestUlps;
    // significantDigits(|x - x̂|∞ / |x|∞), the quotient from the exact x rounded up, so the
    // digits are never overstated.
    int correctDigits = 0;

    bool operator==(const MethodError&) const = default;
};

// The exact solution with the error of each method's solution that was judged against it.
struct ExactReport {
    ExactStatus status = ExactStatus::noUniqueSolution;
    std::vector<ExactComponent> components; // x1..xn; empty without a unique solution
    std::vector<MethodError> errors;        // one per judged solution, in order

    bool operator==(const ExactReport&) const = default;
};

} // namespace lse::exact
