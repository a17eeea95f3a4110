// Save System and Save Results behind the fake window: what is written, and what a failure to
// write leaves. The window and the page save the same texts (tests/support/saveCases.json).

#include "SavedTexts.h"
#include "ExactSolution.h"
#include "FormSession.h"
#include "InProcessExact.h"
#include "NumberText.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lse::test {
namespace {

// Each saved text pasted back holds the same doubles and saves as the same text again (the
// window's and the page's table has what fractions and decimals save as).
TEST(SaveSystem, ReadsBackAsTheSameNumbersAsWritten) {
    for (const auto& [pasted, saved] : std::initializer_list<std::pair<std::string, std::string>>{
             // A spreadsheet's rows, b last, become n, A's rows and b; -0 keeps its sign.
             {"0.1\t-0\t1\n22/7\t12345678901234567\t2/4\n",
              "2\n0.1 -0\n22/7 12345678901234567\n1 2/4\n"},
             {"1\n5E+2\n\n1.0\n", "1\n5E+2\n1.0\n"},
         }) {
        SCOPED_TRACE(pasted);
        FormSession first;
        first.paste(pasted);
        ASSERT_EQ(first.form.systemFileText(), saved);
        FormSession second;
        second.paste(saved);
        EXPECT_EQ(second.form.A(), first.form.A());
        EXPECT_EQ(second.form.b(), first.form.b());
        EXPECT_EQ(second.form.systemFileText(), saved);
    }
}

TEST(SaveResults, FailedMethodsLeaveTheirCellsEmptyAndSayWhy) {
    FormSession s;
    s.paste("2\n1 2\n2 1\n3 3\n"); // symmetric, not positive definite
    s.calculate(Both);
    const auto rows = resultRows(s.form.report());
    ASSERT_EQ(rows.size(), 8u); // header, x1, x2, four figures, the failure
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"Unknown", "Gauss Elimination", "Cholesky Decomposition"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"x1", "1", ""}));
    EXPECT_EQ(rows[6][0], "Correct digits");
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Failure", "", "Cholesky Decomposition Failed"}));
}

TEST(SaveResults, TheExactSolutionOnceComputedWithEachMethodsError) {
    FormSession s;
    s.platform.exactSolver = InProcessExact{};
    s.paste("2\n0.1 0.2\n0.3 0.4\n0.5 0.6\n");
    s.calculate(Gauss);
    ASSERT_TRUE(runAtOnce(s.form.computeExact()));
    const auto rows = resultRows(s.form.report());
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"Unknown", "Gauss Elimination", "As written", "Exact",
                                        "Nearest double", "Gauss Elimination error (ulps)"}));
    // A whole number is a number to a spreadsheet; a fraction a formula that yields its text,
    // not a date.
    EXPECT_EQ(rows[1][2], "-4");
    EXPECT_EQ(rows[2][2], "=\"9/2\"");
    // The doubles' own solution is a long fraction, marked as rounded; its nearest double is a
    // number.
    EXPECT_EQ(rows[2][3].substr(0, 3), "~4.");
    EXPECT_EQ(textToDouble(rows[2][4]), 4.5);

    // Singular as written, not as doubles: the file says so beside the doubles' solution.
    s.paste("2\n0.1 0.3\n0.3 0.9\n0.1 0.3\n");
    s.calculate(Gauss);
    ASSERT_TRUE(runAtOnce(s.form.computeExact()));
    EXPECT_EQ(resultRows(s.form.report()).back(),
              (std::vector<std::string>{"Exact solution as written",
                                        "The system has no unique solution. A has rank 1 and [A | "
                                        "b] rank 1: there are infinitely many solutions.",
                                        "", "", ""}));

    // The other way round: a number that underflows leaves the doubles' system without a
    // solution, and the written system's is still given, in its column.
    s.paste("1\n1e-400\n1\n");
    s.calculate(Gauss);
    ASSERT_TRUE(runAtOnce(s.form.computeExact()));
    const auto underflowed = resultRows(s.form.report());
    EXPECT_EQ(underflowed[0],
              (std::vector<std::string>{"Unknown", "Gauss Elimination", "As written"}));
    EXPECT_EQ(underflowed[1], (std::vector<std::string>{"x1", "", "~1.0000000000000000E+400"}));
    EXPECT_EQ(underflowed.back()[0], "Exact solution of the doubles");
}

TEST(SaveResults, FieldsAreQuotedAsRfc4180Asks) {
    EXPECT_EQ(csvText({{"plain", "a,b", "say \"hi\""}, {"two\nlines", "", "x\r"}}),
              "plain,\"a,b\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,\"x\r\"\r\n");
}

TEST(SaveSystem, AFileThatCannotBeWrittenOrACancelLeavesItAsItWas) {
    namespace fs = std::filesystem;
    const fs::path folder = scratchFile("save-folder");
    fs::create_directories(folder / "inside");
    FormSession s;
    s.submitDefault();
    for (const auto& [path, why] : std::initializer_list<std::pair<fs::path, std::string>>{
             {folder, "Is a directory"},
             {folder / "missing" / "system.txt", "No such file or directory"},
         }) {
        s.platform.messages.clear();
        EXPECT_FALSE(runAtOnce(s.form.saveSystemFile(path.string())));
        ASSERT_EQ(s.platform.messages.size(), 1u);
        EXPECT_EQ(s.platform.messages[0].text, "Cannot save " + path.filename().string() + ": " +
                                                   why + ". The file is as it was.");
    }
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    // A cancel, which a large system's save offers, leaves the file as it was, unsaid.
    const fs::path file = folder / "system.txt";
    std::ofstream(file) << "as it was";
    s.platform.messages.clear();
    s.platform.cancelRuns = {s.platform.longRuns.size() + 1};
    EXPECT_FALSE(runAtOnce(s.form.saveSystemFile(file.string())));
    EXPECT_EQ(fileContents(file.string()), "as it was");
    EXPECT_TRUE(s.platform.messages.empty());
    EXPECT_TRUE(runAtOnce(s.form.saveSystemFile(file.string())));
    EXPECT_EQ(fileContents(file.string()), s.form.systemFileText());
    fs::remove_all(folder);
}

// The page's download: the same text a line at a time; a cancel stops it at the next line.
TEST(SaveSystem, LineByLineItIsTheSameTextAndACancelStopsIt) {
    FormSession s;
    s.paste("1/3 0.1 7\n2 -0 1e300\n");
    std::vector<std::string> lines;
    EXPECT_TRUE(runAtOnce(s.form.writeSystemLines([&](std::string_view line) -> Task<> {
        lines.emplace_back(line);
        co_return;
    })));
    EXPECT_EQ(lines, (std::vector<std::string>{"2\n", "1/3 0.1\n", "2 -0\n", "7 1e300\n"}));
    lines.clear();
    EXPECT_FALSE(runAtOnce(s.form.writeSystemLines([&](std::string_view line) -> Task<> {
        lines.emplace_back(line);
        s.platform.running->cancel = lines.size() == 2;
        co_return;
    })));
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(s.platform.messages.empty());
}

} // namespace
} // namespace lse::test
