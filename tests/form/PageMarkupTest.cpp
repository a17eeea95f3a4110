#include "PageMarkup.h"
#include "Commands.h"
#include "FormSession.h"
#include "ViewTable.h"
#include "Views.h"
#include "WindowLayout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
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

// The page's markup of each view the form describes: its title; its parts, a text by its
// caption, a table part as a region whose long last table has no rows until they come into
// sight; its buttons, Close before the commands that run as long work.
TEST(PageMarkup, TheViewRendererDrawsEachPartAndButtonOfAView) {
    test::FormSession s;
    s.submitDefault();
    s.calculate(test::Both);
    const std::string accuracy = web::viewMarkup(accuracyView(s.form.report()));
    EXPECT_TRUE(accuracy.starts_with("<div class=\"title\" id=\"accuracyView-title\">Accuracy "));
    for (const std::string part :
         {"<div class=\"side\" id=\"accuracySide\" tabindex=\"0\" role=\"region\" "
          "aria-label=\"Side by Side\"><table class=\"figures\">",
          "<table class=\"comparison\" aria-rowcount=\"4\">", "<tbody data-table=\"1\"></tbody>",
          "<textarea id=\"accuracyText\" class=\"text\" readonly spellcheck=\"false\" "
          "aria-label=\"Report\"></textarea>"})
        EXPECT_NE(accuracy.find(part), std::string::npos) << part;
    std::size_t at = 0;
    bool closed = false;
    for (const Command id : kAccuracyViewCommands) {
        const CommandDeclaration& c = declarationOf(id);
        if (c.longWork && !closed) {
            at = accuracy.find("class=\"close\"", at);
            ASSERT_NE(at, std::string::npos);
            closed = true;
        }
        at = accuracy.find(web::commandButton(c), at);
        ASSERT_NE(at, std::string::npos) << c.name;
    }
    EXPECT_TRUE(closed);

    const MethodEntry& gauss = *s.form.stepsOf(TextBox::txtGauss);
    const std::string steps =
        web::viewMarkup(stepsView(gauss, s.form.A(), s.form.b(), s.form.n, s.form.report()));
    EXPECT_NE(steps.find("<div id=\"stepsText\" class=\"text lines-view\" "
                         "aria-labelledby=\"stepsView-title\"></div>"),
              std::string::npos);
    EXPECT_NE(steps.find("<button type=\"button\" class=\"copy\" data-copy=\"0\">Copy</button>"
                         "<button class=\"close\">Close</button></div>"),
              std::string::npos);
}

// The desktop's own dialogs and the page's show the same captions (without their mnemonics on
// the page) on their buttons and on the parts that are the desktop's tabs, and no other
// button: the views from their one description, the progress box from the page's template.
TEST(PageMarkup, ThePagesDialogsAreCaptionedAsTheDesktops) {
    std::ifstream in(LINEQ_PAGE_TEMPLATE);
    ASSERT_TRUE(in) << LINEQ_PAGE_TEMPLATE;
    const std::string page = web::fillPage(std::string(std::istreambuf_iterator<char>(in), {}));
    test::FormSession s;
    s.submitDefault();
    s.calculate(test::Both);
    // No exact solver here: the steps come without their fractions.
    EXPECT_FALSE(runAtOnce(s.form.computeExact()));
    const std::map<std::string_view, std::string> markups{
        {"accuracy", web::viewMarkup(accuracyView(s.form.report()))},
        {"steps", web::viewMarkup(stepsView(*s.form.stepsOf(TextBox::txtGauss), s.form.A(),
                                            s.form.b(), s.form.n, s.form.report()))},
        {"progress", page.substr(page.find("<dialog id=\"progressBox\""))}};
    static const std::regex captioned(R"re(<button[^>]*>([^<]*)</button>|aria-label="([^"]*)")re");
    for (const DialogCaptions& dialog : dialogCaptions()) {
        const std::string whole = markups.at(dialog.dialog);
        const std::string markup = whole.substr(0, whole.find("</dialog>"));
        std::multiset<std::string> shown, declared;
        for (std::sregex_iterator it(markup.begin(), markup.end(), captioned), end; it != end; ++it)
            shown.insert((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
        for (const std::string_view caption : dialog.captions)
            declared.insert(plainCaption(caption));
        // The page's text areas are labelled too; every declared caption is shown, and every
        // button is declared.
        for (const std::string& caption : declared)
            EXPECT_EQ(shown.count(caption), declared.count(caption))
                << dialog.dialog << ": " << caption;
        for (std::sregex_iterator it(markup.begin(), markup.end(), captioned), end; it != end;
             ++it) {
            if (!(*it)[1].matched)
                continue;
            EXPECT_EQ(declared.count((*it)[1].str()), 1U) << dialog.dialog << ": " << (*it)[1];
        }
    }
}

// The rows a RowWindow wrote, as "before|first..last|after": the blank rows' heights in pixels
// (empty for none) and the first and last rows written.
std::string summaryOf(const std::string& rows) {
    static const std::regex row(R"(<th scope="row">(\d+)</th>)");
    static const std::regex blank(R"(height: ([\d.]+)px)");
    std::vector<std::smatch> written{std::sregex_iterator(rows.begin(), rows.end(), row), {}};
    std::string before, after;
    for (std::sregex_iterator it(rows.begin(), rows.end(), blank), end; it != end; ++it)
        (it->position() < written.front().position() ? before : after) = (*it)[1];
    return before + "|" + written.front()[1].str() + ".." + written.back()[1].str() + "|" + after;
}

// Rows of 20 pixels, 400 in sight: those in sight and 40 around, written anew once the first to
// show has moved by 20, within the table; at the top, to measure, while the height is unknown.
TEST(PageMarkup, RowWindowWritesTheRowsInSightAnewOnlyOnceScrolledSomeWay) {
    const ViewTable table{"t", "t", {"#", "x"}, 3000, [](int row, int) {
                              return ViewCell{std::to_string(row), {}, ""};
                          }};
    const struct {
        double into, rowHeight;
        std::string expected; // empty: nothing written
    } steps[] = {
        {0, 0, "|1..80|"},    {0, 20, "|1..100|58000.000000"},
        {200, 20, ""},        {1200, 20, "400.000000|21..120|57600.000000"},
        {1500, 20, ""},       {59990, 20, "59180.000000|2960..3000|"},
        {5000, 0, "|1..80|"}, {5000, 20, "4200.000000|211..310|53800.000000"},
    };
    web::RowWindow window;
    for (const auto& step : steps) {
        const std::optional<std::string> rows =
            window.rowsFor(table, step.into, 400, step.rowHeight);
        EXPECT_EQ(rows ? summaryOf(*rows) : "", step.expected) << step.into;
    }
}
