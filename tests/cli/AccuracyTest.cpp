// lineq-solve's figures and warnings: where a solution's digits may be lost it says so on
// standard error, and nowhere else; the figures change no bit of x and no byte of the text
// output without --accuracy.
#include "ConditionedSystems.h"
#include "NumberText.h"
#include "RunProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

using namespace lse;
using namespace lse::test;

namespace {

const std::string kDefault = "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n";
// Symmetric positive definite, solved exactly, but ||A||_1 and |A| |x| + |b| overflow.
const std::string kHuge = "2\n1e308 1e308\n1e308 1.7e308\n1e308 1e308\n";

const std::string kGaussWarns = "lineq-solve: warning: Gauss Elimination: ";
const std::string kCholeskyWarns = "lineq-solve: warning: Cholesky Decomposition: ";
const std::string kCholeskyFailed =
    "lineq-solve: Cholesky Decomposition: Cholesky Decomposition Failed\n";
const std::string kSingular = "the matrix is singular to working precision (estimated "
                              "condition number ";
const std::string kNoDigit = "); the solution may have no correct digit\n";

// The text output with every line of figures taken out.
std::string withoutFigures(const std::string& out) {
    std::istringstream lines(out);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.find(": ") == std::string::npos || line.rfind("x", 0) == 0)
            kept.append(line).append("\n");
    return kept;
}

nlohmann::json resultsOf(const ProgramRun& run) {
    return nlohmann::json::parse(run.out)["results"];
}

} // namespace

// Gauss alone works in A: without --accuracy it has no residual, so RCOND alone decides, as
// LAPACK's drivers do: Wilkinson's matrix (well conditioned, growth 2^59) slips through, and
// badly scaled rows are warned of though accurate. Elsewhere the error bound decides.
TEST(LineqSolveAccuracy, WarnsWhereTheDigitsMayBeLostAndNowhereElse) {
    struct Case {
        std::string name;
        std::string input;
        std::vector<std::string> args;
        std::string err;
        int status = 0;
    };
    const std::string hilbert12 = plainInput(hilbert(12));
    const std::string neumann = plainInput(neumannPoisson(5));
    const std::string wilkinson = plainInput(wilkinsonGrowth(60));
    const std::string scaled = plainInput(badlyScaledRows(20, 4));
    const std::string wilkinsonBound = kGaussWarns + "the solution may have no correct digit (its "
                                                     "error bound is 1.5e+00)\n";
    const std::vector<Case> cases{
        {"default", kDefault, {}, ""},
        {"default, Gauss in A", kDefault, {"--method", "gauss"}, ""},
        {"default, all figures", kDefault, {"--accuracy", "--format", "json"}, ""},
        {"huge entries", kHuge, {"--accuracy"}, ""},
        {"random SPD", plainInput(randomPositiveDefinite(30, 3)), {}, ""},
        // Accurate all the same; only a bound on the error tells.
        {"badly scaled rows", scaled, {"--method", "gauss", "--accuracy"}, ""},
        {"badly scaled rows, Gauss in A",
         scaled,
         {"--method", "gauss"},
         kGaussWarns + kSingular + "9.8e+31" + kNoDigit},
        {"Hilbert 12",
         hilbert12,
         {},
         kGaussWarns + kSingular + "3.8e+16" + kNoDigit + kCholeskyWarns + kSingular + "4.2e+16" +
             kNoDigit},
        {"Hilbert 12, Gauss in A",
         hilbert12,
         {"--method", "gauss"},
         kGaussWarns + kSingular + "3.8e+16" + kNoDigit},
        {"Neumann Poisson, Cholesky in A",
         neumann,
         {"--method", "cholesky", "--format", "json"},
         kCholeskyWarns + kSingular + "4.3e+16" + kNoDigit},
        {"Wilkinson 60", wilkinson, {}, wilkinsonBound + kCholeskyFailed, 1},
        {"Wilkinson 60, Gauss in A", wilkinson, {"--method", "gauss"}, ""},
        {"Wilkinson 60, Gauss on a copy",
         wilkinson,
         {"--method", "gauss", "--accuracy"},
         wilkinsonBound},
        {"Wilkinson 60, echoed", wilkinson, {"--method", "gauss", "--echo"}, wilkinsonBound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = runProgram(c.args, c.input);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
    }
}

// Figures are extra lines after each method's x lines; the rest is the output without them,
// byte for byte.
TEST(LineqSolveAccuracy, FiguresOnlyAddLinesToTheTextOutput) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {plainInput(hilbert(12)), {}},
        {plainInput(hilbert(12)), {"--method", "gauss"}},
        {plainInput(kahan(30)), {"--digits", "17"}},
        {kHuge, {"--echo"}},
    };
    for (const auto& [input, args] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args) + " on " + input.substr(0, 40));
        std::vector<std::string> withFigures = args;
        withFigures.push_back("--accuracy");
        const ProgramRun plain = runProgram(args, input);
        const ProgramRun figures = runProgram(withFigures, input);
        EXPECT_NE(figures.out, plain.out);
        EXPECT_EQ(withoutFigures(figures.out), plain.out);
        EXPECT_EQ(figures.err, plain.err);
    }
}

