// SPDX-License-Identifier: MIT
#include "BoldFace.h"
#include "ForwardingCanvas.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"
#include "TextMetrics.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

bool IsInk(QRgb p)
{
    return qGray(p) < 160;
}

// Bounding box of the pixels that are not white.
QRect InkBox(const QImage& img, const QRect& area = QRect())
{
    const QRect a = area.isNull() ? img.rect() : area;
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (img.pixel(x, y) != kWhite) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
    return l == INT_MAX ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

int InkInRow(const QImage& img, int y, int from, int to)
{
    int n = 0;
    for (int x = from; x < to; ++x)
        n += IsInk(img.pixel(x, y)) ? 1 : 0;
    return n;
}

class Canvas : public ::testing::Test {
protected:
    Canvas()
        : image(240, 80, QImage::Format_ARGB32)
    {
        image.setDotsPerMeterX(3780); // 96 dpi
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        painter = std::make_unique<QPainter>(&image);
        canvas = std::make_unique<TPainterCanvas>(*painter);
        canvas->Font.Color = clBlack;
        canvas->BkMode = TBkMode::Transparent;
    }
    const QImage& Done()
    {
        painter->end();
        return image;
    }
    int Draw(const QString& text, TRect r, unsigned format) { return canvas->DrawText(text, r, format); }
    int CalcWidth(const QString& text, unsigned format, int boxWidth = 1000)
    {
        TRect r(0, 0, boxWidth, 40);
        canvas->DrawText(text, r, format | DT::CalcRect | DT::SingleLine);
        return r.Width();
    }

    QImage image;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<TPainterCanvas> canvas;
};

TEST_F(Canvas, ExtentIsTheSumOfUnkernedAdvancesAndTheCellHeight)
{
    for (const bool bold : { false, true }) {
        canvas->Font.Bold = bold;
        const QString text = QStringLiteral("AVAWAY To, Wo. fi ffl");
        const QFontMetrics fm(canvas->Font.ToQFont());
        int sum = 0;
        for (QChar c : text) // as a string, so a synthetic bold face's letter spacing counts
            sum += fm.horizontalAdvance(QString(c));
        EXPECT_EQ(canvas->TextExtent(text), QSize(sum, TTextMetrics::For(canvas->Font)->Height()));
        // A pair is measured whole, so it is not two halves of a replacement box.
        const QString pair = QString::fromUcs4(U"\U0001F600");
        EXPECT_EQ(canvas->TextWidth(pair), fm.horizontalAdvance(pair));
    }
}

// Darkness of an area: the sum of how far each pixel is from white.
qint64 Ink(const QImage& img, const QRect& area)
{
    qint64 ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += 255 - qGray(img.pixel(x, y));
    return ink;
}

// Bold must look bold however the font database resolves it (the free Tahoma's bold face has the
// regular outlines) and at the density of the screen (the scale factor the tests run under): the
// same word inks clearly more in bold, through the canvas and through the line drawing of labels,
// and takes at least the regular width.
TEST_F(Canvas, BoldTextHasHeavierStrokesThanRegular)
{
    const double scale = qApp->devicePixelRatio();
    const QString word = QStringLiteral("browse support@quillon");
    for (const int height : { -9, -11 }) {
        SCOPED_TRACE(height);
        QImage dense(QSize(240, 80) * scale, QImage::Format_ARGB32);
        dense.setDevicePixelRatio(scale);
        dense.fill(Qt::white);
        QPainter densePainter(&dense);
        TPainterCanvas denseCanvas(densePainter);
        denseCanvas.BkMode = TBkMode::Transparent;
        denseCanvas.Font.Color = clBlack;
        denseCanvas.Font.Height = height;
        int width[2] = {};
        for (const bool bold : { false, true }) {
            denseCanvas.Font.Bold = bold;
            const int y = bold ? 20 : 0;
            TRect r(4, y, 236, y + 20);
            denseCanvas.DrawText(word, r, DT::SingleLine | DT::NoPrefix);
            width[bold] = denseCanvas.TextWidth(word);
            densePainter.setPen(Qt::black);
            DrawTextLineBold(densePainter, QRectF(4, 40 + y, 236, 20), Qt::AlignLeft | Qt::AlignVCenter, word,
                denseCanvas.Font.ToQFont());
        }
        denseCanvas.Flush();
        densePainter.end();
        auto ink = [&](int top) {
            return double(Ink(dense, QRect(QPoint(0, top) * scale, QSize(240, 20) * scale)));
        };
        EXPECT_GE(ink(20), 1.4 * ink(0)) << "canvas";
        EXPECT_GE(ink(60), 1.4 * ink(40)) << "label line";
        EXPECT_GE(width[1], width[0]);
    }
}

TEST_F(Canvas, MeasureCanvasMeasuresLikeThePainterCanvasOnA96DpiImage)
{
    TMeasureCanvas measure;
    EXPECT_EQ(measure.PixelsPerInchX(), canvas->PixelsPerInchX());
    EXPECT_EQ(canvas->PixelsPerInchY(), 96);
    const QString texts[]
        = { QStringLiteral("Hello, World"), QStringLiteral("a&&b &c"), QStringLiteral("x\ty"),
              QStringLiteral("Straße Ωμέγα"), QStringLiteral("The quick brown fox jumps over the lazy dog") };
    for (const int height : { -11, -16, 20 }) {
        for (const bool italic : { false, true }) {
            canvas->Font.Height = height;
            canvas->Font.Italic = italic;
            measure.Font = canvas->Font;
            for (const QString& t : texts) {
                EXPECT_EQ(measure.TextExtent(t), canvas->TextExtent(t)) << t.toStdString();
                for (const unsigned f : { DT::SingleLine, DT::SingleLine | DT::EndEllipsis | DT::ExpandTabs,
                         DT::WordBreak, DT::NoPrefix | DT::SingleLine }) {
                    TRect a(3, 4, 60, 30), b = a;
                    EXPECT_EQ(
                        measure.DrawText(t, a, f | DT::CalcRect), canvas->DrawText(t, b, f | DT::CalcRect));
                    EXPECT_EQ(a, b) << t.toStdString() << " " << f;
                }
            }
        }
    }
}

TEST_F(Canvas, DrawnTextStaysInsideItsMeasuredWidth)
{
    const QString text = QStringLiteral("Hello Wide World");
    const int width = canvas->TextWidth(text);
    Draw(text, TRect(10, 10, 230, 60), DT::SingleLine);
    const QRect ink = InkBox(Done());
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.left(), 10);
    EXPECT_LT(ink.right(), 10 + width);
    EXPECT_GT(ink.right(), 10 + width - 6);
}

