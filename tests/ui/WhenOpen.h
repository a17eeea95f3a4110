#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace lse::test {

// Calls `act` with the first widget of type T that opens as a popup or a modal dialog, from
// the window's event loop. A guard against hanging, not a time limit: it gives up after a
// minute and lets the test fail on what it did not see.
template <typename T> void whenOpen(std::function<void(T*)> act) {
    auto* const timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        QWidget* widget = QApplication::activePopupWidget();
        if (!widget)
            widget = QApplication::activeModalWidget();
        if (auto* const found = qobject_cast<T*>(widget); found && found->isVisible()) {
            timer->deleteLater();
            timer->stop();
            act(found);
        } else if (++*tries > 6000) {
            timer->deleteLater();
            timer->stop();
        }
    });
    timer->start(10);
}

// The control of `dialog` with this object name, as a view names its parts and buttons; null
// where it has none.
template <typename W = QWidget> W* named(QWidget* dialog, const char* name) {
    return dialog->findChild<W*>(name);
}

} // namespace lse::test
