// The page's one view renderer: any view the form describes (View.h) as markup, its tables'
// rows all at once or as they come into sight.
#include "Commands.h"
#include "NumberText.h"
#include "PageMarkup.h"
#include "View.h"
#include "ViewTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace lse::web {

namespace {

// The table's head, and its body: all its rows, or for a table numbered `virtualised` none,
// which the page asks for as they come into sight, with their count for a screen reader.
std::string tableMarkup(const ViewTable& table, std::optional<int> virtualised) {
    std::string html = "<table class=\"" + escaped(table.id) + "\"";
    if (virtualised)
        html += " aria-rowcount=\"" + intToText(table.rows + 1) + "\"";
    html += virtualised ? "><thead><tr aria-rowindex=\"1\">" : "><thead><tr>";
    for (const std::string& name : table.header)
        html += "<th scope=\"col\">" + escaped(name) + "</th>";
    html += "</tr></thead>";
    if (virtualised)
        return html + "<tbody data-table=\"" + intToText(*virtualised) + "\"></tbody></table>";
    return html + "<tbody>" + rowsMarkup(table, 0, table.rows, false) + "</tbody></table>";
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

std::string viewMarkup(const View& view) {
    const std::string id = view.name + "View";
    std::string html = "<div class=\"title\" id=\"" + escaped(id) + "-title\">" +
                       escaped(view.title) + "</div><div class=\"content column\">";
    int tableCount = 0;
    bool lineView = false;
    for (const ViewPart& part : view.parts) {
        if (const ViewText* const text = std::get_if<ViewText>(&part)) {
            if (text->wraps)
                html += "<textarea id=\"" + escaped(text->name) +
                        "\" class=\"text\" readonly spellcheck=\"false\" aria-label=\"" +
                        captionText(text->caption) + "\"></textarea>";
            else if (!std::exchange(lineView, true))
                html += "<div id=\"" + escaped(text->name) +
                        "\" class=\"text lines-view\" aria-labelledby=\"" + escaped(id) +
                        "-title\"></div>";
            continue;
        }
        const ViewTables& tables = std::get<ViewTables>(part);
        html += "<div class=\"side\" id=\"" + escaped(tables.name) +
                "\" tabindex=\"0\" role=\"region\" aria-label=\"" +
                captionText(tables.caption) + "\">";
        for (std::size_t i = 0; i < tables.tables.size(); ++i, ++tableCount)
            if (const ViewTable& table = tables.tables[i]; table.rows > 0)
                html += tableMarkup(table, i + 1 == tables.tables.size()
                                               ? std::optional<int>(tableCount)
                                               : std::nullopt);
        html += "</div>";
    }
    std::string quick;
    std::string long_;
    int copies = 0;
    for (const ViewButton& button : view.buttons) {
        if (const Command* const command = std::get_if<Command>(&button)) {
            const CommandDeclaration& declared = declarationOf(*command);
            (declared.longWork ? long_ : quick) += commandButton(declared);
        } else {
            quick += "<button type=\"button\" class=\"copy\" data-copy=\"" + intToText(copies++) +
                     "\">" + captionText(std::get<ViewCopy>(button).caption) + "</button>";
        }
    }
    return html + "</div><div class=\"buttons\">" + quick + "<button class=\"close\">" +
           captionText(caption::kClose) + "</button>" + long_ + "</div>";
}

} // namespace lse::web
