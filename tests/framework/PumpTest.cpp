// SPDX-License-Identifier: MIT
#include "Pump.h"
#include "DemoForm.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
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

// The picture shows the form as painted after what its showing queued has run.
TEST(SaveFormPicture, SavesTheShownFormAndReportsAFileItCannotWrite)
{
    const TempDir dir;
    QWidget form;
    form.resize(24, 16);
    form.setAutoFillBackground(true);
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, Qt::red);
    form.setPalette(palette);
    ASSERT_TRUE(SaveFormPicture(form, dir.file(QStringLiteral("form.png"))));
    EXPECT_TRUE(form.isVisible());
    const QImage picture(dir.file(QStringLiteral("form.png")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), QColor(Qt::red));
    EXPECT_FALSE(SaveFormPicture(form, dir.file(QStringLiteral("missing/form.png"))));
}

} // namespace
