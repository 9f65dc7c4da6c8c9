// SPDX-License-Identifier: MIT
#include "MarkupValues.h"
#include "MarkupEngine.h"

#include <gtest/gtest.h>

using namespace Markup;

TEST(MarkupNumber, ReadsDigitsUpToTheFirstOtherCharacter)
{
    EXPECT_EQ(ReadNumber(u"  12").value, 12);
    EXPECT_TRUE(ReadNumber(u"  12").clean);
    EXPECT_EQ(ReadNumber(u"-5").value, -5);
    EXPECT_TRUE(ReadNumber(u"-5").clean);
    // The sign counts only for a clean value; the digits read so far are kept.
    EXPECT_EQ(ReadNumber(u"-5px").value, 5);
    EXPECT_FALSE(ReadNumber(u"-5px").clean);
    EXPECT_EQ(ReadNumber(u"20\"").value, 20);
    EXPECT_EQ(ReadNumber(u"abc").value, 0);
    EXPECT_FALSE(ReadNumber(u"").clean);
    EXPECT_FALSE(ReadNumber(u"-").clean);
}

TEST(MarkupNumber, ReadsHexadecimalAfterDollarOrX)
{
    EXPECT_EQ(ReadNumber(u"$1F").value, 31);
    EXPECT_EQ(ReadNumber(u"x10").value, 16);
    EXPECT_EQ(ReadNumber(u"0X1a").value, 26);
    EXPECT_TRUE(ReadNumber(u"0x1a").clean);
}

TEST(MarkupNumber, HugeValuesAreClampedNotWrapped)
{
    const Number n = ReadNumber(u"99999999999999999999");
    EXPECT_EQ(n.value, INT_MAX);
    EXPECT_FALSE(n.clean);
}

TEST(MarkupColor, HashValuesAreRedGreenBlue)
{
    EXPECT_EQ(ReadColor(u"#000000"), 0u);
    EXPECT_EQ(ReadColor(u"#FF0000"), 0x0000FFu);
    EXPECT_EQ(ReadColor(u"#00FF00"), 0x00FF00u);
    EXPECT_EQ(ReadColor(u"#0000FF"), 0xFF0000u);
    EXPECT_EQ(ReadColor(u"#123456"), 0x563412u);
    // A pair cut short reads as 0.
    EXPECT_EQ(ReadColor(u"#FF00F"), 0x0000FFu);
    // Stray characters never turn into a system colour or the no-colour value.
    const TColor odd = ReadColor(u"#zzzzzz");
    EXPECT_EQ(odd & 0xFF000000u, 0u);
}

TEST(MarkupColor, NamesAreFoundInAnyCaseAndUnknownNamesAreBlack)
{
    EXPECT_EQ(ReadColor(u"clRed"), 0xFFu);
    EXPECT_EQ(ReadColor(u"CLNAVY"), 0x800000u);
    EXPECT_EQ(ReadColor(u"clHighlight"), clHighlight);
    EXPECT_EQ(ReadColor(u"clInfoBk"), 0xFF000018u);
    EXPECT_EQ(ReadColor(u"cl3DDkShadow"), 0xFF000015u);
    EXPECT_EQ(ReadColor(u"red"), clBlack);
    EXPECT_EQ(ReadColor(u""), clBlack);
}

TEST(MarkupAttributes, ValuesStandBetweenTheFirstTwoQuotesAfterTheName)
{
    bool found = false;
    EXPECT_EQ(AttributeValue(u" SRC=\"a.png\" WIDTH=\"4\"", u"WIDTH", Qt::CaseSensitive, &found), u"4");
    EXPECT_TRUE(found);
    EXPECT_EQ(AttributeValue(u" size=3", u"SIZE", Qt::CaseInsensitive, &found), u"");
    EXPECT_TRUE(found);
    AttributeValue(u" a=\"1\"", u"B", Qt::CaseSensitive, &found);
    EXPECT_FALSE(found);
    // First occurrence wins, even inside another value.
    EXPECT_EQ(AttributeValue(u" ALT=\"SRC\" SRC=\"x\"", u"SRC"), u" SRC=");
    EXPECT_EQ(FirstQuoted(u" href=\"mailto:a@b\" title=\"t\""), u"mailto:a@b");
    EXPECT_EQ(FirstQuoted(u" href=x"), u"");
}