TEST_F(Canvas, TextNeedingShapingIsDrawnWithinItsMeasuredWidth)
{
    // A combining accent and an Arabic word take the painter's own text layout.
    const QString texts[]
        = { QStringLiteral("Cafe\u0301 &au lait"), QStringLiteral("\u0633\u0644\u0627\u0645 ok") };
    int top = 5;
    for (const QString& text : texts) {
        TRect r(20, top, 230, top + 30);
        TRect calc = r;
        canvas->DrawText(text, calc, DT::SingleLine | DT::CalcRect);
        canvas->DrawText(text, r, DT::SingleLine);
        const QRect ink = InkBox(image, QRect(0, top, 240, 30));
        ASSERT_FALSE(ink.isNull()) << text.toStdString();
        EXPECT_GE(ink.left(), 19);
        EXPECT_LE(ink.right(), calc.Right + 1);
        top += 35;
    }
    Done();
}

TEST_F(Canvas, CalcRectSetsTheRightEdgeAndKeepsTheSingleLineHeight)
{
    TRect r(5, 7, 100, 50);
    const int h = canvas->DrawText(u"Some words", r, DT::SingleLine | DT::Bottom | DT::CalcRect);
    EXPECT_EQ(r, TRect(5, 7, 5 + canvas->TextWidth(u"Some words"), 50));
    EXPECT_EQ(h, canvas->TextHeight(u"Some words"));
    EXPECT_EQ(InkBox(Done()), QRect()) << "measuring draws nothing";
}

