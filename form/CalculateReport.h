#pragma once

#include "Accuracy.h"
#include "ExactReport.h"
#include "Matrix.h"
#include "MethodTable.h"
#include "Refinement.h"
#include "WrittenPairs.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace lse {

// A solved method's x refined with its factors towards the system as written.
struct RefinedReport {
    Refined refined;
    // Why the refinement is towards the doubles the methods got; none: towards the system as
    // written.
    std::optional<TowardsDoubles> towardsDoubles;
    // The exact solution settled the claim the bound could not: x is its nearest doubles.
    bool settledExactly = false;
    double seconds = 0;
};

// One method's part in the last Calculate.
struct MethodReport {
    const MethodEntry* method = nullptr;
    bool solved = false; // false: it failed (a cancelled Calculate keeps no report)
    Vector x;            // 1..n, the method's own doubles; only when solved
    // What is said of its failure; none when it solved the system.
    std::optional<Message> failure;
    // How far x can be trusted; none when it failed, for n = 0, or for a method that yields
    // no factors.
    std::optional<AccuracyFigures> figures;
    // x against the exact solution of the doubles, once Compute Exact Solution has judged it
    // (CalculateReport::setExact); none before, for a failed method, or where that system
    // has no unique solution.
    std::optional<exact::MethodError> measured;
    // Only when the Calculate was asked to refine, the method solved and yields factors, and
    // A was still whole after it.
    std::optional<RefinedReport> refined;
    double seconds = 0;        // wall time from the copy of A to the last x
    double figuresSeconds = 0; // wall time of the figures, after the last x
};

// Whether Refine Solution can refine the method's x: it solved the system and yields factors,
// which its figures were made from.
inline bool refinable(const MethodReport& result) {
    return result.solved && result.figures.has_value();
}

// What the last Calculate left for the accuracy view, Copy Solution and the exact solve.
// Cleared by Submit, by a system loaded and by a cancelled Calculate.
struct CalculateReport {
    int n = 0;
    std::vector<MethodReport> methods; // in the order they ran; empty: nothing to show
    // Bits of the widest entry of the system with rows scaled to integers (exact::entryBits),
    // for the exact solve's expected time.
    int entryBits = 0;
    // How many times as long the front end's exact solver takes as lineq-exact, whose times
    // exact::estimatedSeconds gives (Platform::exactTimeFactor).
    double exactTimeFactor = 1;
    // Some entry of A or b is a decimal with no short binary fraction (0.1): the exact
    // solution's fractions then run long.
    bool decimalEntries = false;
    // Compute Exact Solution's answer; its errors follow the solved methods in order.
    std::optional<exact::ExactReport> exact;

    bool empty() const { return methods.empty(); }
    // Takes Compute Exact Solution's answer and gives each judged method its error, so that
    // every output states the same measured digits beside the estimated ones.
    void setExact(exact::ExactReport answer);
    // The solved methods' solutions, in order, as the exact solve judges them.
    std::vector<Vector> solutions() const;
};

} // namespace lse
