#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace lse {

class StepObserver;

// Which implementation of an algorithm runs. Both give the same bits for every input.
enum class SolverPath {
    automatic, // the literal one for small systems, the blocked one beyond
    literal,   // the operations one after another, as the algorithm is written
    blocked,   // blocked, vectorized and threaded
};

// Block sizes of the blocked path; 0 keeps the built-in size. They change the speed, never
// the bits, and let tests reach every part of the schedule with small systems.
struct BlockSizes {
    int panel = 0;        // Gauss: steps whose updates the columns right of them take at once
    int leaf = 0;         // Gauss: panel columns eliminated one step at a time
    int triangleLeaf = 0; // Gauss: rows of a triangle updated row by row
    int chunk = 0;        // Gauss: columns a thread takes at a time
    int threadsFrom = 0;  // both: the order from which threads are used
    // Cholesky: the bytes a tall tile may take before the low one is used
    std::size_t choleskyTileBytes = 0;
};

// How a solve is run; never what it computes.
struct SolveOptions {
    SolverPath path = SolverPath::automatic;
    // Threads for large systems; 0 takes one per processor.
    int threads = 0;
    // Called now and then on the calling thread with the columns done so far and their
    // number; for a progress display.
    std::function<void(int done, int total)> progress;
    BlockSizes blocks;
    // When set and true, the solve stops at its next step and reports that it was cancelled.
    // Read from the solving threads; another thread may set it at any time.
    const std::atomic<bool>* cancel = nullptr;
    // Sees each step, on the literal path (StepObserver.h); for small systems.
    StepObserver* steps = nullptr;

    bool cancelRequested() const {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed);
    }
};

} // namespace lse
