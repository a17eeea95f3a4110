#include "ExactSection.h"

#include "AccuracyText.h"
#include "ExactSolution.h"
#include "OutOfMemory.h"
#include "Program.h"

#include <nlohmann/json.hpp>

namespace lse::cli {

namespace {

using exact::ExactStatus;

// GMP would abort: one line, then the status of a system too large to hold. Nothing has been
// printed on standard output by then.
constexpr const char* kOutOfMemoryLine = "lineq-solve: not enough memory for the exact solution\n";

} // namespace

ExactSolver inProcessExactSolver() {
    exact::endProcessWhenArithmeticRunsOutOfMemory(kOutOfMemoryLine, exitStatus::badInput);
    return [](const ExactProblem& problem, WorkStatus&) -> Task<std::optional<ExactOutcome>> {
        co_return ExactOutcome{ExactOutcome::Ending::solved,
                               exact::solveAndJudge(problem.A, problem.b, problem.n,
                                                    problem.methodSolutions, problem.written,
                                                    exact::ExactDetail::whole),
                               {}};
    };
}

std::string exactSection(const CalculateReport& report, const ReportOptions& options) {
    std::string section = std::string(kExactHeading).append(options.lineEnd);
    for (const std::string& line : exactLines(report))
        section.append(line).append(options.lineEnd);
    return section;
}

void addExactError(nlohmann::ordered_json& json, const MethodReport& result) {
    const std::optional<exact::MethodError>& error = result.measured;
    if (!error)
        return;
    json["max_error_ulps"] =
        error->largestUlps ? nlohmann::ordered_json(*error->largestUlps) : nullptr;
    json["correct_digits"] = error->correctDigits;
}

namespace {

nlohmann::ordered_json wholeValues(const exact::ExactVector& v) {
    nlohmann::ordered_json values = nlohmann::ordered_json::array();
    for (const exact::ExactComponent& c : v)
        values.push_back(c.whole);
    return values;
}

const char* statusName(ExactStatus status) {
    switch (status) {
    case ExactStatus::solved:
        return "solved";
    case ExactStatus::noSolution:
        return "no solution";
    case ExactStatus::infinitelyMany:
        return "infinitely many";
    }
    return "solved";
}

} // namespace

nlohmann::ordered_json exactJson(const exact::ExactReport& report) {
    const exact::ExactAnswer& written = report.asWritten;
    nlohmann::ordered_json object;
    object["status"] = statusName(written.status);
    object["rank"] = written.rank;
    object["augmented_rank"] = written.augmentedRank;
    if (written.status == ExactStatus::solved) {
        nlohmann::ordered_json rounded = nlohmann::ordered_json::array();
        for (const exact::ExactComponent& component : written.components)
            rounded.push_back(component.nearest ? nlohmann::ordered_json(*component.nearest)
                                                : nullptr);
        object["values"] = wholeValues(written.components);
        object["rounded"] = std::move(rounded);
    } else if (written.status == ExactStatus::infinitelyMany) {
        object["particular"] = wholeValues(written.components);
        nlohmann::ordered_json basis = nlohmann::ordered_json::array();
        for (const exact::ExactVector& v : written.nullSpace)
            basis.push_back(wholeValues(v));
        object["null_space"] = std::move(basis);
    } else {
        object["certificate"] = wholeValues(written.certificate);
        object["certificate_value"] = written.certificateValue.whole;
    }
    if (report.doubles) {
        object["doubles_status"] = statusName(report.doubles->status);
        if (report.doubles->status == ExactStatus::solved)
            object["doubles_values"] = wholeValues(report.doubles->components);
    }
    if (report.inputRounding) {
        object["input_rounding_ulps"] =
            report.inputRounding->largestUlps
                ? nlohmann::ordered_json(*report.inputRounding->largestUlps)
                : nullptr;
        object["input_rounding_correct_digits"] = report.inputRounding->correctDigits;
    }
    if (report.writtenDropped || report.notHeld.any() || report.summed.any())
        object["as_written"] = false;
    if (report.summed.any())
        object["summed_entries"] = {
            {"count", report.summed.count},
            {"first", {{"equation", report.summed.row}, {"column", report.summed.column}}}};
    if (report.notHeld.any()) {
        nlohmann::ordered_json values = nlohmann::ordered_json::array();
        for (const exact::NotHeldValue& value : report.notHeld.listed)
            values.push_back(
                {{"text", value.text}, {"equation", value.row}, {"column", value.column}});
        object["written_values_not_held"] = std::move(values);
        object["written_values_not_held_count"] = report.notHeld.count;
    }
    return object;
}

} // namespace lse::cli
