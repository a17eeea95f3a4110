// Two lanes, which every x86-64 processor (SSE2) and every 64-bit ARM (NEON) has: tiles of 6 rows
// by 4 columns.
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"

using Chosen = Variant<2, 6, 2, 6>;
} // namespace

extern const Table baselineTable{
    InstructionSet::baseline, "baseline",    Chosen::choleskyLanes, &Chosen::gemm,
    &Chosen::gemmWorkspace,   &Chosen::axpy, &Chosen::divide,       &Chosen::choleskyChain};

} // namespace lse::kernels