TEST_F(Canvas, WordBreakWrapsAtBlanksAndCalcRectSetsTheBottom)
{
    const int cell = canvas->TextHeight(u"x");
    const int word = canvas->TextWidth(u"alpha ");
    TRect r(0, 10, word + canvas->TextWidth(u"be"), 200);
    const int h = canvas->DrawText(u"alpha beta gamma", r, DT::WordBreak | DT::CalcRect);
    EXPECT_EQ(h, 3 * cell);
    EXPECT_EQ(r.Bottom, 10 + 3 * cell);
    EXPECT_EQ(r.Width(),
        std::max({ canvas->TextWidth(u"alpha"), canvas->TextWidth(u"beta"), canvas->TextWidth(u"gamma") }));
    // A word wider than the box stays whole; explicit breaks count as lines.
    TRect narrow(0, 0, 5, 200);
    EXPECT_EQ(canvas->DrawText(u"unbreakable", narrow, DT::WordBreak | DT::CalcRect), cell);
    EXPECT_EQ(narrow.Width(), canvas->TextWidth(u"unbreakable"));
    TRect lines(0, 0, 500, 0);
    EXPECT_EQ(canvas->DrawText(u"one\r\ntwo\nthree", lines, DT::CalcRect), 3 * cell);
}

TEST_F(Canvas, PrefixRule)
{
    EXPECT_EQ(CalcWidth(QStringLiteral("a&&b"), 0), canvas->TextWidth(u"a&b"));
    EXPECT_EQ(CalcWidth(QStringLiteral("a&&b"), DT::NoPrefix), canvas->TextWidth(u"a&&b"));
    EXPECT_GT(CalcWidth(QStringLiteral("a&&b"), DT::NoPrefix), CalcWidth(QStringLiteral("a&&b"), 0));
    EXPECT_EQ(CalcWidth(QStringLiteral("&xy"), 0), canvas->TextWidth(u"xy"));
    EXPECT_EQ(CalcWidth(QStringLiteral("ab&"), 0), canvas->TextWidth(u"ab"));

    // "&x" underlines the x: ink appears under the baseline where plain "x" has none.
    const auto m = TTextMetrics::For(canvas->Font);
    const int under = 10 + m->Ascent() + 1;
    Draw(QStringLiteral("&x"), TRect(10, 10, 100, 40), DT::SingleLine);
    Draw(QStringLiteral("x"), TRect(10, 40, 100, 70), DT::SingleLine);
    Draw(QStringLiteral("&&x"), TRect(110, 10, 200, 40), DT::SingleLine);
    const QImage& img = Done();
    const int w = canvas->TextWidth(u"x");
    EXPECT_GT(InkInRow(img, under, 10, 10 + w) + InkInRow(img, under + 1, 10, 10 + w), w / 2);
    EXPECT_EQ(InkInRow(img, under + 30, 10, 10 + w) + InkInRow(img, under + 31, 10, 10 + w), 0);
    EXPECT_EQ(InkInRow(img, under, 110, 200) + InkInRow(img, under + 1, 110, 200), 0)
        << "an escaped & underlines nothing";
}

TEST_F(Canvas, EndEllipsisKeepsTheTextInsideTheBox)
{
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog");
    const unsigned f = DT::SingleLine | DT::EndEllipsis;
    for (const int box : { 40, 61, 100, 150 }) {
        const int w = CalcWidth(text, f, box);
        EXPECT_LE(w, box);
        EXPECT_GT(w, box - canvas->TextWidth(u"W…"));
    }
    EXPECT_EQ(CalcWidth(text, f, 2000), canvas->TextWidth(text)) << "text that fits is not cut";
    EXPECT_EQ(CalcWidth(text, f, 2), 0) << "no room even for the ellipsis shows nothing";

    Draw(text, TRect(20, 10, 120, 40), f);
    const QRect ink = InkBox(Done());
    EXPECT_GE(ink.left(), 20);
    EXPECT_LT(ink.right(), 120);
    EXPECT_GT(ink.right(), 100);
}

