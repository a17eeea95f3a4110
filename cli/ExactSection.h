#pragma once

// The exact solution beside the methods' answers: --exact.

#include "ExactReport.h"
#include "Report.h"
#include "Session.h"

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace lse::cli {

// The exact solver of lineq-solve, in its own process: the system as written (read with
// ReadOptions::keepWritten) and the doubles the methods got, every p/q also whole, for JSON.
// Before it, GMP's and FLINT's allocations end the program with one line and exit status 2
// when memory runs out, as a system too large to hold does.
ExactSolver inProcessExactSolver();

// The form's exact heading, then the report's exact lines as the accuracy view gives them.
std::string exactSection(const CalculateReport& report, const ReportOptions& options);

// "max_error_ulps" and "correct_digits" into a method's JSON result, when it was judged.
void addExactError(nlohmann::ordered_json& json, const MethodReport& result);

// The "exact" member: status and ranks; values (whole fractions) and rounded (null beyond the
// doubles) of the system as written, doubles_values and the input's rounding where the doubles
// differ; particular and null_space, or certificate and certificate_value, without a unique
// solution.
nlohmann::ordered_json exactJson(const exact::ExactReport& report);

} // namespace lse::cli
