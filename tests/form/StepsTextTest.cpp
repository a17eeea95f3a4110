// Steps… behind the window: the values the steps show are the run's own bits, and each way of
// failing is explained. The hand calculations of the built-in system are in the window's and
// the page's table (tests/support/stepsCases.json).

#include "StepsText.h"
#include "ConditionedSystems.h"
#include "NumberText.h"
#include "Systems.h"

#include <gtest/gtest.h>

namespace lse::test {
namespace {

std::string lastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end) + 1;
    return text.substr(start, end + 1 - start);
}

const MethodEntry& gauss = builtInMethods()[0];
const MethodEntry& cholesky = builtInMethods()[1];

// Both methods solve these; the steps end on each method's own solution, bit for bit.
TEST(Steps, EndOnTheSolutionTheMethodGives) {
    for (int n = 1; n <= kStepsUpTo; ++n) {
        const ConditionedSystem s = randomPositiveDefinite(n, 31);
        for (const MethodEntry* method : {&gauss, &cholesky}) {
            SCOPED_TRACE(std::string(method->name) + " n = " + std::to_string(n));
            Matrix W = s.a;
            Vector x;
            x.recreate(n);
            MethodState state;
            ASSERT_TRUE(method->solve(W, s.b, x, static_cast<std::int16_t>(n), state, {}).solved());
            std::string expected = "x =";
            for (int i = 1; i <= n; ++i)
                expected += " " + doubleToText(x(i), Digits::roundTrip);
            EXPECT_EQ(lastLine(stepsText(*method, s.a, s.b, n)), expected);
        }
    }
}

TEST(Steps, SayWhereAndWhyAMethodStops) {
    const Vector b = makeVector({1, 1});
    for (const auto& [method, A, expected] :
         std::initializer_list<std::tuple<const MethodEntry*, Matrix, std::string>>{
             {&gauss, makeMatrix({{1, 2}, {2, 4}}),
              "At column 2 every entry from row 2 down is 0, so A is singular."},
             {&gauss, makeMatrix({{0, 0}, {0, 0}}),
              "At column 1 every entry from row 1 down is 0, so A is singular."},
             {&cholesky, makeMatrix({{1, 2}, {3, 1}}),
              "A is not symmetric, so it is not positive definite."},
             {&cholesky, makeMatrix({{1, 1}, {1, 1}}),
              "At column 2 the pivot is 0, so A is not positive definite."},
         }) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(lastLine(stepsText(*method, A, b, 2)), expected);
    }
    const ConditionedSystem nine = randomGeneral(kStepsUpTo + 1, 1);
    EXPECT_EQ(lastLine(stepsText(gauss, nine.a, nine.b, kStepsUpTo + 1)),
              "Steps are shown for up to 8 equations; this system has 9.");
}

} // namespace
} // namespace lse::test
