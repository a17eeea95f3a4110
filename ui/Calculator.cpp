#include "Calculator.h"

#include <QPushButton>

namespace lse::ui {

Calculator::Calculator() {
    platform.commands = commands;
    // Clicks arrive only from the event loop, which has ended before the members go.
    QObject::connect(window.submit_but, &QPushButton::clicked, &window,
                     [this] { form.submit_but_Click(); });
    QObject::connect(window.Start, &QPushButton::clicked, &window, [this] { form.Start_Click(); });
}

// The window's closing moves the focus, on which the actions ask the form what is enabled: they
// go first, while the form is whole.
Calculator::~Calculator() {
    platform.commands = nullptr;
    delete resultActions;
    delete systemInput;
    delete commands;
}

} // namespace lse::ui
