// The program's texts against what the window's logic writes into its boxes, for the default
// system and a few others: byte for byte, with the window's line ends.
#include "FormSession.h"
#include "Report.h"
#include "RunProgram.h"
#include "SystemReader.h"

#include <gtest/gtest.h>

using namespace lse;
using namespace lse::cli;
using namespace lse::test;

namespace {

// The system as a plain input file: the count, then the replies in the order asked.
std::string plainText(const std::string& count, const std::vector<std::string>& replies) {
    std::string text = count + "\n";
    for (const std::string& reply : replies)
        text += reply + "\n";
    return text;
}

} // namespace

TEST(FormText, ProgramPrintsWhatTheWindowShows) {
    struct Case {
        std::string count;
        std::vector<std::string> replies;
    };
    const std::vector<Case> cases{
        {"3", {"4", "2", "14", "2", "17", "-5", "14", "-5", "83", "14", "-101", "155"}},
        {"2", {"1", "2", "2", "4", "3", "6"}}, // singular
        {"2", {"1", "2", "2", "1", "3", "3"}}, // not positive definite
        {"3", {"0.1", "1e-7", "3", "-2.5", "1e20", "6", "7", "8", "9", "1", "0.3", "-4"}},
        {"2", {"1e-300", "0", "0", "1e-300", "1e300", "1e300"}}, // Cholesky's solve overflows
        {"0", {}},
    };
    const ReportOptions windowLines{Digits::window, true, "\r\n"};
    for (const Case& c : cases) {
        SCOPED_TRACE(plainText(c.count, c.replies));
        FormSession s;
        s.platform.chkDefault = 0;
        s.platform.texts[TextBox::Textn] = c.count;
        for (const std::string& reply : c.replies)
            s.platform.reply({reply});
        s.form.submit_but_Click();
        s.calculate(Both);

        io::LinearSystem system = io::readSystem(plainText(c.count, c.replies));
        const CalculateReport report = solveEach(system);
        const auto& results = report.methods;
        const auto echo = leadingSections(system, windowLines);
        ASSERT_EQ(echo.size(), 2u);
        EXPECT_EQ(echo[0], "Input Matrix\r\n" + s.box(TextBox::display));
        EXPECT_EQ(echo[1], "Input Vector\r\n" + s.box(TextBox::txtVector));
        EXPECT_EQ(resultSection(results[0], report, windowLines),
                  "Gauss Solution\r\n" + s.box(TextBox::txtGauss));
        EXPECT_EQ(resultSection(results[1], report, windowLines),
                  "Cholesky Solution\r\n" + s.box(TextBox::txtCholesky));
        std::vector<Message> failures;
        for (const MethodReport& result : results)
            if (!result.solved)
                failures.push_back(*result.failure);
        EXPECT_EQ(failures, s.platform.messages);
    }
}
