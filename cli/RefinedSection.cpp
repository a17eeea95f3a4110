#include "RefinedSection.h"

#include "AccuracyText.h"
#include "ResultText.h"

#include <nlohmann/json.hpp>

namespace lse::cli {

std::string refinedLines(const MethodReport& result, int n, std::string_view lineEnd,
                         Digits digits) {
    if (!result.refined)
        return {};
    std::string lines = refinedHeading(*result.refined).append(lineEnd);
    if (const std::optional<std::string> note = refinedNote(*result.refined))
        lines.append(*note).append(lineEnd);
    const std::vector<double>& refined = result.refined->refined.x;
    Vector x;
    x.recreate(n);
    for (int i = 1; i <= n; ++i)
        x(i) = refined[static_cast<std::size_t>(i)];
    return lines.append(namedLines("x", x, n, lineEnd, digits));
}

void addRefined(nlohmann::ordered_json& entry, const MethodReport& result) {
    if (!result.refined)
        return;
    const Refined& refined = result.refined->refined;
    nlohmann::ordered_json member;
    member["x"] = std::vector<double>(refined.x.begin() + 1, refined.x.end());
    member["status"] = refinedStatusText(refined);
    member["steps"] = refined.steps;
    member["bound_ulps"] = refined.boundUlps ? nlohmann::ordered_json(*refined.boundUlps)
                                             : nlohmann::ordered_json(nullptr);
    entry["refined"] = std::move(member);
}

} // namespace lse::cli
