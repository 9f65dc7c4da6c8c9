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

} // namespace
