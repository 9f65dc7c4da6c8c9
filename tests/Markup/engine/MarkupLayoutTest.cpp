// SPDX-License-Identifier: MIT
#include "HTMLPicture.h"
#include "ImageList.h"
#include "MarkupTestSupport.h"
#include "SystemIcons.h"
#include "TempDir.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

const QString kEmail = QStringLiteral("support@quillon.example");

QString ManualRepairMarkup(QChar first)
{
    return QString(first)
        + QStringLiteral(
            "ou can send us your file for the manual repair of the file. Our repair experts will "
            "analyze the file and repair it for you. Once the file has been received, it generally "
            "takes 1-48 hours to process. You can send your corrupted file as an attachment to us "
            "via email <A href=\"mailto:%1\"><U><FONT color=\"#000000\"><B>%1</B></FONT></U></A>")
              .arg(kEmail);
}

class MarkupLayout : public ::testing::Test, public MarkupLayoutFixture { };

} // namespace

TEST_F(MarkupLayout, EmptyTextHasNoWidthAndOneLineOfHeight)
{
    HitTest(QString());
    EXPECT_EQ(result.XSize, 0);
    EXPECT_EQ(result.YSize, Gh());
    EXPECT_EQ(result.AnchorCount, 0);
    EXPECT_EQ(result.HitAnchor, -1);
    EXPECT_EQ(Height(QString()).YSize, Gh());
}

TEST_F(MarkupLayout, RunsAreMeasuredWithTheCanvasAndTrailingBlanksDoNotCount)
{
    EXPECT_EQ(LaidOutWidth(QStringLiteral("one two")), Width(u"one ") + Width(u"two"));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("one two ")), Width(u"one ") + Width(u"two"));
    EXPECT_EQ(result.YSize, Gh());
    // A blank from "&nbsp;" is text, not a trailing blank.
    EXPECT_EQ(LaidOutWidth(QStringLiteral("one&nbsp;")), Width(u"one "));
}

TEST_F(MarkupLayout, AmpersandsFollowThePrefixRuleUnlessTheTextHasABlankAmpersandBlank)
{
    // " & " switches the rule off: the ampersand is shown and measured as itself.
    const int plain = LaidOutWidth(QStringLiteral("Tom & Jerry"));
    EXPECT_EQ(plain, Width(u"Tom ") + Width(u"& ") + Width(u"Jerry"));
    // "&amp;" becomes "&&", which the prefix rule shows as one ampersand: the same width.
    EXPECT_EQ(LaidOutWidth(QStringLiteral("Tom &amp; Jerry")), plain);
    // "&J" shows only the J (underlined).
    EXPECT_EQ(LaidOutWidth(QStringLiteral("Tom &Jerry")), Width(u"Tom ") + Width(u"Jerry"));
}

TEST_F(MarkupLayout, AngleBracketEntitiesAndStrayBrackets)
{
    EXPECT_EQ(LaidOutWidth(QStringLiteral("&lt;b&gt;bold")), Width(u"<b>bold"));
    // A "<" without ">" drops the rest; a "<" with a later ">" hides what lies between.
    EXPECT_EQ(LaidOutWidth(QStringLiteral("a <b more text")), Width(u"a ") - Width(u" "));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("ab<hidden words>cd")), Width(u"ab") + Width(u"cd"));
    // "<#...>" shows its inside after "#".
    EXPECT_EQ(LaidOutWidth(QStringLiteral("a<#ff>b")), Width(u"a#ffb"));
}

TEST_F(MarkupLayout, TagLettersAreCaseInsensitiveAndUnknownTagsAreIgnored)
{
    const int bold = LaidOutWidth(QStringLiteral("<b>WWW</b>WWW"));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<B>WWW</B>WWW")), bold);
    EXPECT_GT(bold, LaidOutWidth(QStringLiteral("WWWWWW")));
    // The first closing bold tag ends bold although two were opened.
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<b><b>WWW</b>WWW</b>")), bold);
    EXPECT_EQ(LaidOutWidth(QStringLiteral("ab<Qwerty>cd<9>ef")), Width(u"abcdef"));
    // "<BIG>" starts with B then I: no row, no bold.
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<BIG>WWW")), Width(u"WWW"));
}

