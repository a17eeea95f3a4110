#include "PageMarkup.h"
#include "Commands.h"
#include "ViewTable.h"
#include "WindowLayout.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

using namespace lse;
using window::Kind;

namespace {

// Each element with an id, in the order the browser reads and focuses them. A check box or an
// option button is placed by the label around it, whose attributes are taken as its own.
struct Element {
    std::string tag, id, attributes;
};

std::vector<Element> elementsOf(const std::string& markup) {
    static const std::regex tag(R"(<(\w+)([^>]*)>)");
    static const std::regex id(R"re(\bid="([^"]+)")re");
    std::vector<Element> found;
    std::string wrapper;
    for (std::sregex_iterator it(markup.begin(), markup.end(), tag), end; it != end; ++it) {
        const std::string name = (*it)[1];
        const std::string attributes = (*it)[2];
        std::smatch named;
        if (!std::regex_search(attributes, named, id)) {
            wrapper = name == "label" ? attributes : "";
            continue;
        }
        found.push_back({name, named[1], wrapper + attributes});
        wrapper.clear();
    }
    return found;
}

std::string idOf(const window::Control& c) {
    return std::string(c.name) + (c.index < 0 ? "" : "_" + std::to_string(c.index));
}

std::ptrdiff_t positionOf(const std::vector<Element>& elements, const std::string& id) {
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (elements[i].id == id)
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

} // namespace

TEST(PageMarkup, FillsThePlaceholdersAndLeavesOtherAtSignsAlone) {
    const std::string caption(window::kCaption);
    const struct {
        std::string page, expected;
    } cases[] = {
        {"<title>@CAPTION@</title>", "<title>" + caption + "</title>"},
        {"@PROGRAM_TITLE@|@PROGRAM_TITLE@", "Lineq|Lineq"},
        {"mail@quorvelt.example", "mail@quorvelt.example"},
        {"@lower@ @ @@", "@lower@ @ @@"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(web::fillPage(c.page), c.expected) << c.page;

    const std::string filled = web::fillPage("[@WINDOW@]");
    EXPECT_EQ(filled, "[" + web::windowMarkup() + "]");
    for (const char* misspelt : {"@CAPTON@", "x @WINDOWS@ y", "@PROGRAM_TITLE@ @TITLE@"})
        EXPECT_THROW(web::fillPage(misspelt), std::invalid_argument) << misspelt;
}

TEST(PageMarkup, EveryControlOnceWithItsPlaceAndState) {
    const std::vector<Element> elements = elementsOf(web::windowMarkup());
    int focused = 0;
    for (const Element& e : elements)
        focused += e.attributes.find(" autofocus") != std::string::npos ? 1 : 0;
    EXPECT_EQ(focused, 1);

    for (const window::Control& c : window::kControls) {
        const std::string id = idOf(c);
        SCOPED_TRACE(id);
        const std::ptrdiff_t at = positionOf(elements, id);
        ASSERT_GE(at, 0);
        const Element& e = elements[static_cast<std::size_t>(at)];
        const auto& [left, top, width, height] = c.place;
        const std::string style =
            "--left:" + std::to_string(left) + ";--top:" + std::to_string(top) +
            ";--width:" + std::to_string(width) + ";--height:" + std::to_string(height);
        EXPECT_NE(e.attributes.find(style), std::string::npos) << e.attributes;
        EXPECT_EQ(e.attributes.find(" checked") != std::string::npos, c.on);
        EXPECT_EQ(e.attributes.find(" autofocus") != std::string::npos,
                  &c == &window::kControls[0]);
    }
}

// The page's focus follows the window's tab order; a heading is read just before its box and
// the option group in the screen's order, top to bottom.
TEST(PageMarkup, OrderIsTabOrderWithHeadingsFirstAndOptionsTopDown) {
    const std::vector<Element> elements = elementsOf(web::windowMarkup());
    std::ptrdiff_t lastStop = -1;
    for (const window::Control& c : window::kControls) {
        if (!window::takesFocus(c.kind) || c.kind == Kind::optionButton)
            continue;
        const std::ptrdiff_t at = positionOf(elements, idOf(c));
        EXPECT_GT(at, lastStop) << idOf(c);
        lastStop = at;
    }
    for (const window::Control& c : window::kControls) {
        if (c.kind != Kind::label || c.names.empty())
            continue;
        const window::Control& named = window::control(c.names);
        const bool above = c.place.top + c.place.height <= named.place.top;
        const std::ptrdiff_t label = positionOf(elements, idOf(c));
        const std::ptrdiff_t box = positionOf(elements, idOf(named));
        EXPECT_EQ(label + (above ? 1 : -1), box) << idOf(c);
    }
    int previousTop = -1;
    for (const Element& e : elements) {
        if (e.id.starts_with("Option1_")) {
            const int top = window::control("Option1", e.id.back() - '0').place.top;
            EXPECT_GT(top, previousTop) << e.id;
            previousTop = top;
        }
    }
}

// page.js finds each command's button and caption where its placeholders stand.
TEST(PageMarkup, EachCommandHasItsPlaceholders) {
    EXPECT_EQ(web::placeholderName("computeExact"), "COMPUTE_EXACT");
    for (const CommandDeclaration& c : commands()) {
        const std::string name = web::placeholderName(c.name);
        EXPECT_EQ(web::fillPage("@BUTTON_" + name + "@"), web::commandButton(c));
        EXPECT_EQ(web::fillPage("@CAPTION_" + name + "@"), plainCaption(c.caption));
    }
}

// The rows in sight of 10, with a blank row of their height before and after: the rows counted
// (1-based, the header being row 1) and the heights as the page asked.
TEST(PageMarkup, RowsInSightStandInForTheRestAndStayWithinTheTable) {
    const ViewTable table{"t", {"#", "x"}, 10, [](int row, int column) {
                              return ViewCell{std::to_string(row * 10 + column), {}, ""};
                          }};
    const std::string blank = "<tr class=\"spacer\" aria-hidden=\"true\"><td colspan=\"2\" ";
    const struct {
        int first, count;
        double height;
        std::string before, firstRow, after;
    } cases[] = {
        {3, 4, 20, "height: 60.000000px", "aria-rowindex=\"5\"><th scope=\"row\">40</th>",
         "height: 60.000000px"},
        {-5, 2, 20, "", "aria-rowindex=\"2\"><th scope=\"row\">10</th>", "height: 160.000000px"},
        {8, 5, 20, "height: 160.000000px", "aria-rowindex=\"10\">", ""},
        {40, 5, 20, "height: 180.000000px", "aria-rowindex=\"11\">", ""},
        {0, 2, 0, "", "aria-rowindex=\"2\">", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const std::string rows = web::rowsInSight(table, c.first, c.count, c.height);
        const std::size_t firstRow = rows.find("<tr aria-rowindex");
        ASSERT_NE(firstRow, std::string::npos) << rows;
        EXPECT_EQ(rows.substr(0, firstRow),
                  c.before.empty() ? "" : blank + "style=\"" + c.before + "\"></td></tr>");
        EXPECT_EQ(rows.compare(firstRow + 4, c.firstRow.size(), c.firstRow), 0) << rows;
        const std::size_t lastRow = rows.rfind("<tr");
        EXPECT_EQ(rows.substr(lastRow).starts_with(blank), !c.after.empty()) << rows;
        EXPECT_TRUE(c.after.empty() || rows.ends_with(c.after + "\"></td></tr>")) << rows;
    }
}

// Rows of 20 pixels, 40 around those in sight: written anew once the first to show has moved
// by 20 rows, and at the top, to measure, whenever the height is not known.
TEST(PageMarkup, RowWindowWritesRowsAnewOnlyOnceScrolledSomeWay) {
    const ViewTable table{"t", {"#", "x"}, 3000, [](int row, int) {
                              return ViewCell{std::to_string(row), {}, ""};
                          }};
    const struct {
        double into, rowHeight;
        std::optional<int> first; // the first row written, 1-based; none: nothing written
    } steps[] = {
        {0, 0, 1},      {0, 20, 1}, {200, 20, {}}, {1200, 20, 21},  {1500, 20, {}},
        {2000, 20, 61}, {0, 20, 1}, {5000, 0, 1},  {5000, 20, 211},
    };
    web::RowWindow window;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.into);
        const std::optional<std::string> rows =
            window.rowsFor(table, step.into, 400, step.rowHeight);
        ASSERT_EQ(rows.has_value(), step.first.has_value());
        if (!rows)
            continue;
        const std::string row = "<th scope=\"row\">" + std::to_string(*step.first) + "</th>";
        EXPECT_LT(rows->find(row),
                  rows->find("<th scope=\"row\">" + std::to_string(*step.first + 1) + "</th>"));
        EXPECT_EQ(rows->find("<th scope=\"row\">" + std::to_string(*step.first - 1) + "</th>"),
                  std::string::npos);
    }
}
