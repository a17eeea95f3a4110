#include "Protocol.h"
#include "ExactSystems.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

using namespace lse;
using namespace lse::exact;
using namespace lse::test;

namespace {

ExactReport roundTrip(const ExactReport& report) {
    std::stringstream channel;
    writeReport(channel, report);
    return readReport(channel);
}

TEST(Protocol, ReportsComeBackAsTheyWent) {
    const ExactComponent half{true, "1/2", 0.5, "1/2"};
    const ExactComponent zero{true, "0", 0.0};
    ExactAnswer infinitelyMany{ExactStatus::infinitelyMany, 1, 1, {half, zero}};
    infinitelyMany.nullSpace = {{zero, half}, {half, zero}};
    ExactAnswer noSolution{ExactStatus::noSolution, 1, 2};
    noSolution.certificate = {{true, "2", 2.0}, {true, "-1", -1.0}};
    noSolution.certificateValue = {true, "5", 5.0, "5"};
    const ExactAnswer solved{ExactStatus::solved,
                             4,
                             4,
                             {{true, "-7/2", -3.5},
                              {false, "0.10000000000000001", 0.1},
                              {false, "3.5953862697246314E+308", std::nullopt},
                              {false, "7.4109846876186982E-324", 2 * kTiny}}};
    const MethodError error{{0, 1, std::nullopt, 3}, std::nullopt, false, 3.4e-16, 15};
    const MethodError zeroInLargestUnits{{1, 0, 0, 2}, 2, true, 0x1p-52, 15};
    const MethodError notFinite{{0, std::nullopt, 0, 0}, std::nullopt, false, std::nullopt, 0};
    ExactReport notHeld{solved, {}, {}, {zeroInLargestUnits, notFinite}, false, "The same steps"};
    notHeld.notHeld = {{{1, 1, "1e-2000000"}, {2, 5, "5.000000000\u20260e+3000000"}}, 7, 4};
    ExactReport summed{solved, {}, {}, {error}, false};
    summed.summed = {3, 2, 1};
    const ExactReport cases[] = {
        {infinitelyMany, {}, {}, {}, false},
        {noSolution, {}, {}, {}, true},
        {solved, {}, {}, {error, {{0, 0, 0, 0}, 0, false, 0.0, 17}}, false},
        {noSolution, solved, {}, {error}, false},
        {solved,
         solved,
         MethodError{{1, 0, 0, 0}, 1, false, 1.1e-16, 16},
         {error},
         false,
         "Step 1. Pivot 1/3\n\nend\n  x = 3\n"},
        notHeld,
        summed,
    };
    for (const ExactReport& report : cases)
        EXPECT_EQ(roundTrip(report), report);
}

TEST(Protocol, RequestsComeBackBitForBit) {
    const Matrix A = makeMatrix({{1e300, -kTiny}, {0.1, 1.0 / 3}});
    const Vector b = makeVector({std::numeric_limits<double>::max(), -2.5e-310});
    const std::vector<Vector> solutions{makeVector({0.30000000000000004, 7}), makeVector({1, 2})};
    WrittenValues written;
    written.note(2, 1, "0.1");
    written.note(2, 3, "-1/3");
    written.bIsRowSums = true;
    written.summedEntries = {2, 1, 2};
    std::stringstream channel;
    writeRequest(channel, A, b, 2, written, solutions, ExactDetail::whole);
    const ExactRequest request = readRequest(channel);
    EXPECT_EQ(request.n, 2);
    EXPECT_EQ(request.detail, ExactDetail::whole);
    ASSERT_EQ(request.written.size(), 2u);
    EXPECT_EQ(request.written[1].text, "-1/3");
    EXPECT_EQ(request.written[1].column, 3);
    EXPECT_TRUE(request.written.bIsRowSums);
    EXPECT_EQ(request.written.summedEntries, written.summedEntries);
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j)
            EXPECT_EQ(bits(request.A(i, j)), bits(A(i, j)));
        EXPECT_EQ(bits(request.b(i)), bits(b(i)));
    }
    ASSERT_EQ(request.methodSolutions.size(), 2u);
    EXPECT_EQ(request.methodSolutions[0], solutions[0]);
    EXPECT_EQ(request.methodSolutions[1], solutions[1]);
}