TEST_F(MarkupLayout, LineBreaksCarriageReturnsAndRules)
{
    EXPECT_EQ(Height(QStringLiteral("a<BR>b<br>c")).YSize, 3 * Gh());
    EXPECT_EQ(Height(QStringLiteral("a\r\nb")).YSize, 2 * Gh());
    EXPECT_EQ(Height(QStringLiteral("a\nb")).YSize, Gh());
    EXPECT_EQ(Height(QStringLiteral("a<HR>b")).YSize, 2 * Gh());
    params.LineSpacing = 3;
    EXPECT_EQ(Height(QStringLiteral("a<BR>b")).YSize, 2 * (Gh() + 3));
}

TEST_F(MarkupLayout, WordWrapBreaksAtBlanks)
{
    const int first = Width(u"aaa ");
    const int second = Width(u"bbb");
    // The working rectangle starts one pixel in; a word that exactly fills the rest moves down.
    params.Rect = TRect(0, 0, 1 + first + second, 4096);
    EXPECT_EQ(Height(QStringLiteral("aaa bbb")).YSize, 2 * Gh());
    params.Rect.Right += 1;
    EXPECT_EQ(Height(QStringLiteral("aaa bbb")).YSize, Gh());

    // A word wider than the rectangle stands alone on its line and overflows.
    params.Rect = TRect(0, 0, 1 + first + second, 4096);
    const QString wide = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    const TMarkupResult r = Height(QStringLiteral("aaa ") + wide + QStringLiteral(" bbb"));
    EXPECT_EQ(r.YSize, 3 * Gh());
    EXPECT_EQ(r.XSize, Width(wide) + Width(u" ") - Width(u" ") + 2);

    // "&nbsp;" keeps two words together.
    params.Rect = TRect(0, 0, 1 + first + 2, 4096);
    EXPECT_EQ(Height(QStringLiteral("aaa&nbsp;bbb")).YSize, Gh());
}

TEST_F(MarkupLayout, WithoutWordWrapEachBreakMakesOneLine)
{
    params.WordWrap = false;
    params.Rect = TRect(0, 0, 60, 4096);
    const TMarkupResult r = Height(QStringLiteral("a long text that is far wider than sixty pixels"));
    EXPECT_EQ(r.YSize, Gh());
    EXPECT_EQ(Height(QStringLiteral("one<BR>two")).YSize, 2 * Gh());
}

TEST_F(MarkupLayout, ListItemsTakeTwelvePixelsPerLevelAndOneLineEach)
{
    // "<UL>" ends the (empty) first line; two items on one line end up on two.
    EXPECT_EQ(Height(QStringLiteral("<UL><LI>one<LI>two</UL>")).YSize, 3 * Gh());
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<UL><LI>one")), 12 + Width(u"one"));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<UL><UL><LI>one")), 24 + Width(u"one"));
}

TEST_F(MarkupLayout, FontTagSizesAndFaces)
{
    TMeasureCanvas reference;
    reference.Font.Height = -16; // 12 pt at 96 dpi
    const int gh12 = reference.TextHeight(u"gh");
    EXPECT_EQ(Height(QStringLiteral("<FONT size=\"3\">x</FONT>")).YSize, gh12);
    EXPECT_EQ(Height(QStringLiteral("<FONT size=3>x</FONT>")).YSize, gh12);
    reference.Font.Height = -24; // 18 pt
    EXPECT_EQ(Height(QStringLiteral("<font SIZE=\"18\">x</font>")).YSize, reference.TextHeight(u"gh"));
    // The closing tag returns to the base font's size.
    reference.Font.Height = -16;
    EXPECT_EQ(
        LaidOutWidth(QStringLiteral("<FONT size=\"3\">W</FONT>W")), reference.TextWidth(u"W") + Width(u"W"));
    // A font tag without ">" is ignored (and drops the rest).
    EXPECT_EQ(LaidOutWidth(QStringLiteral("W<FONT size=\"3\"")), Width(u"W"));
}

TEST_F(MarkupLayout, HiddenTextTakesNoWidthButCountsForHeight)
{
    EXPECT_EQ(LaidOutWidth(QStringLiteral("ab<Z>hidden words</Z>cd")), Width(u"abcd"));
    TMeasureCanvas reference;
    reference.Font.Height = -24;
    EXPECT_EQ(
        Height(QStringLiteral("a<Z><FONT size=\"18\">big</FONT></Z>")).YSize, reference.TextHeight(u"big"));
}