TEST_F(Canvas, EllipsisNeverSplitsASurrogatePair)
{
    const QString smiles
        = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600\U0001F601\U0001F602\U0001F603");
    const auto m = TTextMetrics::For(canvas->Font);
    const int full = m->Width(smiles);
    for (int box = 0; box <= full; ++box) {
        TTextBlock block;
        LayoutText(*m, smiles, box, DT::SingleLine | DT::EndEllipsis, block);
        const QStringView shown = block.lines[0].Text();
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown[i].isHighSurrogate()) {
                ASSERT_TRUE(i + 1 < shown.size() && shown[i + 1].isLowSurrogate()) << box;
            }
            if (shown[i].isLowSurrogate()) {
                ASSERT_TRUE(i > 0 && shown[i - 1].isHighSurrogate()) << box;
            }
        }
        EXPECT_LE(block.width, box);
    }
}

TEST_F(Canvas, CellHeightIsTheWindowsAscentAndDescentOfTheEm)
{
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        GTEST_SKIP() << "the design font is not installed";
    // The height the design's 13-pixel lines of Tahoma 11 were laid out for.
    canvas->Font.Height = -11;
    EXPECT_EQ(canvas->TextHeight(u"gh"), 13);
    canvas->Font.Bold = true;
    EXPECT_EQ(canvas->TextHeight(u"gh"), 13);
}

TEST_F(Canvas, VerticalAndHorizontalAlignment)
{
    const int cell = canvas->TextHeight(u"Xg");
    const int w = canvas->TextWidth(u"Xg");
    EXPECT_EQ(Draw(QStringLiteral("Xg"), TRect(0, 0, 60, 80), DT::SingleLine | DT::Bottom), 80);
    Draw(QStringLiteral("Xg"), TRect(60, 0, 120, 80), DT::SingleLine);
    Draw(QStringLiteral("Xg"), TRect(120, 0, 180, 80), DT::SingleLine | DT::Right | DT::VCenter);
    Draw(QStringLiteral("Xg"), TRect(180, 0, 240, 80), DT::SingleLine | DT::Center);
    const QImage& img = Done();
    const QRect bottom = InkBox(img, QRect(0, 0, 60, 80));
    EXPECT_GE(bottom.top(), 80 - cell);
    EXPECT_GT(bottom.bottom(), 80 - cell / 2);
    EXPECT_LE(InkBox(img, QRect(60, 0, 60, 80)).bottom(), cell); // smoothed descenders may touch the next row
    const QRect right = InkBox(img, QRect(120, 0, 60, 80));
    EXPECT_GE(right.left(), 180 - w);
    EXPECT_GE(right.top(), 40 - cell / 2);
    EXPECT_LT(right.bottom(), 40 + cell / 2 + 1);
    const QRect centre = InkBox(img, QRect(180, 0, 60, 80));
    EXPECT_NEAR(centre.center().x(), 210, 3);
}

TEST_F(Canvas, OpaqueModeFillsTheTextCellWithTheBrushColour)
{
    canvas->Brush.Color = clRed;
    const int w = canvas->TextWidth(u"ab");
    const int cell = canvas->TextHeight(u"ab");
    canvas->BkMode = TBkMode::Opaque;
    Draw(QStringLiteral("ab"), TRect(10, 10, 100, 70), DT::SingleLine | DT::Bottom);
    canvas->BkMode = TBkMode::Transparent;
    Draw(QStringLiteral("ab"), TRect(110, 10, 200, 70), DT::SingleLine | DT::Bottom);
    canvas->BkMode = TBkMode::Opaque;
    canvas->Brush.Clear = true;
    Draw(QStringLiteral("ab"), TRect(110, 10, 200, 40), DT::SingleLine);
    const QImage& img = Done();
    EXPECT_EQ(img.pixel(10, 70 - cell), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(10 + w - 1, 69), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(10 + w, 69), kWhite) << "only the text's cell is filled";
    EXPECT_EQ(img.pixel(10, 70 - cell - 1), kWhite);
    for (int y = 10; y < 70; ++y)
        for (int x = 110; x < 200; ++x)
            ASSERT_NE(img.pixel(x, y), qRgb(255, 0, 0));
}

