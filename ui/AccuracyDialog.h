#pragma once

#include "CommandActions.h"
#include "frmCholesky.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace lse::ui {

// The accuracy view of the last Calculate: the form's text, read-only but selectable with the
// keyboard, with a button for each of the view's commands (Copy, Copy as Tab-Separated,
// Compute Exact Solution), which act through the window's actions, and Close.
class AccuracyDialog final : public QDialog {
    Q_OBJECT

public:
    AccuracyDialog(QWidget* parent, frmCholesky& form, CommandActions& commands);

    // Solves exactly and shows the answer.
    void computeExact();

    QPlainTextEdit* view{};
    QPushButton* copyButton{};
    QPushButton* copyTableButton{};
    QPushButton* exactButton{};
    QPushButton* closeButton{};

private:
    void refresh();

    frmCholesky& form_;
    CommandActions& commands_;
};

} // namespace lse::ui
