// lineq-solve --refine: the refined x towards the system as written, in text and JSON.
#include "RunProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace lse::test;

namespace {

const std::string kRefinedDefault = "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n";

} // namespace

// Gauss's x on the default system is off by a few ulps; tenths are not their doubles, so the
// refinement must reach the written system's solution, as the exact solve rounds it; a system
// singular as written but not as doubles must not pass for converged. Values a pair cannot
// hold are said to stand as their doubles.
TEST(LineqSolveRefine, RefinesTowardsTheSystemAsWritten) {
    struct Case {
        std::string name;
        std::string input;
        std::string text; // Gauss's section from its refined heading on, with --digits 17
        std::string status;
        bool agreesWithExact;
    };
    const std::vector<Case> cases{
        {"default", kRefinedDefault,
         "Refined solution, correctly rounded, 2 steps\nx1 =   3\nx2 =   -6\nx3 =   1\n",
         "correctly rounded", true},
        {"tenths", "3\n0.1 0.2 0.3\n0.4 0.5 0.6\n0.7 0.8 1.0\n0.1 0.3 0.7\n",
         "Refined solution, correctly rounded, 2 steps\nx1 =   2.3333333333333335\n"
         "x2 =   -3.6666666666666665\nx3 =   2\n",
         "correctly rounded", true},
        {"digits beyond a pair", "2\n0.1000000000000000000001 1\n1 2\n1 1\n",
         "Refined solution, correctly rounded, 1 step\n1 written value could not be held "
         "exactly: the refinement is towards its double.\nx1 =   -1.25\nx2 =   1.125\n",
         "correctly rounded", false},
        {"row sums beside a tenth",
         "%%MatrixMarket matrix coordinate real general\n2 2 4\n1 1 0.1\n1 2 1\n2 1 1\n2 2 2\n",
         "Refined solution, within 2 ulps, 2 steps\nb, the row sums of A, stands as its doubles: "
         "the refinement is towards them.\nx1 =   0.9999999999999998\nx2 =   1\n",
         "within 2 ulps", false},
        {"singular as written", "3\n0.1 0.2 0.3\n0.4 0.5 0.7\n0.7 0.8 1.1\n0.1 0.3 0.7\n",
         "Refined solution, not converged: the corrections stopped shrinking\n"
         "x1 =   -3602879701896390.5\nx2 =   18014398509481960\nx3 =   -10808639105689176\n",
         "not converged", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun text =
            runProgram({"--method", "gauss", "--refine", "--digits", "17"}, c.input);
        const std::size_t heading = text.out.find("Refined solution");
        ASSERT_NE(heading, std::string::npos) << text.out;
        EXPECT_EQ(text.out.substr(heading), c.text);

        const ProgramRun json =
            runProgram({"--method", "gauss", "--refine", "--exact", "--format", "json"}, c.input);
        const nlohmann::json report = nlohmann::json::parse(json.out);
        const nlohmann::json& refined = report["results"][0]["refined"];
        EXPECT_EQ(refined["status"], c.status);
        EXPECT_EQ(refined["bound_ulps"].is_null(), c.status == "not converged");
        if (c.agreesWithExact) {
            EXPECT_EQ(refined["x"], report["exact"]["rounded"]);
        }
    }
}

// The refined x is a column beside the methods', as the side-by-side view shows it, and its
// status stands below it.
TEST(LineqSolveRefine, CsvAddsAColumnForEachRefinedX) {
    const ProgramRun run = runProgram({"--refine", "--format", "csv"}, kRefinedDefault);
    EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")),
              "Unknown,Gauss Elimination,Cholesky Decomposition,Gauss Elimination refined,"
              "Cholesky Decomposition refined");
    EXPECT_NE(run.out.find("\r\nx2,-5.999999999999999,"), std::string::npos);
    EXPECT_NE(run.out.find(",-6,-6\r\n"), std::string::npos);
    const std::string status = "Refined,,,correctly rounded,correctly rounded\r\n";
    ASSERT_GE(run.out.size(), status.size());
    EXPECT_EQ(run.out.substr(run.out.size() - status.size()), status);
}
