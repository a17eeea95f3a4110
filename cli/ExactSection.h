#pragma once

// The exact solution beside the methods' answers: --exact.

#include "ExactSolution.h"
#include "Methods.h"
#include "Report.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <vector>

namespace lse::cli {

struct ExactOutcome {
    exact::ExactReport report; // every p/q also whole, for JSON
    // One per method result, in order: nullopt for a method that failed, and for every method
    // when the doubles' system has no unique solution.
    std::vector<std::optional<exact::MethodError>> errors;
    double seconds = 0; // wall time of the solves and the judging
};

// The exact answer of the system as written (read with ReadOptions::keepWritten) and of the
// doubles the methods got, and each solved method's error.
// Before it, GMP's and FLINT's allocations end the program with one line and exit status 2
// when memory runs out, as a system too large to hold does.
// The report gets the exact solution as every front end shows it.
ExactOutcome solveExactly(const io::LinearSystem& system, CalculateReport& report);

// What the progress line says while the exact solution is sought: how long it should take.
std::string exactProgressText(const io::LinearSystem& system);

// "Exact Solution", then the report's exact lines as the accuracy view gives them.
std::string exactSection(const CalculateReport& report, const ReportOptions& options);

// "max_error_ulps" and "correct_digits" into the JSON of result number `index`, when judged.
void addExactError(nlohmann::ordered_json& result, const ExactOutcome& exact, std::size_t index);

// The "exact" member: status and ranks; values (whole fractions) and rounded (null beyond the
// doubles) of the system as written, doubles_values and the input's rounding where the doubles
// differ; particular and null_space, or certificate and certificate_value, without a unique
// solution.
nlohmann::ordered_json exactJson(const ExactOutcome& exact);

} // namespace lse::cli
