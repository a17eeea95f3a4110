#pragma once

#include "Messages.h"
#include "SystemReader.h"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace lse::cli {

enum class Method { gauss, cholesky };

struct MethodResult {
    Method method;
    Vector x;                       // 1..n, when solved
    std::optional<Message> failure; // the window's message when the method failed
    double seconds = 0;             // wall time, from the copy of A to the last x

    bool solved() const { return !failure; }
};

// Called on the solving thread with the columns done so far and their number.
using Progress = std::function<void(Method method, int done, int total)>;

// Solves the system by each method in turn, each on a fresh copy of A, as the window's
// Calculate does, with `threads` threads for a large system (0: one per processor).
// std::bad_alloc when a working copy cannot be had.
std::vector<MethodResult> solve(const io::LinearSystem& system, const std::vector<Method>& methods,
                                const Progress& progress = {}, int threads = 0);

} // namespace lse::cli
