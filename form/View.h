#pragma once

#include "ViewTable.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lse {

enum class Command;

// A view's text, read-only but selectable: `name` is its control's (the desktop's object name,
// the page's element id), `caption` its tab's or column's name, said to a screen reader. A text
// that wraps is prose, which the desktop wraps at the view's width; one that does not keeps a
// matrix's columns in line, and the page lays it out on a line view as its lines come into
// sight, a second such text beside the first.
struct ViewText {
    std::string name;
    std::string caption;
    std::string text;
    bool wraps = true;
};

// Tables one above the other: each but the last shows all its rows, as few as they are; the last
// scrolls, its rows made as they come into sight.
struct ViewTables {
    std::string name;
    std::string caption;
    std::vector<ViewTable> tables;
};

using ViewPart = std::variant<ViewText, ViewTables>;

// A button that copies `text` to the clipboard.
struct ViewCopy {
    std::string_view caption;
    std::string text;
};
// A button of a view, before its Close: a declared command, run as its action runs it, or a copy.
using ViewButton = std::variant<Command, ViewCopy>;

// A modal view, described once for the window and the page, which draw every view with one
// builder each: its parts, its buttons, then Close.
struct View {
    enum class Arrangement {
        tabs,   // one part at a time, each under its caption (the page: one above the other)
        beside, // side by side, a line beside its like, scrolling as one
    };
    std::string name; // the dialog's object name; the page's <dialog> is name + "View"
    std::string title;
    Arrangement arrangement = Arrangement::tabs;
    std::vector<ViewPart> parts;
    std::vector<ViewButton> buttons;
};

} // namespace lse
