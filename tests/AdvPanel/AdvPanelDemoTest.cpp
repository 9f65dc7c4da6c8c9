// SPDX-License-Identifier: MIT
// The demo form used as a user would: a group panel collapsed by its button, the free panel moved
// by its caption and found at the same place in the next run.
#include "AdvPanelDemo.h"
#include "TempDir.h"

#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void Mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), w.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

TEST(AdvPanelDemo, CollapseInTheGroupAndAKeptPlace)
{
    TempDir dir;
    const QString ini = dir.file(QStringLiteral("demo.ini"));
    {
        TAdvPanelDemo demo(ini);
        demo.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&demo));
        const QList<TCustomAdvPanel*> panels = demo.Group()->Panels();
        const int below = panels[1]->y();
        const QPoint button = panels[0]->CaptionButtonRects().minMax.toQRect().center();
        Mouse(*panels[0], QEvent::MouseButtonPress, button, Qt::LeftButton);
        Mouse(*panels[0], QEvent::MouseButtonRelease, button, Qt::NoButton);
        EXPECT_TRUE(panels[0]->Collaps());
        EXPECT_LT(panels[1]->y(), below);
        EXPECT_EQ(demo.LastEvent(), QStringLiteral("panel 1 collapses"));

        TAdvPanel* free = demo.FreePanel();
        const QPoint global = free->mapToGlobal(QPoint(60, 8));
        Mouse(*free, QEvent::MouseButtonPress, QPoint(60, 8), Qt::LeftButton);
        Mouse(*free, QEvent::MouseMove, free->mapFromGlobal(global + QPoint(40, 30)), Qt::LeftButton);
        Mouse(*free, QEvent::MouseButtonRelease, free->mapFromGlobal(global + QPoint(40, 30)), Qt::NoButton);
        EXPECT_EQ(free->pos(), QPoint(330, 38));
        EXPECT_TRUE(demo.LastEvent().startsWith(QStringLiteral("moved or sized to 330, 38")));
    }
    TAdvPanelDemo again(ini);
    EXPECT_EQ(again.FreePanel()->pos(), QPoint(330, 38));
    EXPECT_GT(again.AutoPanel()->height(), 2 * 13);
}

} // namespace
