#include "RefinedSection.h"

#include "AccuracyText.h"
#include "RefinedText.h"
#include "ResultText.h"

#include <nlohmann/json.hpp>

namespace lse::cli {

std::string refinedSection(const MethodReport& result, const CalculateReport& report,
                           std::string_view lineEnd, Digits digits) {
    if (!result.refined)
        return {};
    std::string lines;
    for (const std::string& line : refinedLines(*result.refined, report))
        lines.append(line).append(lineEnd);
    const std::vector<double>& refined = result.refined->refined.x;
    const int n = report.n;
    Vector x;
    x.recreate(n);
    for (int i = 1; i <= n; ++i)
        x(i) = refined[static_cast<std::size_t>(i)];
    return lines.append(namedLines("x", x, n, lineEnd, digits));
}

void addRefined(nlohmann::ordered_json& entry, const MethodReport& result,
                const CalculateReport& report) {
    if (!result.refined)
        return;
    const Refined& refined = result.refined->refined;
    nlohmann::ordered_json member;
    member["x"] = std::vector<double>(refined.x.begin() + 1, refined.x.end());
    member["status"] = refinedStatusText(*result.refined);
    member["system"] = refinedSystemName(*result.refined);
    member["as_written"] = !result.refined->towardsDoubles;
    if (const std::optional<std::string> reason = towardsDoublesReason(*result.refined))
        member["reason"] = *reason;
    member["steps"] = refined.steps;
    member["bound_ulps"] = refined.boundUlps ? nlohmann::ordered_json(*refined.boundUlps)
                                             : nlohmann::ordered_json(nullptr);
    if (result.refined->settledExactly && !report.exact)
        member["exact_check"] = {{"ulps", 0.0}, {"holds", true}, {"settled", true}};
    else if (const std::optional<RefinedCheck> check = refinedCheck(*result.refined, report))
        member["exact_check"] = {{"ulps", check->largestUlps},
                                 {"holds", check->holds},
                                 {"settled", result.refined->settledExactly}};
    entry["refined"] = std::move(member);
}

} // namespace lse::cli
