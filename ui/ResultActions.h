#pragma once

#include "CommandActions.h"
#include "MainWindow.h"

#include <QObject>

class QPlainTextEdit;

namespace lse::ui {

// Each result box's context menu: the box's own items, then Accuracy…, Copy Solution, Steps…,
// Compute Exact Solution and Save Results…, acting for that box.
class ResultActions final : public QObject {
    Q_OBJECT

public:
    ResultActions(MainWindow& window, CommandActions& commands);

private:
    void showContextMenu(QPlainTextEdit* box, TextBox name, const QPoint& position);

    CommandActions& commands_;
};

} // namespace lse::ui
