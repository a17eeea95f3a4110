#include "Views.h"

#include "AccuracyText.h"
#include "Commands.h"
#include "StepsText.h"
#include "ViewTable.h"

#include <tuple>
#include <utility>

namespace lse {

View accuracyView(const CalculateReport& report) {
    View view{"accuracy", accuracyTitle(), View::Arrangement::tabs, {}, {}};
    view.parts.emplace_back(ViewTables{"accuracySide",
                                       std::string(caption::kSideBySideTab),
                                       {figuresTable(report), comparisonTable(report)}});
    view.parts.emplace_back(
        ViewText{"accuracyText", std::string(caption::kReportTab), accuracyText(report), true});
    for (const Command id : kAccuracyViewCommands)
        view.buttons.emplace_back(id);
    return view;
}

View stepsView(const MethodEntry& method, const Matrix& A, const Vector& b, int n,
               const CalculateReport& report) {
    View view{"steps", stepsTitle(method), View::Arrangement::beside, {}, {}};
    std::string doubles = stepsText(method, A, b, n);
    std::string copy;
    std::string fractions;
    if (!hasFractionSteps(method, n)) {
        copy = doubles;
    } else if (!report.exact || report.exact->fractionSteps.empty()) {
        doubles += "\nCompute Exact Solution (Accuracy\u2026) adds the same steps in exact "
                   "fractions.\n";
        copy = doubles;
    } else {
        copy = doubles + "\n" + report.exact->fractionSteps;
        std::tie(doubles, fractions) = besideEachOther(doubles, report.exact->fractionSteps);
    }
    view.parts.emplace_back(ViewText{"stepsText", view.title, std::move(doubles), false});
    if (!fractions.empty())
        view.parts.emplace_back(
            ViewText{"fractionSteps", stepsFractionsTitle(method), std::move(fractions), false});
    view.buttons.emplace_back(ViewCopy{caption::kCopySteps, std::move(copy)});
    return view;
}

} // namespace lse
