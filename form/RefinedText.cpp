#include "RefinedText.h"

#include "AccuracyText.h"
#include "Digits.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace lse {

namespace {

std::string_view stopText(RefineStop stop) {
    switch (stop) {
    case RefineStop::converged:
        break;
    case RefineStop::conditionTooLarge:
        return "the matrix is too ill-conditioned for its factors to refine the solution";
    case RefineStop::stalled:
        return "the corrections stopped shrinking";
    case RefineStop::stepLimit:
        return "the solution was still changing after the last step";
    case RefineStop::notFinite:
        return "a residual or a correction overflowed";
    }
    return "it stopped early";
}

// A whole number of ulps as a count; one too large for that is beyond any use as a count.
std::string ulpsText(double ulps) {
    return ulps < 1e15 ? intToText(static_cast<long long>(ulps)) : figureText(ulps);
}

std::string checkText(const RefinedCheck& check, const Refined& refined) {
    std::string text = "Checked against the exact solution: ";
    if (check.largestUlps == 0)
        return text + "every component is its nearest double.";
    text += "at most " + ulpsText(check.largestUlps) + " ulps from its nearest double";
    if (refined.status == RefinedStatus::notConverged)
        return text + ".";
    return text + (check.holds ? ", as claimed." : ", beyond the claim.");
}

} // namespace

std::string refinedStatusText(const Refined& refined) {
    switch (refined.status) {
    case RefinedStatus::correctlyRounded:
        return "correctly rounded";
    case RefinedStatus::withinUlps:
        return "within " + ulpsText(refined.ulps()) + " ulps";
    case RefinedStatus::notConverged:
        break;
    }
    return "not converged";
}

std::string refinedHeading(const RefinedReport& report) {
    const Refined& refined = report.refined;
    std::string text = "Refined solution, " + refinedStatusText(refined);
    if (refined.status == RefinedStatus::notConverged)
        return text.append(": ").append(stopText(refined.stop));
    return text.append(", ").append(
        counted(static_cast<std::uint64_t>(refined.steps), "step", "steps"));
}

std::optional<std::string> refinedNote(const RefinedReport& report) {
    std::string note;
    if (report.towardsDoubles > 0)
        note = counted(static_cast<std::uint64_t>(report.towardsDoubles), "written value",
                       "written values") +
               (report.towardsDoubles == 1
                    ? " could not be held exactly: the refinement is towards its double."
                    : " could not be held exactly: the refinement is towards their doubles.");
    if (report.rowSumsAsDoubles)
        note.append(note.empty() ? "" : " ")
            .append("b, the row sums of A, stands as its doubles: the refinement is towards them.");
    return note.empty() ? std::nullopt : std::optional<std::string>(note);
}

const exact::ExactAnswer* refinedTruth(const RefinedReport& refined,
                                       const CalculateReport& report) {
    if (!report.exact || refined.towardsDoubles > 0 || refined.rowSumsAsDoubles ||
        report.exact->notHeld.any())
        return nullptr;
    const exact::ExactAnswer& written = report.exact->asWritten;
    return written.status == exact::ExactStatus::solved ? &written : nullptr;
}

std::optional<RefinedCheck> refinedCheck(const RefinedReport& refined,
                                         const CalculateReport& report) {
    const exact::ExactAnswer* truth = refinedTruth(refined, report);
    if (!truth)
        return std::nullopt;
    const std::vector<double>& x = refined.refined.x;
    RefinedCheck check;
    for (std::size_t i = 1; i < x.size() && i <= truth->components.size(); ++i) {
        const std::optional<double>& nearest = truth->components[i - 1].nearest;
        if (!nearest || !std::isfinite(x[i]))
            return std::nullopt;
        if (x[i] != *nearest)
            check.largestUlps = std::max(check.largestUlps,
                                         std::ceil(std::fabs(x[i] - *nearest) / smallerUlp(x[i])));
    }
    if (refined.refined.status != RefinedStatus::notConverged)
        check.holds = check.largestUlps <= refined.refined.ulps();
    return check;
}

std::vector<std::string> refinedLines(const RefinedReport& refined, const CalculateReport& report) {
    std::vector<std::string> lines{refinedHeading(refined)};
    if (std::optional<std::string> note = refinedNote(refined))
        lines.push_back(std::move(*note));
    if (const std::optional<RefinedCheck> check = refinedCheck(refined, report))
        lines.push_back(checkText(*check, refined.refined));
    return lines;
}

} // namespace lse
