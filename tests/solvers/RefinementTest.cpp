// The written values as pairs, and the refinement's bits for every kernel family and number of
// threads. Its answers against the exact solution are in tests/exact/RefinementExactTest.cpp.
#include "Refinement.h"
#include "Calculate.h"
#include "ConditionedSystems.h"
#include "WrittenPairs.h"
#include "kernels/Kernels.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace lse;

namespace {

struct PairCase {
    const char* text;
    std::optional<dd::Pair> pair; // lo: the written value minus hi, rounded (Python's fractions)
};

// Each route (times a power of ten, divided by one, a fraction) with both signs, digits beyond
// 17 that are trailing zeros, and the texts beyond what the transformations hold exactly.
const PairCase kPairCases[] = {
    {"0.1", dd::Pair{0x1.999999999999ap-4, -0x1.999999999999ap-58}},
    {"1e-3", dd::Pair{0x1.0624dd2f1a9fcp-10, -0x1.89374bc6a7efap-66}},
    {"1/3", dd::Pair{0x1.5555555555555p-2, 0x1.5555555555555p-56}},
    {"-22/7", dd::Pair{-0x1.9249249249249p+1, -0x1.2492492492492p-54}},
    {"3/-4", dd::Pair{-0.75, 0}},
    {"0.10000000000000000000", dd::Pair{0x1.999999999999ap-4, -0x1.999999999999ap-58}},
    {"1.5e-21", dd::Pair{0x1.c558e0f15e8f7p-70, 0x1.e63df27a2261bp-125}},
    {"9007199254740992e-22", dd::Pair{0x1.e392010175ee6p-21, -0x1.a7566d9cba769p-75}},
    {"123456789.123456", dd::Pair{0x1.d6f34547e6b40p+26, -0x1.6052502eec7c9p-30}},
    {"1e22", dd::Pair{1e22, 0}},
    // 17 and 20 digits: the 128-bit route.
    {"0.14833721402933597", dd::Pair{0x1.2fcb6bd849378p-3, -0x1.cacb7348c71d5p-59}},
    {"-1.0000000000000001", dd::Pair{-1, -0x1.cd2b297d889bcp-54}},
    {"9.9999999999999999e-3", dd::Pair{0x1.47ae147ae147bp-7, -0x1.6bd1b49b04407p-62}},
    {"12345678901234567890e-20", dd::Pair{0x1.f9add3746f65fp-4, 0x1.c39c20a7c8256p-60}},
    {"12345678901234567.0e3", std::nullopt}, // beyond 2^53 times a power of ten: exact/
    {"-0.0", dd::Pair{-0.0, 0}},
    {"9007199254740993e5", std::nullopt}, // 2^53 + 1 digits
    {"1e23", std::nullopt},               // 10^23 is no double
    {"1.5e-22", std::nullopt},            // 10^-23
    {"1/9007199254740993", std::nullopt},
    {"1/0", std::nullopt},
    {"0.1x", std::nullopt},
    {"1e", std::nullopt},
};

TEST(WrittenPairs, HoldsTheWrittenValueToTheLastBitOfItsTail) {
    for (const PairCase& c : kPairCases) {
        SCOPED_TRACE(c.text);
        const std::optional<dd::Pair> pair = writtenPair(c.text);
        ASSERT_EQ(pair.has_value(), c.pair.has_value());
        if (!pair)
            continue;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(pair->hi), std::bit_cast<std::uint64_t>(c.pair->hi));
        EXPECT_EQ(pair->lo, c.pair->lo);
    }
}

std::vector<std::uint64_t> refinedBits(const std::vector<double>& v) {
    std::vector<std::uint64_t> bits;
    for (const double x : v)
        bits.push_back(std::bit_cast<std::uint64_t>(x));
    return bits;
}

// A system past the order from which the residual's rows are shared out, with a tail on every
// entry of A and b, solved by Gauss: each family and each team gives the refined x and its
// tail bit for bit.
TEST(Refinement, SameBitsForEveryKernelFamilyAndNumberOfThreads) {
    const int n = 300;
    test::ConditionedSystem s = test::randomGeneral(n, 7);
    Matrix aLo;
    aLo.recreate(n, n);
    Vector bLo;
    bLo.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            aLo(i, j) = s.a(i, j) * 0x1p-60 * ((i + j) % 3 - 1);
        bLo(i) = s.b(i) * 0x1p-61;
    }
    Matrix W = s.a;
    Vector x;
    x.recreate(n);
    MethodState state;
    const CalculateOutcome outcome = calculateGauss(W, s.b, x, n, state, {});
    ASSERT_TRUE(outcome.solved());
    const PairSystem system{s.a, &aLo, s.b, &bLo, n};

    std::optional<std::vector<std::uint64_t>> first;
    for (const kernels::InstructionSet set : kernels::supported()) {
        ASSERT_TRUE(kernels::choose(set));
        for (const int threads : {1, 2, 3}) {
            SCOPED_TRACE(std::string(kernels::active().name) + ", threads " +
                         std::to_string(threads));
            const Refined r = refine(system, *outcome.factors, x, threads);
            EXPECT_EQ(r.stop, RefineStop::converged);
            std::vector<std::uint64_t> bits = refinedBits(r.x);
            const std::vector<std::uint64_t> tail = refinedBits(r.tail);
            bits.insert(bits.end(), tail.begin(), tail.end());
            if (!first)
                first = bits;
            EXPECT_EQ(bits, *first);
        }
    }
    kernels::choose(kernels::supported().back());
}

} // namespace
