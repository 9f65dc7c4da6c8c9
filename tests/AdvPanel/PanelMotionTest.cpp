// SPDX-License-Identifier: MIT
// The panel's geometry under dragging, collapsing and auto-sizing, without a widget.
#include "PanelMotion.h"

#include <gtest/gtest.h>

using namespace AdvPanel;
using namespace PanelMotion;
using PanelGeometry::Layout;
using PanelGeometry::SizeZone;

namespace {

const QMargins kNone(0, 0, 0, 0);
const QMargins kFrame(1, 1, 1, 1);

Layout WithCaption(TCaptionPosition position, int height = 20)
{
    Layout l;
    l.captionVisible = true;
    l.captionPosition = position;
    l.captionHeight = height;
    return l;
}

TEST(PanelMotion, MinimumSize)
{
    Layout thick;
    thick.bevelWidth = 3;
    thick.borderWidth = 2;
    struct Case {
        const char* name;
        Layout l;
        QMargins margins;
        QSize expected;
    };
    const Case cases[] = {
        { "grip and one bevel ring", Layout {}, kNone, { 14, 14 } },
        { "bevels and border on both sides", thick, kNone, { 22, 22 } },
        { "a top caption bar sets the height", WithCaption(cpTop), kNone, { 14, 32 } },
        { "a left caption bar sets the width", WithCaption(cpLeft), kNone, { 32, 14 } },
        { "a thin caption bar is not below the frame", WithCaption(cpTop, 1), kNone, { 14, 14 } },
        { "the window frame comes on top", Layout {}, kFrame, { 16, 16 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MinimumSize(c.l, c.margins), c.expected);
    }
}

TEST(PanelMotion, DraggedSize)
{
    const QSize start(200, 100);
    const QSize minimum(30, 40);
    struct Case {
        const char* name;
        SizeZone zone;
        bool fixedWidth, fixedHeight;
        QPoint delta;
        QSize expected;
    };
    const Case cases[] = {
        { "corner sizes both", SizeZone::Corner, false, false, { 30, 40 }, { 230, 140 } },
        { "bottom edge sizes the height", SizeZone::Bottom, false, false, { 30, 40 }, { 200, 140 } },
        { "right edge sizes the width", SizeZone::Right, false, false, { 30, 40 }, { 230, 100 } },
        { "fixed width keeps it", SizeZone::Corner, true, false, { 30, 40 }, { 200, 140 } },
        { "fixed height keeps it", SizeZone::Corner, false, true, { 30, 40 }, { 230, 100 } },
        { "never below the minimum", SizeZone::Corner, false, false, { -500, -500 }, { 30, 40 } },
        { "no zone sizes nothing", SizeZone::None, false, false, { 30, 40 }, { 200, 100 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DraggedSize(start, c.delta, c.zone, c.fixedWidth, c.fixedHeight, minimum), c.expected);
    }
}

TEST(PanelMotion, DraggedPosition)
{
    // A 100 x 50 panel at (10, 10) in a 400 x 300 parent, caption bar 20 high.
    struct Case {
        const char* name;
        QPoint delta;
        bool fixedLeft, fixedTop, parent;
        int caption;
        QPoint expected;
    };
    const Case cases[] = {
        { "follows the mouse", { 30, 40 }, false, false, true, 20, { 40, 50 } },
        { "fixed left", { 30, 40 }, true, false, true, 20, { 10, 50 } },
        { "fixed top", { 30, 40 }, false, true, true, 20, { 40, 10 } },
        { "the caption's width stays inside on the right", { 1000, 0 }, false, false, true, 20, { 380, 10 } },
        { "and on the left", { -1000, 0 }, false, false, true, 20, { -80, 10 } },
        { "never above the parent", { 0, -1000 }, false, false, true, 20, { 10, 0 } },
        { "the caption's height stays inside at the bottom", { 0, 1000 }, false, false, true, 20,
            { 10, 280 } },
        { "a thin caption keeps 16 pixels", { 1000, 0 }, false, false, true, 4, { 384, 10 } },
        { "without a parent anywhere", { 1000, -1000 }, false, false, false, 20, { 1010, -990 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveInput in { { 10, 10 }, c.delta, c.fixedLeft, c.fixedTop, std::nullopt, { 100, 50 }, c.caption };
        if (c.parent)
            in.parent = QSize(400, 300);
        EXPECT_EQ(DraggedPosition(in), c.expected);
    }
    // A panel narrower than what it keeps inside keeps all of itself inside.
    MoveInput narrow { { 10, 10 }, { -1000, 0 }, false, false, QSize(400, 300), { 10, 50 }, 20 };
    EXPECT_EQ(DraggedPosition(narrow).x(), 0);
}

TEST(PanelMotion, CollapseTargetsAndSteps)
{
    Layout status = WithCaption(cpTop);
    status.statusVisible = true;
    EXPECT_EQ(CollapsedSize(WithCaption(cpTop), kNone), 18); // the band less 2 for a top caption
    EXPECT_EQ(CollapsedSize(WithCaption(cpTop), kFrame), 20);
    EXPECT_EQ(CollapsedSize(WithCaption(cpLeft), kNone), 20);
    EXPECT_EQ(CollapsedSize(status, kNone), 36);

    struct Case {
        int from, to, steps;
        std::vector<int> expected;
    };
    const Case cases[] = {
        { 100, 20, 4, { 80, 60, 40, 20 } }, { 20, 100, 3, { 46, 73, 100 } }, { 100, 20, 0, {} },
        { 10, -5, 2, { 3, 0 } }, // never below zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " in " << c.steps);
        EXPECT_EQ(CollapseSteps(c.from, c.to, c.steps), c.expected);
    }
}

TEST(PanelMotion, KeptFullHeight)
{
    struct Case {
        const char* name;
        TCaptionPosition caption;
        bool collapsed, collapsing;
        int expected;
    };
    const Case cases[] = {
        { "a top caption keeps the height", cpTop, false, false, 80 },
        { "a left caption keeps the width", cpLeft, false, false, 120 },
        { "collapsed keeps the old value", cpTop, true, false, 55 },
        { "collapsing keeps the old value", cpTop, false, true, 55 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KeptFullHeight(55, QSize(120, 80), c.caption, c.collapsed, c.collapsing), c.expected);
    }
}

TEST(PanelMotion, AutoSizeAreaAndSize)
{
    Layout l;
    l.client = QSize(100, 50);
    l.bevelWidth = 2;
    EXPECT_EQ(AutoSizeArea(l, true, true), TRect(0, 0, 65535, 65535));
    EXPECT_EQ(AutoSizeArea(l, false, true), TRect(0, 0, 96, 65535));
    EXPECT_EQ(AutoSizeArea(l, true, false), TRect(0, 0, 65535, 46));
    l.client = QSize(3, 3);
    EXPECT_EQ(AutoSizeArea(l, false, false), TRect(0, 0, 0, 0)); // bevels wider than the panel

    l.client = QSize(100, 50);
    EXPECT_EQ(AutoSized(l, QSize(40, 13), true, true, kNone), QSize(44, 17));
    EXPECT_EQ(AutoSized(l, QSize(40, 13), false, true, kFrame), QSize(102, 19));
    EXPECT_EQ(AutoSized(l, QSize(40, 13), true, false, kFrame), QSize(46, 52));
}

} // namespace
