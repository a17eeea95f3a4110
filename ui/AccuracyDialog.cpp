#include "AccuracyDialog.h"

#include "AccuracyText.h"
#include "ComparisonModel.h"
#include "ReportView.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>
#include <tuple>

namespace lse::ui {

AccuracyDialog::AccuracyDialog(QWidget* parent, const CalculateReport& report,
                               CommandActions& commands)
    : QDialog(parent), report_(report), commands_(commands) {
    setObjectName("accuracy");
    setWindowTitle(QString::fromStdString(accuracyTitle()));
    setModal(true);
    view = reportView(this, "accuracyText", "Accuracy of the last Calculate",
                      QPlainTextEdit::WidgetWidth);

    auto* const side = new QWidget;
    figures = new QTableWidget(side);
    figures->setObjectName("figures");
    figures->setAccessibleName("Each method's figures");
    figures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    figures->verticalHeader()->hide();
    figures->verticalHeader()->setDefaultSectionSize(figures->fontMetrics().lineSpacing() + 6);
    figures->setTabKeyNavigation(false);
    figures->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    table = new QTableView(side);
    table->setObjectName("comparison");
    table->setAccessibleName("The unknowns side by side");
    table->setModel(new ComparisonModel(table));
    table->setItemDelegate(new AgreementDelegate(table));
    table->setFont(view->font());
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().lineSpacing() + 6);
    table->setTabKeyNavigation(false);
    // Widths from the rows a view shows first, not from all 32766.
    table->horizontalHeader()->setResizeContentsPrecision(100);
    auto* const sideLayout = new QVBoxLayout(side);
    sideLayout->addWidget(figures);
    sideLayout->addWidget(table);
    tabs = new QTabWidget(this);
    tabs->addTab(side, tr("Side by &Side"));
    tabs->addTab(view, tr("&Report"));

    auto* const buttons = new QDialogButtonBox(this);
    std::array<QPushButton*, std::size(kAccuracyViewCommands)> made{};
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i] = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
        made[i]->setAutoDefault(false);
        commands.bindButton(made[i], kAccuracyViewCommands[i]);
    }
    std::tie(copyButton, copyTableButton, exactButton) = std::tuple(made[0], made[1], made[2]);
    closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setObjectName("close");
    closeButton->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    refresh();
    table->setFocus();
}

void AccuracyDialog::refresh() {
    view->setPlainText(QString::fromStdString(accuracyText(report_)));
    const CalculateReport& report = report_;
    static_cast<ComparisonModel*>(table->model())->show(report);
    table->resizeColumnsToContents();
    const ComparisonTable comparison(report);
    const std::vector<std::vector<std::string>> rows = comparison.figureRows(false);
    figures->clear();
    figures->setRowCount(static_cast<int>(rows.size()));
    figures->setColumnCount(1 + static_cast<int>(report.methods.size()));
    QStringList header;
    for (const std::string& name : comparison.figureHeader())
        header << QString::fromStdString(name);
    figures->setHorizontalHeaderLabels(header);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            figures->setItem(static_cast<int>(r), static_cast<int>(c),
                             new QTableWidgetItem(QString::fromStdString(rows[r][c])));
    figures->resizeColumnsToContents();
    // Every figure in sight: they are few.
    figures->setFixedHeight(figures->horizontalHeader()->height() +
                            figures->verticalHeader()->length() + 2 * figures->frameWidth());
    commands_.refresh();
}

} // namespace lse::ui
