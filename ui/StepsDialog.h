#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace lse::ui {

// Steps…: how one method solved the system, as the form writes it, with Copy and Close. Where
// the same steps in exact fractions are known, they stand beside those in doubles, step by
// step, in a second view that scrolls with the first; Copy copies `copyText`.
class StepsDialog final : public QDialog {
    Q_OBJECT

public:
    StepsDialog(QWidget* parent, const QString& title, const QString& text,
                const QString& fractions, const QString& fractionsTitle, const QString& copyText);

    QPlainTextEdit* view{};
    QPlainTextEdit* fractionsView{}; // null when there are no fraction steps
    QPushButton* copyButton{};
    QPushButton* closeButton{};
};

} // namespace lse::ui
