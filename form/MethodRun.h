#pragma once

#include "CalculateReport.h"
#include "MethodTable.h"
#include "WrittenPairs.h"

#include <cstdint>
#include <optional>

namespace lse {

// What one method's run leaves: how it ended, and its part of the report.
struct MethodRun {
    CalculateOutcome outcome;
    MethodReport report;
};

// Where a run works, and what its figures take of A.
struct RunPlace {
    bool inA = false; // in A itself rather than in W
    // On the copy, which the refinement needs, but with the figures of a run in A: those of the
    // same run without the refinement, which adds its section and changes nothing else.
    bool figuresAsInA = false;
};

// One method's run as every front end makes it: W a fresh copy of A (or, with place.inA, A itself,
// W released first so that the method needs no second array), the solve, then the figures
// from the factors it yields, from A or what the run left of it. x(1..n) is written when the
// method solved the system. The figures are extras: without memory for them the solution is
// still reported. With `refineTowards`, x is also refined with the factors while they are
// alive, towards A and b plus those lows, where the run left A whole; without memory for it
// the refinement is left out as the figures are. std::bad_alloc when the copy or the solver's
// buffers cannot be had.
MethodRun runMethod(const MethodEntry& method, Matrix& A, const Vector& b, Vector& x,
                    std::int16_t n, Matrix& W, MethodState& state, const SolveOptions& options,
                    RunPlace place = {}, const WrittenLows* refineTowards = nullptr);

// x refined with a method's factors towards A and b plus `lows`, with the time it took; A must
// be whole. None without the memory for it: like the figures, the refinement is an extra.
std::optional<RefinedReport> refinedWith(const Matrix& A, const Vector& b, int n,
                                         const WrittenLows& lows, const Factors& factors,
                                         const Vector& x, int threads);

} // namespace lse
