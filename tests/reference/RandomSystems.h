#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lse::reference {

// The kinds of system the randomized checks draw, chosen to reach every branch of both
// solvers: row exchanges and ties, zero pivots, symmetric positive definite and indefinite
// matrices, asymmetry by one unit in the last place, and magnitudes near overflow and
// underflow.
enum class SystemKind {
    General,
    SmallIntegers,
    ZeroColumn,
    DuplicateRow,
    PositiveDefinite,
    SymmetricIndefinite,
    NearlySymmetric,
    ExtremeScale,
};

std::string kindName(SystemKind kind);

struct System {
    SystemKind kind;
    std::vector<std::vector<double>> a; // n rows of n coefficients
    std::vector<double> b;
};

// The same seed gives the same system, bit for bit, whatever compiler, library or
// optimisation level builds this: only the generator's own integer arithmetic and exactly
// rounded double operations are used.
System randomSystem(std::uint64_t seed);

// The same for a given order, so that large systems can be drawn too.
System randomSystem(std::uint64_t seed, int n);

} // namespace lse::reference
