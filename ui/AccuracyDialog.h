#pragma once

#include "frmCholesky.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace lse::ui {

// The accuracy view of the last Calculate: the form's text, read-only but selectable with the
// keyboard, with Copy, Copy as Tab-Separated, Compute Exact Solution and Close.
class AccuracyDialog final : public QDialog {
    Q_OBJECT

public:
    AccuracyDialog(QWidget* parent, frmCholesky& form);

    // Solves exactly, as the button does, and shows the answer.
    void computeExact();

    QPlainTextEdit* view{};
    QPushButton* copyButton{};
    QPushButton* copyTableButton{};
    QPushButton* exactButton{};
    QPushButton* closeButton{};

private:
    void refresh();

    frmCholesky& form_;
};

} // namespace lse::ui
