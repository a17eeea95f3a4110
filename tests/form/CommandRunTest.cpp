// What each declared command does, through the platform's primitives: one case a command, and
// nothing at all while a command has nothing to do.

#include "ExactSolution.h"
#include "FormSession.h"
#include "InProcessExact.h"
#include "SavedTexts.h"
#include "StepsText.h"
#include "View.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace lse::test {
namespace {

void solveExactly(FakePlatform& platform) {
    platform.exactSolver = InProcessExact{};
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Case {
    const char* name;
    Command command;
    std::optional<TextBox> box;
    std::function<void(FormSession&)> before; // after the default system is solved by Both
    std::function<void(FormSession&)> check;
};

const std::filesystem::path kSaved = std::filesystem::temp_directory_path() / "lineq-run.txt";

const Case kCases[] = {
    {"Copy Solution copies the box's own method", Command::copySolution, TextBox::txtCholesky,
     [](FormSession&) {},
     [](FormSession& s) {
         EXPECT_EQ(s.platform.clipboard, std::vector{*s.form.solutionCopy(TextBox::txtCholesky)});
     }},
    {"Copy copies the view's text",
     Command::copyText,
     {},
     [](FormSession&) {},
     [](FormSession& s) { EXPECT_EQ(s.platform.clipboard, std::vector{s.form.accuracyText()}); }},
    {"Copy as Tab-Separated copies the table",
     Command::copyTable,
     {},
     [](FormSession&) {},
     [](FormSession& s) { EXPECT_EQ(s.platform.clipboard, std::vector{s.form.accuracyTable()}); }},
    {"Compute Exact Solution in the open view refreshes it",
     Command::accuracy,
     {},
     [](FormSession& s) {
         solveExactly(s.platform);
         s.platform.inAccuracyView = [&s] { s.form.execute(Command::computeExact); };
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.accuracyShown, 1);
         EXPECT_EQ(s.platform.accuracyRefreshed, 1);
         EXPECT_FALSE(s.form.exactPending());
     }},
    {"Compute Exact Solution from a box's menu opens the view", Command::computeExact,
     TextBox::txtGauss, [](FormSession& s) { solveExactly(s.platform); },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.accuracyShown, 1);
         EXPECT_EQ(s.platform.accuracyRefreshed, 0);
         EXPECT_FALSE(s.form.exactPending());
     }},
    {"Refine Solution refines every method, from the open view, which it refreshes",
     Command::accuracy,
     {},
     [](FormSession& s) {
         s.platform.inAccuracyView = [&s] { s.form.execute(Command::refineSolution); };
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.accuracyShown, 1);
         EXPECT_EQ(s.platform.accuracyRefreshed, 1);
         EXPECT_EQ(std::vector(s.platform.longRuns.end() - 2, s.platform.longRuns.end()),
                   (std::vector<std::string>{"Refining the Gauss Elimination solution",
                                             "Refining the Cholesky Decomposition solution"}));
         for (const MethodReport& method : s.form.report().methods) {
             ASSERT_TRUE(method.refined);
             EXPECT_EQ(method.refined->refined.x, (std::vector<double>{0, 3, -6, 1}));
         }
         EXPECT_FALSE(isEnabled(Command::refineSolution, s.form));
     }},
    {"Refine Solution after the exact solve says the exact solution confirms it",
     Command::refineSolution, TextBox::txtGauss,
     [](FormSession& s) {
         solveExactly(s.platform);
         s.form.execute(Command::computeExact);
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.accuracyShown, 2);
         EXPECT_NE(s.form.accuracyText().find("  Refined solution, correctly rounded, 1 step\n"
                                              "  Checked against the exact solution: every "
                                              "component is its nearest double.\n    x1 = 3\n"),
                   std::string::npos);
     }},
    {"Refine Solution cancelled keeps what was refined before it",
     Command::refineSolution,
     {},
     [](FormSession& s) { s.platform.cancelRuns = {s.platform.longRuns.size() + 2}; },
     [](FormSession& s) {
         EXPECT_TRUE(s.form.report().methods[0].refined);
         EXPECT_FALSE(s.form.report().methods[1].refined);
         EXPECT_TRUE(isEnabled(Command::refineSolution, s.form));
     }},
    {"Steps… shows the box's method", Command::steps, TextBox::txtCholesky, [](FormSession&) {},
     [](FormSession& s) {
         ASSERT_EQ(s.platform.stepsShown.size(), 1u);
         const MethodEntry& method = *s.form.stepsOf(TextBox::txtCholesky);
         const View& view = s.platform.stepsShown[0];
         EXPECT_EQ(view.title, stepsTitle(method));
         // Cholesky's steps have no fractions beside them: one text, which Copy copies.
         ASSERT_EQ(view.parts.size(), 1u);
         const std::string& doubles = std::get<ViewText>(view.parts[0]).text;
         EXPECT_EQ(doubles, stepsText(method, s.form.A(), s.form.b(), s.form.n));
         ASSERT_EQ(view.buttons.size(), 1u);
         EXPECT_EQ(std::get<ViewCopy>(view.buttons[0]).text, doubles);
     }},
    {"Paste System reads the pasted text",
     Command::pasteSystem,
     {},
     [](FormSession& s) { s.platform.origin = PastedText{"1\n2 4\n"}; },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.dialogTitles, std::vector<std::string>{"Paste System"});
         EXPECT_EQ(s.form.n, 1);
         EXPECT_EQ(s.form.b()(1), 4);
     }},
    {"Open System… reads the chosen file",
     Command::openSystem,
     {},
     [](FormSession& s) {
         std::ofstream(kSaved) << "1\n2 6\n";
         s.platform.origin = ChosenFile{kSaved.string()};
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.dialogTitles, std::vector<std::string>{"Open System"});
         EXPECT_EQ(s.form.b()(1), 6);
     }},
    {"Open System… cancelled keeps the system",
     Command::openSystem,
     {},
     [](FormSession&) {},
     [](FormSession& s) { EXPECT_EQ(s.form.n, 3); }},
    {"Save System… writes the chosen path",
     Command::saveSystem,
     {},
     [](FormSession& s) {
         s.platform.saveTarget = {SaveTarget::Kind::path, kSaved.string()};
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.dialogTitles, std::vector<std::string>{"Save System"});
         EXPECT_EQ(fileText(kSaved), s.form.systemFileText());
     }},
    {"Save System… downloads where there are no paths",
     Command::saveSystem,
     {},
     [](FormSession& s) {
         s.platform.saveTarget = {SaveTarget::Kind::download, {}};
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.downloaded, s.form.systemFileText());
         EXPECT_EQ(s.platform.downloadsFinished, std::vector{true});
     }},
    {"Save System… cancelled in its progress drops the download",
     Command::saveSystem,
     {},
     [](FormSession& s) {
         s.platform.saveTarget = {SaveTarget::Kind::download, {}};
         s.platform.cancelRuns = {s.platform.longRuns.size() + 1};
     },
     [](FormSession& s) { EXPECT_EQ(s.platform.downloadsFinished, std::vector{false}); }},
    {"Save Results… downloads the values",
     Command::saveResults,
     {},
     [](FormSession& s) {
         s.platform.saveTarget = {SaveTarget::Kind::download, {}};
     },
     [](FormSession& s) {
         EXPECT_EQ(s.platform.dialogTitles, std::vector<std::string>{"Save Results"});
         EXPECT_EQ(s.platform.downloaded, s.form.resultsCsv());
     }},
    {"Save Results… writes the chosen path",
     Command::saveResults,
     {},
     [](FormSession& s) {
         s.platform.saveTarget = {SaveTarget::Kind::path, kSaved.string()};
     },
     [](FormSession& s) { EXPECT_EQ(fileText(kSaved), s.form.resultsCsv()); }},
};

