#include "ComparisonTable.h"
#include "NumberText.h"
#include "PageMarkup.h"

#include <algorithm>

namespace lse::web {

namespace {

// A figure's row: its name heads it.
std::string figureRow(const std::vector<std::string>& cells) {
    std::string html = "<tr><th scope=\"row\">" + escaped(cells[0]) + "</th>";
    for (std::size_t c = 1; c < cells.size(); ++c)
        html += "<td>" + escaped(cells[c]) + "</td>";
    return html + "</tr>";
}

} // namespace

std::string comparisonMarkup(const CalculateReport& report) {
    const ComparisonTable table(report);
    std::string html;
    if (const auto figures = table.figureRows(false); !figures.empty()) {
        html += "<table class=\"figures\"><thead><tr>";
        for (const std::string& name : table.figureHeader())
            html += "<th scope=\"col\">" + escaped(name) + "</th>";
        html += "</tr></thead><tbody>";
        for (const std::vector<std::string>& row : figures)
            html += figureRow(row);
        html += "</tbody></table>";
    }
    if (table.rows() == 0)
        return html;

    html += "<table class=\"comparison\" data-rows=\"" + intToText(table.rows()) +
            "\" aria-rowcount=\"" + intToText(table.rows() + 1) +
            "\"><thead><tr aria-rowindex=\"1\">";
    for (const std::string& name : table.header())
        html += "<th scope=\"col\">" + escaped(name) + "</th>";
    return html + "</tr></thead><tbody></tbody></table>";
}

std::string comparisonRowsMarkup(const CalculateReport& report, int first, int count) {
    const ComparisonTable table(report);
    std::string html;
    for (int i = std::max(first, 0) + 1; i <= std::min(first + count, table.rows()); ++i) {
        html += "<tr aria-rowindex=\"" + intToText(i + 1) + "\"><th scope=\"row\">" +
                escaped(table.cell(i, 0)) + "</th>";
        for (int c = 1; c < table.columns(); ++c) {
            const std::string text = table.cell(i, c);
            const auto agreement = table.agreement(i, c);
            html += "<td>";
            if (!agreement || agreement->whole) {
                html += escaped(text);
            } else {
                html += escaped(text.substr(0, agreement->characters)) + "<span class=\"wrong\">" +
                        escaped(text.substr(agreement->characters)) + "</span>";
            }
            if (agreement)
                html += "<span class=\"said\">" + escaped(table.said(i, c)) + "</span>";
            html += "</td>";
        }
        html += "</tr>";
    }
    return html;
}

} // namespace lse::web
