#include "MemoryLimit.h"
#include "RefusedInputs.h"
#include "RunProgram.h"
#include "Sanitizers.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <iostream>

using namespace lse::test;

namespace {

const std::string kInput = "lineq-solve: standard input: ";

} // namespace

// Set LINEQ_UPDATE_GOLDEN=1 to rewrite the golden files after a deliberate change of output.
TEST(ProgramOutput, MatchesTheGoldenFiles) {
    struct Case {
        std::vector<std::string> args;
        std::string golden;
        int status;
        std::string err;
    };
    const std::string gaussFailed = "lineq-solve: Gauss Elimination: Aborting analysis\n";
    const std::string choleskyFailed =
        "lineq-solve: Cholesky Decomposition: Cholesky Decomposition Failed\n";
    const std::vector<Case> cases{
        {{dataFile("default.txt")}, "default.out", 0, ""},
        {{"--accuracy", dataFile("default.txt")}, "default-accuracy.out", 0, ""},
        {{"--accuracy", "--format", "json", dataFile("default.txt")},
         "default-accuracy.json",
         0,
         ""},
        {{"--echo", "--digits", "17", dataFile("default.txt")}, "default-echo-17.out", 0, ""},
        {{"--format", "json", "--echo", dataFile("default.txt")}, "default-echo.json", 0, ""},
        {{dataFile("singular.csv")}, "singular.out", 1, gaussFailed + choleskyFailed},
        {{"--format", "json", dataFile("singular.csv")},
         "singular.json",
         1,
         gaussFailed + choleskyFailed},
        {{"--method", "cholesky", dataFile("default.mtx")}, "row-sums.out", 0, ""},
        {{"--format", "json", "--rhs", dataFile("default-rhs.mtx"), dataFile("default.mtx")},
         "matrix-market.json",
         0,
         ""},
        {{"--exact", dataFile("default.txt")}, "default-exact.out", 0, ""},
        {{"--exact", "--format", "json", dataFile("default.txt")}, "default-exact.json", 0, ""},
        {{"--exact", "--format", "csv", dataFile("default.txt")}, "default-exact.csv", 0, ""},
        {{"--exact", dataFile("singular.csv")},
         "singular-exact.out",
         1,
         gaussFailed + choleskyFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        const ProgramRun run = runProgram(c.args);
        const std::string golden = testFile("golden/" + c.golden);
        if (std::getenv("LINEQ_UPDATE_GOLDEN") != nullptr)
            std::ofstream(golden, std::ios::binary) << run.out;
        EXPECT_EQ(run.out, fileContents(golden));
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
    }
}

// The default system in every other layout: the same texts as from the plain file.
TEST(ProgramOutput, EveryLayoutOfTheDefaultSystemGivesTheSameResults) {
    const std::string expected = fileContents(testFile("golden/default.out"));
    const std::string rhs = dataFile("default-rhs.mtx");
    const std::vector<std::vector<std::string>> cases{
        {dataFile("default.npy")},
        {"--rhs", dataFile("default-b.npy"), dataFile("default-A.npy")},
        {"--rhs", rhs, dataFile("default-block.csv")},
        {"--rhs", rhs, "--duplicates", "sum", dataFile("default-duplicates.mtx")},
        {"--input-format", "npy", "-"},
    };
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(args.back());
        const ProgramRun run = runProgram(args, fileContents(dataFile("default.npy")));
        EXPECT_EQ(run.out, expected);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.status, 0);
    }
}

TEST(ProgramOutput, BadInputIsOneLineOnStandardErrorAndNothingElse) {
    struct Case {
        std::string input;
        std::string message;
        std::vector<std::string> args = {};
    };
    const std::string mm = "%%MatrixMarket matrix coordinate real general\n";
    std::vector<Case> cases{
        {mm + "2 2 2\n1 1 1e308\n1 2 1e308\n",
         "row 1 of A sums beyond the range of numbers, so b = A (1, ..., 1) cannot be formed; "
         "give b with --rhs"},
        {"1\n1\n1\n",
         "--rhs is for an input that holds A alone; this input holds b itself",
         {"--rhs", dataFile("default-rhs.mtx")}},
    };
    for (const RefusedInput& refused : refusedInputs())
        cases.push_back({refused.input, refused.message, {"--input-format", refused.format}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const ProgramRun run = runProgram(c.args, c.input);
        EXPECT_EQ(run.err, kInput + c.message + "\n");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.status, 2);
    }
}

