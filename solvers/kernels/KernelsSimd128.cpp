// WebAssembly's 128-bit vectors: two lanes, as the baseline, but built with -msimd128 so that
// they become vector instructions rather than pairs of scalar ones. Never relaxed SIMD, whose
// multiply-add may fuse.
#include "Blocking.h"
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"
} // namespace

extern constinit const Table simd128Table =
    Variant<kSimd128>::table(InstructionSet::simd128, "simd128");

} // namespace lse::kernels
