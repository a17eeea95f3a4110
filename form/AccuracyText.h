#pragma once

#include "CalculateReport.h"
#include "Messages.h"

#include <optional>
#include <string>

namespace lse {

// The texts of the accuracy view, Copy Solution and the warning after Calculate: the same
// for the window and the page. Lines end with "\n".

// The warning one Calculate earns when any solved method's figures call for it (style 48, the
// program's title); none otherwise.
std::optional<Message> accuracyWarning(const CalculateReport& report);

// The accuracy view: for each method, its figures with one line saying what each means, or
// why it has none; then the exact solution when it has been computed, else its expected
// time. "Nothing to show" text when the report is empty.
std::string accuracyText(const CalculateReport& report);

// The view's figures and exact table as tab-separated values, a header row first, for a
// spreadsheet.
std::string accuracyTable(const CalculateReport& report);

// Copy Solution: x(1..n), one number a line, each with the fewest digits that read back as
// the same double.
std::string solutionCopyText(const Vector& x, int n);

// What the exact solve of the report's system is expected to take, for the view to say
// before it starts: "about 3 seconds".
std::string expectedTimeText(const CalculateReport& report);

} // namespace lse
