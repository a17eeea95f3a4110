#pragma once

#include "CalculateReport.h"

#include <optional>
#include <string>
#include <vector>

namespace lse {

// What every front end says of a refined solution.

// Its state as JSON and CSV name it: "correctly rounded" (", checked against the exact
// solution" where that settled it), "within 3 ulps" or "not converged".
std::string refinedStatusText(const RefinedReport& report);

// The system it was refined towards: "written", or "doubles" where some written value could not
// be held as a pair (towardsDoublesReason says why).
std::string_view refinedSystemName(const RefinedReport& report);
std::optional<std::string> towardsDoublesReason(const RefinedReport& report);

// The line before a refined solution's components: "Refined solution, correctly rounded, 2
// steps", "Refined solution, within 3 ulps, 4 steps" or "Refined solution, not converged: the
// corrections stopped shrinking".
std::string refinedHeading(const RefinedReport& report);

// Where the refinement is towards the doubles, that it is and why; none otherwise.
std::optional<std::string> refinedNote(const RefinedReport& report);

// The exact answer a refined solution is judged by: that of the system it was refined towards,
// as written or the doubles. Null before the exact solution is computed, and where that system
// has no unique solution or was not solved.
const exact::ExactAnswer* refinedTruth(const RefinedReport& refined, const CalculateReport& report);

// The refined solution against that answer's nearest doubles: its farthest component, in units
// in the last place of the refined value, and whether that keeps the status's claim (a status of
// "not converged" claims nothing). None without a truth, or where a component's nearest double
// is beyond the doubles.
struct RefinedCheck {
    double largestUlps = 0;
    bool holds = true;
};
std::optional<RefinedCheck> refinedCheck(const RefinedReport& refined,
                                         const CalculateReport& report);

// "Checked against the exact solution: ...", whether the check keeps the claim.
std::string refinedCheckText(const RefinedCheck& check, const RefinedReport& report);

// The lines of a refined solution before its components, without line ends: its heading, its
// note, and once the exact solution is computed, what that says of the claim.
std::vector<std::string> refinedLines(const RefinedReport& refined, const CalculateReport& report);

} // namespace lse
