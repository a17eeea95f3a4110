// A method that exists only here, added by one table entry: lineq-solve and the window's
// logic offer it, run it and show its result or its failure with no change of their own.
#include "FormSession.h"
#include "MethodTable.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lse;
using namespace lse::test;

namespace {

const Message kNotDiagonal{"The matrix is not diagonal."};

// x(i) = b(i) / A(i, i) for a diagonal A with a non-zero diagonal; any other A fails.
CalculateOutcome calculateDiagonal(Matrix& W, const Vector& b, Vector& x, std::int16_t n,
                                   MethodState&, const SolveOptions&) {
    CalculateOutcome outcome;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            if ((i == j) == (W(i, j) == 0)) {
                outcome.ending = CalculateOutcome::Ending::failed;
                return outcome;
            }
    for (int i = 1; i <= n; ++i)
        x(i) = b(i) / W(i, i);
    return outcome;
}

std::optional<Message> aboutDiagonal(const CalculateOutcome& outcome) {
    if (outcome.ending == CalculateOutcome::Ending::failed)
        return kNotDiagonal;
    return std::nullopt;
}

// Cholesky, then the new method, which the window runs alone from the Gauss button and shows
// in the Gauss box: the window has no box of its own for it.
const std::vector<MethodEntry> kMethods{
    *findMethod(builtInMethods(), "cholesky"),
    {"diagonal", "Diagonal Division", "Diagonal Solution", SolutionMethod::gaussElimination,
     TextBox::txtGauss, calculateDiagonal, KeptOfA::nothing, aboutDiagonal,
     [](const CalculateOutcome&, double) { return std::string("A is not diagonal."); }},
};

const std::string kDiagonal = "2\n4 0\n0 16\n12 -8\n";
const std::string kDiagonalSolution = "x1 =   3\r\nx2 =   -0.5\r\n";
const std::string kFull = "2\n1 2\n2 1\n3 3\n"; // neither diagonal nor positive definite

} // namespace

TEST(AddedMethod, LineqSolveRunsItByItsName) {
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases{
        {{"--method", "diagonal"},
         kDiagonal,
         cli::exitStatus::solved,
         "Diagonal Solution\nx1 =   3\nx2 =   -0.5\n",
         ""},
        {{},
         kDiagonal,
         cli::exitStatus::solved,
         "Cholesky Solution\nx1 =   3\nx2 =   -0.5\n\nDiagonal Solution\nx1 =   3\nx2 =   -0.5\n",
         ""},
        {{"--method", "diagonal", "--format", "json"},
         kDiagonal,
         cli::exitStatus::solved,
         R"({"n":2,"rhs":"input","results":[{"method":"diagonal","status":"solved","x":[3.0,-0.5],"rcond":null}]})"
         "\n",
         ""},
        {{"--method", "diagonal"},
         kFull,
         cli::exitStatus::methodFailed,
         "Diagonal Solution\n",
         "lineq-solve: Diagonal Division: The matrix is not diagonal.\n"},
        {{"--method", "diagonal", "--format", "json"},
         kFull,
         cli::exitStatus::methodFailed,
         R"({"n":2,"rhs":"input","results":[{"method":"diagonal","status":"failed","failure":"The matrix is not diagonal."}]})"
         "\n",
         "lineq-solve: Diagonal Division: The matrix is not diagonal.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args) + " on " + c.input);
        const ProgramRun run = runProgram(c.args, c.input, kMethods);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

// The option takes the table's names, and only those.
TEST(AddedMethod, LineqSolveOffersTheTablesNames) {
    EXPECT_NE(runProgram({"--help"}, "", kMethods).out.find("cholesky, diagonal or both"),
              std::string::npos);
    EXPECT_EQ(runProgram({"--method", "gauss"}, kDiagonal, kMethods).status,
              cli::exitStatus::badInput);
}

TEST(AddedMethod, TheWindowsLogicRunsItFromItsOption) {
    struct Case {
        const char* name;
        Choice option;
        std::string system;
        std::string gaussBox;
        std::string choleskyBox;
        std::vector<std::string> runs; // the progress titles, in order
        std::vector<ShownMessage> messages;
    };
    const std::vector<Case> cases{
        {"alone", Gauss, kDiagonal, kDiagonalSolution, "", {"Diagonal Division"}, {}},
        {"both",
         Both,
         kDiagonal,
         kDiagonalSolution,
         kDiagonalSolution,
         {"Cholesky Decomposition", "Diagonal Division"},
         {}},
        {"the other alone",
         Cholesky,
         kDiagonal,
         "",
         kDiagonalSolution,
         {"Cholesky Decomposition"},
         {}},
        {"failing alone", Gauss, kFull, "", "", {"Diagonal Division"}, {kNotDiagonal}},
        {"both failing",
         Both,
         kFull,
         "",
         "",
         {"Cholesky Decomposition", "Diagonal Division"},
         {kCholeskyFailed, kNotDiagonal}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormSession s(kMethods);
        s.paste(c.system);
        s.platform.longRuns.clear();
        s.calculate(c.option);
        EXPECT_EQ(s.box(TextBox::txtGauss), c.gaussBox);
        EXPECT_EQ(s.box(TextBox::txtCholesky), c.choleskyBox);
        EXPECT_EQ(s.platform.longRuns, c.runs);
        EXPECT_EQ(s.platform.messages, c.messages);
    }
}
