// Four lanes (256-bit registers, 16 of them): tiles of 6 rows by 8 columns.
#include "KernelTable.h"

#include <cstddef>

namespace lse::kernels {
namespace {
#include "KernelsImpl.h"

using Chosen = Variant<4, 6, 2, 6>;
} // namespace

extern const Table avx2Table{
    InstructionSet::avx2,   "avx2",        Chosen::choleskyLanes, &Chosen::gemm,
    &Chosen::gemmWorkspace, &Chosen::axpy, &Chosen::divide,       &Chosen::choleskyChain};

} // namespace lse::kernels
