#include "DialogAnswerer.h"
#include "FormSession.h"
#include "LargeInputs.h"
#include "LongRun.h"
#include "NumberText.h"
#include "ShownWindow.h"
#include "Systems.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace lse::test {
namespace {

using namespace std::chrono_literals;
using A = DialogAnswerer;

// n equations as rows with b last: symmetric and positive definite, singular (two equal
// rows), or symmetric but indefinite.
enum class Kind { definite, singular, indefinite };
std::string rowsSystem(int n, Kind kind) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        const int row = kind == Kind::singular && i == n ? n - 1 : i;
        for (int j = 1; j <= n; ++j) {
            const bool diagonal = row == j;
            const double value = diagonal ? (kind == Kind::indefinite && j == n ? -4 : 4)
                                 : (row - j == 1 || j - row == 1) ? 1.0 / 3
                                                                  : 0;
            text += doubleToText(value, Digits::roundTrip) + " ";
        }
        text += std::to_string(row) + "\n";
    }
    return text;
}

// Holds the solve (or the reading) at each progress report until the window's thread lets it
// on, so that a run lasts as long as the test needs, however fast the machine.
class Gate {
public:
    // On the working thread.
    void pass() {
        std::unique_lock lock(mutex_);
        waiting_ = true;
        changed_.wait_for(lock, 60s, [&] { return open_ || released_; });
        open_ = false;
        waiting_ = false;
    }
    bool waiting() {
        const std::lock_guard lock(mutex_);
        return waiting_;
    }
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // Open for every pass to come.
    void release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
    bool open_ = false;
    bool released_ = false;
};

// Counts the progress dialogs that open, with the text each showed first.
class ProgressWatcher : public QObject {
public:
    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }
    std::vector<QString> shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* const dialog = qobject_cast<ui::ProgressDialog*>(watched))
                shown.push_back(dialog->label->text());
        return false;
    }
};

ui::ProgressDialog* openProgress() {
    return qobject_cast<ui::ProgressDialog*>(QApplication::activeModalWidget());
}

class LongCalculate : public ShownWindow {
protected:
    // Every run is held at each of its progress reports until its dialog is open, so that a
    // run shows its dialog however fast the machine; `whileOpen` is then called with it.
    void holdRunsUntilTheirDialogOpens(std::function<void(ui::ProgressDialog&)> whileOpen = {}) {
        form.solveOptions.progress = [this](int, int) { gate.pass(); };
        QObject::connect(&ticker, &QTimer::timeout, [this, whileOpen] {
            ui::ProgressDialog* const dialog = openProgress();
            if (!dialog || !gate.waiting())
                return;
            if (whileOpen)
                whileOpen(*dialog);
            gate.open();
        });
        ticker.start(2);
    }

    void calculate(Choice choice) {
        QTest::mouseClick(window.Option1[static_cast<std::size_t>(choice)], Qt::LeftButton);
        QTest::mouseClick(window.Start, Qt::LeftButton);
    }

    frmCholesky& form = calculator.form;
    Gate gate;
    QTimer ticker;
};

// Off the window's thread, with the dialog shown for every run, the boxes, the messages in
// their order and the bits are those of the same Calculate run in place.
TEST_F(LongCalculate, SameTextsMessagesAndBitsAsInPlace) {
    platform.quietTime = 0ms;
    holdRunsUntilTheirDialogOpens();
    struct Case {
        Kind kind;
        Choice choice;
        std::vector<ShownMessage> messages;
        // Runs held at a progress report, whose dialogs must open; a run that ends before its
        // first report (the Cholesky of the singular system, which is not symmetric) shows
        // its dialog only when the window's thread gets there first.
        std::size_t held;
    };
    for (const Case& c : {Case{Kind::definite, Both, {}, 2}, Case{Kind::definite, Gauss, {}, 1},
                          Case{Kind::definite, Cholesky, {}, 1},
                          Case{Kind::singular, Both, {kGaussFailed, kCholeskyFailed}, 1},
                          Case{Kind::indefinite, Both, {kCholeskyFailed}, 2}}) {
        const std::string system = rowsSystem(300, c.kind);
        SCOPED_TRACE(std::to_string(static_cast<int>(c.kind)) + " " + std::to_string(c.choice));
        FormSession inPlace;
        inPlace.paste(system);
        inPlace.calculate(c.choice);
        ASSERT_EQ(inPlace.platform.messages, c.messages);

        form.loadSystemText(system);
        DialogAnswerer answerer{A::ok(), A::ok()};
        const ProgressWatcher progress;
        calculate(c.choice);
        EXPECT_GE(progress.shown.size(), c.held);
        EXPECT_LE(progress.shown.size(), c.choice == Both ? 2u : 1u);
        ASSERT_EQ(answerer.seen.size(), c.messages.size());
        for (std::size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(answerer.seen[i].text.toStdString(), c.messages[i].text);
            EXPECT_EQ(answerer.seen[i].title.toStdString(), c.messages[i].title.value_or("Lineq"));
        }
        for (const TextBox box : {TextBox::txtGauss, TextBox::txtCholesky})
            EXPECT_EQ(text(box), inPlace.box(box));
        ASSERT_EQ(form.x().upper(), inPlace.form.x().upper());
        for (int i = 1; i <= form.x().upper(); ++i)
            ASSERT_EQ(bits(form.x()(i)), bits(inPlace.form.x()(i))) << i;
    }
}