TEST_F(MarkupLayout, SubscriptAndSuperscriptAddAQuarterOfTheHeight)
{
    const int h = canvas.TextHeight(u"x");
    EXPECT_EQ(Height(QStringLiteral("H<SUB>2</SUB>O")).YSize, Gh() + h / 4);
    EXPECT_EQ(Height(QStringLiteral("x<SUP>2</SUP>")).YSize, Gh() + h / 4);
    EXPECT_EQ(Height(QStringLiteral("x<SUP>2</SUP>y<SUB>3</SUB>")).YSize, Gh() + 2 * (h / 4));
    // Both flags end with the line.
    EXPECT_EQ(Height(QStringLiteral("x<SUP>2<BR>y")).YSize, 2 * Gh() + h / 4);
}

TEST_F(MarkupLayout, IndentToAndOffset)
{
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IND x=\"100\">a")), 100 + Width(u"a"));
    // Only a clean value larger than the line so far counts.
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IND x=\"100px\">a")), Width(u"a"));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("WWWWWWWWWW<IND x=\"1\">a")), Width(u"WWWWWWWWWWa"));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<OFS x=\"50\">a")), 50 + Width(u"a"));
}

TEST_F(MarkupLayout, TallTextStopsNearTheBottomUnlessOnlyMeasured)
{
    const QString text = QStringLiteral("1<BR>2<BR>3<BR>4<BR>5<BR>6");
    params.Rect = TRect(0, 0, 400, 3 * Gh() + Gh() / 2);
    HitTest(text);
    EXPECT_EQ(result.YSize, 3 * Gh());
    EXPECT_EQ(Height(text).YSize, 6 * Gh());
}

TEST_F(MarkupLayout, HitTestOnAnAnchorAndOnPlainText)
{
    const QString text = QStringLiteral("plain <A href=\"first\">one</A> and <a HREF=\"second\">two</a>");
    const int y = Gh() / 2 + 1;
    const int onTwo = 1 + Width(u"plain one and ") + Width(u"two") / 2;
    ASSERT_TRUE(HitTest(text, onTwo, y));
    EXPECT_EQ(result.AnchorValue, QStringLiteral("second"));
    EXPECT_EQ(result.HitAnchor, 2);
    EXPECT_EQ(result.AnchorCount, 2);
    EXPECT_EQ(result.HitRect, TRect(1 + Width(u"plain one and "), 0, 1 + Width(u"plain one and two"), Gh()));

    EXPECT_FALSE(HitTest(text, 1 + Width(u"pla"), y));
    EXPECT_EQ(result.HitAnchor, -1);
    EXPECT_TRUE(HitTest(text, 1 + Width(u"plain ") + 1, y));
    EXPECT_EQ(result.AnchorValue, QStringLiteral("first"));
    // Below the line: no hit.
    EXPECT_FALSE(HitTest(text, onTwo, Gh() + 2));
}

TEST_F(MarkupLayout, AnAnchorTargetKeepsItsAmpersands)
{
    const QString text = QStringLiteral("<A href=\"https://example.com/?a=1&amp;b=2\">Tom &amp; Jerry</A>");
    ASSERT_TRUE(HitTest(text, 1 + Width(u"To"), Gh() / 2 + 1));
    EXPECT_EQ(result.AnchorValue, QStringLiteral("https://example.com/?a=1&b=2"));
    // The anchor's text still shows one ampersand under the prefix rule.
    EXPECT_EQ(LaidOutWidth(text), LaidOutWidth(QStringLiteral("Tom &amp; Jerry")));
}

TEST_F(MarkupLayout, AnAnchorWrappedOntoTwoLinesIsHitOnBoth)
{
    const QString text = QStringLiteral("aaaa <A href=\"t\">bbbb cccc</A>");
    params.Rect = TRect(0, 0, 1 + Width(u"aaaa bbbb ") + 2, 4096);
    ASSERT_TRUE(HitTest(text, 1 + Width(u"aaaa b"), Gh() / 2));
    EXPECT_EQ(result.AnchorValue, QStringLiteral("t"));
    // The rectangle is the anchor's part on the line where it ends.
    EXPECT_EQ(result.HitRect, TRect(1, Gh(), 1 + Width(u"cccc"), 2 * Gh()));
    ASSERT_TRUE(HitTest(text, 1 + Width(u"cc"), Gh() + Gh() / 2));
    EXPECT_EQ(result.HitAnchor, 1);
    EXPECT_EQ(result.HitRect, TRect(1, Gh(), 1 + Width(u"cccc"), 2 * Gh()));
}

