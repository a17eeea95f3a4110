#pragma once

#include "ViewTable.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <optional>

namespace lse::ui {

// A view's table (ViewTable.h) for a QTableView: each cell made as the view asks for it, so
// that n = 32766 rows scroll as smoothly as 3.
class TableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    // Of a cell whose leading characters alone are correct digits: how many (an int).
    static constexpr int kAgreeingCharactersRole = Qt::UserRole + 1;

    // `values`: how the cells after the first column are aligned.
    TableModel(QObject* parent, Qt::Alignment values)
        : QAbstractTableModel(parent), values_(values) {}

    void show(ViewTable table);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Qt::Alignment values_;
    std::optional<ViewTable> table_;
};

// Paints a method's value with its correct digits in the text's colour and the rest in red.
class AgreementDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace lse::ui
