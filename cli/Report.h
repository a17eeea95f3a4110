#pragma once

#include "CalculateReport.h"
#include "NumberText.h"
#include "SystemReader.h"

#include <string>
#include <string_view>

namespace lse::cli {

struct ReportOptions {
    Digits digits = Digits::window;
    bool echo = false; // A and b laid out as the window echoes them, all of A
    std::string_view lineEnd = "\n";
    bool accuracy = false; // each solution's figures after its lines, all of them in JSON
};

// The sections printed before the results: the note that b was made from A, and the echo.
// Each starts with its heading line; the caller separates sections.
std::vector<std::string> leadingSections(const io::LinearSystem& system,
                                         const ReportOptions& options);

// A method's heading, then its lines as the window's box shows them, and with
// options.accuracy its figures, then its refined solution where it was refined: none after a
// failure.
std::string resultSection(const MethodReport& result, const CalculateReport& report,
                          const ReportOptions& options);

// The whole run as one JSON object on one line: each solution's RCOND, and with `accuracy` all
// its figures; with the exact solution and each method's error against it once the report
// has them; each refined method's "refined" member.
std::string jsonReport(const io::LinearSystem& system, const CalculateReport& report, bool echo,
                       bool accuracy = false);

} // namespace lse::cli
