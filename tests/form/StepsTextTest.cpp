// Steps… behind the window: the values the steps show are the run's own bits, and each way of
// failing is explained. The hand calculations of the built-in system are in the window's and
// the page's table (tests/support/stepsCases.json).

#include "StepsText.h"
#include "ConditionedSystems.h"
#include "NumberText.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

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

// Each block beside its like, whatever the other column lacks or adds; the columns of equal
// length, so that they scroll together.
TEST(Steps, BesideEachOtherEachBlockFacesItsLike) {
    for (const auto& [left, right, columns] :
         std::initializer_list<std::tuple<std::string, std::string, std::string>>{
             // The titles face each other; the longer block pads the shorter one.
             {"Doubles\n\nStep 1. Pivot 14, the largest\n   m = 0.5\n   0.5 1\n\nx = 1",
              "Fractions\n\nStep 1. Pivot 14: no rows\n   m = 1/2\n\nx = 1",
              "Doubles|Fractions\n|\nStep 1. Pivot 14, the largest|Step 1. Pivot 14: no rows\n"
              "   m = 0.5|   m = 1/2\n   0.5 1|\n|\nx = 1|x = 1\n"},
             // A block the other lacks, in either column, faces blank lines.
             {"T\n\nBack substitution: x(i)\n\nThe factors: L\nL\n\nx = 1\n",
              "U\n\nStep 2. Pivot\n\nBack substitution\n\nx = 1\n",
              "T|U\n|\n|Step 2. Pivot\n|\nBack substitution: x(i)|Back substitution\n|\n"
              "The factors: L|\nL|\n|\nx = 1|x = 1\n"},
             {"", "", ""},
         }) {
        SCOPED_TRACE(left);
        const auto [l, r] = besideEachOther(left, right);
        // Line by line, "left|right".
        std::string joined;
        for (std::size_t a = 0, b = 0; a < l.size() && b < r.size();) {
            const std::size_t aEnd = l.find('\n', a);
            const std::size_t bEnd = r.find('\n', b);
            joined += l.substr(a, aEnd - a) + "|" + r.substr(b, bEnd - b) + "\n";
            a = aEnd + 1;
            b = bEnd + 1;
        }
        EXPECT_EQ(std::count(l.begin(), l.end(), '\n'), std::count(r.begin(), r.end(), '\n'));
        EXPECT_EQ(joined, columns);
    }
}

} // namespace
} // namespace lse::test
