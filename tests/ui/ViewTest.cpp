// A view that exists only in this test, described as the form describes its own: the window
// draws it with no code of its own.

#include "ShownWindow.h"
#include "TableModel.h"
#include "ViewDialog.h"
#include "WhenOpen.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace lse::test {
namespace {

using Views = ShownWindow;

ViewTable numbered(const char* id, int rows) {
    return {id, id, {"#", "value"}, rows, [](int row, int column) {
                return ViewCell{column == 0 ? "r" + std::to_string(row) : "12.5",
                                column == 1 && row == 2 ? std::optional<std::size_t>(2)
                                                        : std::nullopt,
                                {}};
            }};
}

// Its parts under their captions, named as described, each table with its rows and a cell's
// correct digits; its copy copies, its command's button follows the command's action.
TEST_F(Views, AViewDescribedInATestAloneIsDrawnWhole) {
    const View view{
        "probe",
        "Probe",
        View::Arrangement::tabs,
        {ViewText{"probeText", "&Notes", "one\ntwo", true},
         ViewTables{"probeTables", "T&ables", {numbered("few", 2), numbered("many", 300)}}},
        {ViewCopy{"C&opy", "copied"}, Command::copyText}};
    bool seen = false;
    whenOpen<ui::ViewDialog>([&](ui::ViewDialog* dialog) {
        seen = true;
        EXPECT_EQ(dialog->objectName(), "probe");
        EXPECT_EQ(dialog->windowTitle(), "Probe");
        auto* const tabs = dialog->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->tabText(0), "&Notes");
        EXPECT_EQ(tabs->tabText(1), "T&ables");
        EXPECT_EQ(named<QPlainTextEdit>(dialog, "probeText")->toPlainText(), "one\ntwo");
        EXPECT_EQ(named<QTableView>(dialog, "few")->model()->rowCount(), 2);
        const QAbstractItemModel& many = *named<QTableView>(dialog, "many")->model();
        EXPECT_EQ(many.rowCount(), 300);
        EXPECT_EQ(many.index(1, 1).data(ui::TableModel::kAgreeingCharactersRole).toInt(), 2);
        named<QPushButton>(dialog, "copy")->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "copied");
        EXPECT_EQ(named<QPushButton>(dialog, "copyText")->isEnabled(),
                  calculator.commands->action(Command::copyText)->isEnabled());
        named<QPushButton>(dialog, "close")->click();
    });
    runAtOnce(platform.showView(view));
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace lse::test
