// SPDX-License-Identifier: MIT
#include "Color.h"
#include "HTMLPicture.h"
#include "ImageList.h"
#include "MarkupTestSupport.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TMarkupParams DrawParams()
{
    TMarkupParams params;
    params.Rect = TRect(0, 0, 400, 80);
    return params;
}

int Gh()
{
    TMeasureCanvas canvas;
    return canvas.TextHeight(u"gh");
}

int Width(QStringView text, bool bold = false)
{
    TMeasureCanvas canvas;
    canvas.Font.Bold = bold;
    return canvas.TextWidth(text);
}

QRgb Rgb(TColor color)
{
    return ColorToQColor(color).rgb() & 0xFFFFFF;
}

} // namespace

TEST(MarkupDraw, TextIsDrawnInTheFontColourAndFontTagsChangeIt)
{
    MarkupImage base(QStringLiteral("WWW"), DrawParams(), QSize(200, 30), TColor(0x0000FF));
    EXPECT_GT(base.CountNear(0xFF0000, QRect(0, 0, 200, 30)), 10); // red (0x0000FF is red in BGR)

    MarkupImage black(
        QStringLiteral("<FONT color=\"#000000\">WWW</FONT>"), DrawParams(), QSize(200, 30), 0x0000FF);
    EXPECT_GT(black.CountNear(0x000000, QRect(0, 0, 200, 30)), 10);
    EXPECT_EQ(black.CountNear(0xFF0000, QRect(0, 0, 200, 30)), 0);

    // Lower-case digits read the same inside a font tag, names in any case are found.
    MarkupImage lower(QStringLiteral("<font color=\"#00ff00\">WWW</font>"), DrawParams(), QSize(200, 30));
    EXPECT_GT(lower.CountNear(0x00FF00, QRect(0, 0, 200, 30)), 10);
    MarkupImage named(
        QStringLiteral("<FONT color=\"ClBlUe\">WWW</FONT>"), DrawParams(), QSize(200, 30), 0x0000FF);
    EXPECT_GT(named.CountNear(0x0000FF, QRect(0, 0, 200, 30)), 10);
    MarkupImage unknown(
        QStringLiteral("<FONT color=\"nocolour\">WWW</FONT>"), DrawParams(), QSize(200, 30), 0x0000FF);
    EXPECT_GT(unknown.CountNear(0x000000, QRect(0, 0, 200, 30)), 10);
}

TEST(MarkupDraw, AnchorsAreUnderlinedInTheLinkColourAndTheProgramsAddressIsBlackAndBold)
{
    MarkupImage link(QStringLiteral("<A href=\"x\">WWW</A>"), DrawParams(), QSize(200, 30));
    const int gh = Gh();
    // The underline: a row of link-coloured pixels along the whole run near the bottom of the line.
    int underlineRow = -1;
    for (int y = 0; y < gh + 2; ++y)
        if (link.CountNear(0x0000FF, QRect(1, y, Width(u"WWW"), 1)) >= Width(u"WWW") - 1)
            underlineRow = y;
    EXPECT_GT(underlineRow, gh / 2);

    const QString markup
        = QStringLiteral("<A href=\"mailto:a@b\"><U><FONT color=\"#000000\"><B>WWW</B></FONT></U></A>");
    MarkupImage program(markup, DrawParams(), QSize(200, 30), TColor(0x808080));
    EXPECT_EQ(program.CountNear(0x0000FF, QRect(0, 0, 200, 30)), 0);
    const int boldWidth = Width(u"WWW", true);
    EXPECT_EQ(program.InkColumns().second, boldWidth); // ends where the bold run ends (one-pixel start)
    bool underlined = false;
    for (int y = gh / 2; y < gh + 2; ++y)
        underlined |= program.CountNear(0x000000, QRect(1, y, boldWidth, 1)) >= boldWidth - 1;
    EXPECT_TRUE(underlined);
}

TEST(MarkupDraw, HoverUnderlinesAndColoursOnlyTheHoveredAnchor)
{
    TMarkupParams params = DrawParams();
    params.Hover = true;
    params.HoverAnchor = 2;
    params.HoverFontColor = 0x0000FF;
    params.HoverColor = 0x00FFFF;
    MarkupImage image(QStringLiteral("<A href=\"1\">WW</A> <A href=\"2\">WW</A>"), params, QSize(200, 30));
    const int first = Width(u"WW");
    const int secondLeft = 1 + Width(u"WW ");
    EXPECT_GT(image.CountNear(0x0000FF, QRect(1, 0, first, 30)), 5); // link colour, no hover colours
    EXPECT_EQ(image.Count(0xFFFF00, QRect(1, 0, first, 30)), 0);
    EXPECT_GT(image.CountNear(0xFF0000, QRect(secondLeft, 0, first, 30)), 5); // hover font colour
    EXPECT_GT(image.Count(0xFFFF00, QRect(secondLeft, 0, first, 30)), 5); // hover background
}