TEST(MarkupAttributes, FontSizeStepsAndPointSizes)
{
    int points = 0;
    ASSERT_TRUE(FontSizeValue(u" SIZE=\"3\"", points));
    EXPECT_EQ(points, 12);
    ASSERT_TRUE(FontSizeValue(u" SIZE=3", points));
    EXPECT_EQ(points, 12);
    ASSERT_TRUE(FontSizeValue(u" SIZE=\"18\"", points));
    EXPECT_EQ(points, 18);
    ASSERT_TRUE(FontSizeValue(u" SIZE=\"1\"", points));
    EXPECT_EQ(points, 8);
    ASSERT_TRUE(FontSizeValue(u" SIZE=\"5\"", points));
    EXPECT_EQ(points, 16);
    ASSERT_TRUE(FontSizeValue(u" SIZE=\"7\"", points));
    EXPECT_EQ(points, 7);
    EXPECT_FALSE(FontSizeValue(u" COLOR=\"#000000\"", points));
}

TEST(MarkupEntities, TextEntitiesRepeatUntilNothingChanges)
{
    QString text = QStringLiteral("&copy; &REG; &Euro; &permil; &sect; &para; &trade; &quot;");
    DecodeTextEntities(text);
    EXPECT_EQ(text, QString::fromUtf8("© ® € ‰ § ¶ ™ \""));

    text = QStringLiteral("a&amp;b");
    DecodeTextEntities(text);
    EXPECT_EQ(text, QStringLiteral("a&&b"));

    // "&amp;" followed by the rest of another entity ends as "&" and that entity's character.
    text = QStringLiteral("&amp;quot;");
    DecodeTextEntities(text);
    EXPECT_EQ(text, QStringLiteral("&\""));
}

TEST(MarkupEntities, ChainsResolveInTextAndTagsTakeOneCharacterPerEntity)
{
    struct Case {
        const char* markup;
        const char* decoded;
    };
    const Case cases[] = {
        // Each "amp;" after "&amp;" is one more level, in any case.
        { "&amp;amp;amp;", "&&&&" },
        { "&AMP;Amp;QUOT;x", "&&\"x" },
        { "&amp;amp;euro;", "&&\u20ac" },
        { "&&amp;", "&&&" },
        { "&amp;&amp;", "&&&&" },
        { "&amp;am;p;", "&&am;p;" },
        { "&amp", "&amp" },
        // In a tag an entity is its one character and nothing chains.
        { "<A href=\"a?b=1&amp;c=2\">a&amp;b</A>", "<A href=\"a?b=1&c=2\">a&&b</A>" },
        { "<A href=\"&amp;quot;&AMP;amp;\">", "<A href=\"&quot;&amp;\">" },
        { "<font face=&quot;x&quot;>&quot;", "<font face=\"x\">\"" },
        // The first "<#" pair is text; a CR becomes a line-break tag and so ends a tag.
        { "<#a&amp;b>&amp;<#c&amp;d>", "<#a&&b>&&<#c&d>" },
        { "<b\r&amp;x>&amp;", "<b\r&&x>&&" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.markup);
        QString text = QString::fromUtf8(c.markup);
        DecodeTextEntities(text);
        EXPECT_EQ(text, QString::fromUtf8(c.decoded));
    }
    // A deep chain: one more ampersand per level.
    QString chain = QLatin1Char('&') + QStringLiteral("amp;").repeated(20000);
    DecodeTextEntities(chain);
    EXPECT_EQ(chain, QString(20001, QLatin1Char('&')));
}

TEST(MarkupEntities, RunEntitiesAreDecodedOnlyWhenPresent)
{
    QString out = QStringLiteral("unchanged");
    EXPECT_FALSE(DecodeRunEntities(u"plain", out));
    EXPECT_EQ(out, QStringLiteral("unchanged"));
    EXPECT_TRUE(DecodeRunEntities(u"&LT;b&gt;&nbsp;x", out));
    EXPECT_EQ(out, QStringLiteral("<b> x"));
}

TEST(MarkupPlainText, TagsGoLineBreaksBecomeCrLfHiddenTextIsDropped)
{
    EXPECT_EQ(MarkupToPlainText(u"<B>bold</B><br>next<HR>rule"), QStringLiteral("bold\r\nnext\r\nrule"));
    EXPECT_EQ(MarkupToPlainText(u"a<z>secret</z>b<Z>more</Z>c"), QStringLiteral("abc"));
    // Only the exact lower and upper pairs are matched.
    EXPECT_EQ(MarkupToPlainText(u"a<z>x</Z>b"), QStringLiteral("a<z>x</Z>b"));
    EXPECT_EQ(MarkupToPlainText(u"a<Z>no end"), QStringLiteral("a<Z>no end"));
    EXPECT_EQ(MarkupToPlainText(u"a<b>c<d"), QStringLiteral("ac<d"));
    EXPECT_EQ(MarkupToPlainText(u""), QString());
}
