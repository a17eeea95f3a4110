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

} // namespace lse::ui
