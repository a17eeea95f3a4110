#pragma once

#include "CalculateReport.h"
#include "ComparisonTable.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <optional>

namespace lse::ui {

// The last Calculate side by side for a QTableView: each cell made as the view asks for it,
// so that n = 32766 rows scroll as smoothly as 3.
class ComparisonModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    // Of a method's value: how many leading characters are correct digits (an int); none
    // before the exact solution is known.
    static constexpr int kAgreeingCharactersRole = Qt::UserRole + 1;

    explicit ComparisonModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Shows `report`, which must outlive the model or the next show.
    void show(const CalculateReport& report);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::optional<ComparisonTable> table_;
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
