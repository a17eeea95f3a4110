#include "Estimate.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lse;
using namespace lse::exact;
using namespace lse::test;

namespace {

TEST(EntryBits, TheWidestRowOnceScaledToIntegers) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const struct {
        const char* name;
        Matrix A;
        Vector b;
        int bits;
    } cases[] = {
        {"small integers", makeMatrix({{4, 2}, {2, 17}}), makeVector({14, -101}), 7},
        {"halves become integers", makeMatrix({{0.5, 0.25}, {1, 1}}), makeVector({0.75, 1}), 2},
        {"zeros take nothing", makeMatrix({{0, 0}, {0, 1}}), makeVector({0, 0}), 1},
        {"a full mantissa", makeMatrix({{1.0 / 3}}), makeVector({0}), 53},
        {"0.1 ends in a zero bit", makeMatrix({{0.1}}), makeVector({0}), 52},
        {"b counts too", makeMatrix({{1}}), makeVector({0x1p-100}), 101},
        {"the whole exponent range", makeMatrix({{0x1p1023, tiny}, {1, 1}}), makeVector({1, 1}),
         1023 + 1074 + 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entryBits(c.A, c.b, c.A.rowsUpper()), c.bits) << c.name;
}

// A row holding written numbers costs what its integers do once it is scaled by the least
// common multiple of its denominators: at least their true bits, and barely more.
TEST(EntryBits, WrittenRowsAsTheExactSolveScalesThem) {
    const struct {
        const char* name;
        const char* text; // entry (1, 1) as written; its double is 0, beside 1
        int atLeast;
        int atMost;
    } cases[] = {
        // 10^91036 has 302415 bits; it took 11.6 s at 16 equations, not under a second.
        {"a tiny decimal beside 1", "3.582e-91033", 302415, 302425},
        {"trailing zeros cost nothing", "1.5000e-300", 1000, 1005},
        {"beyond the exact arithmetic, its double counts", "1e-1000001", 1, 1},
    };
    for (const auto& c : cases) {
        WrittenValues written;
        written.note(1, 1, c.text);
        const int bits = entryBits(makeMatrix({{0, 1}, {0, 1}}), makeVector({1, 1}), 2, written);
        EXPECT_GE(bits, c.atLeast) << c.name;
        EXPECT_LE(bits, c.atMost) << c.name;
    }
    EXPECT_GT(estimatedSeconds(16, 302415), 1.0);
}

} // namespace