TEST_F(Canvas, TabsExpandToTabStops)
{
    const auto m = TTextMetrics::For(canvas->Font);
    const int stop = m->TabWidth();
    EXPECT_EQ(CalcWidth(QStringLiteral("a\tb"), DT::ExpandTabs), stop + canvas->TextWidth(u"b"));
    EXPECT_EQ(CalcWidth(QStringLiteral("\t\tb"), DT::ExpandTabs), 2 * stop + canvas->TextWidth(u"b"));
    EXPECT_LT(CalcWidth(QStringLiteral("a\tb"), 0), CalcWidth(QStringLiteral("a\tb"), DT::ExpandTabs));
}

TEST_F(Canvas, EscapementTurnsTextCounterClockwiseAboutItsStart)
{
    canvas->Font.Height = -16;
    canvas->Font.Escapement = 900;
    const int w = canvas->TextWidth(u"Rotated");
    Draw(QStringLiteral("Rotated"), TRect(100, 70, 230, 80), DT::SingleLine);
    const QRect ink = InkBox(Done());
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), ink.width());
    EXPECT_LE(ink.bottom(), 70);
    EXPECT_GE(ink.top(), 70 - w);
    EXPECT_GE(ink.left(), 100);
}

TEST_F(Canvas, UnderlineAndStrikeOutAreDrawn)
{
    const int w = canvas->TextWidth(u"mmmm");
    const auto m = TTextMetrics::For(canvas->Font);
    canvas->Font.Underline = true;
    Draw(QStringLiteral("mmmm"), TRect(10, 10, 200, 40), DT::SingleLine);
    canvas->Font.Underline = false;
    canvas->Font.StrikeOut = true;
    Draw(QStringLiteral("oooo"), TRect(10, 40, 200, 70), DT::SingleLine);
    const QImage& img = Done();
    int underline = 0;
    for (int y = 10 + m->Ascent(); y < 10 + m->Height(); ++y)
        underline = std::max(underline, InkInRow(img, y, 10, 10 + w));
    EXPECT_GT(underline, w * 3 / 4);
    // Letters "o" leave a gap in their middle row unless the stroke crosses it.
    const int middle = 40 + m->Ascent() - canvas->TextHeight(u"o") / 4;
    int strike = 0;
    for (int y = middle - 3; y <= middle + 3; ++y)
        strike = std::max(strike, InkInRow(img, y, 10, 10 + canvas->TextWidth(u"oooo")));
    EXPECT_GT(strike, canvas->TextWidth(u"oooo") * 3 / 4);
}

TEST_F(Canvas, DecorationsFollowTheTextOnAScaledDevice)
{
    // A buffer at twice the pixel density, as high-density screens get.
    QImage dense(480, 160, QImage::Format_ARGB32);
    dense.setDevicePixelRatio(2);
    dense.fill(Qt::white);
    QPainter p(&dense);
    TPainterCanvas c(p);
    c.Font.Color = clBlack;
    c.BkMode = TBkMode::Transparent;
    c.Font.Underline = true;
    const int w = c.TextWidth(u"mmmm");
    TRect r(60, 40, 200, 70);
    c.DrawText(u"mmmm", r, DT::SingleLine);
    p.end();
    const QRect ink = InkBox(dense);
    const auto m = TTextMetrics::For(c.Font);
    EXPECT_GE(ink.left(), 2 * 60 - 1);
    EXPECT_LE(ink.right(), 2 * (60 + w) + 1);
    EXPECT_LE(ink.bottom(), 2 * (40 + m->Height()));
    EXPECT_GT(InkInRow(dense, 2 * (40 + m->Ascent() + m->UnderlinePos()), 0, 480), 2 * w * 3 / 4);
}

