// The blocked paths against the literal ones: the same status, the same failing column and the
// same bits, for every instruction set the processor has, for block sizes small enough that a
// few dozen equations cross many panels, leaves and chunks, and for several thread counts.
#include "RandomSystems.h"
#include "Systems.h"
#include "WorkingCopy.h"
#include "kernels/Kernels.h"
#include "kernels/Tuning.h"
#include "modChol.h"
#include "modGauss.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <string>

using namespace lse;
using namespace lse::test;
using reference::System;

namespace {

struct Shape {
    const char* name;
    BlockSizes blocks;
    int threads;
};

// Small enough that a few dozen equations cross many panels, leaves and chunks, and the low
// Cholesky tile.
constexpr BlockSizes kSmall{
    .panel = 6, .leaf = 2, .triangleLeaf = 2, .chunk = 5, .threadsFrom = 1, .choleskyTileBytes = 1};

const Shape kShapes[] = {
    {"built-in sizes", {}, 1},
    {"small blocks", kSmall, 1},
    {"small blocks, 2 threads", kSmall, 2},
    {"odd blocks, 3 threads",
     {.panel = 7,
      .leaf = 3,
      .triangleLeaf = 3,
      .chunk = 24,
      .threadsFrom = 1,
      .choleskyTileBytes = 1},
     3},
};

SolveOptions on(SolverPath path, const Shape& shape = kShapes[0]) {
    SolveOptions options;
    options.path = path;
    options.threads = shape.threads;
    options.blocks = shape.blocks;
    return options;
}

// What a run leaves that must be the same bits on both paths.
struct Result {
    int status = 0;
    int column = 0;
    std::vector<std::uint64_t> bits;

    bool operator==(const Result&) const = default;
};

void keep(std::vector<std::uint64_t>& bits, const Vector& v, int n) {
    for (int i = 1; i <= n; ++i)
        bits.push_back(test::bits(v(i)));
}

Result gauss(const System& s, const SolveOptions& options) {
    const auto n = static_cast<std::int16_t>(s.b.size());
    Matrix W = workingCopy(s);
    Vector x;
    x.recreate(n);
    const GaussOutcome outcome = modGauss::gaussSolve(W, x, vectorOf(s.b), n, options);
    Result r{static_cast<int>(outcome.status), outcome.column, {}};
    if (outcome.solved()) {
        keep(r.bits, x, n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n + 1; ++j)
                r.bits.push_back(bits(W(i, j)));
    }
    return r;
}

Result cholesky(const System& s, const SolveOptions& options) {
    const auto n = static_cast<std::int16_t>(s.b.size());
    Matrix W = workingCopy(s);
    modChol chol;
    const CholeskyOutcome outcome = chol.cholDecompose(W, n, options);
    Result r{static_cast<int>(outcome.status), outcome.column, {}};
    keep(r.bits, chol.diag(), n);
    if (outcome.decomposed()) {
        Vector x;
        x.recreate(n);
        r.bits.push_back(static_cast<std::uint64_t>(chol.cholSolve(vectorOf(s.b), x)));
        keep(r.bits, x, n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j < i; ++j)
                r.bits.push_back(bits(W(i, j)));
    }
    return r;
}

// Runs body once for every instruction set, leaving the best one chosen.
template <typename Body> void forEachInstructionSet(Body body) {
    const auto sets = kernels::supported();
    for (const kernels::InstructionSet set : sets) {
        ASSERT_TRUE(kernels::choose(set));
        SCOPED_TRACE(kernels::active().name);
        body();
    }
}

void expectSameOnBothPaths(const System& s) {
    const SolveOptions literal = on(SolverPath::literal);
    const Result gaussLiteral = gauss(s, literal);
    const Result choleskyLiteral = cholesky(s, literal);
    EXPECT_EQ(gauss(s, {}), gaussLiteral) << "automatic path";
    EXPECT_EQ(cholesky(s, {}), choleskyLiteral) << "automatic path";
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        EXPECT_EQ(gauss(s, on(SolverPath::blocked, shape)), gaussLiteral);
        EXPECT_EQ(cholesky(s, on(SolverPath::blocked, shape)), choleskyLiteral);
    }
}