TEST(Protocol, RefusesBrokenMessages) {
    const struct {
        const char* name;
        bool isReport;
        const char* text;
    } cases[] = {
        {"an older version", true, "lineq-exact 3\nanswer written solved 1 1\nend\n"},
        {"another format", true, R"({"format": "lineq-exact 3", "written": {}})"},
        {"report cut short", true, R"({"format": "lineq-exact 4", "written": {"status": )"},
        {"no answer", true, R"({"format": "lineq-exact 4", "errors": [], "dropped": false})"},
        {"unknown status", true, R"({"format": "lineq-exact 4", "errors": [], "dropped": false,
            "written": {"status": "maybe", "rank": 1, "augmented_rank": 1, "x": [],
                        "null_space": [], "certificate": []}})"},
        {"null space cut short", true, R"({"format": "lineq-exact 4", "errors": [],
            "dropped": false, "written": {"status": "infinitely-many", "rank": 1,
            "augmented_rank": 1, "null_space": [[{"fraction": true, "text": "1",
            "nearest": "1"}]], "certificate": [], "x": [
                {"fraction": true, "text": "0", "nearest": "0"},
                {"fraction": true, "text": "0", "nearest": "0"}]}})"},
        {"nearest not a number", true, R"({"format": "lineq-exact 4", "errors": [],
            "dropped": false, "written": {"status": "solved", "rank": 1, "augmented_rank": 1,
            "null_space": [], "certificate": [],
            "x": [{"fraction": false, "text": "3", "nearest": "three"}]}})"},
        {"count not a count", true, R"({"format": "lineq-exact 4", "dropped": false,
            "written": {"status": "solved", "rank": 1, "augmented_rank": 1, "null_space": [],
            "certificate": [], "x": [{"fraction": true, "text": "3", "nearest": "3"}]},
            "errors": [{"digits": 15, "measured": null, "unit": "own", "largest_ulps": -1,
                        "ulps": [0]}]})"},
        {"error of another order", true, R"({"format": "lineq-exact 4", "dropped": false,
            "written": {"status": "solved", "rank": 1, "augmented_rank": 1, "null_space": [],
            "certificate": [], "x": [{"fraction": true, "text": "3", "nearest": "3"}]},
            "errors": [{"digits": 15, "measured": null, "unit": "own", "largest_ulps": 0,
                        "ulps": [0, 0]}]})"},
        {"unknown unit", true, R"({"format": "lineq-exact 4", "dropped": false,
            "written": {"status": "solved", "rank": 1, "augmented_rank": 1, "null_space": [],
            "certificate": [], "x": [{"fraction": true, "text": "3", "nearest": "3"}]},
            "errors": [{"digits": 15, "measured": null, "unit": "ulp", "largest_ulps": 1,
                        "ulps": [0]}]})"},
        {"more not held listed than counted", true, R"({"format": "lineq-exact 4",
            "errors": [], "dropped": false, "written": {"status": "solved", "rank": 1,
            "augmented_rank": 1, "null_space": [], "certificate": [], "x": []},
            "not_held": {"count": 1, "order": 1, "listed": [
                {"row": 1, "column": 1, "text": "1e-2000000"},
                {"row": 1, "column": 2, "text": "1e2000000"}]}})"},
        {"summed none", true, R"({"format": "lineq-exact 4", "errors": [], "dropped": false,
            "written": {"status": "solved", "rank": 1, "augmented_rank": 1, "null_space": [],
            "certificate": [], "x": []}, "summed": {"count": 0, "row": 1, "column": 1}})"},
        {"summed outside the system", false,
         "lineq-exact 4\n1\n1\n1\nwritten 0 given kept\nsummed 1 2 1\ndetail whole\n0\n"},
        {"order zero", false, "lineq-exact 4\n0\n0\n"},
        {"numbers missing", false, "lineq-exact 4\n2\n1 2\n3 4\n5\n"},
        {"number beyond the doubles", false, "lineq-exact 4\n1\n1e999\n1\n0\n"},
        {"written outside the system", false,
         "lineq-exact 4\n1\n1\n1\nwritten 1 given kept\n1 3 0.1\ndetail shown\n0\n"},
        {"written not a number", false,
         "lineq-exact 4\n1\n1\n1\nwritten 1 given kept\n1 1 1/0\ndetail shown\n0\n"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.text);
        if (c.isReport)
            EXPECT_THROW(readReport(in), ProtocolError) << c.name;
        else
            EXPECT_THROW(readRequest(in), ProtocolError) << c.name;
    }
}

} // namespace
