// Each declared command enabled as the form's state allows, against the expectations the page's
// tests share, and how a caption's mnemonic is read.

#include "Commands.h"
#include "ExactSolution.h"
#include "FormSession.h"
#include "InProcessExact.h"
#include "TestFiles.h"
#include "WindowLayout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace lse::test {
namespace {

struct Expected {
    std::string title;
    struct State {
        std::string name, box;
        std::set<std::string> enabled;
    };
    std::vector<State> states;
};

Expected readExpected() {
    std::istringstream lines(fileContents(testFile("../support/commandStates.txt")));
    Expected expected;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string state, box;
        words >> state;
        if (state == "title:") {
            std::getline(words >> std::ws, expected.title);
            continue;
        }
        words >> box;
        Expected::State s{state.substr(0, state.size() - 1), box.substr(0, box.size() - 1), {}};
        for (std::string name; words >> name;)
            s.enabled.insert(name);
        expected.states.push_back(std::move(s));
    }
    return expected;
}

TEST(Commands, EachIsEnabledAsTheStateAllows) {
    const Expected expected = readExpected();
    ASSERT_EQ(expected.states.size(), 4u);
    EXPECT_EQ(accuracyTitle(), expected.title);
    FormSession s;
    s.platform.exactSolver = InProcessExact{};
    for (const Expected::State& state : expected.states) {
        SCOPED_TRACE(state.name + " in " + state.box);
        if (state.name == "calculated" && s.form.report().empty()) {
            s.submitDefault();
            s.calculate(Gauss);
        } else if (state.name == "exact" && s.form.exactPending()) {
            ASSERT_TRUE(runAtOnce(s.form.computeExact()));
        }
        const std::optional<TextBox> box =
            state.box == "txtGauss" ? TextBox::txtGauss : TextBox::txtCholesky;
        for (const CommandDeclaration& command : commands())
            EXPECT_EQ(isEnabled(command.id, s.form, box),
                      state.enabled.contains(std::string(command.name)))
                << command.name;
        // Asked for no box, a result box's command has nothing to act on.
        EXPECT_FALSE(isEnabled(Command::copySolution, s.form));
    }
}

TEST(Commands, NamesAreUniqueAndCaptionsLoseOnlyTheirMnemonicMark) {
    std::set<std::string_view> names;
    for (const CommandDeclaration& command : commands()) {
        EXPECT_TRUE(names.insert(command.name).second) << command.name;
        EXPECT_EQ(&declarationOf(command.id), &command);
        EXPECT_EQ(findCommand(command.name), &command);
    }
    EXPECT_EQ(names.size(), kCommandCount);
    EXPECT_EQ(plainCaption("Copy as &Tab-Separated"), "Copy as Tab-Separated");
    EXPECT_EQ(plainCaption("Fish && &Chips"), "Fish & Chips");
    EXPECT_EQ(plainCaption("Accuracy\u2026"), "Accuracy\u2026");
}

// Alt and a letter must reach one control of the dialog open: each button and tab of every
// dialog, the commands' among them, has a mnemonic of its own.
TEST(Commands, NoDialogHasTwoControlsOnOneMnemonic) {
    const std::vector<DialogCaptions> dialogs = dialogCaptions();
    EXPECT_EQ(dialogs.size(), 3u);
    for (const DialogCaptions& dialog : dialogs) {
        std::map<char, std::string_view> taken;
        for (const std::string_view caption : dialog.captions) {
            const std::optional<char> mnemonic = mnemonicOf(caption);
            if (!mnemonic) {
                ADD_FAILURE() << dialog.dialog << ": \"" << caption << "\" has no mnemonic";
                continue;
            }
            const auto [at, fresh] = taken.emplace(*mnemonic, caption);
            EXPECT_TRUE(fresh) << dialog.dialog << ": \"" << caption << "\" and \"" << at->second
                               << "\" share Alt+" << *mnemonic;
        }
    }
    EXPECT_EQ(mnemonicOf("&Refine Solution"), 'r');
    EXPECT_EQ(mnemonicOf("Fish && &Chips"), 'c');
    EXPECT_EQ(mnemonicOf("Fish && Chips"), std::nullopt);
    EXPECT_EQ(mnemonicOf("Trailing&"), std::nullopt);
}

// Every modifier must be as the shortcut names it; the key matches by what it types, in either
// case, or by its place where the layout's letters differ.
TEST(Commands, AKeyIsTheCommandItsShortcutNamesWhereItIsHeard) {
    const struct {
        KeyPress press;
        bool inResultBox;
        std::string_view expected; // empty: no command
    } cases[] = {
        {{"i", "KeyI", true}, false, "accuracy"},
        {{"I", "KeyI", true, true}, false, ""},
        {{"i", "KeyI", true, false, true}, false, ""},
        {{"i", "KeyI"}, false, ""},
        {{"C", "KeyC", true, true}, true, "copySolution"},
        {{"C", "KeyC", true, true}, false, ""},
        {{"\xd1\x81", "KeyC", true, true}, true, "copySolution"},
        {{"o", "Digit0", true}, false, "openSystem"},
        {{"S", "KeyS", true, true}, false, "saveResults"},
        {{"s", "KeyS", true}, false, "saveSystem"},
        {{"Control", "ControlLeft", true}, true, ""},
        {{"", "", true, true}, true, ""},
    };
    for (const auto& c : cases) {
        const CommandDeclaration* command = commandOfKey(c.press, c.inResultBox);
        EXPECT_EQ(command ? command->name : "", c.expected)
            << c.press.key << " " << c.press.code << (c.inResultBox ? " in a result box" : "");
    }
}

} // namespace
} // namespace lse::test
