#pragma once

#include "Platform.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

// The window as drawn, free of any toolkit: the desktop lays its widgets out from this, and
// the page's markup is written from it at build time.
namespace lse::window {

// The layout is in twips; it was drawn at 96 dpi, where 15 of them make a pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// Left and top from the client area's top-left corner (the screen's, for the window itself).
struct Place {
    int left, top, width, height;
};

enum class Kind { label, textBox, multiLineBox, commandButton, checkBox, optionButton };

enum class Face { dialog, address };

struct Control {
    std::string_view name; // the object name, and the page's id
    int index;             // within its control array; -1 for a control of its own
    Kind kind;
    std::string_view text;       // caption, or initial text of a box
    Place place;                 // twips
    bool on = false;             // a check box ticked, an option selected, at start
    std::string_view names = {}; // a label: the control it names
    Face face = Face::dialog;
};

inline constexpr std::string_view kWindowName = "frmCholesky";
inline constexpr std::string_view kCaption = "Linear Simultaneous Equations by Quorvelt";
// Fixed at start: no centring, no place of the system's choosing.
inline constexpr Place kClientArea{4860, 3300, 9540, 7365};
// The title of a message or input box that brings none of its own.
inline constexpr std::string_view kProgramTitle = "Lineq";
inline constexpr std::string_view kAddress = "www.quorvelt.example";
// Only the page names the option group as a whole; its buttons carry their captions.
inline constexpr std::string_view kOptionGroupName = "Solution method";

// In tab-index order, which is also the order the desktop stacks them in: Label3 lies over
// Label2 where their strips share 15 twips.
inline constexpr Control kControls[] = {
    {"display", -1, Kind::multiLineBox, "", {240, 600, 3975, 3615}},
    {"submit_but", -1, Kind::commandButton, "Submit", {240, 5040, 1815, 615}},
    {"Textn", -1, Kind::textBox, "3", {3495, 4530, 735, 285}},
    {"Label1",
     -1,
     Kind::label,
     "Enter the no. of equations to be solved",
     {255, 4560, 2895, 255},
     false,
     "Textn"},
    {"Start", -1, Kind::commandButton, "Calculate Using.....", {6120, 4560, 1815, 615}},
    {"Label2",
     -1,
     Kind::label,
     "Please note that input matrices must be symetirc positive definite for cholesky to work "
     "his magic. Cholesky Decomposition is a test for the above condition.",
     {240, 6120, 4575, 735}},
    {"Label3",
     -1,
     Kind::label,
     "The default matrix is from Morvane, 7ed, Section 19.2 Example 2.",
     {240, 6840, 4575, 255}},
    {"chkDefault", -1, Kind::checkBox, "Use Default Matrix", {2400, 5280, 1935, 255}, true},
    // Indexed as the logic addresses them; on screen, from the top: 0, 2, 1.
    {"Option1", 0, Kind::optionButton, "Gauss Elimination", {6120, 5400, 2055, 255}},
    {"Option1", 1, Kind::optionButton, "Both Solution Methods", {6120, 6360, 2055, 255}, true},
    {"Option1", 2, Kind::optionButton, "Cholesky Decomposition", {6120, 5880, 2055, 255}},
    {"txtGauss", -1, Kind::multiLineBox, "", {6120, 600, 1455, 3615}},
    {"txtCholesky", -1, Kind::multiLineBox, "", {7800, 600, 1455, 3615}},
    {"Label4", -1, Kind::label, "Input Matrix", {360, 240, 1815, 255}, false, "display"},
    {"Label5", -1, Kind::label, "Gauss Solution", {6120, 240, 1455, 255}, false, "txtGauss"},
    {"Label6", -1, Kind::label, "Cholesky Solution", {7800, 240, 1455, 255}, false, "txtCholesky"},
    {"txtVector", -1, Kind::multiLineBox, "", {4440, 600, 1455, 3615}},
    {"Label7", -1, Kind::label, "Input Vector", {4440, 240, 1455, 255}, false, "txtVector"},
    {"Label8", -1, Kind::label, kAddress, {6720, 6960, 2535, 255}, false, {}, Face::address},
};

struct Font {
    // The layout was drawn for an 8.25 pt dialog face and a bold serif; these Debian faces
    // stand in for them, the first one found in use.
    std::span<const std::string_view> families;
    double pointSize;
    bool bold;
};

const Font& fontOf(Face face);

constexpr bool takesFocus(Kind kind) {
    return kind != Kind::label;
}

// Constant expressions, for the tables that show these texts as the window does.

// The control of that name (and index, within an array); throws std::out_of_range for none.
constexpr const Control& control(std::string_view name, int index = -1) {
    for (const Control& c : kControls)
        if (c.name == name && c.index == index)
            return c;
    throw std::out_of_range("the window has no such control");
}

// The label that names the control, or nullptr.
constexpr const Control* labelOf(std::string_view name) {
    for (const Control& c : kControls)
        if (c.kind == Kind::label && c.names == name)
            return &c;
    return nullptr;
}

constexpr std::string_view nameOf(TextBox box) {
    switch (box) {
    case TextBox::Textn:
        return "Textn";
    case TextBox::display:
        return "display";
    case TextBox::txtVector:
        return "txtVector";
    case TextBox::txtGauss:
        return "txtGauss";
    case TextBox::txtCholesky:
        return "txtCholesky";
    }
    throw std::out_of_range("no such text box");
}

// The text box whose control is called `name`, or none.
constexpr std::optional<TextBox> textBoxNamed(std::string_view name) {
    for (int i = 0; i <= static_cast<int>(TextBox::txtCholesky); ++i)
        if (nameOf(static_cast<TextBox>(i)) == name)
            return static_cast<TextBox>(i);
    return std::nullopt;
}

// The heading over a multi-line box, or the prompt beside Textn.
constexpr std::string_view headingOf(TextBox box) {
    return labelOf(nameOf(box))->text;
}

constexpr std::string_view captionOf(SolutionMethod method) {
    return control("Option1", static_cast<int>(method)).text;
}

} // namespace lse::window
