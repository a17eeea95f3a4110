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

std::string comparisonMarkup(const CalculateReport& report, int shownRows) {
    const ComparisonTable table(report);
    std::string html;
    if (const auto figures = table.figureRows(false); !figures.empty()) {
        html += "<table class=\"figures\"><thead><tr><th scope=\"col\">Figure</th>";
        for (const MethodReport& result : report.methods)
            html += "<th scope=\"col\">" + escaped(result.method->title) + "</th>";
        html += "</tr></thead><tbody>";
        for (const std::vector<std::string>& row : figures)
            html += figureRow(row);
        html += "</tbody></table>";
    }
    if (table.rows() == 0)
        return html;

    const int shown = std::min(table.rows(), shownRows);
    html += "<table class=\"comparison\">";
    if (shown < table.rows())
        html += "<caption>The first " + intToText(shown) + " of " + intToText(table.rows()) +
                " unknowns; Copy and Copy as Tab-Separated hold them all.</caption>";
    html += "<thead><tr>";
    for (const std::string& name : table.header())
        html += "<th scope=\"col\">" + escaped(name) + "</th>";
    html += "</tr></thead><tbody>";
    for (int i = 1; i <= shown; ++i) {
        html += "<tr><th scope=\"row\">" + escaped(table.cell(i, 0)) + "</th>";
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
                html +=
                    "<span class=\"said\">" +
                    (agreement->whole ? std::string(", every digit correct")
                                      : ", " + intToText(agreement->digits) + " correct digits") +
                    "</span>";
            html += "</td>";
        }
        html += "</tr>";
    }
    return html + "</tbody></table>";
}

} // namespace lse::web
