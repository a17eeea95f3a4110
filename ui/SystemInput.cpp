#include "SystemInput.h"

#include <QAction>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

namespace lse::ui {

namespace {

QString shortcutOf(Command id) {
    return QString::fromUtf8(declarationOf(id).shortcut.data(),
                             static_cast<qsizetype>(declarationOf(id).shortcut.size()));
}

} // namespace

QString systemToolTip() {
    return "A system can also be pasted here (" + shortcutOf(Command::pasteSystem) +
           "), opened from a file (" + shortcutOf(Command::openSystem) +
           ") or dropped on the window: n rows of n + 1 numbers with b last, as a spreadsheet "
           "copies them; n, then A row by row, then b; or a NumPy array of n rows of n + 1.";
}

SystemInput::SystemInput(MainWindow& window, frmCholesky& form, CommandActions& commands)
    : QObject(&window), window_(window), form_(form), commands_(commands) {
    pasteAction = commands.action(Command::pasteSystem);
    openAction = commands.action(Command::openSystem);
    saveAction = commands.action(Command::saveSystem);

    window.display->setToolTip(systemToolTip());
    window.display->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window.display, &QWidget::customContextMenuRequested, this,
            &SystemInput::showContextMenu);

    // Drags go to the widget under the pointer that accepts drops: a text box's viewport, the
    // count box, or else the window itself.
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    window.Textn->installEventFilter(this);
    for (QPlainTextEdit* const box :
         {window.display, window.txtVector, window.txtGauss, window.txtCholesky})
        box->viewport()->installEventFilter(this);
}

void SystemInput::showContextMenu(const QPoint& position) {
    QMenu* const menu = window_.display->createStandardContextMenu();
    menu->setObjectName("displayMenu");
    menu->addSeparator();
    for (const Command command : kSystemBoxMenu)
        menu->addAction(commands_.action(command));
    menu->exec(window_.display->mapToGlobal(position));
    delete menu;
}

QString SystemInput::droppedFile(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    if (urls.size() == 1 && urls.front().isLocalFile())
        return urls.front().toLocalFile();
    return {};
}

// One local file, or a text; several files at once are not taken, nor a remote address.
bool SystemInput::canDrop(const QMimeData& data) {
    if (data.hasUrls())
        return !droppedFile(data).isEmpty();
    return data.hasText();
}

bool SystemInput::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* const drop = static_cast<QDropEvent*>(event);
    // A drag that starts in the program, such as text moved within a box, stays the box's own.
    if (drop->source() != nullptr)
        return QObject::eventFilter(watched, event);
    // From outside, the whole window takes a system or nothing: a box does not take the text.
    if (!canDrop(*drop->mimeData())) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // Read once the drop is over, so that a message box does not hold up the dragging
        // program.
        const QString file = droppedFile(*drop->mimeData());
        const std::string text = drop->mimeData()->text().toStdString();
        QMetaObject::invokeMethod(
            this,
            [this, file, text] {
                if (file.isEmpty())
                    form_.loadSystemText(text);
                else
                    form_.loadSystemFile(file.toStdString());
            },
            Qt::QueuedConnection);
    }
    return true;
}

} // namespace lse::ui
