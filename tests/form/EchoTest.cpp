#include "FakePlatform.h"
#include "FormSession.h"
#include "ResultText.h"
#include "Sanitizers.h"
#include "SystemReader.h"
#include "frmCholesky.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace lse;

namespace {

Matrix numbered(int n) {
    Matrix m;
    m.recreate(n, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            m(i, j) = i + j / 1e6;
    return m;
}

} // namespace

TEST(Echo, RowsShownStayWithinTheLimitAndAreAtLeastOne) {
    struct Case {
        int count;
        int rows;
    };
    for (const Case c : {Case{-1, 0}, Case{0, 0}, Case{1, 1}, Case{3, 3}, Case{1000, 1000},
                         Case{1001, 999}, Case{2000, 500}, Case{32766, 30}}) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(echoedRows(c.count), c.rows);
        EXPECT_LE(static_cast<long>(echoedRows(c.count)) * c.count,
                  std::max<long>(kEchoedNumbersMost, c.count));
    }
}

TEST(Echo, UpToTheLimitItIsTheWholeMatrix) {
    for (const int n : {0, 1, 3, 1000}) {
        SCOPED_TRACE(n);
        const Matrix m = numbered(n);
        EXPECT_EQ(matrixEcho(m, n), matrixText(m, n));
    }
}

TEST(Echo, BeyondTheLimitTheFirstRowsThenHowManyAreLeftOut) {
    struct Case {
        int n;
        const char* last;
    };
    for (const Case c :
         {Case{1001, "(2 more rows not shown)"}, Case{1999, "(1499 more rows not shown)"}}) {
        SCOPED_TRACE(c.n);
        // The second case's 5 million numbers take a minute under the sanitizers, and its
        // count of rows is checked above.
        if (c.n > 1001 && test::kAddressSanitizer)
            continue;
        const Matrix m = numbered(c.n);
        const std::string whole = matrixText(m, c.n);
        std::size_t cut = 0;
        for (int i = 0; i < echoedRows(c.n); ++i)
            cut = whole.find('\n', cut) + 1;
        EXPECT_EQ(matrixEcho(m, c.n), whole.substr(0, cut) + c.last + "\r\n");
    }
}

namespace {

// A window that takes the echo of A a line at a time as it shows it, as the page does: it
// keeps where the lines come from and asks for them only when looked at.
class LinesOnDemand : public test::FakePlatform {
public:
    void replaceText(TextBox box, const std::string& text) override {
        if (box == TextBox::display)
            line_ = nullptr;
        FakePlatform::replaceText(box, text);
    }
    void replaceLines(TextBox box, int lines, std::function<std::string(int)> line) override {
        if (box != TextBox::display)
            return FakePlatform::replaceLines(box, lines, std::move(line));
        lines_ = lines;
        line_ = std::move(line);
    }
    // The display as it would be shown now.
    std::string display() const {
        if (!line_)
            return text(TextBox::display);
        std::string text;
        for (int i = 0; i < lines_; ++i)
            text += line_(i);
        return text;
    }

private:
    int lines_ = 0;
    std::function<std::string(int)> line_;
};

} // namespace

// Whatever replaces or keeps the system, the lines asked for later are the echo of the system
// the form holds then: the form writes the display again before A changes.
TEST(Echo, LinesTakenLaterAreThoseOfTheSystemHeld) {
    LinesOnDemand window;
    frmCholesky form{window};
    const auto typed = [&](const std::string& count, std::vector<std::string> replies,
                           bool cancel) {
        window.chkDefault = 0;
        window.texts[TextBox::Textn] = count;
        window.reply(replies);
        if (cancel)
            window.replies.push_back(std::nullopt);
        form.submit_but_Click();
    };
    // Each step, and the display it leaves.
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[&] { form.submit_but_Click(); }, test::kDefaultDisplay},
        {[&] { form.loadSystemText("2\n2 1\n1 3\n3 4\n"); }, "   2   1\r\n   1   3\r\n"},
        {[&] { form.loadSystemText("2\n2 x\n"); }, "   2   1\r\n   1   3\r\n"},
        {[&] {
             typed("3", {"1", "2"}, true);
         },
         "   2   1\r\n   1   3\r\n"},
        {[&] {
             typed("1", {"4", "8"}, false);
         },
         "   4\r\n"},
        {[&] {
             form.loadSystemWith(
                 [](const io::ReadOptions& options) -> Task<io::LinearSystem> {
                     co_return io::readSystem("1\n5\n10\n", options);
                 },
                 "read.txt", 8);
         },
         "   5\r\n"},
        {[&] { typed("x", {}, false); }, "   5\r\n"},
    };
    for (const auto& [step, shown] : steps) {
        step();
        EXPECT_EQ(window.display(), shown);
        EXPECT_EQ(window.display(), matrixEcho(form.A(), form.n));
    }
}
