// Four lanes (256-bit registers, 16 of them): tiles of 6 rows by 8 columns.
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"
} // namespace

extern constinit const Table avx2Table = Variant<4, 6, 2, 6>::table(InstructionSet::avx2, "avx2");

} // namespace lse::kernels
