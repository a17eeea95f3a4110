#pragma once

#include "CalculateReport.h"
#include "Messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lse {

// The texts of the accuracy view, Copy Solution and the warning after Calculate: the same
// for the window and the page. Lines end with "\n".

// One figure of a solved method as every front end shows it: its name, its value's text ("not
// available" where it cannot be had), what it means, and why it is missing.
struct FigureLine {
    std::string_view name;          // "Condition number"
    std::string_view key;           // its JSON member: "condition_number"
    std::optional<double> value;    // none where it cannot be had
    std::string text;               // the value as shown: "1.2e+17", "15", "not available"
    std::string_view meaning;       // one line for a student
    std::optional<std::string> why; // where it cannot be had, why
    bool count = false;             // a whole number, written as one
};

// The figures of a solved method, in the order shown: condition number, backward error, error
// bound, correct digits. Empty for a method that failed or offers no figures.
std::vector<FigureLine> figureLines(const MethodReport& result);

// Why the method's solution should not be trusted, as one sentence ("The Gauss Elimination
// solution may have no correct digit: its error bound is 3.4e+02."); none when it can be.
std::optional<std::string> doubtText(const MethodReport& result);

// The warning one Calculate earns when any solved method's figures call for it (style 48, the
// program's title): the concerned methods' sentences in order; none otherwise.
std::optional<Message> accuracyWarning(const CalculateReport& report);

// The accuracy view: for each method, its figures with one line saying what each means, or
// why it has none; then the exact solution when it has been computed, else its expected
// time. "Nothing to show" text when the report is empty.
std::string accuracyText(const CalculateReport& report);

// The exact solution's lines once computed, each without its line end: the components (p/q,
// or ≈ with the nearest double), the note on ≈, each solved method's error against it with
// whether its error bound held; or that the system has no unique solution. Empty before.
std::vector<std::string> exactLines(const CalculateReport& report);

// Of an exact answer without a unique solution, in one sentence: "The system has no unique
// solution. A has rank 1 and [A | b] rank 1: there are infinitely many solutions."
std::string noUniqueSolutionText(const exact::ExactAnswer& answer);

// Copy as Tab-Separated: the rows Save Results writes (SavedTexts.h: the unknowns side by
// side, the figures, the refinements, failures and notes), separated by tabs, for a
// spreadsheet.
std::string accuracyTable(const CalculateReport& report);

// "1 step", "2 steps": a count with its noun.
std::string counted(std::uint64_t count, std::string_view one, std::string_view many);

// Copy Solution: x(1..n), one number a line, each with the fewest digits that read back as
// the same double.
std::string solutionCopyText(const Vector& x, int n);

// What the exact solve of a system of n equations whose widest entry has entryBits bits
// (exact::entryBits) is expected to take, said before it starts: "about 3 seconds", by a solver
// that takes `factor` times as long as lineq-exact.
std::string expectedTimeText(int n, int entryBits, double factor = 1);
std::string expectedTimeText(const CalculateReport& report);

// What the progress display says while the exact solution is sought: "Computing the exact
// solution (about 3 seconds)".
std::string exactProgressText(const CalculateReport& report);

// The heading of the exact solution's lines, in the accuracy view and lineq-solve's text.
inline constexpr std::string_view kExactHeading = "Exact solution";

// Some entry of A or b is a decimal with no short binary fraction (0.1): the exact
// solution's fractions then run long.
bool holdsLongFractions(const Matrix& A, const Vector& b, int n);

// What is said beside an exact solution of which some value is shown rounded (≈), and, where
// the system holds long fractions, why short decimals gave them.
std::string approximationNote(bool longFractions);

} // namespace lse
