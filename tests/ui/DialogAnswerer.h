#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <initializer_list>
#include <vector>

class QWidget;

namespace lse::test {

// What a modal dialog showed when it opened.
struct SeenDialog {
    enum Kind { Input, Message, File, Other } kind = Other;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool okOnly = false;      // message box: the only button is OK
    QString initialReply;     // input box: the text field's initial text
    bool okAndCancel = false; // input box: OK and Cancel offered
    bool modal = false;
    const QWidget* parent = nullptr;
};

// Answers the modal dialogs that open while it lives, in order, as a user would: types a
// reply into an input box and presses OK, presses Cancel, presses OK on a message box, or
// types a file's path into a file dialog and presses Enter.
// A dialog beyond the script is recorded (a view with its text) and closed, so that a test
// fails rather than hangs. A long run's progress dialog is left alone.
class DialogAnswerer : public QObject {
public:
    struct Answer {
        enum Kind { Type, Cancel, Ok, Choose } kind;
        QString text;
    };
    static Answer type(const QString& text) { return {Answer::Type, text}; }
    static Answer cancel() { return {Answer::Cancel, {}}; }
    static Answer ok() { return {Answer::Ok, {}}; }
    static Answer choose(const QString& path) { return {Answer::Choose, path}; }

    DialogAnswerer(std::initializer_list<Answer> answers = {});

    // One answer more, after those given.
    void add(const Answer& answer) { answers_.push_back(answer); }

    std::vector<SeenDialog> seen;
    std::size_t unused() const { return answers_.size(); }

private:
    void answerOpenDialog();

    std::deque<Answer> answers_;
    QTimer timer_;
};

} // namespace lse::test
