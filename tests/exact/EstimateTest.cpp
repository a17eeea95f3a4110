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

} // namespace
