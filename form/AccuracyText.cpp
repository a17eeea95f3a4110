#include "AccuracyText.h"

#include "BinaryFraction.h"
#include "Digits.h"
#include "Estimate.h"
#include "NotHeld.h"
#include "NumberText.h"
#include "RefinedText.h"
#include "SavedTexts.h"
#include "WrittenValues.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace lse {

namespace {

constexpr std::string_view kNotAvailable = "not available";

std::string figureOrNotAvailable(const std::optional<double>& value) {
    return value ? figureText(*value) : std::string(kNotAvailable);
}

// Why a figure is missing, as the view says it after "not available".
std::string_view gapText(FigureGap gap) {
    switch (gap) {
    case FigureGap::none:
        break;
    case FigureGap::matrixBeyondDoubles:
        return "the norm of A is beyond the doubles";
    case FigureGap::inverseBeyondDoubles:
        return "the norm of A\u207B\u00B9 is beyond the doubles: A is singular as far as they "
               "can tell";
    case FigureGap::conditionBeyondDoubles:
    case FigureGap::boundBeyondDoubles:
        return "it is beyond the doubles";
    case FigureGap::noResidual:
        return "the method worked in A itself and left too little of it for a residual";
    case FigureGap::residualBeyondDoubles:
        return "the residual b \u2212 A x is beyond the doubles";
    case FigureGap::factorsChangedA:
        return "the factors do not reproduce A to working precision, so a bound from them "
               "would not hold";
    case FigureGap::solutionUnderflowed:
        return "x lies below the normal doubles, where its digits are lost";
    }
    return {};
}

FigureLine figureLine(std::string_view name, std::string_view key, std::optional<double> value,
                      FigureGap gap, std::string_view meaning) {
    FigureLine line{name,    key,
                    value,   value ? figureText(*value) : std::string(kNotAvailable),
                    meaning, std::nullopt};
    if (!value && gap != FigureGap::none)
        line.why = std::string(gapText(gap));
    return line;
}

bool earnsWarning(const MethodReport& result) {
    return result.solved && result.figures && result.figures->warning();
}

// "held" where the error bound is at or above the error measured against the exact solution,
// the same quotient the correct digits are counted from.
std::string boundVerdict(const MethodReport& result, const exact::MethodError& error) {
    const std::optional<double> bound = result.figures ? result.figures->ferr : std::nullopt;
    if (!bound || !error.measuredError)
        return "error bound " + figureOrNotAvailable(bound);
    return "error bound " + figureText(*bound) +
           (*bound >= *error.measuredError ? ": held" : ": failed") + " (measured error " +
           figureText(*error.measuredError) + ")";
}

void appendFigures(std::string& text, const MethodReport& result) {
    for (const FigureLine& line : figureLines(result)) {
        text.append("  ").append(line.name).append(":   ").append(line.text);
        if (line.why)
            text.append(" (").append(*line.why).append(")");
        text.append("\n    ").append(line.meaning).append("\n");
    }
    if (earnsWarning(result))
        text.append("  This solution may have no correct digit.\n");
}

void appendExact(std::string& text, const CalculateReport& report) {
    text.append(kExactHeading).append("\n");
    if (!report.exact) {
        text.append("  Not computed yet: Compute Exact Solution is expected to take ")
            .append(expectedTimeText(report))
            .append(".\n");
        return;
    }
    for (const std::string& line : exactLines(report))
        text.append("  ").append(line).append("\n");
}

void appendRefined(std::string& text, const RefinedReport& refined, const CalculateReport& report) {
    for (const std::string& line : refinedLines(refined, report))
        text.append("  ").append(line).append("\n");
    for (std::size_t i = 1; i < refined.refined.x.size(); ++i)
        text.append("    x")
            .append(intToText(static_cast<long long>(i)))
            .append(" = ")
            .append(doubleToText(refined.refined.x[i], Digits::roundTrip))
            .append("\n");
}

} // namespace

