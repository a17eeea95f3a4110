// lineq-solve --exact: the exact section's lines and JSON on systems built to reach each case.
#include "MemoryLimit.h"
#include "RunProgram.h"
#include "Sanitizers.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace lse::test;

namespace {

const std::string kWholeNote =
    "\u2248: the fraction has more than 20 digits and is shown rounded to 17 digits\n";
const std::string kNote = kWholeNote.substr(0, kWholeNote.size() - 1) +
                          "; each number of A and b counts as the binary fraction its double "
                          "holds (0.1 is 3602879701896397/36028797018963968)\n";
const std::string kWritten = "As written, each decimal and fraction its own value:\n";
const std::string kDoubles = "As the methods got it, each number its nearest double:\n";
const std::string kUlp = "A unit in the last place is the gap between neighbouring doubles: 0 "
                         "means the method found the correctly rounded value.\n";
const std::string kRankTwoSystem = "3\n1 2 3\n4 5 6\n7 8 9\n1 1 1\n"; // Gauss solves it by rounding
const std::string kOverflowingSystem = "2\n1e300 0\n0 1e-300\n1e300 1e300\n"; // x2 overflows

} // namespace

TEST(ExactOption, TextSectionFollowsTheMethodsUnchanged) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string section; // after the heading
    };
    const std::vector<Case> cases{
        {"a typed decimal, as written and as its double",
         {"--method", "gauss"},
         "1\n1\n0.1\n",
         0,
         kWritten + "x1 =   1/10   (nearest double: 0.1)\n" + kDoubles +
             "x1 \u2248   0.10000000000000001   (nearest double: 0.1)\n" + kWholeNote +
             "Rounding the input to doubles: largest error 0 units in the last place, 16 correct "
             "digits\nGauss Elimination against the doubles' solution: largest error 0 units in "
             "the last place, 17 correct digits; error bound 4.4e-16: held (measured error 0)\n" +
             kUlp},
        {"a short fraction and one unit off",
         {},
         "1\n3\n1\n",
         0,
         "x1 =   1/3   (nearest double: 0.3333333333333333)\n"
         "Gauss Elimination: largest error 0 units in the last place, 16 correct digits; error "
         "bound 4.4e-16: held (measured error 5.6e-17)\n"
         "Cholesky Decomposition: largest error 1 unit in the last place, 15 correct digits; "
         "error bound 4.4e-16: held (measured error 1.1e-16)\n" +
             kUlp},
        {"whole numbers, a long fraction",
         {"--method", "cholesky"},
         "1\n9007199254740991\n12345\n",
         0,
         "x1 \u2248   1.3705703238997559E-12   (nearest double: 1.370570323899756E-12)\n" +
             kWholeNote +
             "Cholesky Decomposition: largest error 0 units in the last place, 16 correct "
             "digits; error bound 4.4e-16: held (measured error 3.6e-17)\n" +
             kUlp},
        {"beyond the doubles, where both methods fail",
         {},
         kOverflowingSystem,
         1,
         kWritten +
             "x1 =   1\nx2 \u2248   1.0000000000000000E+600   (nearest double: beyond the "
             "doubles)\n" +
             kDoubles +
             "x1 =   1\nx2 \u2248   1.0000000000000000E+600   (nearest double: beyond the "
             "doubles)\n" +
             kWholeNote +
             "Rounding the input to doubles: largest error out of range, 16 correct digits\n"},
        {"a method that failed has no line",
         {},
         "2\n1 2\n2 1\n3 3\n",
         1,
         "x1 =   1\nx2 =   1\n"
         "Gauss Elimination: largest error 0 units in the last place, 17 correct digits; error "
         "bound 2.0e-15: held (measured error 0)\n" +
             kUlp},
        {"singular, solved by rounding",
         {"--method", "gauss"},
         kRankTwoSystem,
         0,
         "The system has no unique solution.\nA has rank 2 and [A | b] rank 2: there are "
         "infinitely many solutions, x = p + t1 v1 for any t1, with\np = (-1, 1, 0)\nv1 = (1, -2, "
         "1)\nGauss Elimination: its numbers come from rounding alone.\n"},
        {"no solution, in fractions",
         {"--method", "gauss"},
         "2\n1 2\n2 4\n1/3 1\n",
         1,
         kWritten +
             "The system has no unique solution.\nA has rank 1 and [A | b] rank 2: there is no "
             "solution.\n-2 \u00d7 equation 1 + 1 \u00d7 equation 2 reads 0 = 1/3.\n" +
             kDoubles +
             "The system has no unique solution.\nA has rank 1 and [A | b] rank 2: there is no "
             "solution.\n-2 \u00d7 equation 1 + 1 \u00d7 equation 2 reads 0 = c with c \u2248 "
             "0.33333333333333337.\n"},
        {"written numbers beyond the exact arithmetic: the doubles' answer alone, so labelled",
         {"--method", "gauss"},
         "2\n1 1e-2000000\n0 5e-3000000\n1 1e-3000001\n",
         1,
         "Not solved as written: 3 written numbers are beyond the decimal exponents the exact "
         "arithmetic holds (\u00b11000000), and as their doubles they would make a system other "
         "than the one written: 1e-2000000 (equation 1, coefficient 2), 5e-3000000 (equation 2, "
         "coefficient 2), 1e-3000001 (equation 2, right-hand side).\n" +
             kDoubles +
             "The system has no unique solution.\nA has rank 1 and [A | b] rank 1: there are "
             "infinitely many solutions, x = p + t1 v1 for any t1, with\np = (1, 0)\nv1 = (0, "
             "1)\n"},
        {"an exact 0 beside 1, counted in the unit of 1",
         {"--method", "gauss"},
         "3\n0.1 0.2 0.3\n0.4 0.5 0.7\n0.7 0.8 0.1\n0.1 0.4 0.7\n",
         0,
         kWritten + "x1 =   1\nx2 =   0\nx3 =   0\n" + kDoubles + "x1 =   1\nx2 =   0\nx3 =   0\n" +
             "Rounding the input to doubles: largest error 0 units in the last place, 17 correct "
             "digits\nGauss Elimination against the doubles' solution: largest error 0 units in "
             "the last place, 17 correct digits; error bound 4.7e-15: held (measured error 0)\n" +
             kUlp.substr(0, kUlp.size() - 2) +
             "; where the exact value is 0 or below the last place of x's largest entry, the "
             "unit is that of x's largest entry.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        const ProgramRun without = runProgram(args, c.input);
        args.push_back("--exact");
        const ProgramRun with = runProgram(args, c.input);
        EXPECT_EQ(with.out, without.out + "\nExact solution\n" + c.section);
        EXPECT_EQ(with.err, without.err);
        EXPECT_EQ(with.status, c.status);
        EXPECT_EQ(without.status, c.status);
    }
}

