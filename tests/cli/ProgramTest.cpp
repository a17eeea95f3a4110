#include "RunProgram.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

using namespace lse::test;

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        const ProgramRun run = runProgram(c.args);
        const std::string golden = std::string(LINEQ_CLI_TEST_DIR) + "/golden/" + c.golden;
        if (std::getenv("LINEQ_UPDATE_GOLDEN") != nullptr)
            std::ofstream(golden, std::ios::binary) << run.out;
        EXPECT_EQ(run.out, contents(golden));
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
    }
}

TEST(ProgramOutput, BadInputIsOneLineOnStandardErrorAndNothingElse) {
    struct Case {
        std::string input;
        std::string message;
        std::vector<std::string> args = {};
    };
    const std::string mm = "%%MatrixMarket matrix coordinate real general\n";
    const std::vector<Case> cases{
        {"3\n4 2 14\n2 17 -5\n14 -5 3abc\n", "line 4, column 7: expected a number, found '3abc'"},
        {"1\n1e400\n1\n", "line 2, column 1: expected a number, found '1e400'"},
        {"1 inf 1", "line 1, column 3: expected a number, found 'inf'"},
        {"1\n0x10 1\n", "line 2, column 1: expected a number, found '0x10'"},
        {"3\n1 2 3 4 5 6 7 8\n", "expected 9 coefficients of A, found 8"},
        {"2\n1 2 3 4\n5\n", "expected 2 entries of b, found 1"},
        {"1\n1\n2 3\n", "line 3, column 3: expected the end of the input after A and b, found '3'"},
        {"0\n0\n", "line 2, column 1: expected the end of the input after A and b, found '0'"},
        {"40000\n1\n", "line 1, column 1: n = 40000 is more than 32766 equations"},
        {" 2.5\n", "line 1, column 2: expected the number of equations, a whole number from 0 "
                   "to 32766, found '2.5'"},
        {"# nothing\n\n", "expected the number of equations, found the end of the input"},
        {"1,2,3\n4,,6\n", "line 2, column 3: expected a number, found an empty field"},
        {"1,2,3\n4,5,6,\n", "line 2, column 7: expected 3 numbers in the row, found more: an "
                            "empty field"},
        {"x,y,b\n1 2 3\n4 5\n", "line 3: expected 3 numbers in the row, found 2"},
        {"1 2 3\n4 5 6\n7 8 9\n1 1 1\n",
         "expected 2 rows of 3 numbers, one per line, found 4 rows"},
        {"1 2 \x01\n", "line 1, column 5: expected a number, found '\\x01'"},
        {"2 2 3\n", "expected 2 rows of 3 numbers, one per line, found 1 row"},
        {"2\n\xff 1 1 1 1 1\n", "line 2, column 1: expected a number, found '\\xff'"},
        {"%%MatrixMarket matrix array complex general\n",
         "line 1, column 29: expected 'real' or 'integer', found 'complex'"},
        {mm + "2 3 1\n", "line 2: the matrix is 2 x 3, but a system needs a square one"},
        {mm + "40000 40000 0\n", "line 2: n = 40000 is more than 32766 equations"},
        {mm + "2 2 2\n1 1 1\n", "expected 2 entries, one per line, found 1"},
        {mm + "2 2 2\n1 1 1\n1 1 2\n", "line 4: entry (1, 1) is given twice"},
        {mm + "2 2 1\n3 1 1\n", "line 3, column 1: expected a row index from 1 to 2, found '3'"},
        {mm + "2 2 1\n1 1\n", "line 3: expected a row, a column and a value, found 2 fields"},
        {"%%MatrixMarket matrix coordinate real symmetric\n2 2 1\n1 2 5\n",
         "line 3: entry (1, 2) lies above the diagonal, but a symmetric file holds the lower "
         "triangle only"},
        {"%%MatrixMarket matrix array real general\n2 2\n1 2 3\n", "expected 4 entries, found 3"},
        {mm + "2 2 2\n1 1 1e308\n1 2 1e308\n",
         "row 1 of A sums beyond the range of numbers, so b = A (1, ..., 1) cannot be formed; "
         "give b with --rhs"},
        {"1\n1\n1\n",
         "line 1: expected the banner '%%MatrixMarket matrix ...'",
         {"--input-format", "matrix-market"}},
        {"1\n1\n1\n",
         "--rhs is for an input that holds A alone; this input holds b itself",
         {"--rhs", dataFile("default-rhs.mtx")}},
    };
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
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--method", "lu"},
                                                 {"--digits", "16"},
                                                 {"--format", "xml"},
                                                 {"--input-format", "csv"},
                                                 {"--frobnicate"},
                                                 {"a.txt", "b.txt"},
                                                 {dataFile("no-such-file.txt")}}) {
        SCOPED_TRACE(args.front());
        const ProgramRun run = runProgram(args, "1\n1\n1\n");
        EXPECT_EQ(run.err.rfind("lineq-solve: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.status, 2);
    }
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
    const rlim_t size = rlim_t{1} << 30;
    const rlimit limit{size, size};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        std::exit(3);
    const ProgramRun run =
        runProgram({}, "%%MatrixMarket matrix coordinate real general\n32766 32766 0\n");
    std::cerr << run.err << "out " << run.out.size() << " bytes\n";
    std::exit(run.status);
}

} // namespace

TEST(ProgramOutput, TooLittleMemoryForTheSystemIsAnInputError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readTheLargestSparseSystemUnderALimit(), ::testing::ExitedWithCode(2),
                "standard input: not enough memory for a system of 32766 equations\nout 0 bytes");
}
