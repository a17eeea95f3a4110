#include "Calculator.h"
#include "Fonts.h"
#include "PlatformStart.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    // Without a display Qt aborts with several lines of plugin diagnostics; one line says
    // more to a user.
    lse::app::holdPlatformMessages();
    QApplication app(argc, argv);
    lse::app::releasePlatformMessages();

    QApplication::setApplicationName("lineq");
    QApplication::setDesktopFileName("lineq");
    QApplication::setWindowIcon(QIcon(":/lineq.svg"));
    // Message and input boxes use the same face as the window.
    QApplication::setFont(lse::ui::dialogFont());

    lse::ui::Calculator calculator;
    calculator.window.show();
    return QApplication::exec();
}
