#pragma once

#include <functional>

namespace lse {

// Which implementation of an algorithm runs. Both give the same bits for every input.
enum class SolverPath {
    automatic, // the literal one for small systems, the blocked one beyond
    literal,   // the operations one after another, as the algorithm is written
    blocked,   // blocked, vectorized and threaded
};

// How a solve is run; never what it computes.
struct SolveOptions {
    SolverPath path = SolverPath::automatic;
    // Threads for large systems; 0 takes one per processor.
    int threads = 0;
    // Called now and then on the calling thread with the columns done so far and their
    // number; for a progress display.
    std::function<void(int done, int total)> progress;
};

} // namespace lse
