#pragma once

// What an exact solve answers, as data without the arithmetic behind it: the window, the page
// and the child's protocol use it without linking FLINT.

#include "WrittenValues.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lse::exact {

// The longest fraction shown as p/q, in digits; a longer one is shown as decimal digits.
inline constexpr int kShortFractionDigits = 20;
inline constexpr int kApproximationDigits = 17;

enum class ExactStatus { solved, noSolution, infinitelyMany };

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
    // The whole p/q however long, when the caller asked for it (ExactDetail::whole).
    std::string whole = {};

    bool operator==(const ExactComponent&) const = default;
};

using ExactVector = std::vector<ExactComponent>;

// How much of each exact value a report carries.
enum class ExactDetail {
    shown, // what a view shows: short fractions, else 17 digits (a long p/q can be megabytes)
    whole, // and every p/q whole, for JSON
};

// How far one method's solution lies from the exact one.
struct MethodError {
    // Per component, in order: how many doubles lie between the method's value and the nearest
    // double to the exact value (0: the method found it); nullopt where the exact value is
    // beyond the doubles or the method's value is not a number. Where the exact value is 0 or
    // below the last place of x's largest entry, its own doubles are so dense that a count of
    // them says nothing of the digits (1e-300 is some 4e18 doubles from 0): the error is then
    // counted in units in the last place of x's largest entry, rounded to the nearest.
    std::vector<std::optional<std::uint64_t>> ulps;
    // The largest of ulps; nullopt when any component has none.
    std::optional<std::uint64_t> largestUlps;
    // Some component was counted in the unit of x's largest entry.
    bool inLargestEntryUnits = false;
    // |x - x̂|∞ / |x|∞ from the exact x, rounded up, so that it is never understated; nullopt
    // where it is beyond the doubles or x̂ is not finite.
    std::optional<double> measuredError;
    // significantDigits(measuredError), 0 without one.
    int correctDigits = 0;

    bool operator==(const MethodError&) const = default;
};

// The exact arithmetic reads decimal exponents up to this. 10^1000000 is an integer of 3.3
// million bits (415 kB) that FLINT makes in milliseconds; a row holding it is scaled to
// integers that long, so that a system mixing such exponents stays within the child's memory
// limit at the orders whose estimate a user would wait for. Beyond it a ten-character text such
// as 1e999999999 would ask for 415 MB before the solve begins.
inline constexpr long kLargestDecimalExponent = 1000000;

// A written number beyond kLargestDecimalExponent, which the exact solve could only take as its
// double: its place in [A | b] (column n + 1 for b) and its text, shortened where long.
struct NotHeldValue {
    int row = 0;
    int column = 0;
    std::string text;

    bool operator==(const NotHeldValue&) const = default;
};

// Every written number not held: the first few by place, and how many in all.
struct WrittenNotHeld {
    static constexpr std::size_t kListed = 3;
    std::vector<NotHeldValue> listed;
    std::size_t count = 0;
    int order = 0; // n, which tells b's column from A's

    bool any() const { return count > 0; }
    // Counts it, and keeps it when it is among the first kListed by place.
    void add(int row, int column, std::string_view text);

    bool operator==(const WrittenNotHeld&) const = default;
};

// One system's exact answer: its solution, or why it has no unique one.
struct ExactAnswer {
    ExactStatus status = ExactStatus::solved;
    int rank = 0;          // of A
    int augmentedRank = 0; // of [A | b]
    // solved: x; infinitely many: a particular solution, the free unknowns 0.
    ExactVector components = {};
    // infinitely many: a basis of the solutions of A x = 0, one free unknown 1 in each.
    std::vector<ExactVector> nullSpace = {};
    // no solution: y with y^T A = 0 and y^T b = c, not 0: y's whole numbers combine the
    // equations into 0 = c.
    ExactVector certificate = {};
    ExactComponent certificateValue = {};

    bool operator==(const ExactAnswer&) const = default;
};

// The exact answer of the system as written, that of the doubles the methods got where they
// differ, and the error of each method's solution that was judged.
struct ExactReport {
    // Each decimal as its decimal value and each fraction as its value; the same as the
    // doubles' where every number of the system is its double, and where some written number
    // is not held (notHeld): the system as written is then not solved at all.
    ExactAnswer asWritten;
    // The doubles' own, where the written system differs from them.
    std::optional<ExactAnswer> doubles;
    // The doubles' exact solution judged against the written one: what rounding the input
    // did. Only where both are solved and differ.
    std::optional<MethodError> inputRounding;
    // One per judged solution, in order, against the doubles' exact solution: what each
    // method did. Empty when the doubles' system has no unique solution.
    std::vector<MethodError> errors;
    // The system was too large to keep what was written (WrittenValues::kLargestOrder).
    bool writtenDropped = false;
    // Gauss elimination's steps in exact fractions on the system as written, for the steps
    // view; for up to kStepsUpTo equations, else empty.
    std::string fractionSteps = {};
    // The written numbers the exact arithmetic could not hold, which kept the system as written
    // from being solved.
    WrittenNotHeld notHeld = {};
    // The entries of A summed in doubles (WrittenValues::summedEntries), which kept the system
    // as written from being solved: it is not known.
    SummedEntries summed = {};

    // Why the system as written was not solved, for the end of "Not solved as written: "; none
    // where it was, or where it is the doubles' own.
    std::optional<std::string> notAsWrittenReason() const;

    const ExactAnswer& ofDoubles() const { return doubles ? *doubles : asWritten; }

    bool operator==(const ExactReport&) const = default;
};

} // namespace lse::exact
