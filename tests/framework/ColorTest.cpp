// SPDX-License-Identifier: MIT
#include "Color.h"
#include "VersionText.h"

#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(Color, PlainColoursPassThroughAndSplitIntoBgr)
{
    EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
    EXPECT_EQ(RedOf(0x00123456), 0x56);
    EXPECT_EQ(GreenOf(0x00123456), 0x34);
    EXPECT_EQ(BlueOf(0x00123456), 0x12);
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3)), RGBColor(1, 2, 3));
}

TEST(Color, SystemColoursResolveThroughThePalette)
{
    QPalette pal;
    pal.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 30));
    pal.setColor(QPalette::Active, QPalette::Base, QColor(250, 251, 252));
    pal.setColor(QPalette::Active, QPalette::Button, QColor(240, 240, 240));
    EXPECT_EQ(ColorToRGB(clHighlight, &pal), RGBColor(10, 20, 30));
    EXPECT_EQ(ColorToRGB(clWindow, &pal), RGBColor(250, 251, 252));
    EXPECT_EQ(ColorToRGB(clBtnFace, &pal), RGBColor(240, 240, 240));
    EXPECT_FALSE(IsSystemColor(ColorToRGB(clBtnShadow)));
}

TEST(Color, UnknownSystemIndexIsBlackAndNoneIsTransparent)
{
    EXPECT_EQ(ColorToRGB(0xFF0000FF), clBlack);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
}

TEST(VersionText, OneBytePerPartMostSignificantFirst)
{
    EXPECT_EQ(VersionText(0x01080002), "1.8.0.2");
    EXPECT_EQ(VersionText(0x02080300), "2.8.3.0");
    EXPECT_EQ(VersionText(0xFFFFFFFF), "255.255.255.255");
}

} // namespace
