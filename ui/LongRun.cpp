#include "LongRun.h"

#include "Commands.h"
#include "Messages.h"
#include "QtPlatform.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace lse::ui {

namespace {

using Clock = std::chrono::steady_clock;

// Often enough for the time to move smoothly in tenths of a second.
constexpr std::chrono::milliseconds kRefreshInterval{100};

} // namespace

ProgressDialog::ProgressDialog(QWidget* parent, WorkStatus& status)
    : QDialog(parent), status_(status) {
    setObjectName("progress");
    setWindowTitle(kProgramTitle);
    setWindowModality(Qt::ApplicationModal);
    label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 48);
    bar = new QProgressBar(this);
    auto* const buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancelButton = buttons->button(QDialogButtonBox::Cancel);
    cancelButton->setText(QString::fromUtf8(caption::kCancel.data(),
                                            static_cast<qsizetype>(caption::kCancel.size())));
    connect(buttons, &QDialogButtonBox::rejected, this, &ProgressDialog::requestCancel);
    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->addWidget(buttons);
    refresh(Clock::duration::zero());
}

void ProgressDialog::refresh(Clock::duration elapsed) {
    const int total = status_.total;
    const int done = status_.done;
    // Without a count the bar only shows that the work goes on.
    bar->setRange(0, std::max(total, 0));
    bar->setValue(std::min(done, total));
    label->setText(QString::fromStdString(messages::progressText(
        status_, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed))));
}

void ProgressDialog::requestCancel() {
    status_.cancel = true;
    cancelButton->setEnabled(false);
}

void ProgressDialog::reject() {
    requestCancel();
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
    requestCancel();
    event->ignore();
}

void runWithProgress(QWidget& parent, const std::function<void()>& work, WorkStatus& status,
                     std::chrono::milliseconds quietTime) {
    const Clock::time_point start = Clock::now();
    std::mutex mutex;
    bool finished = false;
    std::exception_ptr error;
    // Runs while the work does, so that the window goes on painting: first without user input
    // for the quiet time, then under the progress dialog. The work's end quits it at once.
    QEventLoop loop;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex);
                finished = true;
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        work();
        return;
    }
    const auto hasFinished = [&] {
        const std::lock_guard lock(mutex);
        return finished;
    };
    // A quick run passes as an instant: the window paints, but takes no input meanwhile.
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(quietTime);
    if (!hasFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    quiet.stop();
    if (!hasFinished()) {
        ProgressDialog dialog(&parent, status);
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &dialog,
                         [&] { dialog.refresh(Clock::now() - start); });
        dialog.refresh(Clock::now() - start);
        dialog.show();
        timer.start(kRefreshInterval);
        if (!hasFinished())
            loop.exec();
        // The loop also ends when the program quits: the work is asked to stop, not left
        // running on a window that is going away.
        if (!hasFinished())
            status.cancel = true;
    }
    worker.join();
    if (error)
        std::rethrow_exception(error);
}

} // namespace lse::ui
