#include "PlatformStart.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace lse::app {
namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category; // the context only points at it
    QString text;
};

std::vector<HeldMessage> held;
QtMessageHandler previous = nullptr;

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        held.push_back({type, context.category ? context.category : "", text});
        return;
    }
    // Qt's fatal message only says that no platform plugin could be initialized; the
    // warnings before it name the cause (the display that did not answer, the plugin
    // missing).
    QStringList causes;
    for (const HeldMessage& message : held)
        if (message.type == QtWarningMsg || message.type == QtCriticalMsg)
            causes.append(message.text.simplified()); // one line, whatever Qt wrote
    if (causes.isEmpty())
        causes.append(text.section('\n', 0, 0).simplified());
    std::fprintf(stderr, "lineq: no display to open the window on (%s)\n",
                 qPrintable(causes.join("; ")));
    std::exit(2);
}

} // namespace

void holdPlatformMessages() {
    previous = qInstallMessageHandler(hold);
}

void releasePlatformMessages() {
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    held.clear();
}

} // namespace lse::app
