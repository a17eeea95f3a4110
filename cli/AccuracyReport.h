#pragma once

#include "Methods.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace lse::cli {

// Why a solution should not be trusted, when its figures say so ("the solution may have no
// correct digit (its error bound is 3.4e+02)"); after the program's name and the method's
// title on standard error, alone in JSON.
std::optional<std::string> accuracyWarning(const MethodResult& result);

// The figures of a solved method, one a line: condition number, backward error, error bound
// and the correct digits they leave; "not available" for one that cannot be had. Nothing
// after a failure.
std::string accuracyLines(const MethodResult& result, std::string_view lineEnd);

// A solved method's "rcond" and "warning" (where one applies) in its JSON entry; with
// `allFigures`, the other figures beside "rcond". null for a figure that cannot be had.
void addAccuracy(nlohmann::ordered_json& entry, const MethodResult& result, bool allFigures);

} // namespace lse::cli