// Every fraction whole, null for a double out of range, no errors without a unique solution;
// the doubles' values and the input's rounding where they differ from what was written.
TEST(ExactOption, JsonHasWholeFractionsAndNullBeyondTheDoubles) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"1\n1\n0.1\n", R"("x":[0.1],"rcond":1.0,"max_error_ulps":0,"correct_digits":17}],)"
                        R"("exact":{"status":"solved","rank":1,"augmented_rank":1,)"
                        R"("values":["1/10"],"rounded":[0.1],"doubles_status":"solved",)"
                        R"("doubles_values":["3602879701896397/36028797018963968"],)"
                        R"("input_rounding_ulps":0,"input_rounding_correct_digits":16}})"},
        {kOverflowingSystem, R"(419898880/670228578340049"],"input_rounding_ulps":null,)"
                             R"("input_rounding_correct_digits":16}})"},
        {kRankTwoSystem, R"(working precision (estimated condition number 6.5e+17)."}],)"
                         R"("exact":{"status":"infinitely many","rank":2,"augmented_rank":2,)"
                         R"("particular":["-1","1","0"],"null_space":[["1","-2","1"]]}})"},
        {"2\n1 2\n2 4\n1/3 1\n", R"("exact":{"status":"no solution","rank":1,)"
                                 R"("augmented_rank":2,"certificate":["-2","1"],)"
                                 R"("certificate_value":"1/3","doubles_status":"no solution"}})"},
        {"1\n1e-2000000\n1\n", R"("certificate_value":"1","as_written":false,)"
                               R"("written_values_not_held":[{"text":"1e-2000000","equation":1,)"
                               R"("column":1}],"written_values_not_held_count":1}})"},
    };
    for (const auto& [input, json] : cases) {
        const ProgramRun run =
            runProgram({"--exact", "--format", "json", "--method", "gauss"}, input);
        EXPECT_NE(run.out.find(json + "\n"), std::string::npos) << run.out;
    }
}

// 0.1 + 0.2 summed in doubles is 0.30000000000000004, not the written 3/10: every output says
// that the exact solution is of the doubles, not of the system as written.
TEST(ExactOption, SummedEntriesAreNotAsWrittenInEveryOutput) {
    const std::string input = "%%MatrixMarket matrix coordinate real general\n2 2 "
                              "4\n1 1 0.1\n1 1 0.2\n1 2 0.5\n2 2 1\n";
    const std::string reason = "Not solved as written: entry (1, 1) of A was given more than once "
                               "and summed in doubles, which may round, so it is not as written.";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"text", "\nExact solution\n" + reason + "\n" + kDoubles + "x1 =   1\nx2 =   1\n"},
        {"json", R"("as_written":false,"summed_entries":{"count":1,"first":{"equation":1,)"
                 R"("column":1}}}})"},
        {"csv", "Exact solution as written,\"" + reason + "\",,,"},
    };
    for (const auto& [format, expected] : cases) {
        SCOPED_TRACE(format);
        const ProgramRun run = runProgram(
            {"--exact", "--duplicates", "sum", "--method", "gauss", "--format", format}, input);
        EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("As written"), std::string::npos) << run.out;
        EXPECT_EQ(run.status, 0);
    }
}

namespace {

// In the death test's child: after an exact solve, an allocation of GMP's that cannot be had,
// as a large system's solve would ask for (8 GB under a limit of 1 GB).
[[noreturn]] void allocateBeyondALimitAfterAnExactSolve() {
    const ProgramRun run = runProgram({"--exact"}, "1\n3\n1\n");
    if (run.status != 0)
        std::exit(3);
    limitAddressSpace(1ULL << 30);
    mpz_t huge;
    mpz_init2(huge, mp_bitcnt_t{1} << 36);
    mpz_clear(huge);
    std::exit(0);
}

} // namespace

TEST(ExactOption, RunningOutOfMemoryIsOneLineAndExitStatusTwo) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer needs the address space the test limits";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(allocateBeyondALimitAfterAnExactSolve(), ::testing::ExitedWithCode(2),
                "^lineq-solve: not enough memory for the exact solution\n$");
}

// On a terminal the progress line says how long the exact solve should take, then goes.
TEST(ExactOption, ProgressLineStatesTheExpectedTimeAndIsErased) {
    std::istringstream in("1\n3\n1\n");
    std::ostringstream out, err;
    lse::cli::Console console{in, out, err, true};
    const std::vector<const char*> argv{"lineq-solve", "--exact"};
    EXPECT_EQ(lse::cli::run(2, argv.data(), console), 0);
    EXPECT_EQ(err.str(), "\r\033[KComputing the exact solution (under a second)\r\033[K");
}
