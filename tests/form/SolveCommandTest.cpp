#include "FormSession.h"

#include <gtest/gtest.h>

using namespace lse;
using namespace lse::test;

TEST(SolveCommand, DefaultSystemUnderEachMethod) {
    struct Case {
        Choice method;
        std::string gauss;
        std::string cholesky;
    };
    for (const Case& c :
         {Case{Both, kDefaultSolution, kDefaultSolution}, Case{Gauss, kDefaultSolution, ""},
          Case{Cholesky, "", kDefaultSolution}}) {
        SCOPED_TRACE(c.method);
        FormSession s;
        s.submitDefault();
        // Stale text from the user or an earlier run never survives a Calculate.
        s.platform.texts[TextBox::txtGauss] = "typed";
        s.platform.texts[TextBox::txtCholesky] = "typed";
        s.calculate(c.method);
        EXPECT_EQ(s.box(TextBox::txtGauss), c.gauss);
        EXPECT_EQ(s.box(TextBox::txtCholesky), c.cholesky);
        EXPECT_TRUE(s.platform.messages.empty());
    }
}

TEST(SolveCommand, NoChosenButtonMeansBoth) {
    FormSession s;
    s.submitDefault();
    s.calculate(static_cast<Choice>(7));
    EXPECT_EQ(s.box(TextBox::txtGauss), kDefaultSolution);
    EXPECT_EQ(s.box(TextBox::txtCholesky), kDefaultSolution);
}

TEST(SolveCommand, CalculatingTwiceGivesTheSameText) {
    FormSession s;
    s.submitDefault();
    s.calculate(Both);
    const std::string gauss = s.box(TextBox::txtGauss);
    const std::string cholesky = s.box(TextBox::txtCholesky);
    s.calculate(Both);
    EXPECT_EQ(s.box(TextBox::txtGauss), gauss);
    EXPECT_EQ(s.box(TextBox::txtCholesky), cholesky);
}

TEST(SolveCommand, IndefiniteSystemUnderBoth) {
    FormSession s;
    s.enter("2", {"1", "2", "2", "1", "3", "3"});
    s.calculate(Both);
    EXPECT_EQ(s.box(TextBox::txtGauss), "x1 =   1\r\nx2 =   1\r\n");
    EXPECT_EQ(s.platform.messages, std::vector<ShownMessage>{kCholeskyFailed});
    EXPECT_EQ(s.box(TextBox::txtCholesky), "");
}

// Systems on which both methods fail: each says why in its own box, and neither leaves a
// result, not even the one an earlier Calculate showed.
TEST(SolveCommand, EachMethodThatFailsSaysSoAndLeavesNoResult) {
    const struct {
        const char* n;
        std::vector<std::string> entries;
        std::vector<ShownMessage> messages;
    } cases[] = {
        {"2", {"1", "2", "2", "4", "1", "2"}, {kGaussFailed, kCholeskyFailed}}, // singular
        {"1", {"1e-300", "1e300"}, {kGaussFailed, kCholeskySolveFailed}},       // x overflows
    };
    for (const auto& c : cases) {
        FormSession s;
        s.submitDefault();
        s.calculate(Both);
        s.enter(c.n, c.entries);
        s.calculate(Both);
        EXPECT_EQ(s.platform.messages, c.messages) << c.entries[0];
        EXPECT_EQ(s.box(TextBox::txtGauss), "");
        EXPECT_EQ(s.box(TextBox::txtCholesky), "");
    }
}

TEST(SolveCommand, UnsymmetricSystemIsSolvedByGaussOnly) {
    FormSession s;
    s.enter("2", {"4", "2", "100", "5", "1", "2"});
    s.calculate(Both);
    EXPECT_EQ(s.box(TextBox::txtGauss),
              "x1 =   -0.00555555555555555\r\nx2 =   0.511111111111111\r\n");
    EXPECT_EQ(s.platform.messages, std::vector<ShownMessage>{kCholeskyFailed});
    EXPECT_EQ(s.box(TextBox::txtCholesky), "");
}

TEST(SolveCommand, OneEquation) {
    FormSession s;
    s.enter("1", {"4", "8"});
    s.calculate(Both);
    EXPECT_EQ(s.box(TextBox::txtGauss), "x1 =   2\r\n");
    EXPECT_EQ(s.box(TextBox::txtCholesky), "x1 =   2\r\n");
}

TEST(SolveCommand, NothingToSolveLeavesBothBoxesEmpty) {
    for (const Choice method : {Both, Gauss, Cholesky}) {
        SCOPED_TRACE(method);
        FormSession before;
        before.platform.texts[TextBox::txtGauss] = "typed";
        before.calculate(method);
        EXPECT_EQ(before.box(TextBox::txtGauss), "");
        EXPECT_EQ(before.box(TextBox::txtCholesky), "");
        EXPECT_TRUE(before.platform.messages.empty());

        FormSession zero;
        zero.submitDefault();
        zero.calculate(Both);
        zero.enter("0", {});
        zero.calculate(method);
        EXPECT_EQ(zero.box(TextBox::txtGauss), "");
        EXPECT_EQ(zero.box(TextBox::txtCholesky), "");
        EXPECT_TRUE(zero.platform.messages.empty());
    }
}
