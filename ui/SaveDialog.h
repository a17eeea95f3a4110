#pragma once

#include <QString>

class QAction;
class QWidget;

namespace lse::ui {

// The path a save command's file dialog returns, titled by the command; empty when the user
// cancels. `filter` names the file type and `suffix` is added to a name typed without one.
// `folder` is where the dialog starts, and afterwards the folder chosen.
QString chooseSavePath(QWidget* parent, const QAction& command, const QString& filter,
                       const QString& suffix, QString& folder);

} // namespace lse::ui
