// Steps… in the real window, by its key in a result box, from the table the page's tests read
// too; and the item in each result box's menu.

#include "DialogAnswerer.h"
#include "SharedCases.h"
#include "ShownWindow.h"
#include "ViewDialog.h"
#include "WhenOpen.h"

#include <QCheckBox>
#include <QJsonObject>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace lse::test {
namespace {

using A = DialogAnswerer;
using Steps = ShownWindow;

TEST_F(Steps, EachCaseOfTheSharedTableShowsItsLines) {
    const QJsonArray cases = sharedCases("stepsCases.json");
    ASSERT_FALSE(cases.isEmpty());
    useExactChild();
    for (const QJsonValue& value : cases) {
        const QJsonObject c = value.toObject();
        SCOPED_TRACE(c["name"].toString().toStdString());
        pasteCase(window, window.display, c);
        const QJsonArray messages = c["messages"].toArray();
        {
            DialogAnswerer answerer;
            for (qsizetype i = 0; i < messages.size(); ++i)
                answerer.add(A::ok());
            QTest::mouseClick(
                child<QRadioButton>("Option1", c["option"].toString().back().digitValue()),
                Qt::LeftButton);
            QTest::mouseClick(window.Start, Qt::LeftButton);
            ASSERT_EQ(answerer.seen.size(), static_cast<std::size_t>(messages.size()));
            for (qsizetype i = 0; i < messages.size(); ++i)
                EXPECT_EQ(answerer.seen[static_cast<std::size_t>(i)].text, messages[i].toString());
        }
        auto* const box = window.findChild<QPlainTextEdit*>(c["box"].toString());
        QApplication::setActiveWindow(&window);
        box->setFocus();
        if (c["exact"].toBool()) {
            whenOpen<ui::ViewDialog>([](ui::ViewDialog* dialog) {
                named<QPushButton>(dialog, "computeExact")->click();
                named<QPushButton>(dialog, "close")->click();
            });
            QTest::keyClick(box, Qt::Key_I, Qt::ControlModifier);
            QApplication::setActiveWindow(&window);
            box->setFocus();
        }
        bool seen = false;
        whenOpen<ui::ViewDialog>([&](ui::ViewDialog* view) {
            auto* const fractions = named<QPlainTextEdit>(view, "fractionSteps");
            seen = true;
            EXPECT_EQ(view->windowTitle(), c["title"].toString());
            const QStringList lines =
                named<QPlainTextEdit>(view, "stepsText")->toPlainText().split('\n');
            for (const QJsonValue& line : c["lines"].toArray())
                EXPECT_TRUE(lines.contains(line.toString())) << line.toString().toStdString();
            // A line of the doubles and the line of the fractions beside it.
            const QJsonArray beside = c["beside"].toArray();
            EXPECT_EQ(fractions != nullptr, !beside.isEmpty());
            for (const QJsonValue& pair : beside) {
                const QString left = pair[0].toString();
                SCOPED_TRACE(left.toStdString());
                ASSERT_NE(fractions, nullptr);
                const QStringList right = fractions->toPlainText().split('\n');
                ASSERT_EQ(right.size(), lines.size());
                ASSERT_TRUE(lines.contains(left));
                EXPECT_EQ(right[lines.indexOf(left)], pair[1].toString());
            }
            named<QPushButton>(view, "close")->click();
        });
        QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(seen);
    }
}

// The menu's item acts for its box, as the key does in it; a method that did not run has none.
TEST_F(Steps, EachResultBoxsMenuHasTheItemForItsMethod) {
    window.chkDefault->setChecked(true);
    window.submit_but->click();
    window.option(SolutionMethod::gaussElimination)->setChecked(true);
    window.Start->click();
    for (const auto& [box, ran] :
         {std::pair{window.txtGauss, true}, std::pair{window.txtCholesky, false}}) {
        const bool enabled = ran; // a lambda captures a variable, not a binding
        SCOPED_TRACE(box->objectName().toStdString());
        DialogAnswerer answerer;
        whenOpen<QMenu>([&](QMenu* menu) {
            const QList<QAction*> actions = menu->actions();
            const auto steps = std::find_if(actions.begin(), actions.end(),
                                            [](QAction* a) { return a->objectName() == "steps"; });
            ASSERT_NE(steps, actions.end());
            EXPECT_EQ((*steps)->isEnabled(), enabled);
            // As a click on the item does: the menu hides, then the item acts.
            menu->hide();
            (*steps)->trigger();
        });
        emit box->customContextMenuRequested(QPoint(5, 5));
        QApplication::processEvents();
        ASSERT_EQ(answerer.seen.size(), enabled ? 1u : 0u);
        if (enabled) {
            EXPECT_EQ(answerer.seen[0].title, "Steps of Gauss Elimination");
        }
    }
}

} // namespace
} // namespace lse::test