std::vector<FigureLine> figureLines(const MethodReport& result) {
    if (!result.solved)
        return {};
    // A solved system of no equations, or a method without factors, has nothing to measure.
    const AccuracyFigures f = result.figures.value_or(AccuracyFigures{});
    const std::optional<double> kappa = f.conditionNumber();
    FigureGap kappaGap = f.rcondGap;
    if (!kappa && f.rcond)
        kappaGap = FigureGap::conditionBeyondDoubles;
    std::vector<FigureLine> lines{
        figureLine("Condition number", "condition_number", kappa, kappaGap,
                   "How much errors in A and b can grow in x: 1 is ideal, 1e+16 leaves no digit."),
        figureLine("Backward error", "backward_error", f.berr, f.berrGap,
                   "The smallest relative change to the entries of A and b that makes x exact."),
        figureLine("Error bound", "forward_error_bound", f.ferr, f.ferrGap,
                   "The largest error in x relative to x's largest entry is almost certainly "
                   "below this."),
    };
    std::optional<int> digits = f.correctDigits();
    std::optional<std::string> why;
    if (!digits && f.ferrGap != FigureGap::none)
        why = "there is no error bound";
    else if (const int bound = f.ferr ? significantDigits(*f.ferr) : 0; digits && *digits < bound)
        why = "the error bound alone gives " + intToText(bound) +
              ", but the solution may have no correct digit";
    // The exact solution has the last word: a bound that failed claims no more than it shows.
    if (digits && result.measured && result.measured->correctDigits < *digits) {
        why = "measured against the exact solution; the error bound promised " +
              intToText(*digits) + " and failed";
        digits = result.measured->correctDigits;
    }
    FigureLine digitsLine{"Correct digits",
                          "estimated_correct_digits",
                          digits ? std::optional<double>(*digits) : std::nullopt,
                          digits ? intToText(*digits) : std::string(kNotAvailable),
                          "Significant digits of x's largest entries that the error bound "
                          "guarantees.",
                          std::move(why),
                          true};
    lines.push_back(std::move(digitsLine));
    return lines;
}

std::optional<std::string> doubtText(const MethodReport& result) {
    if (!result.solved || !result.figures)
        return std::nullopt;
    const AccuracyFigures& f = *result.figures;
    const std::optional<double> kappa = f.conditionNumber();
    std::string why;
    switch (f.doubt()) {
    case Doubt::none:
        return std::nullopt;
    case Doubt::singular:
        why = "the matrix is singular to working precision (" +
              (kappa ? "estimated condition number " + figureText(*kappa)
                     : std::string("its condition number is beyond the doubles")) +
              ")";
        break;
    case Doubt::noDigit:
        why = "its error bound is " +
              (f.ferr ? figureText(*f.ferr) : std::string("beyond the doubles"));
        break;
    case Doubt::unstable:
        why =
            !f.factorsReproduceA
                ? std::string("its factors do not reproduce A to working precision (an "
                              "underflow changed the problem)")
                : "its backward error is " + figureText(*f.berr) + ", far above the unit roundoff";
        break;
    case Doubt::growth:
        why = "the elimination's pivot growth is " + figureText(*f.growth) +
              " with an estimated condition number of " + figureText(*kappa);
        break;
    case Doubt::underflowed:
        why = "it lies below the normal doubles, where digits are lost";
        break;
    }
    return "The " + std::string(result.method->title) +
           " solution may have no correct digit: " + why + ".";
}

std::optional<Message> accuracyWarning(const CalculateReport& report) {
    std::string text;
    for (const MethodReport& result : report.methods)
        if (const std::optional<std::string> doubt = doubtText(result))
            text.append(text.empty() ? "" : " ").append(*doubt);
    if (text.empty())
        return std::nullopt;
    return Message{text, MessageStyle::OkOnlyExclamation};
}

