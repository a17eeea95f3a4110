// The Gauss steps in exact fractions, against the textbook's hand calculation.

#include "FractionSteps.h"
#include "Systems.h"

#include <gtest/gtest.h>

namespace lse::exact {
namespace {

bool holdsLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

TEST(FractionSteps, FollowTheHandCalculation) {
    const Matrix A = test::makeMatrix({{4, 2, 14}, {2, 17, -5}, {14, -5, 83}});
    const Vector b = test::makeVector({14, -101, 155});
    const std::string text = fractionStepsText(A, b, 3, {});
    for (const std::string line :
         {"Step 1. Pivot 14: rows 1 and 3 exchanged.", "   m(2,1) = 1/7", "   m(3,1) = 2/7",
          "Step 2. Pivot 124/7: no rows exchanged.", "   m(3,2) = 6/31",
          "Step 3. Pivot -200/31, the last.", "x = 3 -6 1"})
        EXPECT_TRUE(holdsLine(text, line)) << line << "\n" << text;
}

// 0.1 and 0.3 are written values: as written the rows are multiples, as doubles they are not.
TEST(FractionSteps, TakeTheNumbersAsWritten) {
    WrittenValues written;
    for (const auto& [row, column, number] :
         {std::tuple{1, 1, "0.1"}, {1, 2, "0.2"}, {2, 1, "0.3"}, {2, 2, "0.6"}})
        written.note(row, column, number);
    const Matrix A = test::makeMatrix({{0.1, 0.2}, {0.3, 0.6}});
    const Vector b = test::makeVector({1, 3});
    const std::string text = fractionStepsText(A, b, 2, written);
    EXPECT_TRUE(holdsLine(text, "   1/10  1/5  |  1")) << text;
    EXPECT_TRUE(holdsLine(
        text, "At column 2 every entry from row 2 down is 0, so A as written is singular."))
        << text;
}

} // namespace
} // namespace lse::exact
