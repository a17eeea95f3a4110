#pragma once

#include "CalculateReport.h"
#include "NumberText.h"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <string_view>

namespace lse::cli {

// A refined method's heading line ("Refined solution, correctly rounded, 2 steps"), the note
// where it was refined towards some doubles, what the exact solution says of it once computed,
// then its x lines in `digits`. Empty where the method was not refined.
std::string refinedSection(const MethodReport& result, const CalculateReport& report,
                           std::string_view lineEnd, Digits digits);

// A refined method's "refined" member: x, status, steps, bound_ulps (null where the refinement
// did not converge) and, once the exact solution is computed, "exact_check": the farthest
// component's ulps from it and whether the status's claim holds. Nothing where the method was
// not refined.
void addRefined(nlohmann::ordered_json& entry, const MethodReport& result,
                const CalculateReport& report);

} // namespace lse::cli
