#include "FormSession.h"
#include "ProductRun.h"
#include "RandomSystems.h"
#include "ReferenceSolvers.h"
#include "Sanitizers.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <map>

using namespace lse;
using namespace lse::reference;

namespace {

// The bits are compared in the optimised build; under the sanitizers, which look at the memory,
// a quarter of the systems take a quarter of the 40 s.
constexpr std::uint64_t kSystems = lse::test::kAddressSanitizer ? 1000 : 4000;

// A backward-stable solve leaves ||Ax - b|| within a modest multiple of ||A|| ||x|| eps,
// growing slowly with n; n <= 40 here, where the worst seen is below 2.
constexpr long double kResidualLimit = 16;

std::vector<std::uint64_t> bitsOf(const std::optional<std::vector<double>>& x) {
    std::vector<std::uint64_t> out;
    if (x)
        std::ranges::transform(*x, std::back_inserter(out), test::bits);
    return out;
}

// ||Ax - b||_inf / (||A||_inf ||x||_inf eps), in long double so that neither the products
// nor the norms overflow; 0 for x = 0.
long double scaledResidual(const System& s, const std::vector<double>& x) {
    long double residual = 0;
    long double normA = 0;
    long double normX = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        long double row = -static_cast<long double>(s.b[i]);
        long double rowSum = 0;
        for (std::size_t j = 0; j < x.size(); ++j) {
            row += static_cast<long double>(s.a[i][j]) * x[j];
            rowSum += std::fabs(static_cast<long double>(s.a[i][j]));
        }
        residual = std::max(residual, std::fabs(row));
        normA = std::max(normA, rowSum);
        normX = std::max(normX, std::fabs(static_cast<long double>(x[i])));
    }
    const long double scale = normA * normX * std::numeric_limits<double>::epsilon();
    return scale == 0 ? 0 : residual / scale;
}

const SolveOptions kSmallBlocks = [] {
    SolveOptions options;
    options.path = SolverPath::blocked;
    options.blocks = {.panel = 5, .leaf = 2, .triangleLeaf = 2, .chunk = 7, .threadsFrom = 1};
    options.threads = 2;
    return options;
}();

struct Tally {
    int gaussSolved = 0;
    int gaussFailed = 0;
    int choleskySolved = 0;
    int choleskyFailed = 0;
};

} // namespace

// The plain implementation must itself be right: it gives the known bits of the default
// system and refuses the known failures.
TEST(ReferenceSolvers, ReproduceKnownResults) {
    const Rows defaultA{{4, 2, 14}, {2, 17, -5}, {14, -5, 83}};
    const std::vector<double> defaultB{14, -101, 155};
    EXPECT_EQ(bitsOf(gauss(defaultA, defaultB)),
              bitsOf(std::vector{2.999999999999995, -5.999999999999999, 1.0000000000000009}));
    EXPECT_EQ(bitsOf(cholesky(defaultA, defaultB).x), bitsOf(std::vector<double>{3, -6, 1}));

    EXPECT_FALSE(gauss({{1, 2}, {2, 4}}, {1, 1}));
    EXPECT_EQ(gauss({{0, 1}, {1, 1}}, {1, 2}), (std::vector<double>{1, 1}));
    EXPECT_FALSE(gauss({{1, 1e308}, {0.5, -1.7e308}}, {1, 1})) << "overflow";
    EXPECT_FALSE(cholesky({{1, 2}, {2, 1}}, {1, 1}).decomposed);
    EXPECT_FALSE(cholesky({{1, 1}, {1, 1}}, {1, 2}).decomposed);
    EXPECT_FALSE(cholesky({{4, 2}, {100, 5}}, {1, 2}).decomposed);
    EXPECT_EQ(cholesky({{9}}, {3}).x, std::vector<double>{1.0 / 3});
}

TEST(ReferenceComparison, ProductMatchesThePlainImplementationBitForBit) {
    std::map<SystemKind, Tally> tally;
    long double worstResidual = 0;
    // One mismatching system, fully described, is enough to go on.
    for (std::uint64_t seed = 0; seed < kSystems && !HasFailure(); ++seed) {
        const System s = randomSystem(seed);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + kindName(s.kind) +
                     ", n = " + std::to_string(s.b.size()));

        const auto expectedGauss = gauss(s.a, s.b);
        const CholeskyResult expectedChol = cholesky(s.a, s.b);
        // Both paths: these systems are small enough for the literal one, and the blocked
        // one is made to take them with blocks small enough to cross several panels.
        for (const SolveOptions& options : {SolveOptions{}, kSmallBlocks}) {
            const ProductRun productG = productGauss(s, options);
            EXPECT_EQ(bitsOf(productG.x), bitsOf(expectedGauss));
            EXPECT_EQ(productG.x.has_value(), expectedGauss.has_value());
            EXPECT_TRUE(productG.xKept);
            EXPECT_EQ(productG.messages, expectedGauss ? std::vector<test::ShownMessage>{}
                                                       : std::vector{test::kGaussFailed});

            const ProductRun productC = productCholesky(s, options);
            EXPECT_EQ(bitsOf(productC.x), bitsOf(expectedChol.x));
            EXPECT_EQ(productC.x.has_value(), expectedChol.x.has_value());
            EXPECT_TRUE(productC.xKept);
            EXPECT_EQ(productC.messages, !expectedChol.decomposed
                                             ? std::vector{test::kCholeskyFailed}
                                         : !expectedChol.x ? std::vector{test::kCholeskySolveFailed}
                                                           : std::vector<test::ShownMessage>{});
        }

        Tally& t = tally[s.kind];
        ++(expectedGauss ? t.gaussSolved : t.gaussFailed);
        ++(expectedChol.x ? t.choleskySolved : t.choleskyFailed);
        for (const auto* x : {&expectedGauss, &expectedChol.x})
            if (*x)
                worstResidual = std::max(worstResidual, scaledResidual(s, **x));
    }
    if (HasFailure())
        return;
    EXPECT_LE(worstResidual, kResidualLimit);

    // Every kind must reach the branches it was made for, or the comparison proves less than
    // it seems to.
    for (const auto& [kind, t] : tally) {
        SCOPED_TRACE(kindName(kind));
        const bool singular = kind == SystemKind::ZeroColumn || kind == SystemKind::DuplicateRow;
        EXPECT_TRUE(singular || t.gaussSolved > 0);
    }
    EXPECT_GT(tally[SystemKind::SmallIntegers].gaussFailed, 0);
    EXPECT_GT(tally[SystemKind::ZeroColumn].gaussFailed, 0);
    EXPECT_GT(tally[SystemKind::DuplicateRow].gaussFailed, 0);
    EXPECT_GT(tally[SystemKind::ExtremeScale].gaussFailed, 0);
    EXPECT_GT(tally[SystemKind::PositiveDefinite].choleskySolved, 0);
    EXPECT_GT(tally[SystemKind::ExtremeScale].choleskySolved, 0);
    EXPECT_GT(tally[SystemKind::SymmetricIndefinite].choleskyFailed, 0);
    EXPECT_GT(tally[SystemKind::NearlySymmetric].choleskyFailed, 0);
    std::cout << kSystems << " systems compared; worst scaled residual "
              << static_cast<double>(worstResidual) << "\n";
}
