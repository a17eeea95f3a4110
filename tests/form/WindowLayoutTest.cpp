#include "WindowLayout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using namespace lse;
using window::Control;
using window::kControls;
using window::Kind;

namespace {

std::string nameOf(const Control& c) {
    return std::string(c.name) + (c.index < 0 ? "" : "(" + std::to_string(c.index) + ")");
}

bool overlap(const window::Place& a, const window::Place& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

} // namespace

// Whole pixels at 96 dpi: a figure that is not would lose a pixel on the desktop and not on
// the page, which divides exactly.
TEST(WindowLayout, EveryPlaceIsWholePixelsInsideTheClientArea) {
    const auto& area = window::kClientArea;
    for (const int figure : {area.left, area.top, area.width, area.height})
        EXPECT_EQ(figure % window::kTwipsPerPixel, 0) << figure;
    for (const Control& c : kControls) {
        SCOPED_TRACE(nameOf(c));
        const auto& [left, top, width, height] = c.place;
        for (const int figure : {left, top, width, height})
            EXPECT_EQ(figure % window::kTwipsPerPixel, 0) << figure;
        EXPECT_GE(left, 0);
        EXPECT_GE(top, 0);
        EXPECT_GT(width, 0);
        EXPECT_GT(height, 0);
        EXPECT_LE(left + width, area.width);
        EXPECT_LE(top + height, area.height);
    }
}

TEST(WindowLayout, OnlyTheNoteAndTheSourceLineOverlap) {
    const std::set<std::pair<std::string, std::string>> sharing{{"Label2", "Label3"}};
    for (const Control& a : kControls)
        for (const Control& b : kControls) {
            if (&a >= &b)
                continue;
            const bool allowed = sharing.contains({nameOf(a), nameOf(b)});
            EXPECT_EQ(overlap(a.place, b.place), allowed) << nameOf(a) << " and " << nameOf(b);
        }
}

TEST(WindowLayout, NamesAreUniqueAndTheOptionArrayIsWhole) {
    std::set<std::string> names;
    std::set<int> indices;
    int selected = 0;
    for (const Control& c : kControls) {
        EXPECT_TRUE(names.insert(nameOf(c)).second) << nameOf(c) << " twice";
        EXPECT_EQ(c.index >= 0, c.kind == Kind::optionButton) << nameOf(c);
        if (c.kind == Kind::optionButton) {
            indices.insert(c.index);
            selected += c.on ? 1 : 0;
        }
        if (c.kind != Kind::optionButton && c.kind != Kind::checkBox) {
            EXPECT_FALSE(c.on) << nameOf(c);
        }
    }
    EXPECT_EQ(indices, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(window::takesFocus(kControls[0].kind)) << "the focus starts in the first";
}

TEST(WindowLayout, LabelsNameControlsThatTakeTheFocus) {
    for (const Control& c : kControls) {
        if (c.kind != Kind::label || c.names.empty())
            continue;
        SCOPED_TRACE(nameOf(c));
        EXPECT_TRUE(window::takesFocus(window::control(c.names).kind));
        EXPECT_EQ(window::labelOf(c.names), &c);
    }
    EXPECT_THROW(window::control("Label9"), std::out_of_range);
    EXPECT_THROW(window::control("Option1"), std::out_of_range); // an array wants its index
}

// Other front ends show these texts as the window does, from their constant tables.
static_assert(window::headingOf(TextBox::txtGauss) == "Gauss Solution");
static_assert(window::captionOf(SolutionMethod::choleskyDecomposition) == "Cholesky Decomposition");

TEST(WindowLayout, HeadingsAndOptionCaptionsAreTheWindows) {
    const std::pair<TextBox, std::string_view> headings[] = {
        {TextBox::display, "Input Matrix"},
        {TextBox::txtVector, "Input Vector"},
        {TextBox::txtGauss, "Gauss Solution"},
        {TextBox::txtCholesky, "Cholesky Solution"},
        {TextBox::Textn, "Enter the no. of equations to be solved"},
    };
    for (const auto& [box, heading] : headings)
        EXPECT_EQ(window::headingOf(box), heading);

    const std::pair<SolutionMethod, std::string_view> captions[] = {
        {SolutionMethod::gaussElimination, "Gauss Elimination"},
        {SolutionMethod::bothMethods, "Both Solution Methods"},
        {SolutionMethod::choleskyDecomposition, "Cholesky Decomposition"},
    };
    for (const auto& [method, caption] : captions)
        EXPECT_EQ(window::captionOf(method), caption);
}