TEST(CommandRun, EachCommandWorksThroughThePlatform) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(kSaved);
        FormSession s;
        s.submitDefault();
        s.calculate(Both);
        c.before(s);
        s.form.execute(c.command, c.box);
        c.check(s);
    }
    std::filesystem::remove(kSaved);
}

// Before a Calculate, and for a box whose method did not run, the result commands do nothing.
TEST(CommandRun, ACommandWithNothingToDoDoesNothing) {
    FormSession s;
    s.platform.saveTarget = {SaveTarget::Kind::download, {}};
    for (const Command command :
         {Command::copySolution, Command::copyTable, Command::steps, Command::saveResults,
          Command::computeExact, Command::refineSolution})
        s.form.execute(command, TextBox::txtGauss);
    s.submitDefault();
    s.calculate(Cholesky);
    s.form.execute(Command::copySolution, TextBox::txtGauss);
    s.form.execute(Command::steps, TextBox::txtGauss);
    EXPECT_TRUE(s.platform.clipboard.empty());
    EXPECT_TRUE(s.platform.stepsShown.empty());
    EXPECT_TRUE(s.platform.dialogTitles.empty());
    EXPECT_EQ(s.platform.accuracyShown, 0);
    // A system of no equations calculated has no exact solution to compute.
    s.platform.exactSolver = InProcessExact{};
    s.paste("0\n");
    s.calculate(Both);
    EXPECT_FALSE(isEnabled(Command::computeExact, s.form));
    s.form.execute(Command::computeExact);
    EXPECT_TRUE(s.platform.messages.empty());
    EXPECT_FALSE(s.form.report().exact);
}

} // namespace
} // namespace lse::test
