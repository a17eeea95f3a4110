#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace lse::ui {

// Steps…: how one method solved the system, as the form writes it, with Copy and Close.
class StepsDialog final : public QDialog {
    Q_OBJECT

public:
    StepsDialog(QWidget* parent, const QString& title, const QString& text);

    QPlainTextEdit* view{};
    QPushButton* copyButton{};
    QPushButton* closeButton{};
};

} // namespace lse::ui
