#include "AccuracyText.h"

#include "Estimate.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace lse {

namespace {

constexpr std::string_view kNotAvailable = "not available";

std::string figureOrNotAvailable(const std::optional<double>& value) {
    return value ? figureText(*value) : std::string(kNotAvailable);
}

// κ₁ = 1 / RCOND; none where RCOND is unknown or so small that its reciprocal overflows.
std::optional<double> conditionNumber(const std::optional<AccuracyFigures>& figures) {
    if (!figures || !figures->rcond || *figures->rcond == 0)
        return std::nullopt;
    const double kappa = 1 / *figures->rcond;
    if (std::isinf(kappa))
        return std::nullopt;
    return kappa;
}

// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text.append(i + 1 == names.size() ? " and " : ", ");
        text.append(names[i]);
    }
    return text;
}

bool earnsWarning(const MethodReport& result) {
    return result.solved && result.figures && result.figures->warning();
}

// The measured relative error ||x - x̂||∞ / ||x̂||∞ that FERR bounds, against the correctly
// rounded exact solution; none where a component lies beyond the doubles.
std::optional<double> measuredError(const exact::ExactReport& exact, const Vector& x, int n) {
    double difference = 0;
    double largest = 0;
    for (int i = 1; i <= n; ++i) {
        const std::optional<double> nearest =
            exact.components[static_cast<std::size_t>(i - 1)].nearest;
        if (!nearest || !std::isfinite(x(i)))
            return std::nullopt;
        difference = std::max(difference, std::fabs(*nearest - x(i)));
        largest = std::max(largest, std::fabs(x(i)));
    }
    if (difference == 0)
        return 0.0;
    if (largest == 0)
        return std::nullopt;
    return difference / largest;
}

// "held" where the error bound is at or above the measured error.
std::string boundVerdict(const MethodReport& result, const exact::ExactReport& exact, int n) {
    const std::optional<double> bound = result.figures ? result.figures->ferr : std::nullopt;
    const std::optional<double> error = measuredError(exact, result.x, n);
    if (!bound || !error)
        return "error bound " + figureOrNotAvailable(bound);
    return "error bound " + figureText(*bound) + (*bound >= *error ? ": held" : ": failed") +
           " (measured error " + figureText(*error) + ")";
}

void appendFigures(std::string& text, const MethodReport& result) {
    const std::optional<AccuracyFigures>& f = result.figures;
    const auto line = [&text](std::string_view name, const std::string& value,
                              std::string_view meaning) {
        text.append("  ").append(name).append(":   ").append(value).append("\n    ");
        text.append(meaning).append("\n");
    };
    line("Condition number", figureOrNotAvailable(conditionNumber(f)),
         "How much errors in A and b can grow in x: 1 is ideal, 1e+16 leaves no digit.");
    line("Backward error", figureOrNotAvailable(f ? f->berr : std::nullopt),
         "The smallest relative change to the entries of A and b that makes x exact.");
    line("Error bound", figureOrNotAvailable(f ? f->ferr : std::nullopt),
         "The largest error in x relative to x's largest entry is almost certainly below this.");
    const std::optional<int> digits = f ? f->correctDigits() : std::nullopt;
    line("Correct digits", digits ? intToText(*digits) : std::string(kNotAvailable),
         "Significant digits of x's largest entries that the error bound guarantees.");
    if (earnsWarning(result))
        text.append("  This solution may have no correct digit.\n");
}

void appendExact(std::string& text, const CalculateReport& report) {
    text.append("Exact solution\n");
    if (!report.exact) {
        text.append("  Not computed yet: Compute Exact Solution is expected to take ")
            .append(expectedTimeText(report))
            .append(".\n");
        return;
    }
    const exact::ExactReport& exact = *report.exact;
    if (exact.status != exact::ExactStatus::solved) {
        text.append("  ").append(exact::kNoUniqueSolutionText).append("\n");
        for (const MethodReport& result : report.methods)
            if (result.solved)
                text.append("  ")
                    .append(result.method->title)
                    .append(": its numbers come from rounding alone. ")
                    .append(exact::kNoUniqueSolutionText)
                    .append("\n");
        return;
    }
    bool approximated = false;
    for (std::size_t i = 0; i < exact.components.size(); ++i) {
        const exact::ExactComponent& c = exact.components[i];
        approximated = approximated || !c.isFraction;
        text.append("  x").append(intToText(static_cast<long long>(i + 1)));
        text.append(c.isFraction ? " =   " : " \u2248   ").append(c.text);
        const std::string nearest =
            c.nearest ? doubleToText(*c.nearest, Digits::roundTrip) : "beyond the doubles";
        if (nearest != c.text)
            text.append("   (nearest double: ").append(nearest).append(")");
        text.append("\n");
    }
    if (approximated && report.decimalEntries)
        text.append("  Values marked \u2248 are rounded to 17 digits: a typed decimal such as "
                    "0.1 is held as the nearest binary fraction, "
                    "3602879701896397/36028797018963968, so the exact fractions run long.\n");
    std::size_t judged = 0;
    for (const MethodReport& result : report.methods) {
        if (!result.solved || judged >= exact.errors.size())
            continue;
        const exact::MethodError& error = exact.errors[judged++];
        text.append("  ").append(result.method->title).append(": largest error ");
        text.append(error.largestUlps ? std::to_string(*error.largestUlps)
                                      : std::string("out of range"));
        text.append(" units in the last place, ")
            .append(intToText(error.correctDigits))
            .append(" correct digits; ")
            .append(boundVerdict(result, exact, report.n))
            .append("\n");
    }
    if (judged > 0)
        text.append("    A unit in the last place is the gap between neighbouring doubles: 0 "
                    "means the method found the correctly rounded value.\n");
}

