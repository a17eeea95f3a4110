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

} // namespace

std::string exactProgressText(const io::LinearSystem& system) {
    return "Exact Solution: expected to take " +
           expectedTimeText(system.n, exact::entryBits(system.A, system.b, system.n));
}

ExactOutcome solveExactly(const io::LinearSystem& system, CalculateReport& report) {
    const std::vector<MethodReport>& results = report.methods;
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
    exact::ExactReport& shown = report.exact.emplace();
    shown.status = outcome.status;
    shown.components = outcome.components;
    for (const std::optional<exact::MethodError>& error : outcome.errors)
        if (error)
            shown.errors.push_back(*error);
    report.decimalEntries = outcome.fractionsInSystem;
    return outcome;
}

std::string exactSection(const CalculateReport& report, const ReportOptions& options) {
    std::string section = std::string("Exact Solution").append(options.lineEnd);
    for (const std::string& line : exactLines(report))
        section.append(line).append(options.lineEnd);
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