TEST_F(Canvas, LinesStopShortOfTheirEndPoint)
{
    canvas->Pen.Color = clBlack;
    canvas->MoveTo(10, 10);
    canvas->LineTo(20, 10);
    canvas->MoveTo(30, 20);
    canvas->LineTo(30, 10);
    canvas->MoveTo(40, 10);
    canvas->LineTo(50, 20);
    EXPECT_EQ(canvas->PenPos, QPoint(50, 20));
    const QImage& img = Done();
    EXPECT_EQ(InkInRow(img, 10, 0, 30), 10);
    EXPECT_TRUE(IsInk(img.pixel(10, 10)));
    EXPECT_FALSE(IsInk(img.pixel(20, 10)));
    EXPECT_TRUE(IsInk(img.pixel(30, 20)));
    EXPECT_TRUE(IsInk(img.pixel(30, 11)));
    EXPECT_FALSE(IsInk(img.pixel(30, 10)));
    EXPECT_TRUE(IsInk(img.pixel(40, 10)));
    EXPECT_TRUE(IsInk(img.pixel(49, 19)));
    EXPECT_FALSE(IsInk(img.pixel(50, 20)));
}

TEST_F(Canvas, RectanglesAndFrames)
{
    canvas->Pen = TPen { clRed, 1 };
    canvas->Brush = TBrush { clBlue, false };
    canvas->Rectangle(TRect(10, 10, 20, 20));
    canvas->Brush.Clear = true;
    canvas->Rectangle(TRect(30, 10, 40, 20));
    canvas->FillRect(TRect(50, 10, 60, 20));
    canvas->Brush = TBrush { clBlack, false };
    canvas->FrameRect(TRect(70, 10, 80, 20));
    const QImage& img = Done();
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(19, 19), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(20, 20), kWhite);
    EXPECT_EQ(img.pixel(15, 15), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(39, 15), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(35, 15), kWhite) << "a clear brush leaves the inside";
    EXPECT_EQ(InkBox(img, QRect(45, 5, 20, 20)), QRect()) << "a clear brush fills nothing";
    EXPECT_EQ(InkBox(img, QRect(65, 5, 20, 20)), QRect(70, 10, 10, 10));
    EXPECT_EQ(img.pixel(75, 15), kWhite);
    EXPECT_EQ(InkInRow(img, 19, 70, 80), 10);
}

TEST_F(Canvas, FocusRectangleDotsEveryOtherPixelAndASecondCallRemovesIt)
{
    const TRect r(10, 10, 21, 17);
    canvas->DrawFocusRect(r);
    painter->end();
    for (int x = r.Left; x < r.Right; ++x)
        EXPECT_EQ(IsInk(image.pixel(x, r.Top)), (x - r.Left) % 2 == 0) << x;
    for (int y = r.Top; y < r.Bottom; ++y)
        EXPECT_EQ(IsInk(image.pixel(r.Left, y)), (y - r.Top) % 2 == 0) << y;
    EXPECT_TRUE(IsInk(image.pixel(r.Right - 1, r.Bottom - 1))); // (10 + 6) is even
    EXPECT_EQ(InkBox(image, QRect(11, 11, 9, 5)), QRect()) << "the inside is untouched";
    EXPECT_EQ(qAlpha(image.pixel(r.Left, r.Top)), 255);

    // A rectangle far larger than the device costs only its visible part.
    {
        QImage scratch(50, 50, QImage::Format_ARGB32);
        scratch.fill(Qt::white);
        QPainter p(&scratch);
        TPainterCanvas huge(p);
        huge.DrawFocusRect(TRect(-2000000000, 10, 2000000000, 2000000000));
        huge.MoveTo(INT_MIN, 20);
        huge.LineTo(INT_MAX, 20);
        p.end();
        EXPECT_TRUE(IsInk(scratch.pixel(0, 20)));
        EXPECT_TRUE(IsInk(scratch.pixel(49, 20)));
    }

    QPainter again(&image);
    TPainterCanvas second(again);
    second.DrawFocusRect(r);
    again.end();
    EXPECT_EQ(InkBox(image), QRect());
}

