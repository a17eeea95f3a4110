#pragma once

#include "Commands.h"
#include "MainWindow.h"
#include "frmCholesky.h"

#include <QObject>

#include <array>
#include <optional>

class QAbstractButton;
class QAction;
class QPlainTextEdit;

namespace lse::ui {

// One QAction for each declared command, which menus and the accuracy view share: its caption,
// key and object name from the declaration, enabled while the form's state allows it, and
// bound to the form's operation for the command.
class CommandActions final : public QObject {
    Q_OBJECT

public:
    CommandActions(MainWindow& window, frmCholesky& form);

    QAction* action(Command id) const { return actions_[static_cast<std::size_t>(id)]; }
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
