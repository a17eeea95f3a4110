#include "MethodTable.h"

#include "NumberText.h"
#include "WindowLayout.h"

#include <algorithm>

namespace lse {

namespace {

// Every way a method can fail shows its one message: a user learns that the method failed,
// the status tells a program why.
std::optional<Message> aboutGauss(const CalculateOutcome& outcome) {
    return messages::about(*outcome.statusesAs<GaussOutcome>());
}

std::optional<Message> aboutCholesky(const CalculateOutcome& outcome) {
    const CholeskyStatuses& statuses = *outcome.statusesAs<CholeskyStatuses>();
    if (!statuses.decomposition.decomposed())
        return messages::about(statuses.decomposition);
    return messages::about(statuses.solve);
}

constexpr std::string_view kBeyondRange = "The solution went beyond the range of numbers.";

std::string gaussStepsFailure(const CalculateOutcome& outcome, double) {
    const GaussOutcome& gauss = *outcome.statusesAs<GaussOutcome>();
    switch (gauss.status) {
    case GaussStatus::zeroPivot:
        return "At column " + intToText(gauss.column) + " every entry from row " +
               intToText(gauss.column) + " down is 0, so A is singular.";
    case GaussStatus::arithmeticError:
        return "A step went beyond the range of numbers.";
    default:
        return std::string(kBeyondRange);
    }
}

std::string choleskyStepsFailure(const CalculateOutcome& outcome, double lastPivot) {
    const CholeskyOutcome& decomposition = outcome.statusesAs<CholeskyStatuses>()->decomposition;
    const std::string column = intToText(decomposition.column);
    switch (decomposition.status) {
    case CholeskyStatus::notSymmetric:
        return "A is not symmetric, so it is not positive definite.";
    case CholeskyStatus::pivotNotPositive:
        return "At column " + column + " the pivot is " +
               doubleToText(lastPivot, Digits::roundTrip) + ", so A is not positive definite.";
    case CholeskyStatus::arithmeticError:
        return "At column " + column + " a step went beyond the range of numbers.";
    default:
        return std::string(kBeyondRange);
    }
}

constexpr MethodEntry kBuiltIn[] = {
    // A method is called by its option's caption and its box's heading, as the window shows
    // them.
    {"gauss", window::captionOf(SolutionMethod::gaussElimination),
     window::headingOf(TextBox::txtGauss), SolutionMethod::gaussElimination, TextBox::txtGauss,
     calculateGauss, KeptOfA::nothing, aboutGauss, gaussStepsFailure,
     /*gaussFractionSteps=*/true},
    {"cholesky", window::captionOf(SolutionMethod::choleskyDecomposition),
     window::headingOf(TextBox::txtCholesky), SolutionMethod::choleskyDecomposition,
     TextBox::txtCholesky, calculateCholesky, KeptOfA::upperTriangle, aboutCholesky,
     choleskyStepsFailure},
};

} // namespace

MethodTable builtInMethods() {
    return kBuiltIn;
}

const MethodEntry* findMethod(MethodTable methods, std::string_view name) {
    const auto found = std::find_if(methods.begin(), methods.end(),
                                    [name](const MethodEntry& m) { return m.name == name; });
    return found == methods.end() ? nullptr : &*found;
}

MethodTable methodsChosen(MethodTable methods, const std::function<bool(SolutionMethod)>& chosen) {
    const auto alone = std::find_if(methods.begin(), methods.end(), [&](const MethodEntry& m) {
        return m.option != SolutionMethod::bothMethods && chosen(m.option);
    });
    return alone == methods.end() ? methods : MethodTable(&*alone, 1);
}

} // namespace lse
