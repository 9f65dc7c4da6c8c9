// SPDX-License-Identifier: MIT
#include "Pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(WaitAndPump, WaitsTheTimeWhileEventsRun)
{
    int fired = 0;
    QTimer::singleShot(10, [&] { ++fired; });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(WaitAndPump(50));
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_EQ(fired, 1); // ran during the wait, not after it
}

TEST(WaitAndPump, DispatchesWhatIsQueuedAtTheEnd)
{
    QObject target;
    bool delivered = false;
    QTimer::singleShot(0, &target, [&] {
        // Posted while the wait runs, just before it ends.
        QTimer::singleShot(45, &target, [&] {
            QMetaObject::invokeMethod(
                &target, [&] { delivered = true; }, Qt::QueuedConnection);
        });
    });
    EXPECT_TRUE(WaitAndPump(50));
    EXPECT_TRUE(delivered);
}

TEST(WaitAndPump, ApplicationExitEndsTheWaitAtOnce)
{
    QTimer::singleShot(5, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(WaitAndPump(2000));
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST(WaitAndPump, ZeroWaitOnlyDispatches)
{
    bool delivered = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { delivered = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(WaitAndPump(0));
    EXPECT_TRUE(delivered);
}

} // namespace