TEST(MarkupDraw, HighlightPaintsTheRunOnTheHighlightColour)
{
    MarkupImage image(QStringLiteral("ab<HI>WWW</HI>cd"), DrawParams(), QSize(200, 30));
    const QRect run(1 + Width(u"ab"), 0, Width(u"WWW"), Gh());
    EXPECT_GT(image.Count(Rgb(clHighlight), run), run.width() * run.height() / 3);
    EXPECT_EQ(image.Count(Rgb(clHighlight), QRect(0, 0, run.left() - 1, 30)), 0);
    EXPECT_EQ(image.Count(Rgb(clHighlight), QRect(run.right() + 2, 0, 100, 30)), 0);
}

TEST(MarkupDraw, ErrorMarkIsARedZigZagUnderTheRun)
{
    MarkupImage image(QStringLiteral("<E>WWWW</E>"), DrawParams(), QSize(200, 30));
    const int base = Gh();
    const int red = image.Count(0xFF0000, QRect(0, base - 3, 200, 6));
    EXPECT_GE(red, Width(u"WWWW") / 2);
    // Two rows: the line goes up and down every two pixels.
    EXPECT_GT(image.Count(0xFF0000, QRect(0, base - 1, 200, 1)), 0);
    EXPECT_GT(image.Count(0xFF0000, QRect(0, base + 1, 200, 1)), 0);
}

TEST(MarkupDraw, BulletsAlternateByLevelAndSitTwelvePixelsPerLevel)
{
    const int gh = Gh();
    MarkupImage one(QStringLiteral("<UL><LI>a</UL>"), DrawParams(), QSize(200, 60));
    MarkupImage two(QStringLiteral("<UL><UL><LI>a</UL></UL>"), DrawParams(), QSize(200, 60));
    // Level 1: bullet in the first 12 pixels, text after them.
    EXPECT_GT(one.Ink(QRect(1, gh, 12, gh)), 0);
    EXPECT_GT(one.Ink(QRect(13, gh, Width(u"a"), gh)), 0);
    // Level 2 starts 12 pixels further in and its bullet is a different character.
    EXPECT_EQ(two.Ink(QRect(0, 2 * gh, 12, gh)), 0);
    EXPECT_GT(two.Ink(QRect(13, 2 * gh, 12, gh)), 0);
    EXPECT_NE(one.Ink(QRect(1, gh, 12, gh)), two.Ink(QRect(13, 2 * gh, 12, gh)));
}

TEST(MarkupDraw, AlignmentOfLines)
{
    const int w = Width(u"abc");
    TMarkupParams narrowRect = DrawParams();
    narrowRect.Rect = TRect(0, 0, 200, 30);
    MarkupImage right(QStringLiteral("<P align=\"right\">abc "), narrowRect, QSize(200, 30));
    const auto [rl, rr] = right.InkColumns();
    EXPECT_GE(rr, 200 - 3); // the trailing blank is ignored
    EXPECT_LE(rl, 200 - w + 1);

    narrowRect.Rect = TRect(0, 0, 200, 40);
    MarkupImage center(QStringLiteral("<P align=\"center\">abc<BR>abc"), narrowRect, QSize(200, 40));
    const int expectedLeft = 1 + (199 - w) / 2;
    EXPECT_NEAR(center.InkColumns().first, expectedLeft, 2);
    // The alignment stays for the following line.
    int secondLineLeft = -1;
    for (int x = 0; x < 200 && secondLineLeft < 0; ++x)
        if (center.Ink(QRect(x, Gh(), 1, Gh())) > 0)
            secondLineLeft = x;
    EXPECT_NEAR(secondLineLeft, expectedLeft, 2);

    // A centred line wider than the rectangle starts at the left edge.
    TMarkupParams narrow = DrawParams();
    narrow.Rect = TRect(0, 0, 20, 30);
    MarkupImage wide(QStringLiteral("<P align=\"center\">WWWWWWWW"), narrow, QSize(200, 30));
    EXPECT_LE(wide.InkColumns().first, 2);
}

TEST(MarkupDraw, WithoutWordWrapTheLineIsCutWithAnEllipsis)
{
    TMarkupParams params = DrawParams();
    params.WordWrap = false;
    params.Rect = TRect(0, 0, 80, 30);
    MarkupImage image(QStringLiteral("a long line of words that does not fit"), params, QSize(200, 30));
    EXPECT_LT(image.InkColumns().second, 80);
    EXPECT_GT(image.InkColumns().second, 60);
}

