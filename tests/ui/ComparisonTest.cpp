// The accuracy view side by side in the real dialog, once Compute Exact Solution is pressed,
// from the table the page's tests read too.

#include "DialogAnswerer.h"
#include "SharedCases.h"
#include "ShownWindow.h"
#include "TableModel.h"
#include "ViewDialog.h"
#include "WhenOpen.h"

#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

namespace lse::test {
namespace {

using Comparison = ShownWindow;

// The model's index of the cell under `heading` in the row of `unknown`.
QModelIndex cellOf(const QAbstractItemModel& model, const QString& unknown,
                   const QString& heading) {
    int column = 0;
    while (column < model.columnCount() &&
           model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() != heading)
        ++column;
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.index(row, 0).data().toString() == unknown)
            return model.index(row, column);
    return {};
}

void expectCells(ui::ViewDialog& dialog, const QJsonArray& cells) {
    EXPECT_EQ(named<QTableView>(&dialog, "figures")->model()->rowCount(), 4);
    const QAbstractItemModel& model = *named<QTableView>(&dialog, "comparison")->model();
    for (const QJsonValue& value : cells) {
        const QJsonObject cell = value.toObject();
        const QString digits = cell["correct"].toString() + cell["wrong"].toString();
        SCOPED_TRACE((cell["unknown"].toString() + " " + cell["column"].toString()).toStdString());
        const QModelIndex index =
            cellOf(model, cell["unknown"].toString(), cell["column"].toString());
        ASSERT_TRUE(index.isValid());
        EXPECT_EQ(index.data().toString(), digits);
        const QVariant correct = index.data(ui::TableModel::kAgreeingCharactersRole);
        EXPECT_EQ(correct.isValid() ? correct.toInt() : digits.size(),
                  cell["correct"].toString().size());
        EXPECT_EQ(index.data(Qt::AccessibleTextRole).toString(), digits + cell["said"].toString());
    }
}

TEST_F(Comparison, EachCaseOfTheSharedTableShowsItsDigits) {
    const QJsonArray cases = sharedCases("comparisonCases.json");
    ASSERT_FALSE(cases.isEmpty());
    useExactChild();
    for (const QJsonValue& value : cases) {
        const QJsonObject c = value.toObject();
        SCOPED_TRACE(c["name"].toString().toStdString());
        pasteCase(window, window.display, c);
        QTest::mouseClick(
            child<QRadioButton>("Option1", c["option"].toString().back().digitValue()),
            Qt::LeftButton);
        {
            DialogAnswerer boxes; // none expected; one would be answered and seen
            QTest::mouseClick(window.Start, Qt::LeftButton);
            ASSERT_EQ(boxes.seen.size(), 0u) << boxes.seen[0].text.toStdString();
        }
        // In the view as Ctrl+I opens it: Compute Exact Solution, then what it shows.
        bool seen = false;
        whenOpen<ui::ViewDialog>([&](ui::ViewDialog* dialog) {
            named<QPushButton>(dialog, "computeExact")->click();
            if (c["refine"].toBool())
                named<QPushButton>(dialog, "refineSolution")->click();
            expectCells(*dialog, c["cells"].toArray());
            seen = true;
            named<QPushButton>(dialog, "close")->click();
        });
        QApplication::setActiveWindow(&window);
        QTest::keyClick(window.Textn, Qt::Key_I, Qt::ControlModifier);
        EXPECT_TRUE(seen);
    }
}

} // namespace
} // namespace lse::test
