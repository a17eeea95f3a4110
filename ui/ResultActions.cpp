#include "ResultActions.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

namespace lse::ui {

ResultActions::ResultActions(MainWindow& window, CommandActions& commands)
    : QObject(&window), commands_(commands) {
    for (const TextBox name : resultBoxes()) {
        auto* const box = window.findChild<QPlainTextEdit*>(
            QString::fromUtf8(window::nameOf(name).data(), window::nameOf(name).size()));
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(
            box, &QWidget::customContextMenuRequested, this,
            [this, box, name](const QPoint& position) { showContextMenu(box, name, position); });
    }
}

void ResultActions::showContextMenu(QPlainTextEdit* box, TextBox name, const QPoint& position) {
    QMenu* const menu = box->createStandardContextMenu();
    menu->setObjectName(box->objectName() + "Menu");
    menu->addSeparator();
    for (const Command command : kResultBoxMenu)
        menu->addAction(commands_.action(command));
    commands_.setMenuBox(name);
    menu->exec(box->mapToGlobal(position));
    commands_.setMenuBox(std::nullopt);
    delete menu;
}

} // namespace lse::ui
