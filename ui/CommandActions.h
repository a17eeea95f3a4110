#pragma once

#include "Commands.h"
#include "MainWindow.h"
#include "frmCholesky.h"

#include <QObject>

#include <array>
#include <functional>
#include <optional>

class QAbstractButton;
class QAction;
class QPlainTextEdit;

namespace lse::ui {

// One QAction for each declared command, which menus and the accuracy view share: its caption,
// key and object name from the declaration, enabled while the form's state allows it and
// acting only then, since a key may come before the state is looked at again.
class CommandActions final : public QObject {
    Q_OBJECT

public:
    CommandActions(MainWindow& window, frmCholesky& form);

    QAction* action(Command id) const { return actions_[static_cast<std::size_t>(id)]; }
    // What the command does when triggered while enabled.
    void bind(Command id, std::function<void()> run);
    // The button takes the caption with its mnemonic, follows the action's enabled state and
    // triggers it.
    void bindButton(QAbstractButton* button, Command id);

    // A result box's command acts for the box whose menu is open, else for the focused one.
    void setMenuBox(std::optional<TextBox> box);
    std::optional<TextBox> resultBox() const;
    // Enables each action as the form's state now allows.
    void refresh();

private:
    MainWindow& window_;
    frmCholesky& form_;
    std::array<QAction*, kCommandCount> actions_{};
    std::optional<TextBox> menuBox_;
};

} // namespace lse::ui