TEST_F(MarkupLayout, HitAreaFollowsAlignment)
{
    const QString text = QStringLiteral("<P align=\"right\"><A href=\"r\">link</A>");
    const int x = params.Rect.Right - Width(u"link") / 2;
    ASSERT_TRUE(HitTest(text, x, Gh() / 2));
    EXPECT_EQ(result.HitRect.Right, params.Rect.Right);
    EXPECT_FALSE(HitTest(text, 1 + Width(u"link") / 2, Gh() / 2));
}

TEST_F(MarkupLayout, ATallLineIsHitOnlyInItsBottomBand)
{
    TPictureContainer container;
    QImage tall(10, 40, QImage::Format_ARGB32);
    tall.fill(Qt::red);
    container.Add(QStringLiteral("tall"), tall);
    params.PictureContainer = &container;
    const QString text = QStringLiteral("<IMG src=\"tall\"><A href=\"t\">link</A>");
    const int x = 1 + 10 + Width(u"link") / 2;
    EXPECT_TRUE(HitTest(text, x, 40 - Gh() / 2));
    EXPECT_FALSE(HitTest(text, x, 40 - Gh() - 2));
    EXPECT_EQ(result.YSize, 40);
}

TEST_F(MarkupLayout, ImagesFromAListTakeTheirRoomAndMissingOnesNone)
{
    TImageList images;
    images.SetWidth(16);
    images.SetHeight(20);
    QImage picture(16, 20, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    images.Add(picture);
    params.Images = &images;
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"IDX:0\">a")), 16 + Width(u"a"));
    EXPECT_EQ(result.YSize, std::max(20, Gh()));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"idx:1\">a")), Width(u"a"));
    params.Images = nullptr;
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"IDX:0\">a")), Width(u"a"));
}

TEST_F(MarkupLayout, AnImageInsideAnAnchorIsAHitAndShowsItsAltPicture)
{
    TPictureContainer container;
    QImage small(10, 10, QImage::Format_ARGB32);
    small.fill(Qt::red);
    QImage wide(30, 10, QImage::Format_ARGB32);
    wide.fill(Qt::green);
    container.Add(QStringLiteral("small"), small);
    container.Add(QStringLiteral("WIDE"), wide);
    params.PictureContainer = &container;
    const QString text = QStringLiteral("<A href=\"pic\"><IMG src=\"small\" alt=\"wide\"></A>");
    ASSERT_TRUE(HitTest(text, 1 + 5, 5));
    EXPECT_EQ(result.AnchorValue, QStringLiteral("pic"));
    EXPECT_EQ(result.XSize, 30 + 2);
    EXPECT_FALSE(HitTest(text, 1 + 5, 15));
    EXPECT_EQ(result.XSize, 10 + 2);
}

TEST_F(MarkupLayout, ProgramManualRepairTextOnOneAndTwoLines)
{
    // The e-mail address ends the text; find it on its line and hit it there.
    for (const auto& [form, width] : { std::pair { QChar(u'Y'), 775 }, std::pair { QChar(u'y'), 390 } }) {
        params.Rect = TRect(0, 0, width, 4096);
        const QString text = ManualRepairMarkup(form);
        const TMarkupResult measured = Height(text);
        EXPECT_LE(measured.XSize, width + 2);
        const int lines = measured.YSize / Gh();
        EXPECT_GE(lines, 2);

        canvas.Font.Bold = true;
        const int emailWidth = canvas.TextWidth(kEmail);
        canvas.Font.Bold = false;
        const int lastLine = (lines - 1) * Gh();
        bool found = false;
        for (int x = 1; x < width && !found; x += 3) {
            if (HitTest(text, x, lastLine + Gh() / 2)) {
                found = true;
                EXPECT_EQ(result.AnchorValue, QStringLiteral("mailto:") + kEmail);
                EXPECT_EQ(result.HitRect.Width(), emailWidth);
                EXPECT_EQ(result.HitRect.Top, lastLine);
                EXPECT_TRUE(result.HitRect.Contains(x, lastLine + Gh() / 2) || x == result.HitRect.Right);
            }
        }
        EXPECT_TRUE(found) << "no anchor found on the last line at width " << width;
        EXPECT_FALSE(HitTest(text, 5, Gh() / 2));
    }
}