std::string cell(const std::optional<double>& value) {
    return value ? doubleToText(*value, Digits::roundTrip) : std::string(kNotAvailable);
}

} // namespace

std::optional<Message> accuracyWarning(const CalculateReport& report) {
    std::vector<std::string_view> singular;
    std::optional<double> largestCondition;
    std::string bounds;
    for (const MethodReport& result : report.methods) {
        if (!earnsWarning(result))
            continue;
        const AccuracyFigures& f = *result.figures;
        if (f.singularToWorkingPrecision() || !f.ferr) {
            singular.push_back(result.method->title);
            if (const std::optional<double> kappa = conditionNumber(result.figures))
                largestCondition = std::max(largestCondition.value_or(0), *kappa);
            continue;
        }
        bounds.append(bounds.empty() ? "" : " ")
            .append("The ")
            .append(result.method->title)
            .append(" solution may have no correct digit: its error bound is ")
            .append(figureText(*f.ferr))
            .append(".");
    }
    if (singular.empty() && bounds.empty())
        return std::nullopt;
    std::string text;
    if (!singular.empty()) {
        text = "The matrix is singular to working precision";
        if (largestCondition)
            text.append(" (estimated condition number ")
                .append(figureText(*largestCondition))
                .append(")");
        text.append(": the ")
            .append(listed(singular))
            .append(singular.size() > 1 ? " solutions" : " solution")
            .append(" may have no correct digit.");
        if (!bounds.empty())
            text.append(" ");
    }
    text.append(bounds);
    return Message{text, MessageStyle::OkOnlyExclamation};
}

std::string accuracyText(const CalculateReport& report) {
    if (report.empty())
        return "Nothing to show yet: the accuracy of the solutions is shown here after "
               "Calculate.\n";
    std::string text = "Accuracy of the last Calculate, " + intToText(report.n) +
                       (report.n == 1 ? " equation\n" : " equations\n");
    for (const MethodReport& result : report.methods) {
        text.append("\n").append(result.method->title).append("\n");
        if (result.solved)
            appendFigures(text, result);
        else
            text.append("  No solution: the method failed, so there is nothing to measure.\n");
    }
    text.append("\n");
    appendExact(text, report);
    return text;
}

std::string accuracyTable(const CalculateReport& report) {
    std::string table = "Method\tCondition number\tBackward error\tError bound\tCorrect digits\n";
    for (const MethodReport& result : report.methods) {
        const std::optional<AccuracyFigures>& f = result.figures;
        const std::optional<int> digits = f ? f->correctDigits() : std::nullopt;
        table.append(result.method->title)
            .append("\t")
            .append(cell(conditionNumber(f)))
            .append("\t")
            .append(cell(f ? f->berr : std::nullopt))
            .append("\t")
            .append(cell(f ? f->ferr : std::nullopt))
            .append("\t")
            .append(digits ? intToText(*digits) : std::string(kNotAvailable))
            .append("\n");
    }
    if (!report.exact)
        return table;
    const exact::ExactReport& exact = *report.exact;
    if (exact.status != exact::ExactStatus::solved)
        return table.append("\n").append(exact::kNoUniqueSolutionText).append("\n");
    table.append("\nComponent\tExact\tNearest double");
    std::vector<const MethodReport*> solved;
    for (const MethodReport& result : report.methods)
        if (result.solved) {
            solved.push_back(&result);
            table.append("\t").append(result.method->title).append("\t");
            table.append(result.method->title).append(" error (ulps)");
        }
    table.append("\n");
    for (std::size_t i = 0; i < exact.components.size(); ++i) {
        const exact::ExactComponent& c = exact.components[i];
        table.append("x").append(intToText(static_cast<long long>(i + 1))).append("\t");
        table.append(c.text).append("\t").append(cell(c.nearest));
        for (std::size_t m = 0; m < solved.size() && m < exact.errors.size(); ++m) {
            const std::optional<std::uint64_t>& ulps = exact.errors[m].ulps[i];
            table.append("\t").append(cell(solved[m]->x(static_cast<int>(i + 1)))).append("\t");
            table.append(ulps ? std::to_string(*ulps)
                              : std::string("out of range"));
        }
        table.append("\n");
    }
    return table;
}

std::string solutionCopyText(const Vector& x, int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text.append(doubleToText(x(i), Digits::roundTrip)).append("\n");
    return text;
}

std::string expectedTimeText(const CalculateReport& report) {
    const double seconds = exact::estimatedSeconds(report.n, report.entryBits);
    const auto about = [](double amount, std::string_view unit) {
        const long long whole = std::max(1LL, std::llround(amount));
        return "about " + intToText(whole) + " " + std::string(unit) + (whole == 1 ? "" : "s");
    };
    if (seconds < 1)
        return "under a second";
    if (seconds < 90)
        return about(seconds, "second");
    if (seconds < 90 * 60)
        return about(seconds / 60, "minute");
    return about(seconds / 3600, "hour");
}

} // namespace lse
