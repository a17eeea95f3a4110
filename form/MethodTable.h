#pragma once

#include "Accuracy.h"
#include "Calculate.h"
#include "Messages.h"
#include "Platform.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lse {

// One way of solving A x = b, as the window and lineq-solve know it. Everything that tells
// the methods apart is here, so that a new method is one more entry. A method's figures come
// from the factors its solver yields; one that yields none offers no figures.
struct MethodEntry {
    std::string_view name;    // for options and JSON: "gauss"
    std::string_view title;   // for messages and progress, its option's caption
    std::string_view heading; // above its box and its lines in the text output
    // The button of Option1 that runs this method alone; "Both Solution Methods", or no
    // button chosen, runs every method, in the table's order.
    SolutionMethod option;
    TextBox box; // where the window shows its solution
    MethodSolver solve;
    // What a run in A itself leaves of A, as its factors tell (their keptOfA): known before
    // the run, for a caller deciding whether the residual needs a copy.
    KeptOfA leaves;
    // What the window says about an outcome: nothing when the method produced a solution or
    // was cancelled (the user knows why the box stays empty).
    std::optional<Message> (*about)(const CalculateOutcome& outcome);
    // Why it stopped, in the terms of its steps (StepsText.h), given the last pivot they showed.
    std::string (*stepsFailure)(const CalculateOutcome& outcome, double lastPivot);
    // Its steps are Gauss elimination's, so that the exact solution's fraction steps, which
    // are Gauss elimination's in exact fractions (exact/FractionSteps.h), stand beside them.
    // Another method sets it only once exact/ writes its own steps in fractions.
    bool gaussFractionSteps = false;
};

using MethodTable = std::span<const MethodEntry>;

// Gauss elimination, then Cholesky decomposition.
MethodTable builtInMethods();

// The entry called `name`, or null.
const MethodEntry* findMethod(MethodTable methods, std::string_view name);

// What Calculate runs: the method of the first entry whose option button is chosen, or
// every method.
MethodTable methodsChosen(MethodTable methods, const std::function<bool(SolutionMethod)>& chosen);

} // namespace lse
