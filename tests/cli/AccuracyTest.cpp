// lineq-solve's figures and warnings: a warning where a solution's digits may be lost and
// nowhere else, and no bit of x changed by them.
#include "ConditionedSystems.h"
#include "RunProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace lse::test;

namespace {

const std::string kDefault = "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n";
// Solved exactly, but ||A||_1 and |A| |x| + |b| overflow.
const std::string kHuge = "2\n1e308 1e308\n1e308 1.7e308\n1e308 1e308\n";

const std::string kGaussWarns =
    "lineq-solve: warning: The Gauss Elimination solution may have no correct digit: ";
const std::string kCholeskyWarns =
    "lineq-solve: warning: The Cholesky Decomposition solution may have no correct digit: ";
const std::string kSingular = "the matrix is singular to working precision (estimated "
                              "condition number ";
const std::string kEnd = ").\n";
const std::string kUnstable = "its backward error is 1.6e-01, far above the unit roundoff.\n";
const std::string kGrowth =
    "the elimination's pivot growth is 5.8e+17 with an estimated condition number of 6.0e+01.\n";

nlohmann::json resultsOf(std::vector<std::string> args, const std::string& input) {
    args.insert(args.end(), {"--format", "json"});
    return nlohmann::json::parse(runProgram(args, input).out)["results"];
}

} // namespace

// Gauss run last works in A, so without --accuracy RCOND and the pivot growth decide:
// Wilkinson's matrix (well conditioned, growth 2^59) is warned of by its growth, and badly
// scaled rows though accurate. Elsewhere the error bound and the backward error decide.
TEST(LineqSolveAccuracy, WarnsWhereTheDigitsMayBeLostAndNowhereElse) {
    const std::string wilkinson = plainInput(wilkinsonGrowth(60));
    const std::string scaled = plainInput(badlyScaledRows(20, 4));
    const std::string choleskyFailed =
        "lineq-solve: Cholesky Decomposition: Cholesky Decomposition Failed\n";
    const std::vector<std::tuple<std::string, std::vector<std::string>, std::string>> cases{
        {kDefault, {}, ""},
        {scaled, {"--method", "gauss", "--accuracy"}, ""},
        {scaled, {"--method", "gauss"}, kGaussWarns + kSingular + "9.8e+31" + kEnd},
        {plainInput(hilbert(12)),
         {},
         kGaussWarns + kSingular + "3.8e+16" + kEnd + kCholeskyWarns + kSingular + "4.2e+16" +
             kEnd},
        {plainInput(neumannPoisson(5)),
         {"--method", "gauss"},
         kGaussWarns + kSingular + "8.2e+16" + kEnd},
        {wilkinson, {}, kGaussWarns + kUnstable + choleskyFailed},
        {wilkinson, {"--method", "gauss"}, kGaussWarns + kGrowth},
        {wilkinson, {"--method", "gauss", "--accuracy"}, kGaussWarns + kUnstable},
    };
    for (const auto& [input, args, err] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args) + " on " + input.substr(0, 30));
        const ProgramRun run = runProgram(args, input);
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(run.status, err.find("Failed") == std::string::npos ? 0 : 1);
    }
}

// Whether Gauss works in A or on a copy, x and RCOND are the same bits; only the copy gives
// the figures that need the residual.
TEST(LineqSolveAccuracy, GaussInAOrOnACopyGivesTheSameBits) {
    for (const ConditionedSystem& system : {hilbert(12), wilkinsonGrowth(60), kahan(30)}) {
        SCOPED_TRACE(system.name);
        const std::string input = plainInput(system);
        const nlohmann::json inA = resultsOf({"--method", "gauss"}, input)[0];
        const nlohmann::json copied = resultsOf({"--method", "gauss", "--accuracy"}, input)[0];
        EXPECT_EQ(inA["x"], copied["x"]);
        EXPECT_EQ(inA["rcond"], copied["rcond"]);
        EXPECT_FALSE(inA.contains("forward_error_bound"));
        EXPECT_TRUE(copied["forward_error_bound"].is_number());
        EXPECT_EQ(copied, resultsOf({"--method", "gauss", "--accuracy", "--echo"}, input)[0]);
    }
}

// A figure that cannot be had is null; a failed method has none at all.
TEST(LineqSolveAccuracy, JsonGivesEachSolvedResultEveryFigureOrNull) {
    const char* figures[] = {"rcond", "backward_error", "forward_error_bound",
                             "estimated_correct_digits"};
    for (const nlohmann::json& result : resultsOf({"--accuracy"}, kHuge))
        for (const char* figure : figures)
            EXPECT_TRUE(result.at(figure).is_null()) << figure;
    const nlohmann::json wilkinson = resultsOf({"--accuracy"}, plainInput(wilkinsonGrowth(60)));
    EXPECT_EQ(wilkinson[0]["warning"], kGaussWarns.substr(kGaussWarns.find("The")) +
                                           kUnstable.substr(0, kUnstable.size() - 1));
    EXPECT_EQ(wilkinson[0]["estimated_correct_digits"], 0);
    EXPECT_EQ(wilkinson[1].size(), 3u) << wilkinson[1]; // method, status, failure
}
