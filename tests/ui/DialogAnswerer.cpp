#include "DialogAnswerer.h"

#include "LongRun.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace lse::test {

DialogAnswerer::DialogAnswerer(std::initializer_list<Answer> answers) : answers_(answers) {
    connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::answerOpenDialog);
    timer_.start(10);
}

void DialogAnswerer::answerOpenDialog() {
    QWidget* const dialog = QApplication::activeModalWidget();
    // A long run's progress is the test's own to watch or cancel.
    if (!dialog || !dialog->isVisible() || qobject_cast<ui::ProgressDialog*>(dialog))
        return;

    SeenDialog shown;
    shown.title = dialog->windowTitle();
    shown.modal = dialog->windowModality() != Qt::NonModal;
    shown.parent = dialog->parentWidget();
    const Answer answer = answers_.empty() ? cancel() : answers_.front();
    if (!answers_.empty())
        answers_.pop_front();

    if (auto* const input = qobject_cast<QInputDialog*>(dialog)) {
        shown.kind = SeenDialog::Input;
        shown.text = input->labelText();
        shown.initialReply = input->textValue();
        auto* const buttons = input->findChild<QDialogButtonBox*>();
        shown.okAndCancel =
            buttons->standardButtons() == (QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        seen.push_back(shown);
        if (answer.kind == Answer::Type) {
            QTest::keyClicks(input->findChild<QLineEdit*>(), answer.text);
            buttons->button(QDialogButtonBox::Ok)->click();
        } else {
            buttons->button(QDialogButtonBox::Cancel)->click();
        }
    } else if (auto* const message = qobject_cast<QMessageBox*>(dialog)) {
        shown.kind = SeenDialog::Message;
        shown.text = message->text();
        shown.icon = message->icon();
        shown.okOnly = message->standardButtons() == QMessageBox::Ok;
        seen.push_back(shown);
        message->button(QMessageBox::Ok)->click();
    } else if (auto* const files = qobject_cast<QFileDialog*>(dialog)) {
        shown.kind = SeenDialog::File;
        seen.push_back(shown);
        if (answer.kind == Answer::Choose) {
            auto* const name = files->findChild<QLineEdit*>("fileNameEdit");
            name->setText(answer.text);
            QTest::keyClick(name, Qt::Key_Return);
        } else {
            files->reject();
        }
    } else {
        // A view: the text it shows.
        if (const auto* const view = dialog->findChild<QPlainTextEdit*>())
            shown.text = view->toPlainText();
        seen.push_back(shown);
        dialog->close();
    }
}

} // namespace lse::test
