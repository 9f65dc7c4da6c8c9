// SPDX-License-Identifier: MIT
#include "Pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitAndPump(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    // Timers may fire a little early; wait again for the remainder.
    for (qint64 left = milliseconds; left > 0; left = milliseconds - clock.elapsed()) {
        timedOut = false;
        timer.start(int(left));
        loop.exec();
        if (!timedOut)
            return false; // the application's exit ended our loop
    }
    QCoreApplication::processEvents();
    return true;
}
