#include "DialogAnswerer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace lse::test {

DialogAnswerer::DialogAnswerer(std::initializer_list<Answer> answers) : answers_(answers) {
    connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::answerOpenDialog);
    timer_.start(10);
}

void DialogAnswerer::answerOpenDialog() {
    QWidget* const dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible())
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
    } else {
        seen.push_back(shown);
        dialog->close();
    }
}

} // namespace lse::test
