// The primitives the form's commands work through, on Qt: the clipboard, the file dialogs and
// the views, modal over the window.
#include "AccuracyDialog.h"
#include "Commands.h"
#include "QtPlatform.h"
#include "StepsDialog.h"
#include "SystemReader.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

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

std::optional<SystemOrigin> QtPlatform::systemOrigin(Command command, const std::string& title) {
    if (command == Command::pasteSystem)
        return PastedText{QGuiApplication::clipboard()->text().toStdString()};
    const QString path = QFileDialog::getOpenFileName(&window_, QString::fromStdString(title),
                                                      lastFolder_, systemFileFilter());
    if (path.isEmpty())
        return std::nullopt;
    lastFolder_ = QFileInfo(path).absolutePath();
    return ChosenFile{path.toStdString()};
}

SaveTarget QtPlatform::chooseSave(const SavedFile& file, const std::string& title) {
    QFileDialog dialog(&window_, QString::fromStdString(title), lastFolder_,
                       qString(file.filter) + ";;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qString(file.suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    lastFolder_ = QFileInfo(path).absolutePath();
    return {SaveTarget::Kind::path, path.toStdString()};
}

ViewEnding QtPlatform::showAccuracy(const CalculateReport& report) {
    AccuracyDialog dialog(&window_, report, *commands);
    accuracyView_ = &dialog;
    dialog.exec();
    accuracyView_ = nullptr;
    return std::nullopt;
}

void QtPlatform::refreshAccuracy(const CalculateReport&) {
    if (accuracyView_)
        accuracyView_->refresh();
}

void QtPlatform::showSteps(const StepsView& view) {
    StepsDialog dialog(&window_, QString::fromStdString(view.title),
                       QString::fromStdString(view.doubles), QString::fromStdString(view.fractions),
                       QString::fromStdString(view.fractionsTitle),
                       QString::fromStdString(view.copy));
    dialog.exec();
}

} // namespace lse::ui
