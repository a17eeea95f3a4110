#include "ComparisonModel.h"

#include "NumberText.h"

#include <QApplication>
#include <QPainter>

namespace lse::ui {

namespace {

// Wrong digits: red that keeps a contrast of 4.5:1 on white, so that it reads as text too.
const QColor kWrongDigits(0xb0, 0x00, 0x20);

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void ComparisonModel::show(const CalculateReport& report) {
    beginResetModel();
    table_.emplace(report);
    endResetModel();
}

int ComparisonModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->rows();
}

int ComparisonModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : table_->columns();
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const {
    if (!table_ || !index.isValid())
        return {};
    const int row = index.row() + 1;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return qs(table_->cell(row, column));
    case Qt::TextAlignmentRole:
        return column == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                           : int(Qt::AlignRight | Qt::AlignVCenter);
    case kAgreeingCharactersRole:
        if (const auto agreement = table_->agreement(row, column))
            return static_cast<int>(agreement->characters);
        return {};
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        if (const std::string said = table_->said(row, column); !said.empty())
            return qs(table_->cell(row, column) + said);
        return role == Qt::AccessibleTextRole ? qs(table_->cell(row, column)) : QVariant();
    default:
        return {};
    }
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!table_ || role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return qs(table_->header()[static_cast<std::size_t>(section)]);
}

void AgreementDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QVariant agreeing = index.data(ComparisonModel::kAgreeingCharactersRole);
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
