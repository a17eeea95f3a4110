#include "DialogAnswerer.h"
#include "FormSession.h"
#include "ShownWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>

namespace lse::test {
namespace {

using A = DialogAnswerer;

class EndToEnd : public ShownWindow {
protected:
    void submit() { QTest::mouseClick(window.submit_but, Qt::LeftButton); }
    void calculate(Choice method) {
        QTest::mouseClick(window.Option1[static_cast<std::size_t>(method)], Qt::LeftButton);
        QTest::mouseClick(window.Start, Qt::LeftButton);
    }
    // Unticks the default and types the count, as a user would before Submit.
    void askFor(const QString& count) {
        if (window.chkDefault->isChecked())
            QTest::mouseClick(window.chkDefault, Qt::LeftButton);
        window.Textn->selectAll();
        QTest::keyClicks(window.Textn, count);
    }

    void expectInputBox(const SeenDialog& dialog, const QString& prompt) const {
        EXPECT_EQ(dialog.kind, SeenDialog::Input);
        EXPECT_EQ(dialog.text, prompt);
        EXPECT_EQ(dialog.title, "Lineq");
        EXPECT_TRUE(dialog.initialReply.isEmpty());
        EXPECT_TRUE(dialog.okAndCancel);
        expectModalOverWindow(dialog);
    }
    void expectMessageBox(const SeenDialog& dialog, const ShownMessage& message) const {
        EXPECT_EQ(dialog.kind, SeenDialog::Message);
        EXPECT_EQ(dialog.text.toStdString(), message.text);
        EXPECT_EQ(dialog.title.toStdString(), message.title.value_or("Lineq"));
        EXPECT_EQ(dialog.icon, message.style == MessageStyle::OkOnlyCritical ? QMessageBox::Critical
                                                                             : QMessageBox::NoIcon);
        EXPECT_TRUE(dialog.okOnly);
        expectModalOverWindow(dialog);
    }
    void expectModalOverWindow(const SeenDialog& dialog) const {
        EXPECT_TRUE(dialog.modal);
        EXPECT_EQ(dialog.parent, &window);
    }
};

TEST_F(EndToEnd, DefaultSystemSolvedByBothMethods) {
    DialogAnswerer answerer;
    submit();
    EXPECT_EQ(text(TextBox::display), kDefaultDisplay);
    EXPECT_EQ(text(TextBox::txtVector), kDefaultVector);
    EXPECT_EQ(window.display->document()->firstBlock().text(), "   4   2   14");
    calculate(Both);
    EXPECT_EQ(text(TextBox::txtGauss), kDefaultSolution);
    EXPECT_EQ(text(TextBox::txtCholesky), kDefaultSolution);
    EXPECT_EQ(window.txtGauss->document()->findBlockByNumber(1).text(), "x2 =   -6");
    EXPECT_TRUE(answerer.seen.empty());
}

TEST_F(EndToEnd, TwoByTwoSystemTypedIntoInputBoxes) {
    DialogAnswerer answerer{A::type("2"), A::type("1"), A::type("1"),
                            A::type("3"), A::type("4"), A::type("7")};
    askFor("2");
    submit();
    ASSERT_EQ(answerer.seen.size(), 6u);
    const char* const prompts[] = {"Enter A coefficient (1,1)", "Enter A coefficient (1,2)",
                                   "Enter A coefficient (2,1)", "Enter A coefficient (2,2)",
                                   "Enter B coefficient (1)",   "Enter B coefficient (2)"};
    for (std::size_t i = 0; i < 6; ++i)
        expectInputBox(answerer.seen[i], prompts[i]);
    EXPECT_EQ(text(TextBox::display), "   2   1\r\n   1   3\r\n");
    EXPECT_EQ(text(TextBox::txtVector), "b1 =   4\r\nb2 =   7\r\n");

    calculate(Both);
    EXPECT_EQ(text(TextBox::txtGauss), "x1 =   1\r\nx2 =   2\r\n");
    // The window shows what the logic computes behind a scripted window.
    FormSession session;
    session.enter("2", {"2", "1", "1", "3", "4", "7"});
    session.calculate(Both);
    EXPECT_EQ(text(TextBox::txtCholesky), session.box(TextBox::txtCholesky));
    EXPECT_EQ(answerer.seen.size(), 6u);
}

TEST_F(EndToEnd, NonNumericReplyIsRefusedAndAskedAgain) {
    DialogAnswerer answerer{A::type("four"), A::ok(), A::type("4"), A::type("8")};
    askFor("1");
    submit();
    ASSERT_EQ(answerer.seen.size(), 4u);
    expectInputBox(answerer.seen[0], "Enter A coefficient (1,1)");
    expectMessageBox(answerer.seen[1], kNotANumber);
    expectInputBox(answerer.seen[2], "Enter A coefficient (1,1)");
    expectInputBox(answerer.seen[3], "Enter B coefficient (1)");
    EXPECT_EQ(text(TextBox::display), "   4\r\n");
    calculate(Gauss);
    EXPECT_EQ(text(TextBox::txtGauss), "x1 =   2\r\n");
    EXPECT_EQ(text(TextBox::txtCholesky), "");
}

TEST_F(EndToEnd, CancelKeepsThePreviousSystem) {
    DialogAnswerer answerer{A::type("7"), A::cancel()};
    submit();
    askFor("2");
    submit();
    ASSERT_EQ(answerer.seen.size(), 2u);
    expectInputBox(answerer.seen[1], "Enter A coefficient (1,2)");
    EXPECT_EQ(text(TextBox::display), kDefaultDisplay);
    EXPECT_EQ(text(TextBox::txtVector), kDefaultVector);
    calculate(Cholesky);
    EXPECT_EQ(text(TextBox::txtCholesky), kDefaultSolution);
    EXPECT_EQ(text(TextBox::txtGauss), "");
}

TEST_F(EndToEnd, FailuresAreReportedInTheirMessageBoxes) {
    {
        DialogAnswerer answerer{A::type("1"), A::type("2"), A::type("2"), A::type("1"),
                                A::type("1"), A::type("1"), A::ok()};
        askFor("2");
        submit();
        calculate(Cholesky);
        ASSERT_EQ(answerer.seen.size(), 7u);
        expectMessageBox(answerer.seen[6], kCholeskyFailed);
        EXPECT_EQ(text(TextBox::txtCholesky), "");
    }
    DialogAnswerer answerer{A::type("0"), A::type("1"), A::ok()};
    askFor("1");
    submit();
    calculate(Gauss);
    ASSERT_EQ(answerer.seen.size(), 3u);
    expectMessageBox(answerer.seen[2], kGaussFailed);
    EXPECT_EQ(text(TextBox::txtGauss), "");
}

} // namespace
} // namespace lse::test
