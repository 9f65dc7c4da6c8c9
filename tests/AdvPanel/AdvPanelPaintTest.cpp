// SPDX-License-Identifier: MIT
// Pixels of the panel where they matter: the classic edge, gradients, border shadow, pictures.
#include "AdvPanel.h"
#include "PanelPixels.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <set>

using namespace AdvPanel;

namespace {

struct PanelFixture : ::testing::Test {
    TAdvPanel panel;
    PanelFixture() { panel.resize(40, 30); }
};

TEST_F(PanelFixture, ClassicLookIsButtonFaceWithOneRaisedEdge)
{
    panel.setBorderColor(clGray); // as both windows store it: no frame, no border (BorderWidth 0)
    const QImage image = Paint(panel);
    const TColor face = ColorToRGB(clBtnFace);
    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor shadow = ColorToRGB(clBtnShadow);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            TColor expected = face;
            if (x == 39 || y == 29)
                expected = shadow;
            else if (x == 0 || y == 0)
                expected = light;
            ASSERT_EQ(At(image, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(PanelFixture, BevelsAndFrames)
{
    struct Case {
        const char* name;
        std::function<void(TCustomAdvPanel&)> set;
        QPoint at;
        TColor expected;
    };
    const Case cases[] = {
        { "bvSpace draws like bvRaised", [](auto& p) { p.setBevelOuter(bvSpace); }, { 0, 5 },
            clBtnHighlight },
        { "lowered swaps the colours", [](auto& p) { p.setBevelOuter(bvLowered); }, { 0, 5 }, clBtnShadow },
        { "BorderWidth 0 draws no border", [](auto& p) { p.setBorderColor(clRed); }, { 1, 5 }, clBtnFace },
        { "a border inside nothing",
            [](auto& p) {
                p.setBevelOuter(bvNone);
                p.setBorderColor(clRed);
                p.setBorderWidth(1);
            },
            { 0, 5 }, clRed },
        { "clNone frames in Color inside the bevel",
            [](auto& p) {
                p.setColor(clRed);
                p.setColorTo(clBlue);
                p.setBorderColor(clNone);
            },
            { 1, 15 }, clRed },
        { "inner bevel one ring further in",
            [](auto& p) {
                p.setBevelInner(bvLowered);
                p.setBevelWidth(2);
            },
            { 2, 15 }, clBtnShadow },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAdvPanel p;
        p.resize(40, 30);
        c.set(p);
        EXPECT_EQ(At(Paint(p), c.at.x(), c.at.y()), ColorToRGB(c.expected));
    }
}

TEST_F(PanelFixture, A64StepGradientIs32BandsStoppingShortOfTheEndColour)
{
    panel.resize(64, 20);
    panel.setBevelOuter(bvNone);
    panel.setColor(RGBColor(0, 0, 0));
    panel.setColorTo(RGBColor(255, 128, 64));
    panel.setGradientDirection(gdHorizontal);
    const QImage image = Paint(panel);
    std::set<TColor> bands;
    for (int x = 0; x < 64; ++x)
        bands.insert(At(image, x, 10));
    EXPECT_EQ(bands.size(), 32u);
    EXPECT_EQ(At(image, 0, 10), RGBColor(0, 0, 0));
    // Band 31 of 32: 31 x 255 / 32 = 247.03, 31 x 128 / 32 = 124, 31 x 64 / 32 = 62.
    EXPECT_EQ(At(image, 63, 10), RGBColor(247, 124, 62));
    EXPECT_EQ(At(image, 1, 0), At(image, 1, 19)); // bands span the other direction whole
}

TEST_F(PanelFixture, MirrorGradientSplitsAtTheMiddle)
{
    panel.resize(10, 40);
    panel.setBevelOuter(bvNone);
    panel.setColor(clRed);
    panel.setColorTo(clRed);
    panel.setColorMirror(clBlue);
    panel.setColorMirrorTo(clBlue);
    const QImage image = Paint(panel);
    EXPECT_EQ(At(image, 5, 19), clRed);
    EXPECT_EQ(At(image, 5, 20), clBlue);
    EXPECT_EQ(At(image, 5, 39), clBlue);
}

TEST_F(PanelFixture, BorderShadowLines)
{
    panel.setBevelOuter(bvNone);
    panel.setColor(clWhite);
    panel.setBorderColor(clBlack);
    panel.setBorderWidth(1);
    panel.setBorderShadow(true);
    const QImage image = Paint(panel);
    // The border covers 0..37 x 0..27; shadows at x 38 and 39, y 28 and 29.
    EXPECT_EQ(At(image, 37, 10), clBlack);
    const TColor half = PanelGeometry::BlendColor(clBlack, clBtnFace, 50);
    const TColor fifth = PanelGeometry::BlendColor(clBlack, clBtnFace, 20);
    EXPECT_EQ(At(image, 38, 10), half);
    EXPECT_EQ(At(image, 10, 28), half);
    EXPECT_EQ(At(image, 39, 10), fifth);
    EXPECT_EQ(At(image, 10, 29), fifth);
    EXPECT_EQ(At(image, 0, 28), clWhite); // polylines stop short of their end point
    EXPECT_EQ(At(image, 38, 0), half);
}

TEST_F(PanelFixture, BackgroundPositions)
{
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    struct Case {
        TBackGroundPosition position;
        QPoint red;
        QPoint notRed;
    };
    const Case cases[] = {
        { bpTopLeft, { 0, 0 }, { 4, 3 } },
        { bpTopRight, { 35, 0 }, { 34, 0 } },
        { bpBottomLeft, { 0, 26 }, { 0, 25 } },
        { bpBottomRight, { 35, 26 }, { 34, 26 } },
        { bpCenter, { 17, 13 }, { 16, 13 } },
        { bpTiled, { 39, 29 }, { -1, -1 } },
        { bpStretched, { 39, 29 }, { -1, -1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.position));
        TAdvPanel p;
        p.resize(40, 30);
        p.Background().SetImage(picture);
        p.setBackgroundPosition(c.position);
        const QImage image = Paint(p);
        EXPECT_EQ(At(image, c.red.x(), c.red.y()), clRed);
        if (c.notRed.x() >= 0) {
            EXPECT_NE(At(image, c.notRed.x(), c.notRed.y()), clRed);
        }
    }
}

TEST_F(PanelFixture, TextIsDrawnInTheFontColourAndSizeGripInTheCorner)
{
    panel.resize(120, 40);
    TFont font;
    font.Color = clRed;
    panel.setFont(font);
    panel.setText(QStringLiteral("<B>WWWW</B>"));
    panel.setCanSize(true);
    const QImage image = Paint(panel);
    int red = 0;
    for (int y = 2; y < 20; ++y) {
        for (int x = 2; x < 60; ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 60 && c.blue() < 60 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(At(image, 116, 36), clWhite); // on the white stroke from (R, B - 4) to (R - 4, B), R 118, B 38
}

} // namespace
