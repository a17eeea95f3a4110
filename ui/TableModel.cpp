#include "TableModel.h"

#include "NumberText.h"

#include <QApplication>
#include <QPainter>

namespace lse::ui {

namespace {

const QColor kWrongDigits(QString::fromLatin1(kWrongDigitsColour));

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TableModel::show(ViewTable table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->rows;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->header.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!table_ || !index.isValid())
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return column == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(values_);
    if (role != Qt::DisplayRole && role != kAgreeingCharactersRole &&
        role != Qt::AccessibleTextRole && role != Qt::ToolTipRole)
        return {};
    const ViewCell cell = table_->cell(index.row() + 1, column);
    switch (role) {
    case Qt::DisplayRole:
        return qs(cell.text);
    case kAgreeingCharactersRole:
        return cell.correct ? QVariant(static_cast<int>(*cell.correct)) : QVariant();
    case Qt::AccessibleTextRole:
        return qs(cell.text + cell.said);
    default: // the tooltip: only where something is said
        return cell.said.empty() ? QVariant() : qs(cell.text + cell.said);
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!table_ || role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return qs(table_->header[static_cast<std::size_t>(section)]);
}

void AgreementDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QVariant agreeing = index.data(TableModel::kAgreeingCharactersRole);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!agreeing.isValid() || agreeing.toInt() >= text.size()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background and focus as the style draws them, then the text in two colours.
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    const QWidget* const widget = option.widget;
    QStyle* const style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);

    const QString right = text.mid(agreeing.toInt());
    const QString left = text.left(agreeing.toInt());
    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &plain, widget).adjusted(2, 0, -2, 0);
    const QFontMetrics metrics(option.font);
    const int rightWidth = metrics.horizontalAdvance(right);
    painter->save();
    painter->setFont(option.font);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : kWrongDigits);
    painter->drawText(area, Qt::AlignRight | Qt::AlignVCenter, right);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(area.adjusted(0, 0, -rightWidth, 0), Qt::AlignRight | Qt::AlignVCenter, left);
    painter->restore();
}

} // namespace lse::ui
