// SPDX-License-Identifier: MIT
// The label's text rewrites, its line list, its frame geometry and its renderer, without a widget.
#include "FixedCanvas.h"
#include "HTMLabelGeometry.h"
#include "HTMLabelMeasureCache.h"
#include "HTMLabelRenderer.h"
#include "HTMLabelStrings.h"
#include "HTMLabelText.h"
#include "MarkupHitMap.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <map>

namespace {

using namespace HTMLabelText;
namespace G = HTMLabelGeometry;

struct WrapCase {
    const char* markup;
    const char* text;
    bool matchCase;
    const char* expected;
};

const WrapCase kWrapCases[] = {
    { "one two one", "one", true, "<hi>one</hi> two <hi>one</hi>" },
    // A match behind a tag opens before the tag; its end closes before the tag that follows it.
    { "a <b>word</b> and word", "word", true, "a <hi><b>word</hi></b> and <hi>word</hi>" },
    { "<b>x</b>", "x", true, "<hi><b>x</b></hi>" },
    { "Word wORD", "word", false, "<hi>Word</hi> <hi>wORD</hi>" },
    { "Word wORD", "word", true, "Word wORD" },
    // Letters inside tags are not searched.
    { "<font face=\"word\">text</font>", "word", true, "<font face=\"word\">text</font>" },
    // A match across a tag is found in the visible text.
    { "wo<b>rd</b>", "word", true, "<hi>wo<b>rd</b></hi>" },
    // The search goes on after each match, so matches do not overlap.
    { "aaa", "aa", true, "<hi>aa</hi>a" },
    // A "<" with no ">" after it is plain text, and the search still ends.
    { "x < word word", "word", true, "x < <hi>word</hi> <hi>word</hi>" },
    { "word <b", "word", true, "<hi>word</hi> <b" },
    // Nothing to search for changes nothing.
    { "some text", "", true, "some text" },
    { "", "x", true, "" },
    // Upper-casing keeps positions even where a letter's upper case is longer.
    { "stra\u00dfe word", "WORD", false, "stra\u00dfe <hi>word</hi>" },
};

TEST(HTMLabelText, WrapMatchesFollowsTheVisibleText)
{
    for (const WrapCase& c : kWrapCases) {
        SCOPED_TRACE(c.markup);
        EXPECT_EQ(WrapMatches(QString::fromUtf8(c.markup), QString::fromUtf8(c.text), u"hi", c.matchCase),
            QString::fromUtf8(c.expected));
    }
}

TEST(HTMLabelText, RemoveTagUndoesWrapping)
{
    for (const WrapCase& c : kWrapCases) {
        SCOPED_TRACE(c.markup);
        const QString markup = QString::fromUtf8(c.markup);
        EXPECT_EQ(RemoveTag(WrapMatches(markup, QString::fromUtf8(c.text), u"e", c.matchCase), u"e"), markup);
    }
    EXPECT_EQ(RemoveTag(u"<HI>a</Hi> <hi>b</hI> <high>c</h>", u"hi"), QStringLiteral("a b <high>c</h>"));
    EXPECT_EQ(RemoveTag(u"<e>x</E><em>", u"e"), QStringLiteral("x<em>"));
}

TEST(HTMLabelText, ManyMatchesAreEachWrappedWhereOneWouldBe)
{
    // Every case repeated many times gives its single result repeated: no match is lost, moved or
    // merged with its neighbour, also after a "<" that no ">" follows.
    struct Case {
        const char* unit;
        const char* wrapped;
    };
    const Case cases[] = {
        { "find me, <b>Find</b> you ", "<hi>find</hi> me, <hi><b>Find</hi></b> you " },
        { "findfind<i></i> ", "<hi>find</hi><hi>find</hi><i></i> " },
        { "< find ", "< <hi>find</hi> " },
    };
    constexpr int kRepeats = 5000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        const QString markup = QString::fromUtf8(c.unit).repeated(kRepeats);
        const QString wrapped = WrapMatches(markup, u"FIND", u"hi", false);
        EXPECT_EQ(wrapped, QString::fromUtf8(c.wrapped).repeated(kRepeats));
        EXPECT_EQ(RemoveTag(wrapped, u"hi"), markup);
    }
}

TEST(HTMLabelText, VisibleTextAndPositions)
{
    EXPECT_EQ(VisibleText(u"a<b>bc</b>d"), QStringLiteral("abcd"));
    EXPECT_EQ(VisibleText(u"a<b>c<d"), QStringLiteral("ac<d"));
    EXPECT_EQ(VisibleText(u"<>"), QString());
    const QString markup = QStringLiteral("a<b>bc</b>d");
    EXPECT_EQ(MarkupIndex(markup, 0), 0);
    EXPECT_EQ(MarkupIndex(markup, 1), 1); // falls on the "<" of <b>
    EXPECT_EQ(MarkupIndex(markup, 2), 5);
    EXPECT_EQ(MarkupIndex(markup, 3), 6); // the "<" of </b>
    EXPECT_EQ(MarkupIndex(markup, 4), markup.size());
    EXPECT_EQ(MarkupIndex(markup, 9), markup.size());
}

