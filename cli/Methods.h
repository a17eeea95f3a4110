#pragma once

#include "Messages.h"
#include "MethodTable.h"
#include "SystemReader.h"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace lse::cli {

struct MethodResult {
    const MethodEntry* method;
    Vector x;                       // 1..n, when solved
    std::optional<Message> failure; // the window's message when the method failed
    double seconds = 0;             // wall time, from the copy of A to the last x
    // How far x can be trusted; none after a failure or for a method that offers no figures.
    // Without A after the solve (see KeepA) they have RCOND alone.
    std::optional<AccuracyFigures> accuracy;
    double accuracySeconds = 0; // wall time of the figures, after the last x

    bool solved() const { return !failure; }
};

// Called on the solving thread with the columns done so far and their number.
using Progress = std::function<void(const MethodEntry& method, int done, int total)>;

// What solve may do with the system's A.
enum class KeepA {
    yes, // A stays as read: each method works on a copy
    no,  // the last method works in A itself, so that one method needs no second array
    // As no, unless the last method leaves nothing of A: then it too works on a copy, so
    // that its figures can have the residual.
    forResidual,
};

// Solves the system by each method in turn, each on a fresh copy of A, as the window's
// Calculate does, and takes each solution's figures from A and the method's factors, with `threads`
// threads for a large system (0: one per processor). std::bad_alloc when a working copy cannot be
// had.
std::vector<MethodResult> solve(io::LinearSystem& system, MethodTable methods,
                                const Progress& progress = {}, int threads = 0,
                                KeepA keepA = KeepA::yes);

} // namespace lse::cli
