#pragma once

#include "Platform.h"

#include <QDialog>

#include <chrono>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lse::ui {

// What a long run shows while it lasts: what runs, how far it is (elimination columns, MB
// read), the time so far, and Cancel. Cancel, Esc and the close box ask the work to stop; the
// dialog stays until it has.
class ProgressDialog final : public QDialog {
    Q_OBJECT

public:
    ProgressDialog(QWidget* parent, WorkStatus& status);

    // Shows the status as it now stands, `elapsed` after the work began.
    void refresh(std::chrono::steady_clock::duration elapsed);

    QLabel* label{};
    QProgressBar* bar{};
    QPushButton* cancelButton{};

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void requestCancel();

    WorkStatus& status_;
};

// Runs `work` on a thread of its own and returns once it has ended, rethrowing what it threw.
// Meanwhile the window's thread runs an event loop, so that the window keeps painting: for
// `quietTime` without taking user input (a quick run passes as an instant), then under the
// ProgressDialog, modal over `parent`. Where no thread can be had the work runs here.
void runWithProgress(QWidget& parent, const std::function<void()>& work, WorkStatus& status,
                     std::chrono::milliseconds quietTime);

} // namespace lse::ui
