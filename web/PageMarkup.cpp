#include "PageMarkup.h"

#include "Commands.h"
#include "SystemReader.h"
#include "ViewTable.h"
#include "WindowLayout.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <stdexcept>
#include <vector>

namespace lse::web {

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

using window::Control;
using window::Kind;

std::string idOf(const Control& c) {
    return c.index < 0 ? std::string(c.name) : std::string(c.name) + "_" + std::to_string(c.index);
}

// page.css turns these into pixels, 15 twips to the pixel.
std::string placeOf(const Control& c) {
    const auto& [left, top, width, height] = c.place;
    return " style=\"--left:" + std::to_string(left) + ";--top:" + std::to_string(top) +
           ";--width:" + std::to_string(width) + ";--height:" + std::to_string(height) + "\"";
}

// The first control in tab order starts with the focus, as on the desktop.
bool startsFocused(const Control& c) {
    for (const Control& other : window::kControls)
        if (window::takesFocus(other.kind))
            return &other == &c;
    return false;
}

std::string element(const Control& c) {
    const std::string id = " id=\"" + idOf(c) + "\"";
    const std::string text = escaped(c.text);
    switch (c.kind) {
    case Kind::label: {
        const std::string face = c.face == window::Face::address ? " address" : "";
        if (c.names.empty())
            return "<div" + id + " class=\"label" + face + "\"" + placeOf(c) + ">" + text +
                   "</div>";
        return "<label" + id + " for=\"" + std::string(c.names) + "\" class=\"label" + face + "\"" +
               placeOf(c) + ">" + text + "</label>";
    }
    case Kind::multiLineBox:
        return "<textarea" + id + " class=\"box\"" + placeOf(c) + " spellcheck=\"false\"" +
               (startsFocused(c) ? " autofocus" : "") + ">" + text + "</textarea>";
    case Kind::textBox:
        return "<input" + id + " type=\"text\" value=\"" + text + "\" class=\"line\"" + placeOf(c) +
               " spellcheck=\"false\" autocomplete=\"off\"" +
               (startsFocused(c) ? " autofocus" : "") + ">";
    case Kind::commandButton:
        return "<button" + id + " type=\"button\" class=\"command\"" + placeOf(c) + ">" + text +
               "</button>";
    case Kind::checkBox:
        return "<label class=\"choice\"" + placeOf(c) + "><input" + id + " type=\"checkbox\"" +
               (c.on ? " checked" : "") + ">" + text + "</label>";
    case Kind::optionButton:
        return "<label class=\"choice\"" + placeOf(c) + "><input" + id + " type=\"radio\" name=\"" +
               std::string(c.name) + "\" value=\"" + std::to_string(c.index) + "\"" +
               (c.on ? " checked" : "") + ">" + text + "</label>";
    }
    throw std::logic_error("a control of no known kind");
}

// A heading over its box is read before the box; a label beside its control keeps its own
// place in tab order.
bool headsItsControl(const Control& label) {
    if (label.kind != Kind::label || label.names.empty())
        return false;
    const Control& named = window::control(label.names);
    return label.place.top + label.place.height <= named.place.top;
}

// One group in the screen's order, top to bottom: Tab enters it at the chosen button and the
// arrow keys move the choice from one button to the next below.
std::string optionGroup(std::string_view name, const std::string& indent) {
    std::vector<const Control*> buttons;
    for (const Control& c : window::kControls)
        if (c.name == name)
            buttons.push_back(&c);
    // Emscripten's libc++ lacks the ranges algorithms.
    std::stable_sort(buttons.begin(), buttons.end(), [](const Control* a, const Control* b) {
        return a->place.top < b->place.top;
    });
    std::string out = indent + "<div role=\"radiogroup\" aria-label=\"" +
                      escaped(window::kOptionGroupName) + "\">\n";
    for (const Control* c : buttons)
        out += indent + "  " + element(*c) + "\n";
    return out + indent + "</div>\n";
}

} // namespace

std::string placeholderName(std::string_view commandName) {
    std::string out;
    for (const char c : commandName) {
        if (std::isupper(static_cast<unsigned char>(c)))
            out += '_';
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string captionText(std::string_view caption) {
    return escaped(plainCaption(caption));
}

std::string commandButton(const CommandDeclaration& command) {
    const std::string name(command.name);
    return "<button type=\"button\" class=\"" + name + "\" data-command=\"" + name + "\">" +
           captionText(command.caption) + "</button>";
}

// The open chooser's accept list: ".txt,.csv,...".
std::string systemSuffixes() {
    std::string list;
    for (const std::string_view suffix : io::systemFileSuffixes())
        list.append(list.empty() ? "" : ",").append(suffix);
    return list;
}

std::string windowMarkup() {
    const std::string indent = "    ";
    std::string controls;
    for (const Control& c : window::kControls) {
        if (headsItsControl(c))
            continue;
        if (c.kind == Kind::optionButton) {
            if (&c == &window::control(c.name, 0))
                controls += optionGroup(c.name, indent);
            continue;
        }
        if (const Control* heading = window::labelOf(c.name); heading && headsItsControl(*heading))
            controls += indent + element(*heading) + "\n";
        controls += indent + element(c) + "\n";
    }
    return "<main id=\"" + std::string(window::kWindowName) +
           "\" class=\"window\" aria-labelledby=\"caption\">\n"
           "  <div class=\"titlebar\"><img src=\"lineq.svg\" alt=\"\" width=\"16\" "
           "height=\"16\"><span id=\"caption\">" +
           escaped(window::kCaption) +
           "</span></div>\n"
           "  <div class=\"client\">\n" +
           controls +
           "  </div>\n"
           "</main>";
}

std::string fillPage(std::string_view page) {
    std::vector<std::pair<std::string, std::string>> fills = {
        {"CAPTION", escaped(window::kCaption)},
        {"WINDOW", windowMarkup()},
        {"PROGRAM_TITLE", escaped(window::kProgramTitle)},
        {"SYSTEM_SUFFIXES", systemSuffixes()},
        {"WRONG_DIGITS_COLOUR", kWrongDigitsColour},
        // The progress box's own button, captioned as the desktop's.
        {"CAPTION_CANCEL", captionText(caption::kCancel)},
    };
    for (const CommandDeclaration& command : commands()) {
        const std::string name = placeholderName(command.name);
        fills.emplace_back("BUTTON_" + name, commandButton(command));
        fills.emplace_back("CAPTION_" + name, captionText(command.caption));
    }
    static const std::regex placeholder("@([A-Z_]+)@");
    std::string out;
    const char* done = page.data();
    const char* const end = page.data() + page.size();
    for (std::cregex_iterator it(done, end, placeholder), last; it != last; ++it) {
        const auto fill = std::find_if(std::begin(fills), std::end(fills),
                                       [&](const auto& f) { return f.first == (*it)[1].str(); });
        if (fill == std::end(fills))
            throw std::invalid_argument("the page names an unknown " + it->str());
        out.append(done, (*it)[0].first);
        out += fill->second;
        done = (*it)[0].second;
    }
    return out.append(done, end);
}

} // namespace lse::web
