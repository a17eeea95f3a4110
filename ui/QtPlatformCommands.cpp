// The primitives the form's commands work through, on Qt: the clipboard, the file dialogs and
// the views, modal over the window.
#include "Commands.h"
#include "QtPlatform.h"
#include "SystemReader.h"
#include "ViewDialog.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include <utility>

namespace lse::ui {

namespace {

// "Systems (*.txt *.csv ...);;All files (*)".
QString systemFileFilter() {
    QStringList patterns;
    for (const std::string_view suffix : io::systemFileSuffixes())
        patterns << "*" + QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size()));
    return "Systems (" + patterns.join(' ') + ");;All files (*)";
}

QString qString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void QtPlatform::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

Task<std::optional<SystemOrigin>> QtPlatform::systemOrigin(Command command, std::string title) {
    if (command == Command::pasteSystem)
        co_return PastedText{QGuiApplication::clipboard()->text().toStdString()};
    const QString path = QFileDialog::getOpenFileName(&window_, QString::fromStdString(title),
                                                      lastFolder_, systemFileFilter());
    if (path.isEmpty())
        co_return std::nullopt;
    lastFolder_ = QFileInfo(path).absolutePath();
    co_return ChosenFile{path.toStdString()};
}

Task<SaveTarget> QtPlatform::chooseSave(const SavedFile& file, std::string title) {
    QFileDialog dialog(&window_, QString::fromStdString(title), lastFolder_,
                       qString(file.filter) + ";;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qString(file.suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        co_return SaveTarget{};
    const QString path = dialog.selectedFiles().front();
    lastFolder_ = QFileInfo(path).absolutePath();
    co_return SaveTarget{SaveTarget::Kind::path, path.toStdString()};
}

Task<> QtPlatform::showView(const View& view) {
    ViewDialog dialog(&window_, view, *commands);
    ViewDialog* const outer = std::exchange(openView_, &dialog);
    dialog.exec();
    openView_ = outer;
    co_return;
}

void QtPlatform::refreshView(const View& view) {
    if (openView_ && openView_->objectName() == QString::fromStdString(view.name))
        openView_->refresh(view);
}

} // namespace lse::ui
