// The matrix-update and Cholesky kernels of every instruction set against plain loops, bit for
// bit, on shapes that cross each tile, strip, sliver and depth block and their edges.
#include "kernels/Kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using namespace lse;

namespace {

// Values of many magnitudes, so that any other order of the operations changes some bits.
std::vector<double> values(std::size_t count, std::uint64_t seed) {
    std::vector<double> v(count);
    for (double& x : v) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const double unit = static_cast<double>(seed >> 11) * 0x1p-53 - 0.5;
        x = std::ldexp(unit, static_cast<int>(seed % 9) - 4);
    }
    return v;
}

std::vector<std::uint64_t> bitsOf(const std::vector<double>& v) {
    std::vector<std::uint64_t> bits;
    for (const double x : v)
        bits.push_back(std::bit_cast<std::uint64_t>(x));
    return bits;
}

template <typename Body> void forEachInstructionSet(Body body) {
    for (const kernels::InstructionSet set : kernels::supported()) {
        ASSERT_TRUE(kernels::choose(set));
        SCOPED_TRACE(kernels::active().name);
        body(kernels::active());
    }
}

struct GemmShape {
    int rows, cols, depth;
};

// Edges of every tile height and width, several blocks of packed rows and columns, and a
// depth beyond one pass.
const GemmShape kGemmShapes[] = {{1, 1, 1},    {5, 3, 2},    {7, 9, 4},     {8, 24, 16},
                                 {13, 37, 33}, {49, 129, 8}, {65, 193, 40}, {130, 400, 300}};

// Each family of kernels: whether the build compiled it (LINEQ_KERNELS_<NAME>), whether the
// target calls for it, and whether this processor runs it.
struct Family {
    const char* name;
    kernels::InstructionSet set;
    bool built;
    bool expected;
    bool runs;
};

#if defined(__x86_64__)
constexpr bool kX86 = true;
#else
constexpr bool kX86 = false;
#endif
#if defined(__wasm__)
constexpr bool kWasm = true;
#else
constexpr bool kWasm = false;
#endif

const Family kFamilies[] = {
    {"baseline", kernels::InstructionSet::baseline, true, true, true},
#if defined(LINEQ_KERNELS_AVX2)
    {"avx2", kernels::InstructionSet::avx2, true, kX86, __builtin_cpu_supports("avx2") != 0},
#else
    {"avx2", kernels::InstructionSet::avx2, false, kX86, false},
#endif
#if defined(LINEQ_KERNELS_AVX512)
    {"avx512", kernels::InstructionSet::avx512, true, kX86, __builtin_cpu_supports("avx512f") != 0},
#else
    {"avx512", kernels::InstructionSet::avx512, false, kX86, false},
#endif
#if defined(LINEQ_KERNELS_SIMD128)
    {"simd128", kernels::InstructionSet::simd128, true, kWasm, true},
#else
    {"simd128", kernels::InstructionSet::simd128, false, kWasm, false},
#endif
};

} // namespace

// A family compiled but left out of the dispatch, or not compiled where the target has it,
// would go unnoticed otherwise: every family gives the same bits, only slower.
TEST(Kernels, EveryFamilyTheTargetHasIsBuiltAndOfferedWhereItRuns) {
    const auto offered = kernels::supported();
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        EXPECT_EQ(family.built, family.expected);
        const bool isOffered = std::ranges::find(offered, family.set) != offered.end();
        EXPECT_EQ(isOffered, family.built && family.runs);
        EXPECT_EQ(kernels::choose(family.set), isOffered);
        if (isOffered) {
            EXPECT_STREQ(kernels::active().name, family.name);
        }
    }
    ASSERT_TRUE(kernels::choose(offered.back()));
}

TEST(Kernels, MatrixUpdateTakesEachProductInTurn) {
    forEachInstructionSet([](const kernels::Table& k) {
        for (const GemmShape& shape : kGemmShapes) {
            SCOPED_TRACE(std::to_string(shape.rows) + " x " + std::to_string(shape.cols) + " x " +
                         std::to_string(shape.depth));
            // Strides wider than the block: what lies beside it must stay as it is.
            const std::size_t lda = shape.rows + 3, ldb = shape.cols + 5, ldc = shape.cols + 2;
            const auto a = values(lda * shape.depth, 1);
            const auto b = values(ldb * shape.depth, 2);
            auto c = values(ldc * (shape.rows + 1), 3);
            auto expected = c;
            for (int i = 0; i < shape.rows; ++i)
                for (int j = 0; j < shape.cols; ++j)
                    for (int p = 0; p < shape.depth; ++p)
                        expected[i * ldc + j] =
                            expected[i * ldc + j] - a[i + p * lda] * b[p * ldb + j];
            std::vector<double> workspace(k.gemmWorkspace(shape.depth));
            EXPECT_EQ(k.gemm(shape.rows, shape.cols, shape.depth, a.data(), lda, b.data(), ldb,
                             c.data(), ldc, workspace.data()),
                      0);
            EXPECT_EQ(bitsOf(c), bitsOf(expected));
        }
    });
}

TEST(Kernels, MatrixUpdateReportsAResultThatIsNotFinite) {
    forEachInstructionSet([](const kernels::Table& k) {
        for (const GemmShape& shape : kGemmShapes) {
            const std::size_t lda = shape.rows, ldb = shape.cols, ldc = shape.cols;
            auto a = values(lda * shape.depth, 4);
            auto b = values(ldb * shape.depth, 5);
            auto c = values(ldc * shape.rows, 6);
            // The last entry's last product overflows.
            a[(shape.rows - 1) + (shape.depth - 1) * lda] = std::numeric_limits<double>::max();
            b[(shape.depth - 1) * ldb + (shape.cols - 1)] = 4;
            std::vector<double> workspace(k.gemmWorkspace(shape.depth));
            EXPECT_TRUE(std::isnan(k.gemm(shape.rows, shape.cols, shape.depth, a.data(), lda,
                                          b.data(), ldb, c.data(), ldc, workspace.data())))
                << shape.rows << " x " << shape.cols << " x " << shape.depth;
        }
    });
}

TEST(Kernels, CholeskyChainsTakeTheirProductsInTurn) {
    forEachInstructionSet([](const kernels::Table& k) {
        for (const kernels::CholeskyTile& tile : k.choleskyTiles) {
            const int lanes = tile.lanes;
            for (const int count : {0, 1, 7, 8, 9, 40}) {
                for (const std::ptrdiff_t stride : {1, 3, -1}) {
                    const std::size_t length = static_cast<std::size_t>(count + 1) * 3;
                    const auto l = values(length, 7);
                    // A negative stride reads l downwards from its end.
                    const double* const first = stride < 0 ? l.data() + length - 1 : l.data();
                    const auto p = values(static_cast<std::size_t>(count + 1) * lanes, 8);
                    auto acc = values(static_cast<std::size_t>(lanes), 9);
                    auto expected = acc;
                    for (int t = 0; t < lanes; ++t)
                        for (int q = 0; q < count; ++q)
                            expected[t] = expected[t] - first[q * stride] * p[q * lanes + t];
                    tile.chain(count, first, stride, p.data(), acc.data());
                    EXPECT_EQ(bitsOf(acc), bitsOf(expected))
                        << lanes << " lanes, count " << count << ", stride " << stride;
                }
            }
        }
    });
}
