// Eight lanes (512-bit registers, 32 of them): tiles of 8 rows by 24 columns.
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"

using Chosen = Variant<8, 8, 3, 6>;
} // namespace

extern const Table avx512Table{
    InstructionSet::avx512, "avx512",      Chosen::choleskyLanes, &Chosen::gemm,
    &Chosen::gemmWorkspace, &Chosen::axpy, &Chosen::divide,       &Chosen::choleskyChain};

} // namespace lse::kernels
