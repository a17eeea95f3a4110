#include "Calculator.h"
#include "Fonts.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {

// Qt aborts with several lines of plugin diagnostics when it finds no display; one plain line
// tells a user more.
bool haveDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (!haveDisplay()) {
        std::fputs("lineq: no display to open the window on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set)\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("lineq");
    QApplication::setDesktopFileName("lineq");
    QApplication::setWindowIcon(QIcon(":/lineq.svg"));
    // Message and input boxes use the same face as the window.
    QApplication::setFont(lse::ui::dialogFont());

    lse::ui::Calculator calculator;
    calculator.window.show();
    return QApplication::exec();
}
