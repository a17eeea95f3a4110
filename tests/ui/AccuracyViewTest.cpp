// The accuracy view, Copy Solution and Compute Exact Solution in the real window: from the
// result boxes' context menus and Ctrl+I, with the clipboard and the real lineq-exact.

#include "ConditionedSystems.h"
#include "DialogAnswerer.h"
#include "LongRun.h"
#include "ShownWindow.h"
#include "ViewDialog.h"
#include "WhenOpen.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <chrono>
#include <functional>

namespace lse::test {
namespace {

QAction* action(QMenu* menu, const char* name) {
    for (QAction* const a : menu->actions())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

// Processes events until `done`; a guard against hanging, not a time limit.
bool eventually(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 60000);
}

struct Viewed {
    QString text;
    bool copied = false;
};

class AccuracyView : public ShownWindow {
protected:
    frmCholesky& form = calculator.form;

    void calculateDefault() {
        chkDefault()->setChecked(true);
        window.submit_but->click();
        window.option(SolutionMethod::bothMethods)->setChecked(true);
        window.Start->click();
    }
    QCheckBox* chkDefault() const { return window.chkDefault; }

    // Opens the context menu of `box`, records its three items, triggers `item`.
    struct MenuSeen {
        bool accuracy = false, copy = false, exact = false;
        bool copyEnabled = false, exactEnabled = false;
    };
    MenuSeen useMenu(QPlainTextEdit* box, const char* item) {
        MenuSeen seen;
        whenOpen<QMenu>([&seen, item](QMenu* menu) {
            QAction* const accuracy = action(menu, "accuracy");
            QAction* const copy = action(menu, "copySolution");
            QAction* const exact = action(menu, "computeExact");
            seen = {accuracy && accuracy->text() == QString::fromUtf8("Accuracy\u2026") &&
                        accuracy->shortcut() == QKeySequence("Ctrl+I"),
                    copy && copy->text() == "Copy Solution",
                    exact && exact->text() == "Compute Exact Solution", copy && copy->isEnabled(),
                    exact && exact->isEnabled()};
            // As a click on the item does: the menu hides, then the item acts.
            QAction* const chosen = action(menu, item);
            menu->hide();
            if (chosen)
                chosen->trigger();
        });
        emit box->customContextMenuRequested(QPoint(5, 5));
        QApplication::processEvents();
        return seen;
    }

    // Reads the accuracy view once it opens, presses Copy, then closes it.
    Viewed watchView(std::function<void(ui::ViewDialog*)> also = {}) {
        auto viewed = std::make_shared<Viewed>();
        whenOpen<ui::ViewDialog>([viewed, also](ui::ViewDialog* dialog) {
            if (also)
                also(dialog);
            viewed->text = named<QPlainTextEdit>(dialog, "accuracyText")->toPlainText();
            named<QPushButton>(dialog, "copyText")->click();
            viewed->copied = QGuiApplication::clipboard()->text() == viewed->text;
            named<QPushButton>(dialog, "close")->click();
        });
        pending_ = viewed;
        return {};
    }
    Viewed seen() const { return *pending_; }

