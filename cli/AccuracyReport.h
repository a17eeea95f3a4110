#pragma once

#include "CalculateReport.h"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <string_view>

namespace lse::cli {

// The figures of a solved method, one a line, as the accuracy view names them: "not
// available" with the reason for one that cannot be had. Nothing after a failure.
std::string accuracyLines(const MethodReport& result, std::string_view lineEnd);

// A solved method's "rcond" and "warning" (where one applies) in its JSON entry; with
// `allFigures`, the other figures beside "rcond". null for a figure that cannot be had.
void addAccuracy(nlohmann::ordered_json& entry, const MethodReport& result, bool allFigures);

} // namespace lse::cli
