#include "Calculator.h"
#include "Fonts.h"

#include <QApplication>
#include <QIcon>

#include <xcb/xcb.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Qt's own -platform and -display options, as QGuiApplication reads them (one or two dashes).
const char* optionValue(int argc, char* argv[], std::string_view name) {
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--"))
            arg.remove_prefix(1);
        if (arg.starts_with('-') && arg.substr(1) == name)
            return argv[i + 1];
    }
    return nullptr;
}

std::string firstPlatform(int argc, char* argv[]) {
    const char* chosen = optionValue(argc, argv, "platform");
    std::string platforms = chosen ? chosen : qgetenv("QT_QPA_PLATFORM").toStdString();
    // QT_QPA_PLATFORM may list fallbacks after ';'; only the first decides.
    return platforms.substr(0, platforms.find(';'));
}

// Why the window cannot be shown, or empty when Qt should go ahead. Qt aborts with several
// lines of plugin diagnostics when it cannot reach a display; one plain line tells a user
// more.
std::string missingDisplay(int argc, char* argv[]) {
    const std::string platform = firstPlatform(argc, argv);
    const bool xcbChosen = platform.starts_with("xcb");
    if (!platform.empty() && !xcbChosen)
        return {}; // offscreen, wayland, vnc...: Qt reports on those itself
    const char* option = optionValue(argc, argv, "display");
    const std::string name = option ? option : qgetenv("DISPLAY").toStdString();
    if (name.empty()) {
        if (xcbChosen)
            return "DISPLAY is not set";
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return {};
    }
    // Beside a Wayland compositor Qt may not use X at all, so a dead X display is its call.
    if (!xcbChosen && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    // Costs one round trip on the local socket, well within the start-up budget.
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed)
        return "the X display " + name + " does not answer or refuses the connection";
    return {};
}

} // namespace

int main(int argc, char* argv[]) {
    if (const std::string why = missingDisplay(argc, argv); !why.empty()) {
        std::fprintf(stderr, "lineq: no display to open the window on (%s)\n", why.c_str());
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