namespace {

std::string shownValue(const exact::ExactComponent& c) {
    return (c.isFraction ? "" : "\u2248 ") + c.text;
}

std::string shownVector(const exact::ExactVector& v) {
    std::string text = "(";
    for (std::size_t i = 0; i < v.size(); ++i)
        text.append(i > 0 ? ", " : "").append(shownValue(v[i]));
    return text + ")";
}

// "x1 =   7/3", with the nearest double beside a value not written as that double, so that
// each method's number can be read against it.
void appendComponents(std::vector<std::string>& lines, const exact::ExactVector& x) {
    for (std::size_t i = 0; i < x.size(); ++i) {
        const exact::ExactComponent& c = x[i];
        std::string line = "x" + intToText(static_cast<long long>(i + 1));
        line.append(c.isFraction ? " =   " : " \u2248   ").append(c.text);
        const std::string nearest =
            c.nearest ? doubleToText(*c.nearest, Digits::roundTrip) : "beyond the doubles";
        if (nearest != c.text)
            line.append("   (nearest double: ").append(nearest).append(")");
        lines.push_back(std::move(line));
    }
}

std::string ranksText(const exact::ExactAnswer& answer) {
    return "A has rank " + intToText(answer.rank) + " and [A | b] rank " +
           intToText(answer.augmentedRank);
}

// The ranks, then the combination of the equations that reads 0 = c, or the general solution.
void appendSingular(std::vector<std::string>& lines, const exact::ExactAnswer& answer) {
    lines.emplace_back(exact::kNoUniqueSolutionText);
    const std::string ranks = ranksText(answer);
    if (answer.status == exact::ExactStatus::noSolution) {
        lines.push_back(ranks + ": there is no solution.");
        std::string combination;
        for (std::size_t i = 0; i < answer.certificate.size(); ++i) {
            std::string factor = shownValue(answer.certificate[i]);
            if (factor == "0")
                continue;
            const bool negative = factor.front() == '-';
            if (negative)
                factor.erase(0, 1);
            combination.append(combination.empty() ? (negative ? "-" : "")
                                                   : (negative ? " - " : " + "));
            combination.append(factor)
                .append(" \u00d7 equation ")
                .append(intToText(static_cast<long long>(i + 1)));
        }
        const exact::ExactComponent& c = answer.certificateValue;
        lines.push_back(combination + " reads " +
                        (c.isFraction ? "0 = " + c.text : "0 = c with c \u2248 " + c.text) + ".");
        return;
    }
    std::string general = "x = p";
    std::string any;
    for (std::size_t k = 1; k <= answer.nullSpace.size(); ++k) {
        const std::string t = "t" + intToText(static_cast<long long>(k));
        general.append(" + ").append(t).append(" v").append(intToText(static_cast<long long>(k)));
        any.append(k > 1 ? ", " : "").append(t);
    }
    lines.push_back(ranks + ": there are infinitely many solutions, " + general + " for any " +
                    any + ", with");
    lines.push_back("p = " + shownVector(answer.components));
    for (std::size_t k = 0; k < answer.nullSpace.size(); ++k)
        lines.push_back("v" + intToText(static_cast<long long>(k + 1)) + " = " +
                        shownVector(answer.nullSpace[k]));
}

// Largest error in ulps and correct digits: "largest error 1 unit in the last place, 16
// correct digits".
std::string errorText(const exact::MethodError& error) {
    return "largest error " +
           (error.largestUlps ? counted(*error.largestUlps, "unit", "units") + " in the last place"
                              : std::string("out of range")) +
           ", " +
           counted(static_cast<std::uint64_t>(error.correctDigits), "correct digit",
                   "correct digits");
}

bool approximates(const exact::ExactAnswer& answer) {
    const auto approximate = [](const exact::ExactComponent& c) { return !c.isFraction; };
    bool any = std::any_of(answer.components.begin(), answer.components.end(), approximate);
    for (const exact::ExactVector& v : answer.nullSpace)
        any = any || std::any_of(v.begin(), v.end(), approximate);
    return any;
}

void appendAnswer(std::vector<std::string>& lines, const exact::ExactAnswer& answer) {
    if (answer.status == exact::ExactStatus::solved)
        appendComponents(lines, answer.components);
    else
        appendSingular(lines, answer);
}

} // namespace

std::string noUniqueSolutionText(const exact::ExactAnswer& answer) {
    return std::string(exact::kNoUniqueSolutionText) + " " + ranksText(answer) +
           (answer.status == exact::ExactStatus::noSolution
                ? ": there is no solution."
                : ": there are infinitely many solutions.");
}

