// The page's one table renderer: any view's table (ViewTable.h) as markup, its rows all at once
// or as they come into sight.
#include "NumberText.h"
#include "PageMarkup.h"
#include "ViewTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace lse::web {

namespace {

// The table's head, and its body: all its rows, or for `virtualised` none, which the page asks
// for as they come into sight, with their count for a screen reader.
std::string tableMarkup(const ViewTable& table, std::string_view className, bool virtualised) {
    std::string html = "<table class=\"" + std::string(className) + "\"";
    if (virtualised)
        html += " aria-rowcount=\"" + intToText(table.rows + 1) + "\"";
    html += virtualised ? "><thead><tr aria-rowindex=\"1\">" : "><thead><tr>";
    for (const std::string& name : table.header)
        html += "<th scope=\"col\">" + escaped(name) + "</th>";
    html += "</tr></thead><tbody>";
    if (!virtualised)
        html += rowsMarkup(table, 0, table.rows, false);
    return html + "</tbody></table>";
}

// Rows first + 1 .. first + count, numbered, first kept within the table, and a blank row of
// their height (`rowHeight` pixels each) standing for those before and those after, so that the
// table scrolls as if all were there.
std::string rowsInSight(const ViewTable& table, int first, int count, double rowHeight) {
    first = std::clamp(first, 0, std::max(table.rows - 1, 0));
    count = std::clamp(count, 0, table.rows - first);
    const auto blank = [&](int rows) {
        if (rows <= 0 || rowHeight <= 0)
            return std::string();
        return "<tr class=\"spacer\" aria-hidden=\"true\"><td colspan=\"" +
               intToText(static_cast<int>(table.header.size())) +
               "\" style=\"height: " + std::to_string(rows * rowHeight) + "px\"></td></tr>";
    };
    return blank(first) + rowsMarkup(table, first, count, true) + blank(table.rows - first - count);
}

} // namespace

std::string rowsMarkup(const ViewTable& table, int first, int count, bool indexed) {
    std::string html;
    const int columns = static_cast<int>(table.header.size());
    for (int i = std::max(first, 0) + 1; i <= std::min(first + count, table.rows); ++i) {
        html += indexed ? "<tr aria-rowindex=\"" + intToText(i + 1) + "\">" : "<tr>";
        html += "<th scope=\"row\">" + escaped(table.cell(i, 0).text) + "</th>";
        for (int c = 1; c < columns; ++c) {
            const ViewCell cell = table.cell(i, c);
            html += "<td>";
            if (cell.correct)
                html += escaped(cell.text.substr(0, *cell.correct)) + "<span class=\"wrong\">" +
                        escaped(cell.text.substr(*cell.correct)) + "</span>";
            else
                html += escaped(cell.text);
            if (!cell.said.empty())
                html += "<span class=\"said\">" + escaped(cell.said) + "</span>";
            html += "</td>";
        }
        html += "</tr>";
    }
    return html;
}

std::optional<std::string> RowWindow::rowsFor(const ViewTable& table, double into, double inSight,
                                              double rowHeight) {
    constexpr int kAround = 40;
    if (rowHeight <= 0) {
        first_.reset();
        return rowsInSight(table, 0, 2 * kAround, 0);
    }
    const int first = std::max(0, static_cast<int>(std::floor(into / rowHeight)) - kAround);
    if (first_ && std::abs(first - *first_) < kAround / 2)
        return std::nullopt;
    first_ = first;
    return rowsInSight(table, first, static_cast<int>(std::ceil(inSight / rowHeight)) + 2 * kAround,
                       rowHeight);
}

std::string comparisonMarkup(const CalculateReport& report) {
    std::string html;
    if (const ViewTable figures = figuresTable(report); figures.rows > 0)
        html += tableMarkup(figures, "figures", false);
    if (const ViewTable comparison = comparisonTable(report); comparison.rows > 0)
        html += tableMarkup(comparison, "comparison", true);
    return html;
}

} // namespace lse::web
