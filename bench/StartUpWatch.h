#pragma once

#include "app/Program.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

// The child process of the start-up benchmarks: the real program, watched from its own
// event loop. As soon as the main window is shown it gets a digit, as a user would type
// one; from then on every tick measures how long the event loop stood still, and asks
// `finished(shownAt, now, longestStall)` whether the work being waited for is done
// (it prints its figures then). The program is closed after that.
inline int watchStartUp(int argc, char *argv[], const QElapsedTimer &clock,
                        const std::function<bool(qint64, qint64, qint64)> &finished)
{
    QApplication app(argc, argv);
    MessageBox::answerInstead(true);
    qint64 shownAt = -1;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (shownAt < 0) {
            MainWindow *main = Windows::existing<MainWindow>();
            if (!main || !main->isVisible() || !QTest::qWaitForWindowExposed(main, 1))
                return;
            QTest::keyClick(main->findChild<QLineEdit *>(QStringLiteral("Text1")), Qt::Key_5);
            shownAt = clock.elapsed();
            lastTick = shownAt;
            return;
        }
        longestStall = std::max(longestStall, now - lastTick);
        lastTick = now;
        if (finished(shownAt, now, longestStall)) {
            ticker.stop();
            if (MainWindow *main = Windows::existing<MainWindow>())
                main->close();
        }
    });
    ticker.start();
    return Program::run();
}
