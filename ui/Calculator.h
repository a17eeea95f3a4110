#pragma once

#include "CommandActions.h"
#include "MainWindow.h"
#include "QtPlatform.h"
#include "ResultActions.h"
#include "SystemInput.h"
#include "frmCholesky.h"

namespace lse::ui {

// The program put together: the window, the platform services over it and the equation
// logic, with the window's two buttons bound to the logic's click handlers and the ways a
// system is pasted, opened or dropped.
class Calculator {
public:
    Calculator();
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    MainWindow window;
    QtPlatform platform{window};
    frmCholesky form{platform};
    // The declared commands' actions; parented to the window, which deletes it.
    CommandActions* commands = new CommandActions(window, form);
    // Paste, open and drop; parented to the window too.
    SystemInput* systemInput = new SystemInput(window, form, *commands);
    // The result boxes' context menus; the same.
    ResultActions* resultActions = new ResultActions(window, *commands);
};

} // namespace lse::ui
