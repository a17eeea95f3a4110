#include "ViewTable.h"

#include "CalculateReport.h"
#include "ComparisonTable.h"

#include <memory>

namespace lse {

ViewTable figuresTable(const CalculateReport& report) {
    const ComparisonTable table(report);
    auto rows =
        std::make_shared<const std::vector<std::vector<std::string>>>(table.figureRows(false));
    return {"figures", "Each method's figures", table.figureHeader(),
            static_cast<int>(rows->size()), [rows](int row, int column) {
                return ViewCell{
                    (*rows)[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)],
                    std::nullopt,
                    {}};
            }};
}

ViewTable comparisonTable(const CalculateReport& report) {
    auto table = std::make_shared<const ComparisonTable>(report);
    return {"comparison", "The unknowns side by side", table->header(), table->rows(),
            [table](int row, int column) {
                ViewCell cell{table->cell(row, column), std::nullopt, table->said(row, column)};
                if (const auto agreed = table->agreement(row, column); agreed && !agreed->whole)
                    cell.correct = agreed->characters;
                return cell;
            }};
}

} // namespace lse