// A solve held for as long as it takes the window's timer to tick 20 times: the progress
// dialog shows the columns and the time, the window repaints and a click on Calculate or
// Submit, or a paste, starts nothing.
TEST_F(LongCalculate, TheWindowAnswersWhileASolveRuns) {
    // A run that ends within the quiet time shows no dialog. The quiet time is stretched to a
    // minute: whether the default system's solve, microseconds of work, ends within a quarter
    // of a second is up to the scheduler of a loaded machine, which may leave its thread
    // waiting that long. (Nor is the dialog of a long run timed against the quiet time: Qt's
    // coarse timers may fire 5 % early, which a user cannot see.)
    {
        const std::chrono::milliseconds quietTime = platform.quietTime;
        platform.quietTime = 1min;
        const ProgressWatcher quick;
        window.chkDefault->setChecked(true);
        window.submit_but->click();
        calculate(Gauss);
        EXPECT_TRUE(quick.shown.empty()) << "a quick run shows no dialog";
        EXPECT_EQ(text(TextBox::txtGauss).substr(0, 8), "x1 =   3");
        platform.quietTime = quietTime;
    }
    form.loadSystemText(rowsSystem(300, Kind::definite));
    const std::string system = text(TextBox::display);
    FormSession inPlace;
    inPlace.paste(rowsSystem(300, Kind::definite));
    inPlace.calculate(Gauss);

    Gate gate;
    form.solveOptions.progress = [&](int, int) { gate.pass(); };
    int ticks = 0;
    int paints = 0;
    QString label;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        window.update();
        if (ui::ProgressDialog* const dialog = openProgress()) {
            label = dialog->label->text();
            window.Start->click();
            window.submit_but->click();
            calculator.systemInput->pasteAction->trigger();
        }
        if (ticks >= 20 && gate.waiting() && openProgress())
            gate.open();
    });
    struct PaintCounter : QObject {
        int& paints;
        explicit PaintCounter(int& count) : paints(count) {}
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    window.installEventFilter(&counter);
    const ProgressWatcher progress;
    DialogAnswerer answerer;

    ticker.start(10);
    calculate(Gauss);
    ticker.stop();
    window.removeEventFilter(&counter);

    EXPECT_GE(ticks, 20);
    EXPECT_GT(paints, 0);
    ASSERT_EQ(progress.shown.size(), 1u) << "one dialog, not one per click during the run";
    EXPECT_TRUE(progress.shown[0].startsWith("Gauss Elimination: "))
        << progress.shown[0].toStdString();
    EXPECT_TRUE(QRegularExpression("^Gauss Elimination: \\d+ of 300 columns, \\d+\\.\\d s$")
                    .match(label)
                    .hasMatch())
        << label.toStdString();
    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_EQ(text(TextBox::display), system);
    EXPECT_EQ(text(TextBox::txtGauss), inPlace.box(TextBox::txtGauss));
}

