// SPDX-License-Identifier: MIT
// The one reader of tags, as the engine, the label's kept picture and its anchor map all use it.
#include "MarkupEngine.h"

#include <gtest/gtest.h>

namespace {

using T = TMarkupTag;

struct TagCase {
    const char* input; // from "<" to the end of the input
    T tag;
    bool closing;
    int length;
};

const TagCase kTagCases[] = {
    { "<a href=\"x\">go", T::Anchor, false, 12 }, { "<b>", T::Bold, false, 3 },
    { "<blink>", T::Blink, false, 7 }, { "<body background=\"p\">", T::Page, false, 21 },
    { "<BR>", T::LineBreak, false, 4 }, { "<bx>", T::Ignored, false, 4 }, { "<e>", T::ErrorMark, false, 3 },
    { "<font color=\"#000000\">", T::Font, false, 22 },
    { "<font color=", T::Ignored, false, 12 }, // a font tag needs its ">"
    { "<hi>", T::Highlight, false, 4 }, { "<hr>", T::Rule, false, 4 }, { "<hx>", T::Ignored, false, 4 },
    { "<i>", T::Italic, false, 3 }, { "<ind x=\"9\">", T::IndentTo, false, 11 },
    { "<IMG src=\"p\">", T::Image, false, 13 }, { "<li>", T::ListItem, false, 4 },
    { "<ofs x=\"4\">", T::Offset, false, 11 }, { "<o>", T::Ignored, false, 3 },
    { "<p align=\"right\">", T::Paragraph, false, 17 }, { "<rot a=\"90\">", T::Rotation, false, 12 },
    { "<s>", T::StrikeOut, false, 3 }, { "<shad>", T::Shadow, false, 6 }, { "<sub>", T::Subscript, false, 5 },
    { "<SUP>", T::Superscript, false, 5 },
    { "<sub x>", T::Ignored, false, 7 }, // scripts are read by their whole name
    { "<u>", T::Underline, false, 3 }, { "<ul>", T::ListLevel, false, 4 }, { "<z>", T::Hidden, false, 3 },
    { "<?xml>", T::Ignored, false, 6 }, { "</a>", T::Anchor, true, 4 }, { "</B>", T::Bold, true, 4 },
    { "</blink>", T::Blink, true, 8 },
    { "</bo>", T::Blink, true, 5 }, // any other closing B brings the colour back
    { "</e>", T::ErrorMark, true, 4 }, { "</font>", T::Font, true, 7 }, { "</hr>", T::Highlight, true, 5 },
    { "</imgx>", T::Italic, true, 7 }, { "</li>", T::ListItem, true, 5 }, { "</o>", T::Offset, true, 4 },
    { "</p>", T::Paragraph, true, 4 }, { "</rot>", T::Rotation, true, 6 },
    { "</sup>", T::Subscript, true, 6 }, // ends both scripts
    { "</shad>", T::Shadow, true, 7 }, { "</s>", T::StrikeOut, true, 4 }, { "</u>", T::Underline, true, 4 },
    { "</ul>", T::ListLevel, true, 5 }, { "</z>", T::Hidden, true, 4 }, { "</q>", T::Ignored, true, 4 },
    { "</>", T::Ignored, true, 3 }, // too short for a closing tag
    { "<b", T::Ignored, false, 2 }, // too short for any tag
};

TEST(MarkupTag, ReadsEveryTagByItsFirstLetters)
{
    for (const TagCase& c : kTagCases) {
        SCOPED_TRACE(c.input);
        const TMarkupTagToken token = ReadMarkupTag(QString::fromUtf8(c.input));
        EXPECT_EQ(token.tag, c.tag);
        EXPECT_EQ(token.closing, c.closing);
        EXPECT_EQ(token.length, c.length);
    }
}

struct HasCase {
    const char* markup;
    bool image;
};

const HasCase kHasCases[] = {
    { "text <img src=\"p\"> text", true },
    { "<IMage>", true },
    { "</img>", false }, // only opening tags
    { "<a href=\"<img\">x</a>", false }, // inside another tag
    { "a &lt;img src=\"p\"&gt; b", false }, // angle brackets shown as text
    { "<\nimg src=\"p\">", true }, // line feeds go before tags are read
    { "<#<img src=\"p\">>", true }, // the first "<#...>" loses its "<" and ">" first
    { "x <i", false }, // a "<" this close to the end drops the rest
    { "", false },
};

TEST(MarkupTag, FindsTagsWhereTheEngineMeetsThem)
{
    for (const HasCase& c : kHasCases) {
        SCOPED_TRACE(c.markup);
        EXPECT_EQ(MarkupHasTag(QString::fromUtf8(c.markup), { T::Image }), c.image);
    }
    EXPECT_TRUE(MarkupHasTag(u"<bo background=\"p\">", { T::Image, T::Page }));
    EXPECT_FALSE(MarkupHasTag(u"<b>bold</b> <br>", { T::Image, T::Page }));
}

} // namespace
