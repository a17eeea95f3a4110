// Steps… behind the window: the values the steps show are the run's own bits, and each way of
// failing is explained. The hand calculations of the built-in system are in the window's and
// the page's table (tests/support/stepsCases.json).

#include "StepsText.h"
#include "NumberText.h"

#include <gtest/gtest.h>

#include <random>

namespace lse::test {
namespace {

struct System {
    Matrix A;
    Vector b;
};

System systemOf(int n, const std::vector<double>& entries) {
    System s;
    s.A.recreate(n, n, 1);
    s.b.recreate(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            s.A(i, j) = entries[static_cast<std::size_t>((i - 1) * (n + 1) + j - 1)];
        s.b(i) = entries[static_cast<std::size_t>((i - 1) * (n + 1) + n)];
    }
    return s;
}

std::string lastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    return text.substr(text.rfind('\n', end) + 1, end - text.rfind('\n', end));
}

// Random symmetric positive definite systems up to the largest shown: both methods solve them,
// and the steps end on each method's own solution, bit for bit.
TEST(Steps, EndOnTheSolutionTheMethodGives) {
    std::mt19937_64 random(31);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int n = 1; n <= kStepsUpTo; ++n) {
        std::vector<double> m(static_cast<std::size_t>(n * n)), entries;
        for (double& v : m)
            v = value(random);
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                double sum = i == j ? n : 0;
                for (int k = 0; k < n; ++k)
                    sum += m[static_cast<std::size_t>(i * n + k)] *
                           m[static_cast<std::size_t>(j * n + k)];
                entries.push_back(sum);
            }
            entries.push_back(value(random));
        }
        System s = systemOf(n, entries);
        for (const MethodEntry& method : builtInMethods()) {
            SCOPED_TRACE(std::string(method.name) + " n = " + std::to_string(n));
            Matrix W = s.A;
            Vector x;
            x.recreate(n);
            MethodState state;
            ASSERT_TRUE(method.solve(W, s.b, x, static_cast<std::int16_t>(n), state, {}).solved());
            std::string expected = "x =";
            for (int i = 1; i <= n; ++i)
                expected += " " + doubleToText(x(i), Digits::roundTrip);
            EXPECT_EQ(lastLine(stepsText(method, s.A, s.b, n)), expected);
        }
    }
}

TEST(Steps, SayWhereAndWhyAMethodStops) {
    const MethodEntry& gauss = builtInMethods()[0];
    const MethodEntry& cholesky = builtInMethods()[1];
    const std::vector<double> nine(9 * 10, 1.0);
    for (const auto& [method, n, entries, expected] : std::initializer_list<
             std::tuple<const MethodEntry*, int, std::vector<double>, std::string>>{
             {&gauss,
              2,
              {1, 2, 1, 2, 4, 1},
              "At column 2 every entry from row 2 down is 0, so A is singular."},
             {&gauss,
              2,
              {0, 0, 1, 0, 0, 1},
              "At column 1 every entry from row 1 down is 0, so A is singular."},
             {&cholesky,
              2,
              {1, 2, 1, 3, 1, 1},
              "A is not symmetric, so it is not positive definite."},
             {&cholesky,
              2,
              {1, 1, 1, 1, 1, 1},
              "At column 2 the pivot is 0, so A is not positive definite."},
             {&gauss, 9, nine, "Steps are shown for up to 8 equations; this system has 9."},
         }) {
        SCOPED_TRACE(expected);
        const System s = systemOf(n, entries);
        EXPECT_EQ(lastLine(stepsText(*method, s.A, s.b, n)), expected);
    }
}

} // namespace
} // namespace lse::test
