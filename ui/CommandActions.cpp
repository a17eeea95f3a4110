#include "CommandActions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>

namespace lse::ui {

namespace {

QString qString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPlainTextEdit* widgetOf(MainWindow& window, TextBox box) {
    return window.findChild<QPlainTextEdit*>(qString(window::nameOf(box)));
}

} // namespace

CommandActions::CommandActions(MainWindow& window, frmCholesky& form)
    : QObject(&window), window_(window), form_(form) {
    for (const CommandDeclaration& command : commands()) {
        // Menus have shown their items without mnemonics; the view's buttons keep theirs.
        auto* const action = new QAction(qString(plainCaption(command.caption)), &window);
        action->setObjectName(qString(command.name));
        action->setShortcut(QKeySequence(qString(command.shortcut), QKeySequence::PortableText));
        if (command.scope == CommandScope::window) {
            action->setShortcutContext(Qt::WindowShortcut);
            window.addAction(action);
        } else {
            action->setShortcutContext(Qt::WidgetShortcut);
            for (const TextBox box : resultBoxes())
                widgetOf(window, box)->addAction(action);
        }
        actions_[static_cast<std::size_t>(command.id)] = action;
        connect(action, &QAction::triggered, this, [this, id = command.id] {
            form_.execute(id, resultBox());
            refresh();
        });
    }
    // What a result box's command may do depends on the box, and the boxes show what a
    // Calculate, a Submit or a load changed.
    connect(qApp, &QApplication::focusChanged, this, &CommandActions::refresh);
    for (const TextBox box : resultBoxes())
        connect(widgetOf(window, box), &QPlainTextEdit::textChanged, this,
                &CommandActions::refresh);
    refresh();
}

void CommandActions::bindButton(QAbstractButton* button, Command id) {
    const CommandDeclaration& command = declarationOf(id);
    QAction* const source = action(id);
    button->setText(qString(command.caption));
    button->setObjectName(qString(command.name));
    button->setAccessibleName(source->text());
    button->setEnabled(source->isEnabled());
    connect(source, &QAction::changed, button,
            [button, source] { button->setEnabled(source->isEnabled()); });
    connect(button, &QAbstractButton::clicked, source, &QAction::trigger);
}

void CommandActions::setMenuBox(std::optional<TextBox> box) {
    menuBox_ = box;
    refresh();
}

std::optional<TextBox> CommandActions::resultBox() const {
    if (menuBox_)
        return menuBox_;
    for (const TextBox box : resultBoxes())
        if (widgetOf(window_, box)->hasFocus())
            return box;
    return std::nullopt;
}

void CommandActions::refresh() {
    for (const CommandDeclaration& command : commands())
        action(command.id)->setEnabled(command.enabled(form_, resultBox()));
}

} // namespace lse::ui
