#include "QtPlatform.h"

#include "ChildRun.h"
#include "LongRun.h"
#include "MainWindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <unistd.h>

namespace lse::ui {

namespace {

// The logic separates lines with CR LF. A Qt text document takes a CR LF pair as one line
// break, but gives its lines back separated by LF alone.
const QString kLineEnd = QStringLiteral("\r\n");

// Null for Textn, the one line box.
QPlainTextEdit* multiLineBox(const MainWindow& window, TextBox box) {
    const std::string_view name = window::nameOf(box);
    return window.findChild<QPlainTextEdit*>(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

} // namespace

std::string QtPlatform::readText(TextBox box) const {
    if (QPlainTextEdit* const edit = multiLineBox(window_, box))
        return edit->toPlainText().replace(QChar('\n'), kLineEnd).toStdString();
    return window_.Textn->text().toStdString();
}

void QtPlatform::replaceText(TextBox box, const std::string& text) {
    const QString qtext = QString::fromStdString(text);
    if (QPlainTextEdit* const edit = multiLineBox(window_, box))
        edit->setPlainText(qtext);
    else
        window_.Textn->setText(qtext);
}

int QtPlatform::checkBoxValue(CheckBox) const {
    return window_.chkDefault->isChecked() ? 1 : 0;
}

void QtPlatform::setCheckBoxValue(CheckBox, int value) {
    window_.chkDefault->setChecked(value != 0);
}

bool QtPlatform::optionValue(OptionArray, SolutionMethod button) const {
    return window_.option(button)->isChecked();
}

Task<> QtPlatform::messageBox(std::string text, MessageStyle style,
                              std::optional<std::string> title) {
    const QMessageBox::Icon icon = style == MessageStyle::OkOnlyCritical ? QMessageBox::Critical
                                   : style == MessageStyle::OkOnlyExclamation ? QMessageBox::Warning
                                                                              : QMessageBox::NoIcon;
    QMessageBox box(icon, title ? QString::fromStdString(*title) : kProgramTitle,
                    QString::fromStdString(text), QMessageBox::Ok, &window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    co_return;
}

Task<std::optional<std::string>> QtPlatform::inputBox(std::string prompt) {
    bool accepted = false;
    const QString reply =
        QInputDialog::getText(&window_, kProgramTitle, QString::fromStdString(prompt),
                              QLineEdit::Normal, QString(), &accepted);
    if (!accepted)
        co_return std::nullopt;
    co_return reply.toStdString();
}

std::uint64_t QtPlatform::physicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

Task<std::optional<ExactOutcome>> QtPlatform::solveExact(const ExactProblem& problem,
                                                         WorkStatus& status) {
    exact::ChildOptions options;
    options.program =
        exactProgram.empty()
            ? exact::exactProgramBeside(QCoreApplication::applicationFilePath().toStdString())
            : exactProgram;
    options.addressSpaceLimit = exactMemoryLimit;
    options.cancel = &status.cancel;
    exact::ChildResult result = exact::runExactChild(options, problem.A, problem.b, problem.n,
                                                     problem.written, problem.methodSolutions);
    using Ending = ExactOutcome::Ending;
    switch (result.outcome) {
    case exact::ChildOutcome::finished:
        co_return ExactOutcome{Ending::solved, std::move(result.report), {}};
    case exact::ChildOutcome::cancelled:
        co_return ExactOutcome{Ending::cancelled, {}, {}};
    case exact::ChildOutcome::outOfMemory:
        co_return ExactOutcome{Ending::outOfMemory, {}, {}};
    case exact::ChildOutcome::failed:
        break;
    }
    co_return ExactOutcome{Ending::failed, {}, result.message};
}

Task<> QtPlatform::runLong(LongWork work, WorkStatus& status) {
    runWithProgress(
        window_, [&work] { runAtOnce(work()); }, status, quietTime);
    co_return;
}

} // namespace lse::ui