TEST(ProgramOutput, RightHandSideOfTheWrongSizeNamesItsFile) {
    const std::string rhs = dataFile("default-rhs.mtx");
    const ProgramRun run =
        runProgram({"--rhs", rhs}, "%%MatrixMarket matrix array real general\n1 1\n2\n");
    EXPECT_EQ(run.err, "lineq-solve: " + rhs +
                           ": line 2: expected a vector of 1 x 1 entries, "
                           "found 3 x 1\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 2);
}

TEST(ProgramOutput, UsageErrorsExitWithTwoAndPrintNothingOnStandardOutput) {
    struct Case {
        std::vector<std::string> args;
        std::string says = {}; // a part of the message
    };
    const std::vector<Case> cases{
        {{"--method", "lu"}},
        {{"--digits", "16"}},
        {{"--format", "xml"}},
        {{"--steps", "--format", "json"}},
        {{"--input-format", "csv"}},
        {{"--frobnicate"}},
        {{"a.txt", "b.txt"}},
        {{dataFile("no-such-file.txt")}},
        // One reader would find standard input spent by the other.
        {{"--rhs", "-"}, "--rhs - and the system both read standard input"},
        {{"--rhs", "-", "-"}, "--rhs - and the system both read standard input"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const ProgramRun run = runProgram(c.args, "1\n1\n1\n");
        EXPECT_EQ(run.err.rfind("lineq-solve: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.status, 2);
    }
}

TEST(ProgramOutput, StepsFollowEachMethodsSolution) {
    const ProgramRun run = runProgram({"--steps", "--method", "cholesky"},
                                      "3\n4 2 14\n2 17 -5\n14 -5 83\n14 -101 155\n");
    EXPECT_EQ(
        run.out.rfind("Cholesky Solution\nx1 =   3\nx2 =   -6\nx3 =   1\n\nSteps of Cholesky", 0),
        0u)
        << run.out;
    EXPECT_TRUE(run.out.ends_with("\nx = 3 -6 1\n")) << run.out;
}

TEST(ProgramOutput, VersionAndHelpGoToStandardOutput) {
    EXPECT_EQ(runProgram({"--version"}).out, std::string("lineq-solve ") + LINEQ_VERSION + "\n");
    const ProgramRun help = runProgram({"--help"});
    EXPECT_NE(help.out.find("--input-format"), std::string::npos);
    EXPECT_EQ(help.status, 0);
}

namespace {

// In the death test's child, under an address-space limit far below the 8.6 GB that A alone
// needs for 32766 equations.
[[noreturn]] void readTheLargestSparseSystemUnderALimit() {
    limitAddressSpace(1ULL << 30);
    const ProgramRun run =
        runProgram({}, "%%MatrixMarket matrix coordinate real general\n32766 32766 0\n");
    std::cerr << run.err << "out " << run.out.size() << " bytes\n";
    std::exit(run.status);
}

// In the death test's child: ten bytes through a pipe (whose length is unknown) that name the
// largest order. Says whether the run took a large part of the 8.6 GB that A would fill.
[[noreturn]] void refuseAShortPipeNamingTheLargestOrder() {
    const ProgramRun run = runProgram({}, "32766\n1 2 3\n");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long kilobytes = usage.ru_maxrss;
    std::cerr << run.err << "peak " << (kilobytes > (256 << 10) ? "large" : "small") << "\n";
    std::exit(run.status);
}

// In the death test's child, under the same limit: a sparse file of the largest order, whose A
// takes 8.6 GB, and a --rhs file that cannot be b, which must be refused before A is built.
[[noreturn]] void refuseAJunkRightHandSideOfTheLargestSparseSystem() {
    limitAddressSpace(1ULL << 30);
    const ProgramRun run =
        runProgram({"--rhs", dataFile("junk-rhs.txt")},
                   "%%MatrixMarket matrix coordinate real general\n32766 32766 1\n1 1 1\n");
    std::cerr << run.err << "out " << run.out.size() << " bytes\n";
    std::exit(run.status);
}

} // namespace

TEST(ProgramOutput, AJunkRightHandSideIsRefusedBeforeAIsBuilt) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(refuseAJunkRightHandSideOfTheLargestSparseSystem(), ::testing::ExitedWithCode(2),
                "junk-rhs.txt: line 1, column 1: expected a number, found 'b'\nout 0 bytes");
}

TEST(ProgramOutput, AShortPipeNamingTheLargestOrderIsRefusedWithoutFillingMemory) {
    if (kAddressSanitizer || kThreadSanitizer)
        GTEST_SKIP() << "the sanitizers' allocators write what they hand out";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(refuseAShortPipeNamingTheLargestOrder(), ::testing::ExitedWithCode(2),
                "standard input: expected 1073610756 coefficients of A, found 3\npeak small");
}

TEST(ProgramOutput, TooLittleMemoryForTheSystemIsAnInputError) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readTheLargestSparseSystemUnderALimit(), ::testing::ExitedWithCode(2),
                "standard input: not enough memory for a system of 32766 equations\nout 0 bytes");
}
