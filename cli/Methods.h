#pragma once

#include "CalculateReport.h"
#include "MethodTable.h"
#include "SystemReader.h"

#include <functional>
#include <vector>

namespace lse::cli {

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

// Called after each method that solved the system, with its factors, valid until it returns.
using Solved = std::function<void(const MethodEntry& method, const Factors& factors)>;

// Solves the system by each method in turn, each run as the window's Calculate runs it
// (runMethod), with `threads` threads for a large system (0: one per processor), into the
// report every front end renders. std::bad_alloc when a working copy cannot be had.
CalculateReport solve(io::LinearSystem& system, MethodTable methods, const Progress& progress = {},
                      int threads = 0, KeepA keepA = KeepA::yes, const Solved& solved = {});

} // namespace lse::cli
