#include "Protocol.h"
#include "Systems.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

using namespace lse;
using namespace lse::exact;
using namespace lse::test;

namespace {

constexpr double kTiny = std::numeric_limits<double>::denorm_min();

ExactReport roundTrip(const ExactReport& report) {
    std::stringstream channel;
    writeReport(channel, report);
    return readReport(channel);
}

TEST(Protocol, ReportsComeBackAsTheyWent) {
    const ExactReport cases[] = {
        {ExactStatus::noUniqueSolution, {}, {}},
        {ExactStatus::solved,
         {{true, "-7/2", -3.5},
          {false, "0.10000000000000001", 0.1},
          {false, "3.5953862697246314E+308", std::nullopt},
          {false, "7.4109846876186982E-324", 2 * kTiny}},
         {{{0, 1, std::nullopt, 3}, std::nullopt, 15}, {{0, 0, 0, 0}, 0, 17}}},
    };
    for (const ExactReport& report : cases)
        EXPECT_EQ(roundTrip(report), report);
}

TEST(Protocol, RequestsComeBackBitForBit) {
    const Matrix A = makeMatrix({{1e300, -kTiny}, {0.1, 1.0 / 3}});
    const Vector b = makeVector({std::numeric_limits<double>::max(), -2.5e-310});
    const std::vector<Vector> solutions{makeVector({0.30000000000000004, 7}), makeVector({1, 2})};
    std::stringstream channel;
    writeRequest(channel, A, b, 2, solutions);
    const ExactRequest request = readRequest(channel);
    EXPECT_EQ(request.n, 2);
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
        {"report cut short", true, "lineq-exact 1\nstatus solved\nx fraction 3 3\n"},
        {"unknown status", true, "lineq-exact 1\nstatus maybe\nend\n"},
        {"unknown line", true, "lineq-exact 1\nstatus solved\ny 3\nend\n"},
        {"nearest not a number", true, "lineq-exact 1\nstatus solved\nx approx 3 three\nend\n"},
        {"count not a count", true,
         "lineq-exact 1\nstatus solved\nx fraction 3 3\nerror 15 -1 0\nend\n"},
        {"order zero", false, "lineq-exact 1\n0\n0\n"},
        {"numbers missing", false, "lineq-exact 1\n2\n1 2\n3 4\n5\n"},
        {"number beyond the doubles", false, "lineq-exact 1\n1\n1e999\n1\n0\n"},
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
