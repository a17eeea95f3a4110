#pragma once

#include "Factors.h"
#include "MethodTable.h"

#include <optional>
#include <string>
#include <vector>

namespace lse::cli {

// --factors DIR: a solved method's factors as NumPy arrays, which the readers read back:
// NAME-L.npy, and where the factors have them NAME-row-order.npy (64-bit integers, row i of
// P A is that row of A) and NAME-U.npy (P A = L U; with L alone, A = L L^T), each matrix n x n
// doubles, NAME the method's option name. Each file is written whole or not at all. The first
// failure, as "DIR/NAME-L.npy: why"; nullopt when all were written. std::bad_alloc when a factor
// cannot be had in memory.
std::optional<std::string> writeFactorFiles(const std::string& dir, const MethodEntry& method,
                                            const Factors& factors);

// Before a run: makes DIR and removes from it the factor files that any method of the table may
// have left there, so that the folder ends holding this run's alone (a method that fails or is
// not run leaves none, rather than an earlier system's). The paths removed, or the failure as
// "DIR: why" or "DIR/NAME-L.npy: why".
struct ClearedFactors {
    std::vector<std::string> removed;
    std::optional<std::string> failure;
};
ClearedFactors clearFactorFiles(const std::string& dir, MethodTable methods);

} // namespace lse::cli
