#include "Report.h"

#include "AccuracyReport.h"
#include "ExactSection.h"
#include "RefinedSection.h"
#include "ResultText.h"
#include "WindowLayout.h"

#include <nlohmann/json.hpp>

namespace lse::cli {

namespace {

// The window's box texts, with the digits asked for.
std::string matrixLines(const Matrix& A, int n, const ReportOptions& options) {
    return matrixText(A, n, options.lineEnd, options.digits);
}

std::string vectorLines(std::string_view name, const Vector& v, int n,
                        const ReportOptions& options) {
    return namedLines(name, v, n, options.lineEnd, options.digits);
}

std::string headed(std::string_view heading, const std::string& lines,
                   const ReportOptions& options) {
    return std::string(heading).append(options.lineEnd).append(lines);
}

std::vector<double> entries(const Vector& v, int n) {
    return {v.data() + 1, v.data() + 1 + n};
}

} // namespace

std::vector<std::string> leadingSections(const io::LinearSystem& system,
                                         const ReportOptions& options) {
    std::vector<std::string> sections;
    if (system.written.bIsRowSums)
        sections.push_back(std::string("b = A (1, ..., 1), the row sums of A: no --rhs file "
                                       "was given")
                               .append(options.lineEnd));
    if (options.echo) {
        sections.push_back(headed(window::headingOf(TextBox::display),
                                  matrixLines(system.A, system.n, options), options));
        sections.push_back(headed(window::headingOf(TextBox::txtVector),
                                  vectorLines("b", system.b, system.n, options), options));
    }
    return sections;
}

std::string resultSection(const MethodReport& result, const CalculateReport& report,
                          const ReportOptions& options) {
    const int n = report.n;
    std::string lines = result.solved ? vectorLines("x", result.x, n, options) : std::string();
    if (options.accuracy)
        lines.append(accuracyLines(result, options.lineEnd));
    lines.append(refinedSection(result, report, options.lineEnd, options.digits));
    return headed(result.method->heading, lines, options);
}

std::string jsonReport(const io::LinearSystem& system, const CalculateReport& results, bool echo,
                       bool accuracy) {
    // Keys in the order written; doubles are written with the digits that round-trip.
    nlohmann::ordered_json report;
    report["n"] = system.n;
    report["rhs"] = system.written.bIsRowSums ? "row sums" : "input";
    if (echo) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (int i = 1; i <= system.n; ++i)
            rows.push_back(
                std::vector<double>(system.A.row(i) + 1, system.A.row(i) + 1 + system.n));
        report["A"] = std::move(rows);
        report["b"] = entries(system.b, system.n);
    }
    nlohmann::ordered_json methods = nlohmann::ordered_json::array();
    for (const MethodReport& result : results.methods) {
        nlohmann::ordered_json entry;
        entry["method"] = std::string(result.method->name);
        entry["status"] = result.solved ? "solved" : "failed";
        if (result.solved)
            entry["x"] = entries(result.x, system.n);
        else
            entry["failure"] = result.failure->text;
        addAccuracy(entry, result, accuracy);
        addExactError(entry, result);
        addRefined(entry, result, results);
        methods.push_back(std::move(entry));
    }
    report["results"] = std::move(methods);
    if (results.exact)
        report["exact"] = exactJson(*results.exact);
    return report.dump() + "\n";
}

} // namespace lse::cli
