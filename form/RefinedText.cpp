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

} // namespace

std::string refinedCheckText(const RefinedCheck& check, const RefinedReport& report) {
    const Refined& refined = report.refined;
    std::string text = "Checked against the exact solution: ";
    if (check.largestUlps == 0)
        return text + "every component is its nearest double.";
    text += "at most " + ulpsText(check.largestUlps) + " ulps from its nearest double";
    if (refined.status == RefinedStatus::notConverged)
        return text + ".";
    return text + (check.holds ? ", as claimed." : ", beyond the claim.");
}

std::string refinedStatusText(const RefinedReport& report) {
    const Refined& refined = report.refined;
    switch (refined.status) {
    case RefinedStatus::correctlyRounded:
        return report.settledExactly ? "correctly rounded, checked against the exact solution"
                                     : "correctly rounded";
    case RefinedStatus::withinUlps:
        return "within " + ulpsText(refined.ulps()) + " ulps";
    case RefinedStatus::notConverged:
        break;
    }
    return "not converged";
}

std::string refinedHeading(const RefinedReport& report) {
    const Refined& refined = report.refined;
    std::string text = "Refined solution, " + refinedStatusText(report);
    if (refined.status == RefinedStatus::notConverged)
        return text.append(": ").append(stopText(refined.stop));
    return text.append(", ").append(
        counted(static_cast<std::uint64_t>(refined.steps), "step", "steps"));
}

std::string_view refinedSystemName(const RefinedReport& report) {
    return report.towardsDoubles ? "doubles" : "written";
}

std::optional<std::string> towardsDoublesReason(const RefinedReport& report) {
    if (!report.towardsDoubles)
        return std::nullopt;
    const TowardsDoubles& why = *report.towardsDoubles;
    if (why.why == TowardsDoubles::Why::notKept)
        return "the numbers as written are not kept beyond " +
               intToText(WrittenValues::kLargestOrder) + " equations";
    std::string place =
        why.text + " (equation " + intToText(why.row) + ", " +
        (why.inB ? std::string("right-hand side") : "coefficient " + intToText(why.column)) + ")";
    switch (why.why) {
    case TowardsDoubles::Why::summed:
        return place + " is a sum of duplicates, added in doubles";
    case TowardsDoubles::Why::belowPairs:
        return place + " is beyond what a pair of doubles holds";
    case TowardsDoubles::Why::notANumber:
    case TowardsDoubles::Why::notKept:
        break;
    }
    return place + " is not read as written";
}

std::optional<std::string> refinedNote(const RefinedReport& report) {
    const std::optional<std::string> reason = towardsDoublesReason(report);
    if (!reason)
        return std::nullopt;
    return "The refinement is towards the doubles the methods got, not the system as written: " +
           *reason + ".";
}

const exact::ExactAnswer* refinedTruth(const RefinedReport& refined,
                                       const CalculateReport& report) {
    if (!report.exact)
        return nullptr;
    const exact::ExactAnswer* truth = &report.exact->asWritten;
    if (refined.towardsDoubles) {
        if (report.exact->doubles)
            truth = &*report.exact->doubles;
    } else if (report.exact->notHeld.any() || report.exact->writtenDropped) {
        return nullptr;
    }
    return truth->status == exact::ExactStatus::solved ? truth : nullptr;
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
        lines.push_back(refinedCheckText(*check, refined));
    return lines;
}

} // namespace lse
