#pragma once

#include "CalculateReport.h"
#include "NumberText.h"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <string_view>

namespace lse::cli {

// A refined method's heading line ("Refined solution, correctly rounded, 2 steps"), the note
// where it was refined towards some doubles, then its x lines in `digits`. Empty where the
// method was not refined.
std::string refinedLines(const MethodReport& result, int n, std::string_view lineEnd,
                         Digits digits);

// A refined method's "refined" member: x, status, steps and bound_ulps (null where the
// refinement did not converge). Nothing where the method was not refined.
void addRefined(nlohmann::ordered_json& entry, const MethodReport& result);

} // namespace lse::cli
