// Both solvers on arbitrary small systems, with any finite doubles: huge, tiny, subnormal,
// zeros of either sign. No crash and no undefined behaviour; a reported success gives finite
// x, the same bits as the plain reference, and no message; a failure is reported once and
// leaves x as it was. The blocked paths, with block sizes from the input, give the same as the
// literal ones, failures and their messages included.
#include "FuzzCheck.h"
#include "ProductRun.h"
#include "RandomSystems.h"
#include "ReferenceSolvers.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>

using namespace lse;
using lse::test::check;
using namespace lse::reference;

namespace {

constexpr int kMaxOrder = 8;

const double kSpecial[] = {0.0,     -0.0,     1.0,     -1.0,     2.0,      0.5,
                           DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, 4.9e-324, 1e308,
                           1e-308,  1e154,    1e-154,  3.0,      1e16,     -1e-16};

double anyFiniteDouble(FuzzedDataProvider& bytes) {
    switch (bytes.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return bytes.PickValueInArray(kSpecial);
    case 1:
        return bytes.ConsumeIntegralInRange(-4, 4);
    case 2: {
        const double value = std::bit_cast<double>(bytes.ConsumeIntegral<std::uint64_t>());
        return std::isfinite(value) ? value : 0.0;
    }
    default:
        return std::ldexp(bytes.ConsumeFloatingPointInRange(-1.0, 1.0),
                          bytes.ConsumeIntegralInRange(-1074, 1023));
    }
}

System fuzzedSystem(FuzzedDataProvider& bytes) {
    const int n = bytes.ConsumeIntegralInRange(1, kMaxOrder);
    const bool symmetric = bytes.ConsumeBool(); // most of Cholesky lies behind the symmetry test
    System s{SystemKind::General, Rows(n, std::vector<double>(n)), std::vector<double>(n)};
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            s.a[i][j] = symmetric && j < i ? s.a[j][i] : anyFiniteDouble(bytes);
    for (double& value : s.b)
        value = anyFiniteDouble(bytes);
    return s;
}

bool allFinite(const std::vector<double>& x) {
    return std::ranges::all_of(x, [](double v) { return std::isfinite(v); });
}

bool sameBits(const std::optional<std::vector<double>>& a,
              const std::optional<std::vector<double>>& b) {
    if (a.has_value() != b.has_value())
        return false;
    if (!a)
        return true;
    return std::ranges::equal(*a, *b, [](double p, double q) {
        return std::bit_cast<std::uint64_t>(p) == std::bit_cast<std::uint64_t>(q);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider bytes(data, size);
    const System s = fuzzedSystem(bytes);

    const ProductRun gaussRun = productGauss(s);
    check(!gaussRun.x || allFinite(*gaussRun.x), "Gauss reported a non-finite solution");
    check(gaussRun.xKept, "a failed Gauss solve changed x");
    check(gaussRun.messages.size() == (gaussRun.x ? 0U : 1U), "Gauss message count");
    check(sameBits(gaussRun.x, gauss(s.a, s.b)), "Gauss differs from the reference");

    const ProductRun cholRun = productCholesky(s);
    const CholeskyResult expected = cholesky(s.a, s.b);
    check(!cholRun.x || allFinite(*cholRun.x), "Cholesky reported a non-finite solution");
    check(cholRun.xKept, "a failed Cholesky solve changed x");
    check(cholRun.messages.size() == (expected.x ? 0U : 1U), "Cholesky message count");
    check(sameBits(cholRun.x, expected.x), "Cholesky differs from the reference");

    SolveOptions blocked;
    blocked.path = SolverPath::blocked;
    blocked.blocks = {.panel = bytes.ConsumeIntegralInRange(1, 9),
                      .leaf = bytes.ConsumeIntegralInRange(1, 4),
                      .triangleLeaf = bytes.ConsumeIntegralInRange(1, 4),
                      .chunk = bytes.ConsumeIntegralInRange(1, 12),
                      .threadsFrom = 0};
    const ProductRun blockedGauss = productGauss(s, blocked);
    check(sameBits(blockedGauss.x, gaussRun.x) && blockedGauss.messages == gaussRun.messages,
          "blocked Gauss differs from the literal path");
    const ProductRun blockedCholesky = productCholesky(s, blocked);
    check(sameBits(blockedCholesky.x, cholRun.x) && blockedCholesky.messages == cholRun.messages,
          "blocked Cholesky differs from the literal path");
    return 0;
}
