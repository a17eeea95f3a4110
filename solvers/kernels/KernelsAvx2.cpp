// Four lanes (256-bit registers, 16 of them): tiles of 6 rows by 8 columns.
#include "Blocking.h"
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"
} // namespace

extern constinit const Table avx2Table = Variant<kAvx2>::table(InstructionSet::avx2, "avx2");

} // namespace lse::kernels