TEST(HTMLabelText, LineRules)
{
    EXPECT_EQ(JoinLines({ "one", "two", "three" }), QStringLiteral("one two three"));
    EXPECT_EQ(JoinLines({}), QString());
    EXPECT_EQ(RemoveLineBreaks({ "one", "two" }), QStringLiteral("onetwo"));
    EXPECT_EQ(RemoveLineBreaks({ "a\r\nb", "c\rd\n" }), QStringLiteral("abcd"));
}

TEST(HTMLStrings, TextSplitsAtEveryKindOfLineBreak)
{
    THTMLStrings list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.SetText(QStringLiteral("a\r\nb\rc\nd\r\n"));
    EXPECT_EQ(list.Lines(), QStringList({ "a", "b", "c", "d" }));
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\n"));
    list.SetText(QStringLiteral("x\n\ny"));
    EXPECT_EQ(list.Lines(), QStringList({ "x", "", "y" }));
    list.SetText(QString());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 3);

    list.Add("one");
    list.Insert(0, "zero");
    list.Put(1, "uno");
    list.Delete(0);
    list.Delete(5); // out of range: no change
    EXPECT_EQ(list.Lines(), QStringList({ "uno" }));
    EXPECT_EQ(changes, 7);
    list.Clear();
    list.Clear(); // already empty: no change
    EXPECT_EQ(changes, 8);
}

// Colour of every pixel the fills cover; a pixel covered twice is reported as clNone.
std::map<std::pair<int, int>, TColor> Cover(const std::vector<G::Fill>& fills)
{
    std::map<std::pair<int, int>, TColor> pixels;
    for (const G::Fill& f : fills)
        for (int y = f.rect.Top; y < f.rect.Bottom; ++y)
            for (int x = f.rect.Left; x < f.rect.Right; ++x) {
                auto [it, fresh] = pixels.emplace(std::pair(x, y), f.color);
                if (!fresh)
                    it->second = clNone;
            }
    return pixels;
}

TEST(HTMLabelGeometry, FrameRingsCoverTheEdgeOnce)
{
    const TColor tl = clRed;
    const TColor br = clBlue;
    std::vector<G::Fill> fills;
    TRect r(0, 0, 5, 4);
    G::AppendFrame(fills, r, tl, br, 1);
    EXPECT_EQ(r, TRect(1, 1, 4, 3));
    auto pixels = Cover(fills);
    EXPECT_EQ(pixels.size(), 14u); // the 5 × 4 ring, nothing inside, nothing twice
    for (const auto& [pt, color] : pixels)
        EXPECT_NE(color, clNone) << pt.first << "," << pt.second;
    EXPECT_EQ(pixels[std::pair(0, 0)], tl);
    EXPECT_EQ(pixels[std::pair(3, 0)], tl);
    EXPECT_EQ(pixels[std::pair(4, 0)], br); // top-right corner belongs to the right edge
    EXPECT_EQ(pixels[std::pair(0, 2)], tl);
    EXPECT_EQ(pixels[std::pair(0, 3)], br); // bottom-left corner belongs to the bottom edge
    EXPECT_EQ(pixels[std::pair(4, 3)], br);

    fills.clear();
    r = TRect(0, 0, 10, 10);
    G::AppendFrame(fills, r, tl, br, 3);
    EXPECT_EQ(r, TRect(3, 3, 7, 7));
    EXPECT_EQ(Cover(fills).size(), size_t(100 - 16));
}

