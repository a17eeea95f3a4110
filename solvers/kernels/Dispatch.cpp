#include "Kernels.h"

#include <atomic>

namespace lse::kernels {

// The build defines LINEQ_KERNELS_<NAME> for each family it compiles; the baseline always is.
extern const Table baselineTable;
#if defined(LINEQ_KERNELS_AVX2)
extern const Table avx2Table;
#endif
#if defined(LINEQ_KERNELS_AVX512)
extern const Table avx512Table;
#endif
#if defined(LINEQ_KERNELS_SIMD128)
extern const Table simd128Table;
#endif

namespace {

const Table* tableFor(InstructionSet set) {
    switch (set) {
    case InstructionSet::baseline:
        return &baselineTable;
        // The processor must have the instructions and the system must save their registers;
        // __builtin_cpu_supports asks both.
#if defined(LINEQ_KERNELS_AVX2)
    case InstructionSet::avx2:
        return __builtin_cpu_supports("avx2") ? &avx2Table : nullptr;
#endif
#if defined(LINEQ_KERNELS_AVX512)
    case InstructionSet::avx512:
        return __builtin_cpu_supports("avx512f") ? &avx512Table : nullptr;
#endif
#if defined(LINEQ_KERNELS_SIMD128)
    // A WebAssembly engine without SIMD refuses the whole module, so once running it has them.
    case InstructionSet::simd128:
        return &simd128Table;
#endif
    default:
        break;
    }
    return nullptr;
}

const Table* best() {
    const auto sets = supported();
    return tableFor(sets.back());
}

std::atomic<const Table*> chosen{nullptr};

} // namespace

std::vector<InstructionSet> supported() {
    std::vector<InstructionSet> sets;
    for (const InstructionSet set : {InstructionSet::baseline, InstructionSet::avx2,
                                     InstructionSet::avx512, InstructionSet::simd128})
        if (tableFor(set) != nullptr)
            sets.push_back(set);
    return sets;
}

const Table& active() {
    const Table* table = chosen.load(std::memory_order_acquire);
    if (table == nullptr) {
        table = best();
        chosen.store(table, std::memory_order_release);
    }
    return *table;
}

bool choose(InstructionSet set) {
    const Table* const table = tableFor(set);
    if (table == nullptr)
        return false;
    chosen.store(table, std::memory_order_release);
    return true;
}

} // namespace lse::kernels
