#include "SaveDialog.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>

namespace lse::ui {

QString chooseSavePath(QWidget* parent, const QAction& command, const QString& filter,
                       const QString& suffix, QString& folder) {
    // Titled by the command, without the ellipsis that promised this dialog.
    QString title = command.text();
    if (title.endsWith(QChar(0x2026)))
        title.chop(1);
    QFileDialog dialog(parent, title, folder, filter + ";;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    folder = QFileInfo(path).absolutePath();
    return path;
}

} // namespace lse::ui