TEST(HTMLabelGeometry, FramesShrinkTheTextRectangle)
{
    G::FrameSettings s;
    G::FrameColors colors;
    colors.color = clGreen;
    G::Frames plain = G::LayoutFrames(TRect(0, 0, 100, 50), s, colors);
    EXPECT_TRUE(plain.fills.empty());
    EXPECT_FALSE(plain.outline);
    EXPECT_EQ(plain.textRect, TRect(0, 0, 100, 50));

    s.outer = G::Bevel::Lowered;
    s.inner = G::Bevel::Raised;
    s.bevelWidth = 2;
    s.borderWidth = 3;
    s.singleBorder = true;
    G::Frames full = G::LayoutFrames(TRect(0, 0, 100, 50), s, colors);
    // Outer bevel 2, colour frame 3, inner bevel 2, once more the bevel width and the border width.
    EXPECT_EQ(full.textRect, TRect(12, 12, 88, 38));
    ASSERT_TRUE(full.outline);
    EXPECT_EQ(full.outlineRect, TRect(5, 5, 94, 44)); // around (7, 7, 93, 43): 2 out, 1 out
    EXPECT_EQ(full.outlineWidth, 3);
    auto pixels = Cover(full.fills);
    EXPECT_EQ(pixels[std::pair(0, 0)], clBtnShadow); // lowered: shadow on top and left
    EXPECT_EQ(pixels[std::pair(99, 49)], clBtnHighlight);
    EXPECT_EQ(pixels[std::pair(2, 10)], clGreen); // the colour frame
    EXPECT_EQ(pixels[std::pair(5, 10)], clBtnHighlight); // raised inner bevel: highlight on top and left
    EXPECT_EQ(pixels[std::pair(94, 10)], clBtnShadow);

    s.outer = G::Bevel::Space;
    s.inner = G::Bevel::None;
    s.singleBorder = false;
    G::Frames space = G::LayoutFrames(TRect(0, 0, 100, 50), s, colors);
    EXPECT_EQ(Cover(space.fills)[std::pair(0, 0)], clBtnHighlight);
    EXPECT_EQ(space.textRect, TRect(7, 7, 93, 43));

    // A single border without a colour draws nothing but still takes its room.
    s = G::FrameSettings();
    s.borderWidth = 1;
    s.singleBorder = true;
    colors.borderColor = clNone;
    G::Frames none = G::LayoutFrames(TRect(0, 0, 100, 50), s, colors);
    EXPECT_FALSE(none.outline);
    EXPECT_EQ(none.textRect, TRect(2, 2, 98, 48));
}

TEST(HTMLabelGeometry, BandsAndAlignment)
{
    const TRect client(0, 0, 100, 21);
    EXPECT_EQ(G::LineBand(client, G::Band::Bottom, 2), TRect(0, 19, 100, 21));
    EXPECT_EQ(G::LineBand(client, G::Band::Center, 2), TRect(0, 9, 100, 11));
    EXPECT_EQ(G::LineBand(client, G::Band::Top, 2), TRect(0, 0, 100, 2));

    const TRect inner(2, 4, 98, 54);
    const TRect rect(2, 4, 98, 54 + 65535);
    EXPECT_EQ(G::AlignText(rect, inner, 20, G::VAlign::Top), rect);
    EXPECT_EQ(G::AlignText(rect, inner, 20, G::VAlign::Center).Top, 19);
    EXPECT_EQ(G::AlignText(rect, inner, 20, G::VAlign::Bottom).Top, 34);
    EXPECT_EQ(G::AlignText(rect, inner, 20, G::VAlign::Bottom).Bottom, rect.Bottom);
    // A text higher than the room starts above it when centred (truncated toward zero).
    EXPECT_EQ(G::AlignText(rect, inner, 71, G::VAlign::Center).Top, 4 - 10);
}

TEST(MarkupHitMap, TheFirstAnswerOnALongAnchorLineAsksTheLayoutAFewTimes)
{
    // One anchor of many short runs on one line: checking a run's edges looks at its neighbours
    // without walking on through the whole line.
    const QString markup = QStringLiteral("<a href=\"t\">") + QStringLiteral("ab ").repeated(60) + "</a>";
    TFixedCanvas canvas;
    TMarkupParams params;
    params.Rect = TRect(0, 0, 2000, 100);
    int probes = 0;
    TMarkupHitMap map;
    map.Build(
        canvas,
        [&](TCanvas& c) {
            TMarkupResult result;
            DrawMarkup(c, markup, params, result);
        },
        [&](int x, int y) {
            ++probes;
            TMarkupParams hit = params;
            hit.HitTestOnly = true;
            hit.HitX = x;
            hit.HitY = y;
            TMarkupResult result;
            DrawMarkup(canvas, markup, hit, result);
            return result;
        });
    QString target;
    int number = 0;
    TRect rect;
    ASSERT_EQ(map.Find(1 + 18 * 30 + 3, 6, target, number, rect), TMarkupHitMap::Answer::Hit);
    EXPECT_EQ(target, QStringLiteral("t"));
    EXPECT_LE(probes, 12);
    EXPECT_TRUE(map.Usable());
}

