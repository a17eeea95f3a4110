// lineq-solve --refine: the refined x towards the system as written, in text and JSON.
#include "RunProgram.h"

#include "NumberText.h"
#include "kernels/Tuning.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace lse::test;

namespace {

const std::string kRefinedDefault = "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n";

} // namespace

// Gauss's x on the default system is off by a few ulps; tenths, 17 and 22 digits, fractions
// and row sums of decimals are held as written, so the refinement must reach the written
// system's solution as the exact solve rounds it; a 0 in x is reached by the bound where the
// residual is exact and by the exact check where it is not; a value below what a pair holds
// makes the doubles the target, said in text and JSON; a system singular as written but not as
// doubles must not pass for converged.
TEST(LineqSolveRefine, RefinesTowardsTheSystemAsWritten) {
    struct Case {
        std::string name;
        std::string input;
        std::string text; // Gauss's section from its refined heading on, with --digits 17
        std::string status;
        std::string system;
        bool agreesWithExact;
    };
    const std::vector<Case> cases{
        {"default", kRefinedDefault,
         "Refined solution, correctly rounded, 2 steps\nx1 =   3\nx2 =   -6\nx3 =   1\n",
         "correctly rounded", "written", true},
        {"tenths", "3\n0.1 0.2 0.3\n0.4 0.5 0.6\n0.7 0.8 1.0\n0.1 0.3 0.7\n",
         "Refined solution, correctly rounded, 2 steps\nx1 =   2.3333333333333335\n"
         "x2 =   -3.6666666666666665\nx3 =   2\n",
         "correctly rounded", "written", true},
        {"a third beside 17 digits", "1\n1/3 1.0000000000000001\n",
         "Refined solution, correctly rounded, 2 steps\nx1 =   3.0000000000000004\n",
         "correctly rounded", "written", true},
        {"22 digits", "2\n0.1000000000000000000001 1\n1 2\n1 1\n",
         "Refined solution, correctly rounded, 1 step\nx1 =   -1.25\nx2 =   1.125\n",
         "correctly rounded", "written", true},
        {"row sums beside a tenth",
         "%%MatrixMarket matrix coordinate real general\n2 2 4\n1 1 0.1\n1 2 1\n2 1 1\n2 2 2\n",
         "Refined solution, correctly rounded, 1 step\nx1 =   1\nx2 =   1\n", "correctly rounded",
         "written", true},
        {"a zero, exactly", "2\n2 0\n0 4\n1 0\n",
         "Refined solution, correctly rounded, 1 step\nx1 =   0.5\nx2 =   0\n", "correctly rounded",
         "written", true},
        {"a zero among decimals", "3\n0.1 0.2 0.3\n0.4 0.5 0.6\n0.7 0.8 1.1\n-0.2 -0.2 -0.4\n",
         "Refined solution, correctly rounded, checked against the exact solution, 1 step\n"
         "x1 =   1\nx2 =   0\nx3 =   -1\n",
         "correctly rounded, checked against the exact solution", "written", true},
        {"below a pair", "2\n1e-310 1\n1 2\n1 1\n",
         "Refined solution, correctly rounded, 1 step\nThe refinement is towards the doubles the "
         "methods got, not the system as written: 1e-310 (equation 1, coefficient 1) is beyond "
         "what a pair of doubles holds.\nx1 =   -1\nx2 =   1\n",
         "correctly rounded", "doubles", false},
        {"singular as written", "3\n0.1 0.2 0.3\n0.4 0.5 0.7\n0.7 0.8 1.1\n0.1 0.3 0.7\n",
         "Refined solution, not converged: the corrections stopped shrinking\n"
         "x1 =   -3602879701896390.5\nx2 =   18014398509481960\nx3 =   -10808639105689176\n",
         "not converged", "written", false},
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
        EXPECT_EQ(refined["system"], c.system);
        EXPECT_EQ(refined["as_written"], c.system == "written");
        EXPECT_EQ(refined.contains("reason"), c.system != "written");
        EXPECT_EQ(refined["bound_ulps"].is_null(), c.status == "not converged");
        if (c.agreesWithExact) {
            EXPECT_EQ(refined["x"], report["exact"]["rounded"]);
            EXPECT_EQ(refined["exact_check"]["holds"], true);
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
    const std::string status = "Refined,,,correctly rounded,correctly rounded\r\n"
                               "Refined towards,,,written,written\r\n";
    ASSERT_GE(run.out.size(), status.size());
    EXPECT_EQ(run.out.substr(run.out.size() - status.size()), status);
}

// From the order on where no claim is settled by the exact solve, a refinement alone reads the
// numbers' words instead of keeping their texts; --steps keeps every text. Both must refine to
// the same x and claim, in every text layout and with b on its own, the texts no word holds
// (long, huge, tiny, a typographic minus, fractions) among them.
TEST(LineqSolveRefine, WordsReadRefineAsTheTextsKept) {
    const int n = lse::Session::firstUnsettledOrder();
    const std::string odd[] = {"1/3", "\u22120.25", "1e-30", "1.2345678901234567890123", "-7/9"};
    std::string rows, b;
    unsigned state = 5;
    const auto entry = [&](int i, int j) {
        state = state * 1103515245u + 12345u;
        if (state % 37 == 0)
            return odd[state % 5];
        const double value = static_cast<double>(state % 20001) / 10000 - 1 + (i == j ? 4 * n : 0);
        return lse::doubleToText(value, lse::Digits::roundTrip);
    };
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            rows += entry(i, j) + (j < n ? " " : "\n");
        b += entry(i, 0) + "\n";
    }
    const std::string rhs = scratchFile("words-rhs.txt");
    std::ofstream(rhs) << b;
    std::string withB; // each row with its b
    for (std::size_t at = 0, i = 0, k = 0; at < rows.size(); ++i) {
        const std::size_t end = rows.find('\n', at);
        const std::size_t bEnd = b.find('\n', k);
        withB += rows.substr(at, end - at) + " " + b.substr(k, bEnd - k) + "\n";
        at = end + 1;
        k = bEnd + 1;
    }
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string input;
    } cases[] = {
        {"plain", {"-"}, std::to_string(n) + "\n" + rows + b},
        {"rows", {"-"}, withB},
        {"square with --rhs", {"--rhs", rhs, "-"}, rows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"--method", "gauss", "--refine", "--digits", "17"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun words = runProgram(args, c.input);
        args.insert(args.begin(), "--steps");
        const ProgramRun texts = runProgram(args, c.input);
        ASSERT_EQ(words.status, 0) << words.err;
        const std::size_t heading = words.out.find("Refined solution, correctly rounded");
        ASSERT_NE(heading, std::string::npos);
        EXPECT_NE(texts.out.find(words.out.substr(heading)), std::string::npos);
    }
    std::filesystem::remove(rhs);
}

// From the order on where the figures and the refinement run side by side on two threads,
// both must give the bits they give one after the other on one: the figures, the refined x
// and its claim, for both methods, in JSON with every figure.
TEST(LineqSolveRefine, SideBySideOnTwoThreadsGivesTheBitsOfOne) {
    const int n = lse::tuning::kRefineBesideFiguresFrom;
    std::string input = std::to_string(n) + "\n";
    unsigned state = 11;
    for (int i = 1; i <= n + 1; ++i)
        for (int j = 1; j <= n; ++j) {
            state = state * 1103515245u + 12345u;
            // Symmetric, so that Cholesky runs too: entry (i, j) from min and max of i and j.
            const unsigned seed = static_cast<unsigned>(std::min(i, j) * 7919 + std::max(i, j));
            const double value = i > n ? static_cast<double>(state % 1001) / 100
                                       : static_cast<double>(seed % 2001) / 1000 - 1 +
                                             (i == j ? n : 0);
            input += lse::doubleToText(value, lse::Digits::roundTrip) + (j < n ? " " : "\n");
        }
    const auto run = [&](const char* threads) {
        return runProgram({"--method", "both", "--refine", "--accuracy", "--format", "json",
                           "--threads", threads, "-"},
                          input);
    };
    const ProgramRun one = run("1");
    const ProgramRun two = run("2");
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(one.out, two.out);
    EXPECT_NE(one.out.find("\"refined\""), std::string::npos);
}
