// Two lanes, which every x86-64 processor (SSE2) and every 64-bit ARM (NEON) has: tiles of 6
// rows by 4 columns.
#include "Blocking.h"
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"
} // namespace

extern constinit const Table baselineTable =
    Variant<kBaseline>::table(InstructionSet::baseline, "baseline");

} // namespace lse::kernels