TEST_F(Canvas, PicturesHonourAlphaExceptInTheOpaqueCopy)
{
    QImage pic(4, 4, QImage::Format_ARGB32);
    pic.fill(QColor(255, 0, 0, 128));
    canvas->Draw(10, 10, pic);
    canvas->StretchDraw(TRect(20, 10, 28, 18), pic);
    canvas->CopyScaled(TRect(30, 10, 38, 18), pic);
    const QImage& img = Done();
    const QRgb blended = img.pixel(11, 11);
    EXPECT_EQ(qRed(blended), 255);
    EXPECT_NEAR(qGreen(blended), 127, 2);
    EXPECT_EQ(img.pixel(27, 17), blended);
    EXPECT_EQ(img.pixel(28, 18), kWhite);
    EXPECT_EQ(qGreen(img.pixel(37, 17)), 0) << "the copy does not show the white below";
    EXPECT_EQ(img.pixel(38, 17), kWhite);
}

TEST_F(Canvas, ClipRectLimitsDrawingUntilCleared)
{
    canvas->Brush = TBrush { clBlack, false };
    canvas->SetClipRect(TRect(10, 10, 20, 20));
    canvas->FillRect(TRect(0, 0, 30, 30));
    canvas->ClearClipRect();
    canvas->FillRect(TRect(40, 0, 50, 10));
    const QImage& img = Done();
    EXPECT_EQ(InkBox(img, QRect(0, 0, 35, 35)), QRect(10, 10, 10, 10));
    EXPECT_EQ(InkBox(img, QRect(35, 0, 30, 30)), QRect(40, 0, 10, 10));
}

TEST_F(Canvas, BatchedTextLandsInCallOrderWithTheSamePixels)
{
    const QString words[] = { QStringLiteral("Held "), QStringLiteral("back "), QStringLiteral("words") };
    auto drawWords = [&](TCanvas& c, int top) {
        int x = 5;
        for (const QString& w : words) {
            TRect r(x, top, 235, top + 20);
            c.DrawText(w, r, DT::SingleLine | DT::NoPrefix);
            x += c.TextWidth(w);
        }
    };
    // One call per word, drawn at once, is the reference.
    drawWords(*canvas, 5);
    EXPECT_FALSE(canvas->BatchText(true));
    drawWords(*canvas, 30);
    // A fill over the middle word comes after the text and covers it.
    canvas->Brush = TBrush { TColor(0x00FF00), false };
    const int middle = 5 + canvas->TextWidth(words[0]);
    const int middleEnd = middle + canvas->TextWidth(words[1]);
    canvas->FillRect(TRect(middle, 30, middleEnd, 50));
    // A colour change keeps each word in its own colour.
    canvas->Font.Color = TColor(0x0000FF); // red
    TRect red(5, 55, 100, 75);
    canvas->DrawText(QStringLiteral("red"), red, DT::SingleLine);
    canvas->Font.Color = TColor(0xFF0000); // blue
    TRect blue(60, 55, 160, 75);
    canvas->DrawText(QStringLiteral("blue"), blue, DT::SingleLine);
    EXPECT_TRUE(canvas->BatchText(false));
    const QImage& img = Done();

    const QRect first(0, 5, 240, 20);
    EXPECT_FALSE(InkBox(img, first).isNull());
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 240; ++x) {
            const bool underFill = x >= middle && x < middleEnd;
            const QRgb batched = img.pixel(x, 30 + y);
            if (underFill)
                EXPECT_EQ(batched, qRgb(0, 255, 0)) << x << "," << y;
            else
                ASSERT_EQ(batched, img.pixel(x, 5 + y)) << x << "," << y;
        }
    }
    int reds = 0, blues = 0;
    for (int y = 55; y < 75; ++y) {
        for (int x = 0; x < 160; ++x) {
            const QRgb p = img.pixel(x, y);
            reds += qRed(p) > 200 && qBlue(p) < 100 ? 1 : 0;
            blues += qBlue(p) > 200 && qRed(p) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(reds, 5);
    EXPECT_GT(blues, 5);
}

TEST_F(Canvas, HeldTextIsNotLostWhenTheCanvasGoesOrThePainterIsTakenOver)
{
    canvas->BatchText(true);
    TRect a(5, 5, 100, 25);
    canvas->DrawText(QStringLiteral("first"), a, DT::SingleLine);
    // Painting straight on the painter comes after the held text.
    canvas->Painter().fillRect(QRect(0, 0, 240, 12), Qt::white);
    TRect b(5, 40, 100, 60);
    canvas->DrawText(QStringLiteral("second"), b, DT::SingleLine);
    canvas.reset();
    const QImage& img = Done();
    EXPECT_TRUE(InkBox(img, QRect(0, 0, 240, 12)).isNull());
    EXPECT_FALSE(InkBox(img, QRect(0, 12, 240, 20)).isNull());
    EXPECT_FALSE(InkBox(img, QRect(0, 40, 240, 20)).isNull());
}

} // namespace