TEST_F(MarkupLayout, TheAddressWrappedOntoTheNextLineIsHitThere)
{
    const QString text = ManualRepairMarkup(u'y');
    // Find the width at which the address alone moves to a new line.
    params.Rect = TRect(0, 0, 390, 4096);
    const int lines = Height(text).YSize / Gh();
    canvas.Font.Bold = true;
    const int emailWidth = canvas.TextWidth(kEmail);
    canvas.Font.Bold = false;
    bool checked = false;
    for (int right = 390; right > 300 && !checked; --right) {
        params.Rect.Right = right;
        const int now = Height(text).YSize / Gh();
        if (now == lines)
            continue;
        // The line count went up: the address starts the new last line.
        ASSERT_TRUE(HitTest(text, 1 + emailWidth / 2, (now - 1) * Gh() + Gh() / 2));
        EXPECT_EQ(result.HitRect, TRect(1, (now - 1) * Gh(), 1 + emailWidth, now * Gh()));
        checked = true;
    }
    EXPECT_TRUE(checked);
}

TEST_F(MarkupLayout, TheCanvasIsLeftAsItWasFound)
{
    const TFont font = canvas.Font;
    const TBrush brush = canvas.Brush;
    params.HitTestOnly = false;
    result = {};
    DrawMarkup(canvas,
        QStringLiteral("<B><I><FONT color=\"clred\" size=\"5\" face=\"Symbol\"><HI><R a=\"90\">x"), params,
        result);
    EXPECT_EQ(canvas.Font, font);
    EXPECT_EQ(canvas.Brush, brush);
}

TEST_F(MarkupLayout, PicturesFromAddressesLoadOnceAndOtherSchemesLoadNothing)
{
    TempDir dir;
    const QString path = dir.path() + QStringLiteral("/dot.png");
    QImage dot(12, 9, QImage::Format_ARGB32);
    dot.fill(Qt::red);
    ASSERT_TRUE(dot.save(path));
    THTMLPictureCache cache;
    params.PictureCache = &cache;
    const QString text = QStringLiteral("<IMG src=\"file://%1\">a").arg(path);
    EXPECT_EQ(LaidOutWidth(text), 12 + Width(u"a"));
    EXPECT_EQ(LaidOutWidth(text), 12 + Width(u"a"));
    EXPECT_EQ(cache.Count(), 1);

    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"http://quillon.example/x.png\">a")), Width(u"a"));
    EXPECT_EQ(cache.Count(), 2); // kept empty, so the address is not tried again on every paint
    // Without a cache an address takes no room.
    params.PictureCache = nullptr;
    EXPECT_EQ(LaidOutWidth(text), Width(u"a"));
}

TEST_F(MarkupLayout, SystemIconsAreSmallOrLarge)
{
    if (SystemIconByIndex(0, false, QSize(16, 16)).isNull())
        GTEST_SKIP() << "no file-type icons on this platform";
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"SSYS:0\">a")), SystemIconBaseSize(false) + Width(u"a"));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"lsys:0\">a")), SystemIconBaseSize(true) + Width(u"a"));
    EXPECT_EQ(result.YSize, SystemIconBaseSize(true));
    EXPECT_EQ(LaidOutWidth(QStringLiteral("<IMG src=\"SSYS:notes.txt\">a")),
        SystemIconBaseSize(false) + Width(u"a"));
}

TEST_F(MarkupLayout, ExtremeValuesStayBounded)
{
    HitTest(QStringLiteral("<IND x=\"2147483647\">abc <OFS x=\"-2147483648\">d<P indent=\"99999999999\">e"));
    EXPECT_GT(result.XSize, 0);
    EXPECT_LE(result.XSize, (1 << 28) + 2);
    params.LineSpacing = INT_MAX;
    params.Rect = TRect(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
    EXPECT_GT(Height(QStringLiteral("a<BR>b<BR>c")).YSize, 0);
    params.LineSpacing = 0;
    params.Rect = TRect(0, 0, 400, 4096);
    EXPECT_EQ(Height(QStringLiteral("<FONT size=\"2147483647\">x")).YSize,
        Height(QStringLiteral("<FONT size=\"99999\">x")).YSize);
    EXPECT_EQ(Height(QStringLiteral("<UL><UL><UL><UL><LI>x")).YSize, 5 * Gh());
}