// Cancel, Esc or the dialog's close box stop the run at its next step: both boxes empty, no
// message, and with both methods chosen the second does not start.
TEST_F(LongCalculate, CancelStopsTheRunQuietly) {
    platform.quietTime = 0ms;
    enum class How { button, escape, closeBox };
    struct Case {
        How how;
        QString cancelIn; // the run to cancel, by its title
        std::size_t runs;
    };
    Case now{};
    bool cancelled = true; // until a case begins
    holdRunsUntilTheirDialogOpens([&](ui::ProgressDialog& dialog) {
        if (cancelled || !dialog.label->text().startsWith(now.cancelIn))
            return;
        cancelled = true;
        if (now.how == How::button)
            QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
        else if (now.how == How::escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        EXPECT_TRUE(dialog.isVisible()) << "the dialog stays until the run stops";
        EXPECT_FALSE(dialog.cancelButton->isEnabled());
    });
    form.loadSystemText(rowsSystem(300, Kind::definite));
    calculate(Gauss);
    const Vector gaussX = form.x();
    for (const Case& c : {Case{How::button, "Gauss", 1}, Case{How::escape, "Gauss", 1},
                          Case{How::closeBox, "Gauss", 1}, Case{How::button, "Cholesky", 2}}) {
        SCOPED_TRACE(c.cancelIn.toStdString() + " " + std::to_string(static_cast<int>(c.how)));
        calculate(Cholesky);
        const Vector choleskyX = form.x();
        ASSERT_FALSE(text(TextBox::txtCholesky).empty());

        now = c;
        cancelled = false;
        const ProgressWatcher progress;
        DialogAnswerer answerer;
        calculate(Both);

        EXPECT_TRUE(cancelled);
        EXPECT_EQ(progress.shown.size(), c.runs);
        EXPECT_EQ(text(TextBox::txtGauss), "");
        EXPECT_EQ(text(TextBox::txtCholesky), "");
        EXPECT_TRUE(answerer.seen.empty());
        EXPECT_EQ(form.x(), c.runs == 1 ? choleskyX : gaussX) << "x as the last run left it";
        EXPECT_EQ(openProgress(), nullptr);
    }
}

// A reading held at its first piece until its dialog is open: Cancel there stops it, and the
// window is as it was, with no message.
TEST_F(LongCalculate, CancelStopsAReadingAndKeepsTheWindow) {
    form.loadSystemText(rowsSystem(300, Kind::definite));
    calculate(Both);
    window.chkDefault->setChecked(true);
    const std::vector<TextBox> boxes{TextBox::Textn, TextBox::display, TextBox::txtVector,
                                     TextBox::txtGauss, TextBox::txtCholesky};
    std::vector<std::string> before;
    for (const TextBox box : boxes)
        before.push_back(text(box));
    const Matrix A = form.A();
    const Vector b = form.b();

    form.readOptions.progress = [this](std::uint64_t) { gate.pass(); };
    QString label;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ui::ProgressDialog* const dialog = openProgress();
        if (!dialog || !gate.waiting() || !label.isEmpty())
            return;
        label = dialog->label->text();
        QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible()) << "the dialog stays until the reading stops";
        EXPECT_FALSE(dialog->cancelButton->isEnabled());
        gate.release();
    });
    ticker.start(2);
    const ProgressWatcher progress;
    DialogAnswerer answerer;
    const std::string large = largeInput(Layout::rows, 1000);
    QGuiApplication::clipboard()->setText(QString::fromStdString(large));
    calculator.systemInput->pasteAction->trigger();
    ticker.stop();

    ASSERT_EQ(progress.shown.size(), 1u);
    const QString megabytes = QString::number((large.size() + 999999) / 1000000);
    EXPECT_TRUE(
        QRegularExpression("^Reading the system: \\d+ of " + megabytes + " MB, \\d+\\.\\d s$")
            .match(label)
            .hasMatch())
        << label.toStdString();
    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_EQ(openProgress(), nullptr);
    for (std::size_t k = 0; k < boxes.size(); ++k)
        EXPECT_EQ(text(boxes[k]), before[k]) << k;
    EXPECT_TRUE(window.chkDefault->isChecked());
    EXPECT_EQ(form.A(), A);
    EXPECT_EQ(form.b(), b);
}

// The dialog shows what runs and for how long, and the columns done where the work counts
// them. Cancel, Esc and the close box ask the work to stop, and the dialog says so.
TEST_F(LongCalculate, TheDialogShowsWhatRunsAndOffersCancel) {
    {
        WorkStatus status;
        status.title = "Reading big.npy";
        ui::ProgressDialog dialog(&window, status);
        dialog.show();
        dialog.refresh(std::chrono::milliseconds(2345));
        EXPECT_EQ(dialog.label->text(), "Reading big.npy: 2.3 s");
        EXPECT_TRUE(dialog.cancelButton->isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        EXPECT_TRUE(status.cancel);
        EXPECT_TRUE(dialog.isVisible());
        dialog.refresh(std::chrono::milliseconds(2345));
        EXPECT_EQ(dialog.label->text(), "Reading big.npy: cancelling, 2.3 s");
        dialog.hide();
    }

    WorkStatus status;
    ui::ProgressDialog dialog(&window, status);
    dialog.show();
    status.title = "Gauss Elimination";
    status.total = 300;
    status.done = 255;
    dialog.refresh(std::chrono::milliseconds(12345));
    EXPECT_EQ(dialog.label->text(), "Gauss Elimination: 255 of 300 columns, 12.3 s");
    EXPECT_EQ(dialog.bar->value(), 255);
    EXPECT_EQ(dialog.bar->maximum(), 300);
    status.title = "Reading big.txt";
    status.unit = "MB";
    status.total = 17000;
    status.done = 4200;
    dialog.refresh(std::chrono::milliseconds(12345));
    EXPECT_EQ(dialog.label->text(), "Reading big.txt: 4200 of 17000 MB, 12.3 s");
    dialog.hide();
}

} // namespace
} // namespace lse::test
