// WebAssembly's 128-bit vectors: two lanes, as the baseline, but built with -msimd128 so that
// they become vector instructions rather than pairs of scalar ones. Never relaxed SIMD, whose
// multiply-add may fuse. Tiles of 4 rows by 4 columns: with the baseline's 6 rows the engine
// (V8 on x86-64 keeps one of the 16 registers for itself) spills, and Gauss at n = 1000 took
// about 1.5 times as long.
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"
} // namespace

extern constinit const Table simd128Table =
    Variant<2, 4, 2, 6>::table(InstructionSet::simd128, "simd128");

} // namespace lse::kernels