TEST(HTMLabelMeasureCache, RemembersMeasurementsPerTextFontAndLimit)
{
    TFixedCanvas inner(7, 12); // 5 pixels more per character in bold
    THTMLabelMeasureCache cache(inner);
    const unsigned calc = DT::SingleLine | DT::Bottom | DT::CalcRect;

    EXPECT_EQ(cache.TextExtent(u"gh"), QSize(14, 13));
    EXPECT_EQ(cache.TextExtent(u"gh"), QSize(14, 13));
    EXPECT_EQ(inner.measured, 1);

    TRect a(10, 0, 200, 13);
    cache.DrawText(u"word ", a, calc);
    TRect b(50, 20, 60, 33); // elsewhere and narrower: the width does not depend on the box
    cache.DrawText(u"word ", b, calc);
    EXPECT_EQ(a, TRect(10, 0, 45, 13));
    EXPECT_EQ(b, TRect(50, 20, 85, 33));
    EXPECT_EQ(inner.measured, 2);

    cache.Font.Bold = true; // another font is another measurement
    TRect c(0, 0, 200, 13);
    cache.DrawText(u"word ", c, calc);
    EXPECT_EQ(c.Right, 60);
    EXPECT_EQ(inner.measured, 3);
    EXPECT_TRUE(inner.Font.Bold);

    // Back to the first font: remembered; the same name at another height is another font.
    cache.Font.Bold = false;
    TRect again(0, 0, 200, 13);
    cache.DrawText(u"word ", again, calc);
    EXPECT_EQ(again.Right, 35);
    EXPECT_EQ(inner.measured, 3);
    cache.Font.Height = -20;
    cache.TextExtent(u"gh");
    EXPECT_EQ(inner.measured, 4);
    EXPECT_EQ(inner.Font.Height, -20);
    cache.Font.Height = -11;
    inner.measured = 3;

    // With an end ellipsis the box width limits the result, so it is part of what is remembered.
    TRect wide(0, 0, 100, 13);
    TRect narrow(0, 0, 20, 13);
    cache.DrawText(u"a long run", wide, calc | DT::EndEllipsis);
    cache.DrawText(u"a long run", narrow, calc | DT::EndEllipsis);
    EXPECT_EQ(wide.Right, 70);
    EXPECT_EQ(narrow.Right, 20);
    EXPECT_EQ(inner.measured, 5);

    // Drawing always reaches the canvas underneath, with the state of the cache's canvas.
    cache.Font.Color = clRed;
    TRect d(0, 0, 100, 13);
    cache.DrawText(u"word", d, DT::SingleLine | DT::Bottom);
    cache.DrawText(u"word", d, DT::SingleLine | DT::Bottom);
    EXPECT_EQ(inner.drawn.size(), 2u);
    EXPECT_EQ(inner.Font.Color, clRed);
}

TEST(HTMLabelRenderer, KeepsItsPictureOnlyWhileTheLookHolds)
{
    THTMLabelRenderer renderer;
    THTMLabelLook look;
    look.layout.text = QStringLiteral("mail <a href=\"mailto:a@b.example\">a@b.example</a> now");
    look.layout.font.Height = -11;
    look.layout.size = QSize(240, 20);
    look.colors.color = clWhite;
    look.urlColor = clBlue;
    QImage image(look.layout.size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const QPoint away(-1, -1);

    EXPECT_EQ(renderer.Paint(look, painter, away), QSize(240, 20)) << "laid out; no auto-sizing, no change";
    EXPECT_TRUE(renderer.Paint(look, painter, away).has_value()) << "the first paint kept no picture";
    EXPECT_FALSE(renderer.Paint(look, painter, away).has_value()) << "unchanged: the kept picture";
    THTMLabelLook hovered = look;
    hovered.hover = true;
    hovered.hoverLink = 1;
    EXPECT_TRUE(renderer.Paint(hovered, painter, away).has_value());
    EXPECT_FALSE(renderer.Paint(hovered, painter, away).has_value()) << "unchanged: the kept picture";
    THTMLabelLook updating = hovered;
    updating.updating = true;
    EXPECT_FALSE(renderer.Paint(updating, painter, away).has_value()) << "frames and text suppressed";
    EXPECT_TRUE(renderer.Paint(hovered, painter, away).has_value()) << "nothing was kept meanwhile";

    // Hit tests need only the layout; the address is found where the text after "mail " lies.
    const QSize all = renderer.TextSize(look.layout, 4096);
    THTMLabelLayout word = look.layout;
    word.text = QStringLiteral("mail");
    EXPECT_GT(all.width(), renderer.TextSize(word, 4096).width());
    THTMLabelRenderer::Hit hit;
    for (int x = 0; x < all.width() && hit.number < 0; ++x)
        hit = renderer.AnchorAt(look.layout, x, all.height() / 2);
    EXPECT_EQ(hit.target, QStringLiteral("mailto:a@b.example"));
    EXPECT_EQ(hit.number, 1);
    EXPECT_TRUE(renderer.AnswersFromMap());
    EXPECT_EQ(renderer.AnchorAt(look.layout, all.width() - 2, all.height() / 2).number, -1) << "on \"now\"";
}

} // namespace