System withZeroColumn(System s, int column) {
    for (auto& row : s.a)
        row[static_cast<std::size_t>(column - 1)] = 0;
    return s;
}

} // namespace

// Every kind of seeded system (singular, indefinite, nearly symmetric, near overflow, ...) at
// orders on both sides of the size where the automatic path changes.
TEST(BlockedPaths, GiveTheLiteralBitsOnSeededSystems) {
    forEachInstructionSet([] {
        using tuning::kBlockedFrom;
        for (const int n :
             {1, 2, 3, 5, 8, 13, 31, kBlockedFrom - 1, kBlockedFrom, kBlockedFrom + 1, 97}) {
            for (std::uint64_t seed = 0; seed < 8 && !testing::Test::HasFailure(); ++seed) {
                const System s = reference::randomSystem(seed + 100 * n, n);
                SCOPED_TRACE("n = " + std::to_string(n) + ", " + reference::kindName(s.kind));
                expectSameOnBothPaths(s);
            }
        }
    });
}

// A zero pivot on and beside the edges of leaves and panels, alone and after an overflow in a
// column right of the panel, which the literal order meets first.
TEST(BlockedPaths, ReportTheLiteralFailureAtEveryPlaceInABlock) {
    const int n = 40;
    forEachInstructionSet([&] {
        for (const int column : {1, 2, 3, 6, 7, 12, 13, 24, 39, 40}) {
            SCOPED_TRACE("zero column " + std::to_string(column));
            const System zero = withZeroColumn(reference::randomSystem(8, n), column);
            EXPECT_EQ(gauss(zero, on(SolverPath::literal)).status,
                      static_cast<int>(GaussStatus::zeroPivot));
            expectSameOnBothPaths(zero);

            // Step 1 overflows in a column of the same panel, or in the last column.
            for (const int far : {std::min(column + 1, n), n}) {
                System overflow = zero;
                overflow.a[0][far - 1] = -DBL_MAX;
                overflow.a[1][far - 1] = DBL_MAX;
                overflow.a[0][0] = overflow.a[1][0] = 1;
                expectSameOnBothPaths(overflow);
            }
        }
    });
}

// A pivot that fails at a chosen column of the decomposition, alone and after an overflow in a
// row of a later tile, which the literal order meets first.
TEST(BlockedPaths, ReportTheLiteralCholeskyFailureAtEveryPlaceInATile) {
    forEachInstructionSet([] {
        // The built-in sizes run the tall tile, the small blocks the low one.
        for (const kernels::CholeskyTile& tile : kernels::active().choleskyTiles) {
            const int lanes = tile.lanes;
            const int n = 2 * lanes + 5;
            const System spd = reference::randomSystem(4, n); // seed 4: positive definite
            ASSERT_EQ(spd.kind, reference::SystemKind::PositiveDefinite);
            for (const int column : {1, 2, lanes - 1, lanes, lanes + 1, n - 1, n}) {
                SCOPED_TRACE("failing pivot " + std::to_string(column));
                System failing = spd;
                auto& pivot = failing.a[static_cast<std::size_t>(column - 1)]
                                       [static_cast<std::size_t>(column - 1)];
                pivot = -pivot;
                const Result literal = cholesky(failing, on(SolverPath::literal));
                EXPECT_EQ(literal.column, column);
                expectSameOnBothPaths(failing);

                System overflow = failing;
                overflow.a[0][0] = 1e-300;
                overflow.a[0][n - 1] = overflow.a[n - 1][0] = 1e300;
                EXPECT_EQ(cholesky(overflow, on(SolverPath::literal)).status,
                          static_cast<int>(CholeskyStatus::arithmeticError));
                expectSameOnBothPaths(overflow);
            }
        }
    });
}
