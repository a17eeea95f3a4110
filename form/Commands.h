#pragma once

#include "Platform.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lse {

// What the commands ask of the window's state to tell whether each has something to do now:
// the window's logic answers, and the declarations below need know nothing more of it.
class CommandState {
public:
    // A system is entered, pasted, opened or dropped.
    virtual bool hasSystem() const = 0;
    // The last Calculate left a report.
    virtual bool calculated() const = 0;
    virtual bool exactPending() const = 0;
    virtual bool refinePending() const = 0;
    // The result box `box` shows its method's solution.
    virtual bool showsSolution(TextBox box) const = 0;
    // The method of the result box `box` ran in the last Calculate, solved or not.
    virtual bool methodRan(TextBox box) const = 0;

protected:
    ~CommandState() = default;
};

// The window's commands beside its two buttons, declared once: the desktop binds a QAction to
// each, the page a key and a button, so that both name, caption, key and enable them alike.
enum class Command {
    accuracy,
    copySolution,
    computeExact,
    refineSolution,
    copyTable,
    copyText,
    pasteSystem,
    openSystem,
    saveSystem,
    saveResults,
    steps,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::steps) + 1;

// Where a command's key is heard: anywhere in the window, or in a result box, where it acts
// for that box's method.
enum class CommandScope { window, resultBox };

struct CommandDeclaration {
    Command id;
    std::string_view name; // Qt's object name; the page's class
    // An '&' marks the mnemonic's letter, as Qt reads it; the page and menus show it plain.
    std::string_view caption;
    std::string_view shortcut; // portable text ("Ctrl+Shift+C"); empty for none
    CommandScope scope;
    // Whether the command has something to do now; `box` is the result box asked about, for a
    // command of a result box.
    bool (*enabled)(const CommandState& state, std::optional<TextBox> box);
    // It runs as long work, with a progress display: a platform whose view cannot stay open
    // meanwhile (the page) closes the view to run it (Platform::showView).
    bool longWork = false;
};

std::span<const CommandDeclaration> commands();
const CommandDeclaration& declarationOf(Command id);
// The command called `name`, or null.
const CommandDeclaration* findCommand(std::string_view name);
bool isEnabled(Command id, const CommandState& state, std::optional<TextBox> box = std::nullopt);

// A key pressed, as a browser names it: what it types ("c", "C") and, for a layout whose
// letters differ, its place as the US layout names it ("KeyC"); Ctrl stands for Cmd as well.
struct KeyPress {
    std::string_view key;
    std::string_view code;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};
// The command whose shortcut `press` is, with every modifier as named: a result box's only
// where pressed `inResultBox`. Null for none.
const CommandDeclaration* commandOfKey(const KeyPress& press, bool inResultBox);

// `caption` without its mnemonic mark ("&&" stays one '&').
std::string plainCaption(std::string_view caption);

// The boxes where a result box's command is heard: each built-in method's.
std::span<const TextBox> resultBoxes();

// Where a command appears besides its key, in the order it appears there: a new command is
// its declaration and its place in these lists; the front ends build their menus and buttons
// from them.
// A result box's context menu (the desktop's; the page has the keys).
inline constexpr Command kResultBoxMenu[] = {Command::accuracy,       Command::copySolution,
                                             Command::steps,          Command::computeExact,
                                             Command::refineSolution, Command::saveResults};
// The Input Matrix box's context menu (the desktop's).
inline constexpr Command kSystemBoxMenu[] = {Command::pasteSystem, Command::openSystem,
                                             Command::saveSystem};
// The accuracy view's buttons beside its Close; on the page the long ones stand after Close.
inline constexpr Command kAccuracyViewCommands[] = {Command::copyText, Command::copyTable,
                                                    Command::refineSolution, Command::computeExact};
// Its title.
std::string accuracyTitle();

// The captions of the dialogs' buttons and tabs that are no command, each with its mnemonic.
// Qt's own texts for Close and Cancel are replaced by these: some desktops' themes give them a
// mnemonic of their own ("&Close"), which would share Alt+C with Copy.
namespace caption {
inline constexpr std::string_view kSideBySideTab = "Side by &Side";
inline constexpr std::string_view kReportTab = "Re&port";
inline constexpr std::string_view kCopySteps = "&Copy";
inline constexpr std::string_view kClose = "C&lose";
inline constexpr std::string_view kCancel = "&Cancel";
} // namespace caption

// Each of the window's own dialogs and the captions of all its buttons and tabs, the
// commands' among them: within a dialog no two may share a mnemonic.
struct DialogCaptions {
    std::string_view dialog; // its object name
    std::vector<std::string_view> captions;
};
std::vector<DialogCaptions> dialogCaptions();

// The letter that `caption`'s '&' marks, in lower case; none without one ("&&" is an '&').
std::optional<char> mnemonicOf(std::string_view caption);

} // namespace lse
