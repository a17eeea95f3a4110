#pragma once

#include "MainWindow.h"
#include "frmCholesky.h"

#include <QObject>

class QAction;
class QPlainTextEdit;

namespace lse::ui {

// What the result boxes offer besides their text, in each box's context menu: Accuracy… (also
// Ctrl+I anywhere in the window), Copy Solution (the method's own doubles) and Compute Exact
// Solution, for the last Calculate.
class ResultActions final : public QObject {
    Q_OBJECT

public:
    ResultActions(MainWindow& window, frmCholesky& form);

    QAction* accuracyAction{};

    // The accuracy view, modal over the window; with the exact solution computed first when
    // `computeExact`.
    void showAccuracy(bool computeExact = false);
    // Copy Solution for the box: the clipboard gets the doubles behind it.
    void copySolution(TextBox box);

private:
    void showContextMenu(QPlainTextEdit* box, TextBox name, const QPoint& position);

    MainWindow& window_;
    frmCholesky& form_;
};

} // namespace lse::ui