TEST(MarkupDraw, GradientBandsStepFromOneColourToTheOther)
{
    QImage image(64, 8, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TPainterCanvas canvas(painter);
        DrawGradient(canvas, clBlack, clWhite, 4, TRect(0, 0, 64, 8), true);
    }
    EXPECT_EQ(qRed(image.pixel(0, 4)), 0);
    EXPECT_EQ(qRed(image.pixel(17, 4)), 64);
    EXPECT_EQ(qRed(image.pixel(33, 4)), 128);
    EXPECT_EQ(qRed(image.pixel(63, 4)), 191);

    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TPainterCanvas canvas(painter);
        DrawGradient(canvas, 0x0000FF, 0x0000FF, 0, TRect(0, 0, 64, 8), false, clBlack);
    }
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0u); // border
    EXPECT_EQ(image.pixel(63, 7) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(30, 4) & 0xFFFFFF, 0xFF0000u); // steps 0 counts as one band
}

TEST(MarkupDraw, PageAndParagraphBackgrounds)
{
    MarkupImage page(QStringLiteral("<BODY bgcolor=\"clYellow\">x"), DrawParams(), QSize(100, 40));
    EXPECT_EQ(page.At(50, 35), 0xFFFF00u);
    // A tag that merely starts with B then O is the page tag too.
    MarkupImage bogus(QStringLiteral("<BOGUS bgcolor=\"clYellow\">x"), DrawParams(), QSize(100, 40));
    EXPECT_EQ(bogus.At(50, 35), 0xFFFF00u);
    TMarkupParams fixed = DrawParams();
    fixed.FixedColors = true;
    MarkupImage none(QStringLiteral("<BODY bgcolor=\"clYellow\">x"), fixed, QSize(100, 40));
    EXPECT_EQ(none.At(50, 35), 0xFFFFFFu);

    MarkupImage gradient(
        QStringLiteral("<BODY bgcolor=\"#000000\" bgcolorto=\"#FFFFFF\">"), DrawParams(), QSize(128, 20));
    EXPECT_LT(qRed(gradient.image.pixel(2, 10)), qRed(gradient.image.pixel(120, 10)));

    MarkupImage para(QStringLiteral("a<P bgcolor=\"clAqua\">b</P>c"), DrawParams(), QSize(100, 60));
    const int gh = Gh();
    EXPECT_EQ(para.At(90, gh / 2), 0x00FFFFu); // the paragraph's line is filled across
    EXPECT_EQ(para.At(90, gh + gh / 2), 0xFFFFFFu); // the closing tag ends it
}

TEST(MarkupDraw, FocusRectangleAroundTheFocusAnchor)
{
    TMarkupParams params = DrawParams();
    params.FocusAnchor = 1;
    MarkupImage image(
        QStringLiteral("<A href=\"one\">aa</A> <A href=\"two\">WWW</A>"), params, QSize(200, 30));
    EXPECT_EQ(image.result.FocusValue, QStringLiteral("two"));
    const int left = 1 + Width(u"aa ") - 1;
    // Dotted: some, not all, pixels of the left edge are dark.
    const int dots = image.Ink(QRect(left, 0, 1, Gh()));
    EXPECT_GT(dots, 1);
    EXPECT_LT(dots, Gh());
}

TEST(MarkupDraw, PicturesAreDrawnWhereTheyAreLaidOut)
{
    TImageList images;
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    images.Add(blue);
    TMarkupParams params = DrawParams();
    params.Images = &images;
    MarkupImage image(QStringLiteral("a<IMG src=\"IDX:0\">b"), params, QSize(100, 30));
    const int x = 1 + Width(u"a");
    EXPECT_EQ(image.Count(0x0000FF, QRect(x, 0, 16, 16)), 256);

    TPictureContainer container;
    QImage green(8, 8, QImage::Format_ARGB32);
    green.fill(Qt::green);
    container.Add(QStringLiteral("dot"), green);
    params.PictureContainer = &container;
    MarkupImage stretched(
        QStringLiteral("<IMG src=\"dot\" width=\"20\" height=\"10\">"), params, QSize(100, 30));
    EXPECT_EQ(stretched.Count(0x00FF00, QRect(0, 0, 100, 30)), 200);

    params.PrintMode = true;
    params.ResFactor = 2.0;
    MarkupImage printed(QStringLiteral("<IMG src=\"IDX:0\">"), params, QSize(100, 40));
    EXPECT_EQ(printed.Count(0x0000FF, QRect(0, 0, 100, 40)), 32 * 32);
}

