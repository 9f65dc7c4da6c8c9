// SPDX-License-Identifier: MIT
#include "PanelGeometry.h"

#include <gtest/gtest.h>

using namespace AdvPanel;
using namespace PanelGeometry;

namespace {

TEST(PanelGeometry, GradientBandsAreCappedAt32)
{
    const std::pair<int, int> cases[] = { { 0, 1 }, { -5, 1 }, { 1, 1 }, { 31, 31 }, { 40, 32 }, { 64, 32 } };
    for (const auto& [requested, bands] : cases) {
        SCOPED_TRACE(requested);
        EXPECT_EQ(GradientBandCount(requested), bands);
    }
}

TEST(PanelGeometry, BlendColor)
{
    struct Case {
        TColor c1, c2;
        int percent;
        TColor expected;
    };
    const Case cases[] = {
        { clBtnFace, clWhite, 100, clBtnFace }, // 100 returns c1 unresolved
        { clBlack, clWhite, 50, RGBColor(128, 128, 128) }, // 127.5 rounds up
        { clBlack, clWhite, 20, RGBColor(204, 204, 204) },
        { RGBColor(10, 20, 30), RGBColor(110, 120, 130), 0, RGBColor(110, 120, 130) },
        { clRed, clBlue, 25, RGBColor(64, 0, 191) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(BlendColor(c.c1, c.c2, c.percent), c.expected);
    }
    EXPECT_EQ(BlendColor(clBtnFace, clBtnFace, 50), ColorToRGB(clBtnFace));
}

TEST(PanelGeometry, MirrorHalvesSplitAtTheMiddleAcrossTheDirection)
{
    const auto [top, bottom] = MirrorHalves(TRect(0, 10, 50, 21), false);
    EXPECT_EQ(top, TRect(0, 10, 50, 15));
    EXPECT_EQ(bottom, TRect(0, 15, 50, 21));
    const auto [left, right] = MirrorHalves(TRect(3, 0, 10, 8), true);
    EXPECT_EQ(left, TRect(3, 0, 6, 8));
    EXPECT_EQ(right, TRect(6, 0, 10, 8));
}

TEST(PanelGeometry, BevelRingAndColours)
{
    const auto ring = BevelRing(TRect(0, 0, 10, 6));
    EXPECT_EQ(ring[0].rect, TRect(0, 0, 1, 5)); // left column to B-2
    EXPECT_EQ(ring[1].rect, TRect(0, 0, 9, 1)); // top row to R-2
    EXPECT_EQ(ring[2].rect, TRect(9, 0, 10, 6)); // right column whole
    EXPECT_EQ(ring[3].rect, TRect(0, 5, 10, 6)); // bottom row whole
    EXPECT_TRUE(ring[0].topLeft && ring[1].topLeft && !ring[2].topLeft && !ring[3].topLeft);
    EXPECT_EQ(BevelColors(bvRaised), BevelColors(bvSpace));
    EXPECT_EQ(BevelColors(bvRaised).first, clBtnHighlight);
    EXPECT_EQ(BevelColors(bvLowered).first, clBtnShadow);
}

TEST(PanelGeometry, BackgroundOrigins)
{
    // Area 2..98 x 22..78 of a 100 x 80 panel, picture 10 x 6, bevel 1.
    const TRect area(2, 22, 98, 78);
    struct Case {
        TBackGroundPosition position;
        QPoint at;
    };
    const Case cases[] = {
        { bpTopLeft, { 2, 22 } },
        { bpTopRight, { 96 - 10 - 1, 22 } },
        { bpBottomLeft, { 2, 80 - 6 - 1 } },
        { bpBottomRight, { 85, 73 } },
        { bpCenter, { 85 / 2, 73 / 2 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.position));
        EXPECT_EQ(BackgroundOrigin(c.position, area, QSize(100, 80), QSize(10, 6), 1), c.at);
    }
    // A picture larger than the panel stays at the area's corner.
    EXPECT_EQ(BackgroundOrigin(bpBottomRight, area, QSize(100, 80), QSize(200, 200), 1), QPoint(2, 22));
}

TEST(PanelGeometry, TextAreaAndVerticalAlignment)
{
    Layout l;
    l.client = QSize(200, 100);
    l.borderWidth = 2;
    l.indent = 5;
    l.topIndent = 4;
    EXPECT_EQ(TextArea(l), TRect(8, 7, 197, 97));
    l.borderShadow = true;
    l.statusVisible = true;
    EXPECT_EQ(TextArea(l), TRect(8, 7, 195, 94 - 18));

    Layout c;
    c.client = QSize(200, 100);
    c.captionVisible = true; // band 20 - 2 x 1 = 18
    const TRect area = TextArea(c);
    EXPECT_EQ(area, TRect(1, 19, 199, 99));
    EXPECT_EQ(AlignText(c, area, 10, tvaTop), area);
    // The caption band moves the top once more before centring: 19 + 18 = 37, (99 - 37 - 10) / 2 = 26.
    EXPECT_EQ(AlignText(c, area, 10, tvaCenter).Top, 37 + 26);
    EXPECT_EQ(AlignText(c, area, 10, tvaBottom).Top, 89);
    // Text taller than the room keeps the top.
    EXPECT_EQ(AlignText(c, area, 500, tvaBottom).Top, 37);
    c.captionPosition = cpLeft;
    EXPECT_EQ(ContentArea(c), TRect(20, 0, 200, 100));
}

TEST(PanelGeometry, ChildAreaLeavesCaptionAndStatusBar)
{
    Layout l;
    l.client = QSize(200, 100);
    const TRect base(1, 1, 199, 99);
    EXPECT_EQ(ChildArea(l, base), base);
    l.captionVisible = true;
    l.statusVisible = true;
    EXPECT_EQ(ChildArea(l, base), TRect(1, 18, 199, 82));
    l.captionPosition = cpLeft;
    EXPECT_EQ(ChildArea(l, base), TRect(18, 1, 182, 99));
}

TEST(PanelGeometry, SizeGripInsetByBevelAndShadow)
{
    Layout l;
    l.client = QSize(100, 50);
    l.bevelWidth = 2;
    auto grip = SizeGripLines(l);
    EXPECT_EQ(grip[0].from, QPoint(96, 46 - 11));
    EXPECT_EQ(grip[5].to, QPoint(92, 46));
    l.borderShadow = true;
    l.bevel = false;
    grip = SizeGripLines(l);
    EXPECT_EQ(grip[3].from, QPoint(96, 46 - 12));
}

TEST(PanelGeometry, CaptionBandButtonsTextAndStatusBand)
{
    Layout l;
    l.client = QSize(200, 100);
    l.captionVisible = true;
    l.statusVisible = true;
    struct Case {
        const char* name;
        TCaptionPosition position;
        bool atStart;
        TRect band, close, minMax, text, status;
    };
    const Case cases[] = {
        { "top, buttons right", cpTop, false, TRect(1, 1, 199, 19), TRect(185, 4, 197, 16),
            TRect(171, 4, 183, 16), TRect(4, 1, 171, 19), TRect(1, 81, 199, 99) },
        { "top, buttons left", cpTop, true, TRect(1, 1, 199, 19), TRect(3, 4, 15, 16), TRect(17, 4, 29, 16),
            TRect(32, 1, 199, 19), TRect(1, 81, 199, 99) },
        { "left, buttons at the end", cpLeft, false, TRect(1, 1, 19, 99), TRect(4, 85, 16, 97),
            TRect(4, 71, 16, 83), TRect(1, 4, 19, 71), TRect(181, 1, 199, 99) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        l.captionPosition = c.position;
        EXPECT_EQ(CaptionBand(l), c.band);
        CaptionButtonInput in;
        in.close = in.minMax = true;
        in.atStart = c.atStart;
        const CaptionButtonRects buttons = CaptionButtons(l, in);
        EXPECT_EQ(buttons.close, c.close);
        EXPECT_EQ(buttons.minMax, c.minMax);
        EXPECT_EQ(CaptionTextArea(l, buttons, 3, 0), c.text);
        EXPECT_EQ(StatusBand(l), c.status);
    }
    CaptionButtonInput none;
    EXPECT_TRUE(CaptionButtons(l, none).close.IsEmpty());
}

TEST(PanelGeometry, CaptionPartsAtAPoint)
{
    Layout l;
    l.client = QSize(200, 100);
    l.captionVisible = true;
    const CaptionButtonRects buttons { TRect(185, 4, 197, 16), TRect(171, 4, 183, 16) };
    struct Case {
        const char* name;
        bool visible;
        TCaptionPosition position;
        QPoint p;
        CaptionPart expected;
    };
    const Case cases[] = {
        { "on the bar", true, cpTop, { 50, 10 }, CaptionPart::Bar },
        { "the bevel above the band is the bar's", true, cpTop, { 50, 0 }, CaptionPart::Bar },
        { "the last row of the height", true, cpTop, { 50, 19 }, CaptionPart::Bar },
        { "below it", true, cpTop, { 50, 20 }, CaptionPart::None },
        { "close button", true, cpTop, { 190, 10 }, CaptionPart::Close },
        { "min/max button", true, cpTop, { 175, 10 }, CaptionPart::MinMax },
        { "between the buttons", true, cpTop, { 184, 10 }, CaptionPart::Bar },
        { "hidden caption", false, cpTop, { 190, 10 }, CaptionPart::None },
        { "a left caption along the side", true, cpLeft, { 10, 90 }, CaptionPart::Bar },
        { "right of a left caption", true, cpLeft, { 20, 10 }, CaptionPart::None },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        l.captionVisible = c.visible;
        l.captionPosition = c.position;
        EXPECT_EQ(CaptionPartAt(l, buttons, c.p), c.expected);
    }
}

TEST(PanelGeometry, CollapsedExtentSums)
{
    struct Case {
        const char* name;
        TCaptionPosition position;
        bool status;
        int borderWidth;
        bool shadow;
        int expected;
    };
    const Case cases[] = {
        { "top caption alone", cpTop, false, 0, false, 18 },
        { "with the status bar", cpTop, true, 0, false, 36 },
        { "left caption keeps its height", cpLeft, false, 0, false, 20 },
        { "border with shadow", cpTop, false, 3, true, 18 + 3 + 4 },
        { "shadow without a border", cpTop, false, 0, true, 18 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout l;
        l.captionVisible = true;
        l.captionPosition = c.position;
        l.statusVisible = c.status;
        l.borderWidth = c.borderWidth;
        l.borderShadow = c.shadow;
        EXPECT_EQ(CollapsedExtent(l), c.expected);
    }
    EXPECT_EQ(AnimationStep(100, 18, 1, 4), 80);
    EXPECT_EQ(AnimationStep(100, 18, 4, 4), 18);
    EXPECT_EQ(AnimationStep(18, 100, 0, 0), 100);
}

TEST(PanelGeometry, SizingZones)
{
    const QSize client(100, 80);
    struct Case {
        QPoint p;
        bool fixedWidth, fixedHeight;
        SizeZone expected;
    };
    const Case cases[] = {
        { { 99, 79 }, false, false, SizeZone::Corner },
        { { 94, 74 }, false, false, SizeZone::Corner }, // frame + 2 from both edges
        { { 93, 79 }, false, false, SizeZone::Bottom }, { { 50, 76 }, false, false, SizeZone::Bottom },
        { { 50, 75 }, false, false, SizeZone::None }, { { 96, 40 }, false, false, SizeZone::Right },
        { { 99, 79 }, true, false, SizeZone::None }, { { 50, 79 }, true, false, SizeZone::Bottom },
        { { 50, 79 }, false, true, SizeZone::None }, { { 99, 40 }, true, false, SizeZone::None },
        { { 100, 40 }, false, false, SizeZone::None }, // outside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x() << "," << c.p.y());
        EXPECT_EQ(SizingZone(client, c.p, 4, c.fixedWidth, c.fixedHeight), c.expected);
    }
}

TEST(PanelGeometry, AutoSizeSums)
{
    Layout l;
    l.borderWidth = 2;
    l.bevelWidth = 1;
    l.indent = 5;
    l.topIndent = 3;
    const QSize text(120, 30);
    // 120 + 4 + 2 + 5; 30 + 4 + 2 + 3.
    EXPECT_EQ(AutoSizeExtent(l, text, QSize(50, 50), true, true), QSize(131, 39));
    EXPECT_EQ(AutoSizeExtent(l, text, QSize(50, 50), false, true), QSize(50, 39));
    l.captionVisible = true;
    l.statusVisible = true;
    EXPECT_EQ(AutoSizeExtent(l, text, QSize(50, 50), true, true), QSize(131, 39 + 20 + 18));
    l.captionPosition = cpLeft;
    EXPECT_EQ(AutoSizeExtent(l, text, QSize(50, 50), true, true), QSize(131 + 20 + 18, 39));
    l.borderShadow = true;
    EXPECT_EQ(AutoSizeExtent(l, text, QSize(50, 50), true, true), QSize(131 + 20 + 18 + 2, 39 + 3));
}

} // namespace