    std::shared_ptr<Viewed> pending_;
};

TEST_F(AccuracyView, EachResultBoxsMenuOpensTheViewAndCopiesTheSolution) {
    calculateDefault();
    const std::string expected = form.accuracyText();
    for (QPlainTextEdit* const box : {window.txtGauss, window.txtCholesky}) {
        SCOPED_TRACE(box->objectName().toStdString());
        watchView();
        const MenuSeen menu = useMenu(box, "accuracy");
        EXPECT_TRUE(menu.accuracy && menu.copy && menu.exact);
        EXPECT_TRUE(menu.copyEnabled);
        EXPECT_TRUE(menu.exactEnabled);
        ASSERT_TRUE(eventually([&] { return !seen().text.isEmpty(); }));
        EXPECT_EQ(seen().text.toStdString(), expected);
        EXPECT_TRUE(seen().copied);
    }
    // Copy Solution: the method's own doubles, not the box's fifteen digits.
    useMenu(window.txtGauss, "copySolution");
    EXPECT_TRUE(eventually([] {
        return QGuiApplication::clipboard()->text() ==
               QString("2.999999999999995\n-5.999999999999999\n1.0000000000000009\n");
    }));
    useMenu(window.txtCholesky, "copySolution");
    EXPECT_TRUE(
        eventually([] { return QGuiApplication::clipboard()->text() == QString("3\n-6\n1\n"); }));
}

// The key the page has too: in a box without a solution it copies nothing.
TEST_F(AccuracyView, CtrlShiftCInAResultBoxCopiesItsMethodsSolution) {
    chkDefault()->setChecked(true);
    window.submit_but->click();
    window.option(SolutionMethod::gaussElimination)->setChecked(true);
    window.Start->click();
    QApplication::setActiveWindow(&window);
    for (const auto& [box, expected] :
         {std::pair{window.txtCholesky, "unchanged"},
          std::pair{window.txtGauss,
                    "2.999999999999995\n-5.999999999999999\n1.0000000000000009\n"}}) {
        SCOPED_TRACE(box->objectName().toStdString());
        QGuiApplication::clipboard()->setText("unchanged");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(expected));
    }
}

TEST_F(AccuracyView, CtrlIOpensItAnywhereInTheWindowEvenWithNothingToShow) {
    for (const bool calculated : {false, true}) {
        SCOPED_TRACE(calculated ? "after Calculate" : "before");
        if (calculated)
            calculateDefault();
        bool tableEnabled = true;
        watchView([&tableEnabled](ui::ViewDialog* d) {
            tableEnabled = named<QPushButton>(d, "copyTable")->isEnabled();
        });
        // As a window manager gives the window back its activation once a dialog closes.
        QApplication::setActiveWindow(&window);
        window.Textn->setFocus();
        QTest::keyClick(window.Textn, Qt::Key_I, Qt::ControlModifier);
        ASSERT_TRUE(eventually([&] { return !seen().text.isEmpty(); }));
        EXPECT_EQ(seen().text.toStdString(), form.accuracyText());
        EXPECT_EQ(tableEnabled, calculated);
    }
}

TEST_F(AccuracyView, TheWarningBoxHasTheExclamationIconAndTheProgramsTitle) {
    form.loadSystemText(pastedText(hilbert(12)));
    DialogAnswerer answerer{DialogAnswerer::ok()};
    window.option(SolutionMethod::gaussElimination)->setChecked(true);
    window.Start->click();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answerer.seen[0].title, ui::kProgramTitle);
    EXPECT_TRUE(answerer.seen[0].okOnly);
    EXPECT_TRUE(answerer.seen[0].text.startsWith(
        "The Gauss Elimination solution may have no correct digit"));
    EXPECT_FALSE(text(TextBox::txtGauss).empty());
}

// Full-precision entries, diagonally dominant: a solve of some seconds in lineq-exact.
std::string slowExactSystem(int n) {
    std::string text;
    std::uint64_t state = 12345;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n + 1; ++j) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            const double entry = static_cast<double>(state >> 11) * 0x1p-53;
            text += doubleToText(i == j ? entry + n : entry, Digits::roundTrip) + " ";
        }
        text += "\n";
    }
    return text;
}

TEST_F(AccuracyView, TheExactSolutionComesFromTheChildAndCancelLeavesAllAsItWas) {
    useExactChild();
    // Computed from the view's button: the default system's exact solution and errors.
    calculateDefault();
    watchView([](ui::ViewDialog* d) { named<QPushButton>(d, "computeExact")->click(); });
    QApplication::setActiveWindow(&window);
    QTest::keyClick(window.txtGauss, Qt::Key_I, Qt::ControlModifier);
    ASSERT_TRUE(eventually([&] { return !seen().text.isEmpty(); }));
    EXPECT_NE(seen().text.indexOf("  x2 =   -6\n"), -1) << seen().text.toStdString();
    EXPECT_NE(seen().text.indexOf("Gauss Elimination: largest error 11 units"), -1);
    EXPECT_FALSE(form.exactPending());

    // A long solve, cancelled from its progress dialog: no message, nothing added.
    form.loadSystemText(slowExactSystem(400));
    window.option(SolutionMethod::gaussElimination)->setChecked(true);
    window.Start->click();
    const std::string before = form.accuracyText();
    ASSERT_TRUE(form.exactPending());
    // The dialog opens at once, so that it is there to be cancelled however fast the machine
    // solves.
    platform.quietTime = std::chrono::milliseconds(0);
    bool cancelled = false;
    whenOpen<ui::ProgressDialog>([&cancelled](ui::ProgressDialog* progress) {
        cancelled = progress->label->text().startsWith("Computing the exact solution (about");
        progress->cancelButton->click();
    });
    DialogAnswerer answerer;
    EXPECT_FALSE(runAtOnce(form.computeExact()));
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_EQ(form.accuracyText(), before);
    EXPECT_TRUE(form.exactPending());
}

} // namespace
} // namespace lse::test
