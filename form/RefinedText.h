#pragma once

#include "CalculateReport.h"

#include <optional>
#include <string>
#include <vector>

namespace lse {

// What every front end says of a refined solution.

// Its state as JSON and CSV name it: "correctly rounded", "within 3 ulps" or "not converged".
std::string refinedStatusText(const Refined& refined);

// The line before a refined solution's components: "Refined solution, correctly rounded, 2
// steps", "Refined solution, within 3 ulps, 4 steps" or "Refined solution, not converged: the
// corrections stopped shrinking".
std::string refinedHeading(const RefinedReport& report);

// Where some written values could not be held as pairs, that the refinement is towards their
// doubles; none otherwise.
std::optional<std::string> refinedNote(const RefinedReport& report);

// The exact answer a refined solution is judged by: the system as written, which it was refined
// towards. Null before the exact solution is computed, where that system has no unique solution
// or was not solved, and where the refinement was towards another system (some written value
// could not be held as a pair, or b of row sums stood as its doubles).
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

// The lines of a refined solution before its components, without line ends: its heading, its
// note, and once the exact solution is computed, what that says of the claim.
std::vector<std::string> refinedLines(const RefinedReport& refined, const CalculateReport& report);

} // namespace lse
