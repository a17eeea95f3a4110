// Eight lanes (512-bit registers, 32 of them): tiles of 8 rows by 24 columns.
#include "Blocking.h"
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"
} // namespace

extern constinit const Table avx512Table =
    Variant<kAvx512>::table(InstructionSet::avx512, "avx512");

} // namespace lse::kernels
