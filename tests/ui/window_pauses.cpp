// Measures how long a Calculate holds the window's thread: the longest gap between the ticks
// of a timer that wants to run every millisecond, while the real window solves a pasted
// system of n equations (default 3000) by both methods; then the time one fill of the Gauss
// box with its n solutions takes. A measurement, not a test: it asserts nothing.
//
//   window_pauses [n]    (QT_QPA_PLATFORM=offscreen, or under a display)

#include "Calculator.h"
#include "ResultText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 3000;
    lse::ui::Calculator calculator;
    calculator.window.show();
    // Symmetric and diagonally dominant: both methods solve it, and no box interrupts.
    std::string system;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
            system += std::to_string(i == j ? 4 * n : (i * j) % 7 - 3) + " ";
        system += std::to_string(i % 17 - 8) + "\n";
    }
    calculator.form.loadSystemText(system);

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    qint64 longestAt = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (now - last > longest) {
            longest = now - last;
            longestAt = now;
        }
        last = now;
    });
    // A message box would hold the run: it is reported and closed.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::printf("message: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    closer.start(100);
    QTimer::singleShot(0, [&] {
        clock.start();
        ticks.start(1);
        calculator.window.Start->click();
        const qint64 total = clock.nsecsElapsed();
        ticks.stop();
        std::printf("n = %d: Calculate %.2f s, longest pause of the window's thread %.1f ms "
                    "(ending %.2f s in)\n",
                    n, total / 1e9, longest / 1e6, longestAt / 1e9);
        const std::string text = lse::namedLines("x", calculator.form.x(), n);
        QElapsedTimer fill;
        fill.start();
        calculator.platform.replaceText(lse::TextBox::txtGauss, text);
        std::printf("filling the Gauss box: %.1f ms\n", fill.nsecsElapsed() / 1e6);
        QApplication::quit();
    });
    return QApplication::exec();
}
