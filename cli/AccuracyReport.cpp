#include "AccuracyReport.h"

#include "NumberText.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace lse::cli {

namespace {

constexpr const char* kNotAvailable = "not available";

// kappa_1 = 1 / RCOND; an estimate that overflowed leaves RCOND 0, a matrix beyond the doubles.
std::string conditionText(double rcond) {
    const double condition = 1.0 / rcond;
    return std::isinf(condition) ? "infinite" : figureText(condition);
}

std::string figureOrNot(const std::optional<double>& figure) {
    return figure ? figureText(*figure) : kNotAvailable;
}

nlohmann::ordered_json jsonOrNull(const auto& figure) {
    return figure ? nlohmann::ordered_json(*figure) : nlohmann::ordered_json(nullptr);
}

} // namespace

std::optional<std::string> accuracyWarning(const MethodResult& result) {
    if (!result.accuracy || !result.accuracy->warning())
        return std::nullopt;
    const AccuracyFigures& figures = *result.accuracy;
    if (figures.singularToWorkingPrecision())
        return "the matrix is singular to working precision (estimated condition number " +
               conditionText(*figures.rcond) + "); the solution may have no correct digit";
    return "the solution may have no correct digit (its error bound is " +
           figureText(*figures.ferr) + ")";
}

std::string accuracyLines(const MethodResult& result, std::string_view lineEnd) {
    if (!result.solved())
        return {};
    const AccuracyFigures figures = result.accuracy.value_or(AccuracyFigures{});
    const std::optional<int> digits = figures.correctDigits();
    std::string lines;
    const auto line = [&](std::string_view name, const std::string& value) {
        lines.append(name).append(": ").append(value).append(lineEnd);
    };
    line("condition number (estimated)",
         figures.rcond ? conditionText(*figures.rcond) : kNotAvailable);
    line("backward error", figureOrNot(figures.berr));
    line("error bound", figureOrNot(figures.ferr));
    line("estimated correct digits", digits ? intToText(*digits) : kNotAvailable);
    return lines;
}

void addAccuracy(nlohmann::ordered_json& entry, const MethodResult& result, bool allFigures) {
    if (!result.solved())
        return;
    const AccuracyFigures figures = result.accuracy.value_or(AccuracyFigures{});
    entry["rcond"] = jsonOrNull(figures.rcond);
    if (allFigures) {
        entry["backward_error"] = jsonOrNull(figures.berr);
        entry["forward_error_bound"] = jsonOrNull(figures.ferr);
        entry["estimated_correct_digits"] = jsonOrNull(figures.correctDigits());
    }
    if (const std::optional<std::string> warning = accuracyWarning(result))
        entry["warning"] = *warning;
}

} // namespace lse::cli
