#include "AccuracyReport.h"

#include "AccuracyText.h"

#include <nlohmann/json.hpp>

namespace lse::cli {

std::string accuracyLines(const MethodReport& result, std::string_view lineEnd) {
    std::string lines;
    for (const FigureLine& line : figureLines(result)) {
        lines.append(line.name).append(": ").append(line.text);
        if (line.why)
            lines.append(" (").append(*line.why).append(")");
        lines.append(lineEnd);
    }
    return lines;
}

void addAccuracy(nlohmann::ordered_json& entry, const MethodReport& result, bool allFigures) {
    if (!result.solved)
        return;
    const std::optional<AccuracyFigures>& figures = result.figures;
    entry["rcond"] = figures && figures->rcond ? nlohmann::ordered_json(*figures->rcond)
                                               : nlohmann::ordered_json(nullptr);
    if (allFigures)
        for (const FigureLine& line : figureLines(result))
            entry[std::string(line.key)] =
                !line.value  ? nlohmann::ordered_json(nullptr)
                : line.count ? nlohmann::ordered_json(static_cast<int>(*line.value))
                             : nlohmann::ordered_json(*line.value);
    if (const std::optional<std::string> warning = doubtText(result))
        entry["warning"] = *warning;
}

} // namespace lse::cli