// Whether Gauss works in A or on a copy, x and RCOND are the same bits; only the copy gives
// the figures that need the residual.
TEST(LineqSolveAccuracy, GaussInAOrOnACopyGivesTheSameBits) {
    for (const ConditionedSystem& system : {hilbert(12), wilkinsonGrowth(60), kahan(30)}) {
        SCOPED_TRACE(system.name);
        const std::string input = plainInput(system);
        const auto gauss = [&](std::vector<std::string> args) {
            args.insert(args.end(), {"--method", "gauss", "--format", "json"});
            return resultsOf(runProgram(args, input))[0];
        };
        const nlohmann::json inA = gauss({});
        const nlohmann::json copied = gauss({"--accuracy"});
        const nlohmann::json echoed = gauss({"--echo", "--accuracy"});
        EXPECT_EQ(inA["x"], copied["x"]);
        EXPECT_EQ(inA["rcond"], copied["rcond"]);
        EXPECT_FALSE(inA.contains("forward_error_bound"));
        EXPECT_TRUE(copied["forward_error_bound"].is_number());
        EXPECT_EQ(copied, echoed);
    }
}

TEST(LineqSolveAccuracy, FiguresThatCannotBeHadAreNullOrNotAvailable) {
    const ProgramRun json = runProgram({"--accuracy", "--format", "json"}, kHuge);
    for (const nlohmann::json& result : resultsOf(json)) {
        SCOPED_TRACE(result["method"]);
        EXPECT_EQ(result["status"], "solved");
        for (const char* figure :
             {"rcond", "backward_error", "forward_error_bound", "estimated_correct_digits"})
            EXPECT_TRUE(result[figure].is_null()) << figure;
        EXPECT_FALSE(result.contains("warning"));
    }
    const ProgramRun text = runProgram({"--accuracy", "--method", "cholesky"}, kHuge);
    EXPECT_EQ(text.out, "Cholesky Solution\nx1 =   1\nx2 =   0\n"
                        "condition number (estimated): not available\n"
                        "backward error: not available\nerror bound: not available\n"
                        "estimated correct digits: not available\n");
}

// A failed method has no figures; a solved one always has RCOND, and the warning where due.
TEST(LineqSolveAccuracy, JsonGivesFiguresToSolvedResultsOnly) {
    const ProgramRun run =
        runProgram({"--accuracy", "--format", "json"}, plainInput(wilkinsonGrowth(60)));
    const nlohmann::json results = resultsOf(run);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_LT(results[0]["rcond"].get<double>(), 1.0);
    EXPECT_GE(results[0]["forward_error_bound"].get<double>(), 1.0);
    EXPECT_EQ(results[0]["estimated_correct_digits"], 0);
    EXPECT_EQ(results[0]["warning"],
              "the solution may have no correct digit (its error bound is 1.5e+00)");
    EXPECT_EQ(results[1]["status"], "failed");
    for (const char* figure :
         {"rcond", "backward_error", "forward_error_bound", "estimated_correct_digits", "warning"})
        EXPECT_FALSE(results[1].contains(figure)) << figure;
}

// Two significant digits, correctly rounded from the double's exact value.
TEST(LineqSolveAccuracy, FiguresAreWrittenWithTwoCorrectlyRoundedDigits) {
    const std::vector<std::pair<double, std::string>> cases{
        {0, "0"},
        {340, "3.4e+02"},
        {9.96, "1.0e+01"}, // the carry reaches the exponent
        {1.25, "1.2e+00"}, // an exact tie goes to the even digit
        {1.05, "1.1e+00"}, // 1.05 is stored a little above it
        {0.15, "1.5e-01"}, // and 0.15 a little below
        {1.2e-300, "1.2e-300"},
        {3.8e16, "3.8e+16"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(figureText(value), text) << value;
}
