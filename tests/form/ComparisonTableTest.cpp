// The side-by-side table's correct digits: which characters of a method's value hold them.
// What the window and the page show of it is in tests/support/comparisonCases.json.

#include "ComparisonTable.h"

#include <gtest/gtest.h>

namespace lse::test {
namespace {

TEST(ComparisonTable, CorrectDigitsAreTheLeadingCharactersThatHoldThem) {
    for (const auto& [value, truth, digits, correct, said] :
         std::initializer_list<std::tuple<double, double, int, std::string, std::string>>{
             {2.999999999999995, 3, 14, "2.9999999999999", ", 14 correct digits"},
             {-336.0000017111369, -336.0000013835843, 9, "-336.000001", ", 9 correct digits"},
             {0.001234, 0.001235, 3, "0.00123", ", 3 correct digits"},
             {1.2345678901234567e+17, 1.2345678901234569e+17, 15, "1.23456789012345",
              ", 15 correct digits"},
             {1.5e-20, 1.5e-20, 17, "1.5E-20", ", every digit correct"},
             {1, 0, 0, "", ", 0 correct digits"},
         }) {
        SCOPED_TRACE(correct);
        static constexpr MethodEntry kMethod{"m", "M", "M", {}, {}, nullptr, {}, nullptr, nullptr};
        CalculateReport report;
        report.n = 1;
        MethodReport& result = report.methods.emplace_back();
        result.method = &kMethod;
        result.solved = true;
        result.x.recreate(1);
        result.x(1) = value;
        exact::ExactReport exact;
        exact.asWritten.components.push_back({false, "", truth});
        exact.errors.push_back({{1}, 1, false, std::nullopt, 0});
        report.exact = exact;

        const auto agreement = ComparisonTable(report).agreement(1, 1);
        ASSERT_TRUE(agreement.has_value());
        EXPECT_EQ(agreement->digits, digits);
        const std::string text = ComparisonTable(report).cell(1, 1);
        EXPECT_EQ(text.substr(0, agreement->characters), correct);
        EXPECT_EQ(agreement->whole, correct == text);
        EXPECT_EQ(ComparisonTable(report).said(1, 1), said);
        EXPECT_EQ(ComparisonTable(report).said(1, 0), "");
    }
}

} // namespace
} // namespace lse::test
