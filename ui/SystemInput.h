#pragma once

#include "CommandActions.h"
#include "MainWindow.h"
#include "frmCholesky.h"

#include <QObject>
#include <QString>

class QAction;
class QMimeData;

namespace lse::ui {

// The Input Matrix box's tooltip, with the keys as the commands declare them.
QString systemToolTip();

// The ways a system comes into the window besides typing: Paste System (Ctrl+Shift+V
// anywhere in the window) and Open System… (Ctrl+O), both also in the Input Matrix box's
// context menu, and a file or a text dropped anywhere on the window; and the way it leaves,
// Save System… (Ctrl+S, in that menu too). The logic that reads, adopts and writes the system
// is the form's.
class SystemInput final : public QObject {
    Q_OBJECT

public:
    SystemInput(MainWindow& window, frmCholesky& form, CommandActions& commands);

    QAction* pasteAction{};
    QAction* openAction{};
    QAction* saveAction{};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showContextMenu(const QPoint& position);
    // The local file or the text that a drag from outside the program carries; empty when it
    // brings neither.
    static QString droppedFile(const QMimeData& data);
    static bool canDrop(const QMimeData& data);

    MainWindow& window_;
    frmCholesky& form_;
    CommandActions& commands_;
};

} // namespace lse::ui
