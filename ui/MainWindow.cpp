#include "MainWindow.h"

#include "Fonts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace lse::ui {

using window::Kind;
using window::pixels;

MainWindow::MainWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QString::fromUtf8(window::kWindowName));
    setWindowTitle(QString::fromUtf8(window::kCaption));
    // A fixed frame with a close box and system menu, but no minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const auto& [left, top, width, height] = window::kClientArea;
    setGeometry(pixels(left), pixels(top), pixels(width), pixels(height));
    setFixedSize(size());
    setFont(dialogFont());

    optionGroup_ = new QButtonGroup(this);
    // Made in tab order, so that the focus chain follows it, and stacked in that order.
    QWidget* firstStop = nullptr;
    QWidget* previousStop = nullptr;
    for (const window::Control& control : window::kControls) {
        QWidget* const widget = make(control);
        if (!window::takesFocus(control.kind))
            continue;
        if (previousStop)
            setTabOrder(previousStop, widget);
        else
            firstStop = widget;
        previousStop = widget;
    }
    keepSelectedOptionAsTabStop();
    connect(optionGroup_, &QButtonGroup::idToggled, this, &MainWindow::keepSelectedOptionAsTabStop);

    display = made<QPlainTextEdit>("display");
    submit_but = made<QPushButton>("submit_but");
    Textn = made<QLineEdit>("Textn");
    Start = made<QPushButton>("Start");
    chkDefault = made<QCheckBox>("chkDefault");
    txtGauss = made<QPlainTextEdit>("txtGauss");
    txtCholesky = made<QPlainTextEdit>("txtCholesky");
    txtVector = made<QPlainTextEdit>("txtVector");

    // A screen reader names each box after the text that labels it on screen.
    for (const window::Control& control : window::kControls) {
        if (control.kind != Kind::label || control.names.empty())
            continue;
        auto* const label = made<QLabel>(control.name);
        QWidget* const box = made<QWidget>(control.names);
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
    firstStop->setFocus();
}

QWidget* MainWindow::make(const window::Control& control) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case Kind::label: {
        auto* const label = place<QLabel>(control);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (control.face != window::Face::dialog)
            label->setFont(qtFont(control.face));
        return label;
    }
    case Kind::textBox: {
        auto* const line = place<QLineEdit>(control);
        line->setText(text);
        line->setMaxLength(std::numeric_limits<int>::max());
        return line;
    }
    case Kind::multiLineBox: {
        auto* const box = place<QPlainTextEdit>(control);
        if (!text.isEmpty())
            box->setPlainText(text);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setTabChangesFocus(true);
        return box;
    }
    case Kind::commandButton: {
        auto* const button = place<QPushButton>(control);
        button->setText(text);
        // Neither button answers Enter or Esc: they are pressed by click or Space only.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case Kind::checkBox: {
        auto* const box = place<QCheckBox>(control);
        box->setText(text);
        box->setChecked(control.on);
        return box;
    }
    case Kind::optionButton: {
        auto* const option = place<QRadioButton>(control);
        option->setText(text);
        option->setProperty("index", control.index);
        option->installEventFilter(this);
        optionGroup_->addButton(option, control.index);
        option->setChecked(control.on);
        Option1.at(static_cast<std::size_t>(control.index)) = option;
        return option;
    }
    }
    return nullptr;
}

template <typename Widget> Widget* MainWindow::place(const window::Control& control) {
    auto* const widget = new Widget(this);
    widget->setObjectName(QString::fromUtf8(control.name));
    const auto& [left, top, width, height] = control.place;
    widget->setGeometry(pixels(left), pixels(top), pixels(width), pixels(height));
    return widget;
}

template <typename Widget> Widget* MainWindow::made(std::string_view name) const {
    return findChild<Widget*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

// The option group is one tab stop, entered at its selected button. Qt on its own makes the
// last focused button the stop, and at first the first one in tab order; so only the
// selected button keeps tab focus, restored whenever the selection or the focus moves.
void MainWindow::keepSelectedOptionAsTabStop() {
    for (QRadioButton* const option : Option1)
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut)
        keepSelectedOptionAsTabStop();
    return QWidget::eventFilter(watched, event);
}

} // namespace lse::ui
