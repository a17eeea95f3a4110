// Steps… in the real window, by its key in a result box, from the table the page's tests read
// too; and the item in each result box's menu.

#include "DialogAnswerer.h"
#include "SharedCases.h"
#include "ShownWindow.h"
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
    for (const QJsonValue& value : cases) {
        const QJsonObject c = value.toObject();
        SCOPED_TRACE(c["name"].toString().toStdString());
        pasteCase(window, window.display, c);
        const QJsonArray messages = c["messages"].toArray();
        DialogAnswerer answerer;
        for (qsizetype i = 0; i < messages.size(); ++i)
            answerer.add(A::ok());
        QTest::mouseClick(
            child<QRadioButton>("Option1", c["option"].toString().back().digitValue()),
            Qt::LeftButton);
        QTest::mouseClick(window.Start, Qt::LeftButton);
        auto* const box = window.findChild<QPlainTextEdit*>(c["box"].toString());
        QApplication::setActiveWindow(&window);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_EQ(answerer.seen.size(), static_cast<std::size_t>(messages.size()) + 1);
        for (qsizetype i = 0; i < messages.size(); ++i)
            EXPECT_EQ(answerer.seen[static_cast<std::size_t>(i)].text, messages[i].toString());
        const SeenDialog& view = answerer.seen.back();
        EXPECT_EQ(view.title, c["title"].toString());
        const QStringList lines = view.text.split('\n');
        for (const QJsonValue& line : c["lines"].toArray())
            EXPECT_TRUE(lines.contains(line.toString())) << line.toString().toStdString();
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
