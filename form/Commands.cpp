#include "Commands.h"

#include "MethodTable.h"
#include "WindowLayout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>
#include <vector>

namespace lse {

namespace {

bool always(const CommandState&, std::optional<TextBox>) {
    return true;
}

bool boxHasSolution(const CommandState& state, std::optional<TextBox> box) {
    return box && state.showsSolution(*box);
}

bool exactPending(const CommandState& state, std::optional<TextBox>) {
    return state.exactPending();
}

bool refinePending(const CommandState& state, std::optional<TextBox>) {
    return state.refinePending();
}

bool hasSystem(const CommandState& state, std::optional<TextBox>) {
    return state.hasSystem();
}

// Steps… shows a failure's steps as well as a solution's.
bool boxMethodRan(const CommandState& state, std::optional<TextBox> box) {
    return box && state.methodRan(*box);
}

// Without a Calculate the table would hold its header alone.
bool calculated(const CommandState& state, std::optional<TextBox>) {
    return state.calculated();
}

constexpr std::array kCommands{
    CommandDeclaration{Command::accuracy, "accuracy", "Accuracy\u2026", "Ctrl+I",
                       CommandScope::window, always},
    CommandDeclaration{Command::copySolution, "copySolution", "Copy Solution", "Ctrl+Shift+C",
                       CommandScope::resultBox, boxHasSolution},
    CommandDeclaration{Command::computeExact, "computeExact", "Compute &Exact Solution", "",
                       CommandScope::window, exactPending, true},
    CommandDeclaration{Command::refineSolution, "refineSolution", "&Refine Solution", "",
                       CommandScope::window, refinePending, true},
    CommandDeclaration{Command::copyTable, "copyTable", "Copy as &Tab-Separated", "",
                       CommandScope::window, calculated},
    // The view always has a text to copy, if only that nothing was calculated.
    CommandDeclaration{Command::copyText, "copyText", "&Copy", "", CommandScope::window, always},
    CommandDeclaration{Command::pasteSystem, "pasteSystem", "Paste System", "Ctrl+Shift+V",
                       CommandScope::window, always},
    CommandDeclaration{Command::openSystem, "openSystem", "Open System\u2026", "Ctrl+O",
                       CommandScope::window, always},
    CommandDeclaration{Command::saveSystem, "saveSystem", "Save System\u2026", "Ctrl+S",
                       CommandScope::window, hasSystem},
    CommandDeclaration{Command::saveResults, "saveResults", "Save Results\u2026", "Ctrl+Shift+S",
                       CommandScope::window, calculated},
    CommandDeclaration{Command::steps, "steps", "Ste&ps\u2026", "Ctrl+Shift+E",
                       CommandScope::resultBox, boxMethodRan},
};

} // namespace

std::span<const CommandDeclaration> commands() {
    return kCommands;
}

const CommandDeclaration& declarationOf(Command id) {
    for (const CommandDeclaration& c : kCommands)
        if (c.id == id)
            return c;
    throw std::out_of_range("an undeclared command");
}

const CommandDeclaration* findCommand(std::string_view name) {
    for (const CommandDeclaration& c : kCommands)
        if (c.name == name)
            return &c;
    return nullptr;
}

bool isEnabled(Command id, const CommandState& state, std::optional<TextBox> box) {
    return declarationOf(id).enabled(state, box);
}

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool matches(std::string_view shortcut, const KeyPress& press) {
    const std::size_t lastPlus = shortcut.rfind('+');
    const std::string_view modifiers = shortcut.substr(0, lastPlus + 1);
    const std::string_view key = shortcut.substr(lastPlus + 1);
    const auto named = [&](std::string_view modifier) {
        return modifiers.find(modifier) != std::string_view::npos;
    };
    return !key.empty() && press.ctrl == named("Ctrl+") && press.shift == named("Shift+") &&
           press.alt == named("Alt+") &&
           (sameIgnoringCase(press.key, key) ||
            (press.code.starts_with("Key") && sameIgnoringCase(press.code.substr(3), key)));
}

} // namespace

const CommandDeclaration* commandOfKey(const KeyPress& press, bool inResultBox) {
    for (const CommandDeclaration& c : kCommands)
        if ((inResultBox || c.scope == CommandScope::window) && matches(c.shortcut, press))
            return &c;
    return nullptr;
}

std::string plainCaption(std::string_view caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

std::span<const TextBox> resultBoxes() {
    static const std::vector<TextBox> boxes = [] {
        std::vector<TextBox> found;
        for (const MethodEntry& method : builtInMethods())
            found.push_back(method.box);
        return found;
    }();
    return boxes;
}

std::vector<DialogCaptions> dialogCaptions() {
    DialogCaptions accuracy{"accuracy", {caption::kSideBySideTab, caption::kReportTab}};
    for (const Command id : kAccuracyViewCommands)
        accuracy.captions.push_back(declarationOf(id).caption);
    accuracy.captions.push_back(caption::kClose);
    return {std::move(accuracy),
            {"steps", {caption::kCopySteps, caption::kClose}},
            {"progress", {caption::kCancel}}};
}

std::optional<char> mnemonicOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        ++i;
    }
    return std::nullopt;
}

std::string accuracyTitle() {
    return "Accuracy \u2014 " + std::string(window::kProgramTitle);
}

} // namespace lse
