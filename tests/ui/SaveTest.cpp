// Save System and Save Results in the real window, by their keys and file dialog, from the
// table the page's tests read too.

#include "DialogAnswerer.h"
#include "SharedCases.h"
#include "ShownWindow.h"

#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

namespace lse::test {
namespace {

using A = DialogAnswerer;

class Save : public ShownWindow {
protected:
    QTemporaryDir dir;
};

TEST_F(Save, EachCaseOfTheSharedTableWritesItsFile) {
    const QJsonArray cases = sharedCases("saveCases.json");
    ASSERT_FALSE(cases.isEmpty());
    int number = 0;
    for (const QJsonValue& value : cases) {
        const QJsonObject c = value.toObject();
        SCOPED_TRACE(c["name"].toString().toStdString());
        pasteCase(window, window.display, c);
        if (const QString option = c["option"].toString(); !option.isEmpty()) {
            QTest::mouseClick(child<QRadioButton>("Option1", option.back().digitValue()),
                              Qt::LeftButton);
            QTest::mouseClick(window.Start, Qt::LeftButton);
        }
        // Typed without its suffix, which the dialog adds.
        const QString name = dir.filePath("saved-" + QString::number(++number));
        const bool results = c["key"].toString() == "Ctrl+Shift+S";
        DialogAnswerer answerer{A::choose(name)};
        QApplication::setActiveWindow(&window);
        QTest::keySequence(window.display, QKeySequence(c["key"].toString()));
        ASSERT_EQ(answerer.unused(), 0u);
        ASSERT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(answerer.seen[0].title, results ? "Save Results" : "Save System");
        EXPECT_EQ(fileContents((name + (results ? ".csv" : ".txt")).toStdString()),
                  c["file"].toString().toStdString());
    }
}

} // namespace
} // namespace lse::test
