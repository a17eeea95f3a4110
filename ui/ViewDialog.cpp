#include "ViewDialog.h"

#include "ReportView.h"
#include "TableModel.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <utility>

namespace lse::ui {

namespace {

QString qString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A table that shows all its rows (left, as the figures have always stood), or one that
// scrolls: values right-aligned in the text's face, wrong digits in red, its widths from the
// rows it shows first rather than from all 32766.
QTableView* tableView(QWidget* parent, const ViewTable& table, bool scrolls) {
    auto* const view = new QTableView(parent);
    view->setObjectName(qString(table.id));
    view->setModel(
        new TableModel(view, (scrolls ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    if (scrolls) {
        view->setItemDelegate(new AgreementDelegate(view));
        view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        view->horizontalHeader()->setResizeContentsPrecision(100);
    } else {
        view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().lineSpacing() + 6);
    view->setTabKeyNavigation(false);
    return view;
}

void showTable(QTableView* view, const ViewTable& table) {
    view->setAccessibleName(qString(table.name));
    static_cast<TableModel*>(view->model())->show(table);
    view->resizeColumnsToContents();
    if (view->sizePolicy().verticalPolicy() == QSizePolicy::Fixed)
        view->setFixedHeight(view->horizontalHeader()->height() + view->verticalHeader()->length() +
                             2 * view->frameWidth());
}

} // namespace

ViewDialog::ViewDialog(QWidget* parent, const View& view, CommandActions& commands)
    : QDialog(parent), commands_(commands) {
    setObjectName(qString(view.name));
    setWindowTitle(qString(view.title));
    setModal(true);
    auto* const layout = new QVBoxLayout(this);
    if (view.arrangement == View::Arrangement::tabs) {
        auto* const tabs = new QTabWidget(this);
        for (const ViewPart& p : view.parts)
            tabs->addTab(part(p), qString(std::visit([](auto& c) { return c.caption; }, p)));
        layout->addWidget(tabs);
    } else {
        auto* const beside = new QHBoxLayout;
        for (const ViewPart& p : view.parts)
            beside->addWidget(part(p));
        layout->addLayout(beside);
        // Two views of 100 columns would not fit a laptop's screen. Both keep a horizontal scroll
        // bar, so that they show as many lines and stay in line to the last; the form gives both
        // the same lines, each beside its like, so they scroll as one.
        if (texts_.size() > 1)
            for (QPlainTextEdit* const text : texts_) {
                text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 64);
                text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                for (QPlainTextEdit* const other : texts_)
                    if (other != text)
                        connect(text->verticalScrollBar(), &QScrollBar::valueChanged,
                                other->verticalScrollBar(), &QScrollBar::setValue);
            }
    }

    auto* const buttons = new QDialogButtonBox(this);
    for (const ViewButton& b : view.buttons) {
        QPushButton* const button = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
        button->setAutoDefault(false);
        if (const Command* const command = std::get_if<Command>(&b)) {
            commands.bindButton(button, *command);
            continue;
        }
        const ViewCopy& copy = std::get<ViewCopy>(b);
        button->setText(qString(copy.caption));
        button->setObjectName("copy");
        connect(button, &QPushButton::clicked, this,
                [text = qString(copy.text)] { QGuiApplication::clipboard()->setText(text); });
    }
    QPushButton* const close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(qString(caption::kClose));
    close->setObjectName("close");
    close->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    refresh(view);
    // The first part's scrolling control: its text, or its last table.
    if (view.parts.empty())
        return;
    if (const ViewTables* const first = std::get_if<ViewTables>(&view.parts.front())) {
        if (!first->tables.empty())
            tables_[first->tables.size() - 1]->setFocus();
    } else {
        texts_.front()->setFocus();
    }
}

QWidget* ViewDialog::part(const ViewPart& part) {
    if (const ViewText* const text = std::get_if<ViewText>(&part)) {
        texts_.push_back(reportView(
            this, qString(text->name), QString::fromStdString(plainCaption(text->caption)),
            text->wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap));
        return texts_.back();
    }
    const ViewTables& tables = std::get<ViewTables>(part);
    auto* const holder = new QWidget;
    holder->setObjectName(qString(tables.name));
    auto* const layout = new QVBoxLayout(holder);
    for (std::size_t i = 0; i < tables.tables.size(); ++i) {
        tables_.push_back(tableView(holder, tables.tables[i], i + 1 == tables.tables.size()));
        layout->addWidget(tables_.back());
    }
    return holder;
}

void ViewDialog::refresh(const View& view) {
    auto text = texts_.begin();
    auto table = tables_.begin();
    for (const ViewPart& part : view.parts) {
        if (const ViewText* const t = std::get_if<ViewText>(&part)) {
            (*text++)->setPlainText(qString(t->text));
            continue;
        }
        for (const ViewTable& t : std::get<ViewTables>(part).tables)
            showTable(*table++, t);
    }
    commands_.refresh();
}

} // namespace lse::ui
