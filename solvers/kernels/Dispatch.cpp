#include "Kernels.h"

#include <atomic>

namespace lse::kernels {

extern const Table baselineTable;
#if defined(__x86_64__)
extern const Table avx2Table;
extern const Table avx512Table;
#endif
#if defined(__EMSCRIPTEN__)
extern const Table simd128Table;
#endif

namespace {

const Table* tableFor(InstructionSet set) {
    switch (set) {
    case InstructionSet::baseline:
        return &baselineTable;
#if defined(__x86_64__)
    // The processor must have the instructions and the system must save their registers;
    // __builtin_cpu_supports asks both.
    case InstructionSet::avx2:
        return __builtin_cpu_supports("avx2") ? &avx2Table : nullptr;
    case InstructionSet::avx512:
        return __builtin_cpu_supports("avx512f") ? &avx512Table : nullptr;
#endif
#if defined(__EMSCRIPTEN__)
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
