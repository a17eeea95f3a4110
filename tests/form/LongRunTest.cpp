#include "FormSession.h"
#include "Systems.h"

#include <gtest/gtest.h>

using namespace lse;
using namespace lse::test;

namespace {

const std::string kGaussTitle = "Gauss Elimination";
const std::string kCholeskyTitle = "Cholesky Decomposition";

// A symmetric, diagonally dominant system of n equations as rows, b last.
std::string rowsSystem(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            text += i == j ? "4 " : (i - j == 1 || j - i == 1) ? "1 " : "0 ";
        text += std::to_string(i) + "\n";
    }
    return text;
}

} // namespace

TEST(LongRun, EachMethodRunsAsLongWorkInOrderWithItsProgress) {
    struct Case {
        Choice choice;
        std::vector<std::string> titles;
    };
    for (const Case& c : {Case{Both, {kGaussTitle, kCholeskyTitle}}, Case{Gauss, {kGaussTitle}},
                          Case{Cholesky, {kCholeskyTitle}}}) {
        SCOPED_TRACE(c.choice);
        FormSession s;
        s.paste(rowsSystem(300));
        EXPECT_EQ(s.platform.longRuns, std::vector<std::string>{"Reading the system"});
        s.platform.longRuns.clear();
        s.platform.progressShown.clear();
        s.calculate(c.choice);
        EXPECT_EQ(s.platform.longRuns, c.titles);
        for (const auto& [done, total] : s.platform.progressShown) {
            EXPECT_EQ(total, 300);
            EXPECT_GT(done, 0);
        }
        EXPECT_TRUE(s.platform.messages.empty());
    }
}

// Whichever run is cancelled, both boxes end empty, nothing is said, and no later method runs.
TEST(LongRun, CancelEmptiesBothBoxesQuietly) {
    struct Case {
        Choice choice;
        std::size_t cancelledRun;
        std::size_t runs;
    };
    for (const Case& c :
         {Case{Both, 1, 1}, Case{Both, 2, 2}, Case{Gauss, 1, 1}, Case{Cholesky, 1, 1}}) {
        SCOPED_TRACE(std::to_string(c.choice) + " run " + std::to_string(c.cancelledRun));
        FormSession s;
        s.submitDefault();
        s.calculate(Both);
        const Vector solved = s.form.x();
        s.platform.longRuns.clear();
        s.platform.cancelRuns = {c.cancelledRun};
        s.calculate(c.choice);
        EXPECT_EQ(s.platform.longRuns.size(), c.runs);
        EXPECT_EQ(s.box(TextBox::txtGauss), "");
        EXPECT_EQ(s.box(TextBox::txtCholesky), "");
        EXPECT_TRUE(s.platform.messages.empty());

        // The next Calculate runs as ever.
        s.platform.cancelRuns.clear();
        s.calculate(Both);
        EXPECT_EQ(s.box(TextBox::txtGauss), kDefaultSolution);
        EXPECT_EQ(s.box(TextBox::txtCholesky), kDefaultSolution);
        EXPECT_EQ(s.form.x(), solved);
    }
}

// A failure before the cancel has been reported, and its message stays said.
TEST(LongRun, AMessageBeforeTheCancelStands) {
    FormSession s;
    s.paste("2\n1 2\n2 4\n3 6\n");
    s.platform.longRuns.clear();
    s.platform.cancelRuns = {2};
    s.calculate(Both);
    EXPECT_EQ(s.platform.messages, std::vector<ShownMessage>{kGaussFailed});
    EXPECT_EQ(s.box(TextBox::txtCholesky), "");
}

TEST(LongRun, NothingElseStartsWhileOneRuns) {
    FormSession s;
    s.submitDefault();
    s.platform.chkDefault = 0;
    s.platform.texts[TextBox::Textn] = "1";
    s.platform.reply({"5", "10"});
    int nested = 0;
    s.platform.duringLongRun = [&] {
        if (nested++ > 0)
            return;
        s.platform.writes.clear();
        s.form.Start_Click();
        s.form.submit_but_Click();
        s.form.loadSystemText("1\n2\n4\n");
        s.form.loadSystemFile("/nonexistent");
        EXPECT_TRUE(s.platform.writes.empty());
        EXPECT_TRUE(s.platform.prompts.empty());
        EXPECT_TRUE(s.platform.messages.empty());
    };
    s.calculate(Both);
    EXPECT_EQ(s.platform.longRuns.size(), 2u);
    EXPECT_EQ(s.form.n, 3);
    EXPECT_EQ(s.box(TextBox::txtCholesky), kDefaultSolution);

    // Once it has ended, they do.
    s.form.submit_but_Click();
    EXPECT_EQ(s.form.n, 1);
}