TEST(TextMetrics, AHeldHandleOutlivesTheCacheStartingAfresh)
{
    TFont font;
    font.Height = -11;
    const std::shared_ptr<TTextMetrics> held = TTextMetrics::For(font);
    const int width = held->Width(u"held text");
    const int height = held->Height();
    // More distinct fonts than the cache keeps: it lets every earlier one go.
    TFont other;
    for (int h = 1; h <= 300; ++h) {
        other.Height = -h;
        TTextMetrics::For(other);
    }
    EXPECT_NE(TTextMetrics::For(font), held) << "the cache started afresh";
    EXPECT_EQ(held->Width(u"held text"), width);
    EXPECT_EQ(held->Height(), height);
}

// A canvas in front of another draws there in its own pen and brush and keeps its pen position.
TEST(ForwardingCanvas, DrawsOnTheTargetInItsOwnState)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TPainterCanvas target(painter);
        TForwardingCanvas front(target);
        front.Brush = TBrush { clRed, false };
        front.FillRect(TRect(0, 0, 5, 5));
        front.Pen.Color = clBlue;
        front.MoveTo(0, 10);
        front.LineTo(12, 10);
        EXPECT_EQ(front.PenPos, QPoint(12, 10));
        EXPECT_EQ(front.PixelsPerInchY(), target.PixelsPerInchY());
    }
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(6, 10), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(12, 10), QColor(Qt::white)); // the end point stays undrawn
}

// One unprefixed line is drawn without the general layout; it must land and answer as that does.
TEST_F(Canvas, SingleUnprefixedLineDrawsAndAnswersAsTheGeneralLayout)
{
    const unsigned kPlacements[]
        = { 0, DT::Bottom, DT::VCenter, DT::Right, DT::Center | DT::Bottom, DT::ExpandTabs };
    for (const unsigned placement : kPlacements) {
        QImage direct(120, 40, QImage::Format_ARGB32);
        QImage general(120, 40, QImage::Format_ARGB32);
        int answers[2] = {};
        QImage* images[2] = { &direct, &general };
        for (int i = 0; i < 2; ++i) {
            images[i]->fill(Qt::white);
            QPainter p(images[i]);
            TPainterCanvas c(p);
            c.Font.Color = clBlack;
            c.BkMode = TBkMode::Transparent;
            TRect r(3, 2, 110, 37);
            answers[i] = c.DrawText(u"Xg\tmm", r, DT::SingleLine | placement | (i == 0 ? DT::NoPrefix : 0));
        }
        EXPECT_EQ(answers[0], answers[1]) << placement;
        EXPECT_TRUE(direct == general) << placement;
    }
}

// The text pen is kept between lines, but a pen set on the painter in between is not taken for it.
TEST_F(Canvas, TextTakesTheFontColourWhateverPenThePainterWasGiven)
{
    const QPen kPens[] = { QPen(Qt::NoPen), QPen(Qt::red), QPen(QBrush(Qt::red), 3) };
    int y = 0;
    for (const QPen& pen : kPens) {
        TRect first(0, y, 100, y + 20);
        canvas->DrawText(u"mmmm", first, DT::SingleLine);
        painter->setPen(pen);
        TRect second(120, y, 220, y + 20);
        canvas->DrawText(u"mmmm", second, DT::SingleLine);
        y += 25;
    }
    const QImage& img = Done();
    for (int row = 0; row < 3; ++row) {
        const QRect left = InkBox(img, QRect(0, row * 25, 100, 20));
        ASSERT_FALSE(left.isNull()) << row;
        for (int yy = 0; yy < 20; ++yy)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(img.pixel(x, row * 25 + yy), img.pixel(x + 120, row * 25 + yy)) << row;
    }
}
