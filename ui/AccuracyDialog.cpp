#include "AccuracyDialog.h"

#include "AccuracyText.h"
#include "ReportView.h"
#include "TableModel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <tuple>

namespace lse::ui {

namespace {

QString qString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

AccuracyDialog::AccuracyDialog(QWidget* parent, const CalculateReport& report,
                               CommandActions& commands)
    : QDialog(parent), report_(report), commands_(commands) {
    setObjectName("accuracy");
    setWindowTitle(QString::fromStdString(accuracyTitle()));
    setModal(true);
    view = reportView(this, "accuracyText", "Accuracy of the last Calculate",
                      QPlainTextEdit::WidgetWidth);

    auto* const side = new QWidget;
    figures = new QTableView(side);
    figures->setObjectName("figures");
    // Left, as the figures have always stood in the window.
    figures->setModel(new TableModel(figures, Qt::AlignLeft | Qt::AlignVCenter));
    figures->verticalHeader()->hide();
    figures->verticalHeader()->setDefaultSectionSize(figures->fontMetrics().lineSpacing() + 6);
    figures->setTabKeyNavigation(false);
    figures->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    table = new QTableView(side);
    table->setObjectName("comparison");
    table->setModel(new TableModel(table, Qt::AlignRight | Qt::AlignVCenter));
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
    tabs->addTab(side, qString(caption::kSideBySideTab));
    tabs->addTab(view, qString(caption::kReportTab));

    auto* const buttons = new QDialogButtonBox(this);
    std::array<QPushButton*, std::size(kAccuracyViewCommands)> made{};
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i] = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
        made[i]->setAutoDefault(false);
        commands.bindButton(made[i], kAccuracyViewCommands[i]);
    }
    std::tie(copyButton, copyTableButton, refineButton, exactButton) =
        std::tuple(made[0], made[1], made[2], made[3]);
    closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setText(qString(caption::kClose));
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
    for (auto [shown, made] :
         {std::pair{table, comparisonTable(report_)}, std::pair{figures, figuresTable(report_)}}) {
        shown->setAccessibleName(QString::fromStdString(made.name));
        static_cast<TableModel*>(shown->model())->show(std::move(made));
    }
    table->resizeColumnsToContents();
    figures->resizeColumnsToContents();
    // Every figure in sight: they are few.
    figures->setFixedHeight(figures->horizontalHeader()->height() +
                            figures->verticalHeader()->length() + 2 * figures->frameWidth());
    commands_.refresh();
}

} // namespace lse::ui
