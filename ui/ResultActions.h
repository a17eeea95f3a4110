#pragma once

#include "CommandActions.h"
#include "MainWindow.h"
#include "frmCholesky.h"

#include <QObject>

class QAction;
class QPlainTextEdit;

namespace lse::ui {

class AccuracyDialog;

// What the result boxes offer besides their text, in each box's context menu: Accuracy… (also
// Ctrl+I anywhere in the window), Copy Solution (the method's own doubles, also Ctrl+Shift+C in
// the box), Steps… (also Ctrl+Shift+E in the box), Compute Exact Solution and Save Results…
// (also Ctrl+Shift+S), for the last Calculate; and what the accuracy view's buttons do.
class ResultActions final : public QObject {
    Q_OBJECT

public:
    ResultActions(MainWindow& window, frmCholesky& form, CommandActions& commands);

    QAction* accuracyAction{};

    // The accuracy view, modal over the window; with the exact solution computed first when
    // `computeExact`.
    void showAccuracy(bool computeExact = false);
    // Copy Solution for the box: the clipboard gets the doubles behind it.
    void copySolution(TextBox box);
    // Steps… for the box: its method's steps in the last Calculate, in a modal view.
    void showSteps(TextBox box);

private:
    void showContextMenu(QPlainTextEdit* box, TextBox name, const QPoint& position);
    // In the open view, or in a view opened for it.
    void computeExact();
    void saveResults();

    MainWindow& window_;
    frmCholesky& form_;
    CommandActions& commands_;
    AccuracyDialog* view_{};
    QString lastFolder_;
};

} // namespace lse::ui
