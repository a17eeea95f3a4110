#include "ExactSection.h"

#include "AccuracyText.h"
#include "Estimate.h"
#include "OutOfMemory.h"
#include "Program.h"
#include "Rational.h"
#include "ResultText.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>

namespace lse::cli {

namespace {

using exact::ExactStatus;

// GMP would abort: one line, then the status of a system too large to hold. Nothing has been
// printed on standard output by then.
constexpr const char* kOutOfMemoryLine = "lineq-solve: not enough memory for the exact solution\n";

std::string componentLine(int i, const exact::ExactComponent& component,
                          const ReportOptions& options) {
    std::string line = "x" + intToText(i) + (component.isFraction ? " =" : " \u2248");
    line.append(kGap).append(component.text);
    // The double beside a value that is not written as that double, so that each method's
    // number can be read against it.
    if (!component.nearest)
        line.append(kGap).append("(nearest double out of range)");
    else if (const std::string nearest = doubleToText(*component.nearest, Digits::roundTrip);
             nearest != component.text)
        line.append(kGap).append("(nearest double ").append(nearest).append(")");
    return line.append(options.lineEnd);
}

std::string counted(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count).append(" ").append(count == 1 ? one : many);
}

std::string errorLine(std::string_view title, const exact::MethodError& error) {
    std::string line(title);
    line.append(": largest error ")
        .append(error.largestUlps ? counted(*error.largestUlps, "unit", "units")
                                  : std::string("out of range"))
        .append(error.largestUlps ? " in the last place, " : ", ")
        .append(counted(static_cast<std::uint64_t>(error.correctDigits), "correct digit",
                        "correct digits"));
    return line;
}

} // namespace

std::string exactProgressText(const io::LinearSystem& system) {
    return "Exact Solution: expected to take " +
           expectedTimeText(system.n, exact::entryBits(system.A, system.b, system.n));
}

ExactOutcome solveExactly(const io::LinearSystem& system,
                          const std::vector<MethodReport>& results) {
    exact::endProcessWhenArithmeticRunsOutOfMemory(kOutOfMemoryLine, exitStatus::badInput);
    const auto start = std::chrono::steady_clock::now();
    const exact::ExactSolution solution = exact::ExactSolution::solve(system.A, system.b, system.n);
    ExactOutcome outcome;
    outcome.status = solution.status();
    outcome.fractionsInSystem = holdsLongFractions(system.A, system.b, system.n);
    outcome.components = solution.components();
    outcome.fractions = solution.fractions();
    for (const MethodReport& result : results) {
        if (result.solved && outcome.status == ExactStatus::solved)
            outcome.errors.emplace_back(solution.judge(result.x));
        else
            outcome.errors.emplace_back();
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

std::string exactSection(const ExactOutcome& exact, const std::vector<MethodReport>& results,
                         const ReportOptions& options) {
    std::string section = std::string("Exact Solution").append(options.lineEnd);
    if (exact.status != ExactStatus::solved)
        section.append(exact::kNoUniqueSolutionText).append(options.lineEnd);
    bool approximate = false;
    for (std::size_t i = 0; i < exact.components.size(); ++i) {
        section.append(componentLine(static_cast<int>(i) + 1, exact.components[i], options));
        approximate = approximate || !exact.components[i].isFraction;
    }
    if (approximate)
        section.append(approximationNote(exact.fractionsInSystem)).append(options.lineEnd);
    for (std::size_t m = 0; m < results.size(); ++m) {
        const std::string_view title = results[m].method->title;
        if (const std::optional<exact::MethodError>& error = exact.errors[m])
            section.append(errorLine(title, *error)).append(options.lineEnd);
        else if (results[m].solved)
            section.append(title)
                .append(": its numbers come from rounding alone")
                .append(options.lineEnd);
    }
    return section;
}

void addExactError(nlohmann::ordered_json& result, const ExactOutcome& exact, std::size_t index) {
    const std::optional<exact::MethodError>& error = exact.errors[index];
    if (!error)
        return;
    result["max_error_ulps"] =
        error->largestUlps ? nlohmann::ordered_json(*error->largestUlps) : nullptr;
    result["correct_digits"] = error->correctDigits;
}

nlohmann::ordered_json exactJson(const ExactOutcome& exact) {
    nlohmann::ordered_json rounded = nlohmann::ordered_json::array();
    for (const exact::ExactComponent& component : exact.components)
        rounded.push_back(component.nearest ? nlohmann::ordered_json(*component.nearest) : nullptr);
    nlohmann::ordered_json object;
    object["status"] = exact.status == ExactStatus::solved ? "solved" : "no unique solution";
    object["values"] = exact.fractions;
    object["rounded"] = std::move(rounded);
    return object;
}

} // namespace lse::cli
