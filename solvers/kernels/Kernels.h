#pragma once

#include "KernelTable.h"

#include <vector>

namespace lse::kernels {

// The table for the best instruction set this processor has, unless one was chosen.
const Table& active();

// The instruction sets this build and this processor can run, best last.
std::vector<InstructionSet> supported();

// Runs the kernels of the given set from now on; false, and nothing changes, when the
// processor or the build lacks it. For tests and benchmarks.
bool choose(InstructionSet set);

} // namespace lse::kernels