TEST(MarkupDraw, BlinkTextIsInvisibleOffPhaseAndShadowIsDrawnDisplaced)
{
    TMarkupParams params = DrawParams();
    MarkupImage off(QStringLiteral("<BLINK>WWW</BLINK>"), params, QSize(100, 30));
    EXPECT_EQ(off.Ink(QRect(0, 0, 100, 30)), 0);
    params.BlinkOn = true;
    MarkupImage on(QStringLiteral("<BLINK>WWW</BLINK>"), params, QSize(100, 30));
    EXPECT_GT(on.Ink(QRect(0, 0, 100, 30)), 0);

    params.ShadowOffset = 3;
    params.ShadowColor = 0x00FF00;
    MarkupImage shadow(QStringLiteral("<SHAD>WWW</SHAD>"), params, QSize(100, 30));
    EXPECT_GT(shadow.CountNear(0x00FF00, QRect(0, 0, 100, 30)), 5);
}

TEST(MarkupDraw, PageBackgroundPictureIsTiledOverTheRectangle)
{
    TPictureContainer container;
    QImage tile(7, 5, QImage::Format_ARGB32);
    tile.fill(Qt::red);
    tile.setPixel(0, 0, qRgb(0, 0, 255));
    container.Add(QStringLiteral("tile"), tile);
    TMarkupParams params = DrawParams();
    params.PictureContainer = &container;
    params.Rect = TRect(10, 10, 60, 40);
    MarkupImage image(QStringLiteral("<BODY background=\"tile\">"), params, QSize(100, 60));
    EXPECT_EQ(
        image.Count(0xFF0000, QRect(10, 10, 50, 30)) + image.Count(0x0000FF, QRect(10, 10, 50, 30)), 50 * 30);
    EXPECT_EQ(image.At(10 + 7, 10 + 5), 0x0000FFu); // a tile starts every 7 by 5 pixels from the corner
    EXPECT_EQ(
        image.Ink(QRect(0, 0, 100, 10)) + image.Ink(QRect(60, 0, 40, 60)) + image.Ink(QRect(0, 40, 100, 20)),
        0);
}

TEST(MarkupDraw, AnImageAlignedTopLiftsTheLinesText)
{
    TPictureContainer container;
    QImage tall(6, 40, QImage::Format_ARGB32);
    tall.fill(Qt::green);
    container.Add(QStringLiteral("tall"), tall);
    TMarkupParams params = DrawParams();
    params.PictureContainer = &container;
    const int gh = Gh();
    MarkupImage lifted(QStringLiteral("<IMG src=\"tall\" align=\"top\">WWW"), params, QSize(100, 60));
    MarkupImage plain(QStringLiteral("<IMG src=\"tall\">WWW"), params, QSize(100, 60));
    const QRect textArea(8, 0, 60, 60);
    EXPECT_GT(lifted.Ink(QRect(8, 0, 60, gh)), 0);
    EXPECT_EQ(lifted.Ink(QRect(8, gh + 2, 60, 60)), 0);
    EXPECT_EQ(plain.Ink(QRect(8, 0, 60, 40 - gh - 1)), 0);
    EXPECT_GT(plain.Ink(textArea), 0);
}

TEST(MarkupDraw, ProgramManualRepairTextShowsTheAddressUnderlinedInBlack)
{
    const QString email = QStringLiteral("support@quillon.example");
    const QString text = QStringLiteral(
        "You can send us your file for the manual repair of the file. Our repair experts will "
        "analyze the file and repair it for you. Once the file has been received, it generally "
        "takes 1-48 hours to process. You can send your corrupted file as an attachment to us "
        "via email <A href=\"mailto:%1\"><U><FONT color=\"#000000\"><B>%1</B></FONT></U></A>")
                             .arg(email);
    for (const int width : { 775, 390 }) {
        TMarkupParams params = DrawParams();
        params.Rect = TRect(0, 0, width, 80);
        // Where the address lies, found by hit tests on a measuring canvas.
        MarkupLayoutFixture layout;
        layout.params.Rect = params.Rect;
        TRect address;
        for (int y = 1; y < 80 && address.IsEmpty(); y += 2)
            for (int x = 1; x < width && address.IsEmpty(); x += 3)
                if (layout.HitTest(text, x, y))
                    address = layout.result.HitRect;
        ASSERT_FALSE(address.IsEmpty()) << width;
        EXPECT_EQ(layout.result.AnchorValue, QStringLiteral("mailto:") + email);

        // Window-text grey for the sentence, so that black can only come from the font tag.
        MarkupImage image(text, params, QSize(width, 80), TColor(0x808080));
        EXPECT_EQ(image.CountNear(0x0000FF, address.toQRect(), 100), 0) << "the link colour shows";
        bool underlined = false;
        for (int y = address.Top + address.Height() / 2; y <= address.Bottom; ++y)
            underlined
                |= image.Count(0x000000, QRect(address.Left, y, address.Width(), 1)) >= address.Width() - 1;
        EXPECT_TRUE(underlined) << width;
        EXPECT_EQ(image.Count(0x000000, QRect(0, 0, width, address.Top)), 0) << "black before the address";
    }
}