std::vector<std::string> exactLines(const CalculateReport& report) {
    if (!report.exact)
        return {};
    const exact::ExactReport& exact = *report.exact;
    const exact::ExactAnswer& ofDoubles = exact.ofDoubles();
    std::vector<std::string> lines;
    const std::optional<std::string> notAsWritten = exact.notAsWrittenReason();
    const bool twoSystems = exact.doubles || notAsWritten;
    if (notAsWritten)
        lines.push_back("Not solved as written: " + *notAsWritten + ".");
    if (exact.doubles) {
        lines.emplace_back("As written, each decimal and fraction its own value:");
        appendAnswer(lines, exact.asWritten);
    }
    if (twoSystems)
        lines.emplace_back("As the methods got it, each number its nearest double:");
    appendAnswer(lines, ofDoubles);
    if (approximates(exact.asWritten) || approximates(ofDoubles))
        lines.push_back(approximationNote(report.decimalEntries && !exact.doubles));
    if (exact.writtenDropped && report.decimalEntries)
        lines.push_back("The system has more than " + intToText(WrittenValues::kLargestOrder) +
                        " equations: its numbers count as their doubles, not as written.");
    if (ofDoubles.status != exact::ExactStatus::solved) {
        for (const MethodReport& result : report.methods)
            if (result.solved)
                lines.push_back(std::string(result.method->title) +
                                ": its numbers come from rounding alone.");
        return lines;
    }
    if (exact.inputRounding)
        lines.push_back("Rounding the input to doubles: " + errorText(*exact.inputRounding));
    std::size_t judged = 0;
    bool largestEntryUnits = exact.inputRounding && exact.inputRounding->inLargestEntryUnits;
    for (const MethodReport& result : report.methods) {
        if (!result.solved || judged >= exact.errors.size())
            continue;
        const exact::MethodError& error = exact.errors[judged++];
        largestEntryUnits = largestEntryUnits || error.inLargestEntryUnits;
        lines.push_back(std::string(result.method->title)
                            .append(twoSystems ? " against the doubles' solution: " : ": ")
                            .append(errorText(error))
                            .append("; ")
                            .append(boundVerdict(result, error)));
    }
    if (judged > 0)
        lines.push_back("A unit in the last place is the gap between neighbouring doubles: 0 "
                        "means the method found the correctly rounded value" +
                        std::string(largestEntryUnits
                                        ? "; where the exact value is 0 or below the last place "
                                          "of x's largest entry, the unit is that of x's largest "
                                          "entry."
                                        : "."));
    return lines;
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
        if (result.refined)
            appendRefined(text, *result.refined, report);
        if (!result.solved)
            text.append("  No solution: the method failed, so there is nothing to measure.\n");
    }
    text.append("\n");
    appendExact(text, report);
    return text;
}

std::string accuracyTable(const CalculateReport& report) {
    std::string table;
    for (const std::vector<std::string>& row : resultRows(report)) {
        for (std::size_t k = 0; k < row.size(); ++k)
            table.append(k > 0 ? "\t" : "").append(row[k]);
        table += '\n';
    }
    return table;
}

std::string counted(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count).append(" ").append(count == 1 ? one : many);
}

std::string solutionCopyText(const Vector& x, int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text.append(doubleToText(x(i), Digits::roundTrip)).append("\n");
    return text;
}

std::string approximationNote(bool longFractions) {
    std::string note = "\u2248: the fraction has more than " +
                       intToText(exact::kShortFractionDigits) + " digits and is shown rounded to " +
                       intToText(exact::kApproximationDigits) + " digits";
    if (longFractions)
        note += "; each number of A and b counts as the binary fraction its double holds (0.1 "
                "is 3602879701896397/36028797018963968)";
    return note;
}

std::string expectedTimeText(const CalculateReport& report) {
    return expectedTimeText(report.n, report.entryBits, report.exactTimeFactor);
}

std::string exactProgressText(const CalculateReport& report) {
    return "Computing the exact solution (" + expectedTimeText(report) + ")";
}

bool holdsLongFractions(const Matrix& A, const Vector& b, int n) {
    // A short decimal such as 0.5 is a short binary fraction too; 0.1 needs all 53 bits.
    constexpr int kShortBits = 24;
    const auto decimal = [](double value) {
        const exact::BinaryFraction f = exact::binaryFraction(value);
        return f.exponent < 0 && std::bit_width(static_cast<std::uint64_t>(
                                     f.mantissa < 0 ? -f.mantissa : f.mantissa)) > kShortBits;
    };
    for (int i = 1; i <= n; ++i) {
        if (decimal(b(i)))
            return true;
        for (int j = 1; j <= n; ++j)
            if (decimal(A(i, j)))
                return true;
    }
    return false;
}

std::string expectedTimeText(int n, int entryBits, double factor) {
    const double seconds = exact::estimatedSeconds(n, entryBits) * factor;
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
