// SPDX-License-Identifier: MIT
#include "WindowPlacement.h"

#include <QEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    QSize client;
    QMargins frame;
    QRect area;
    QPoint frameTopLeft;
};

TEST(WindowPlacement, TheWholeFrameIsCentredAndKeptOnTheArea)
{
    const PlacementCase cases[] = {
        { { 800, 626 }, {}, { 0, 0, 1920, 1080 }, { 560, 227 } },
        // A title bar of 30 and borders of 4: the frame, not the client area, is centred.
        { { 800, 626 }, { 4, 30, 4, 4 }, { 0, 0, 1920, 1080 }, { 556, 210 } },
        { { 412, 83 }, { 4, 30, 4, 4 }, { 556, 210, 808, 660 }, { 750, 481 } },
        { { 200, 100 }, { 1, 20, 1, 1 }, { 1920, 24, 1280, 1000 }, { 2459, 463 } },
        // Larger than the area: the title bar stays on it.
        { { 800, 626 }, { 4, 30, 4, 4 }, { 0, 0, 800, 600 }, { 0, 0 } },
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(testing::Message()
            << c.client.width() << "x" << c.client.height() << " on " << c.area.x() << "," << c.area.y());
        EXPECT_EQ(CentredFramePosition(c.client, c.frame, c.area), c.frameTopLeft);
    }
}

TEST(WindowPlacement, KeepCentredFollowsTheSizeTheWindowSettlesOnWhenShown)
{
    QWidget window;
    window.resize(100, 50);
    const QRect area(100, 100, 600, 400);
    KeepCentred(window, [&] { return area; });
    EXPECT_EQ(window.frameGeometry().center(), area.center());
    // A window that changes its size while it is being shown (a message box does).
    struct Growing : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Show)
                static_cast<QWidget*>(watched)->resize(300, 200);
            return false;
        }
    } growing;
    window.installEventFilter(&growing);
    window.show();
    EXPECT_EQ(window.size(), QSize(300, 200));
    EXPECT_LE((window.frameGeometry().center() - area.center()).manhattanLength(), 1);
}

} // namespace
