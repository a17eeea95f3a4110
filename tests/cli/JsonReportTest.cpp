#include "Report.h"
#include "RunProgram.h"
#include "Systems.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace lse;
using namespace lse::cli;
using namespace lse::test;

TEST(JsonReport, SolutionsReadBackAsTheSameBits) {
    io::LinearSystem system;
    system.n = 2;
    system.A = makeMatrix({{3, 1}, {1, 7}});
    system.b = makeVector({1, 0.1});
    const CalculateReport solved = solveEach(system);
    const auto& results = solved.methods;
    const auto report = nlohmann::json::parse(jsonReport(system, solved, false));
    ASSERT_EQ(report["results"].size(), 2u);
    for (int m = 0; m < 2; ++m)
        for (int i = 1; i <= 2; ++i)
            EXPECT_EQ(bits(report["results"][m]["x"][i - 1].get<double>()), bits(results[m].x(i)));
}
