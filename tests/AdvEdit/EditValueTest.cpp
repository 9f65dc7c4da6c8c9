// SPDX-License-Identifier: MIT
#include "EditValue.h"

#include <gtest/gtest.h>

namespace {

struct ValueCase {
    const char* control;
    const char* prefix;
    const char* suffix;
    const char* value;
};
const ValueCase kValueCases[] = {
    { "$12 kg", "$", " kg", "12" },
    { "$12", "$", " kg", "" }, // suffix lost: still three characters cut
    { "12 kg", "$", " kg", "12" }, // prefix missing: left alone
    { "C:/data/file.doc", "", "", "C:/data/file.doc" },
    { "ab", "", "xyz", "" },
};

TEST(EditValue, ValueStripsPrefixAndSuffixLength)
{
    for (const auto& c : kValueCases)
        EXPECT_EQ(EditValue::ValueOf(
                      QString::fromUtf8(c.control), QString::fromUtf8(c.prefix), QString::fromUtf8(c.suffix)),
            QString::fromUtf8(c.value))
            << c.control;
}

TEST(EditValue, UrlLikeValues)
{
    EXPECT_TRUE(EditValue::IsUrlText("http://x.org"));
    EXPECT_TRUE(EditValue::IsUrlText("a@b.com"));
    EXPECT_FALSE(EditValue::IsUrlText("@b.com")); // @ must follow the first character
    EXPECT_TRUE(EditValue::IsUrlText("WWW.example.com"));
    EXPECT_FALSE(EditValue::IsUrlText("/home/me/file.doc"));
}

TEST(EditValue, BackspaceResult)
{
    // no selection: the character before the caret
    EXPECT_EQ(EditValue::AfterBackspace("abc", 0, 2, 0), "ac");
    // selection: one position before the selection's first character
    EXPECT_EQ(EditValue::AfterBackspace("abcd", 0, 2, 1), "acd");
    // whole value selected from its start removes nothing
    EXPECT_EQ(EditValue::AfterBackspace("abc", 0, 0, 3), "abc");
    EXPECT_EQ(EditValue::AfterBackspace("12", 1, 3, 0), "1");
}

TEST(EditValue, SelectAllSkipsSchemes)
{
    auto s = EditValue::SelectAllRange("12", 1, false);
    EXPECT_EQ(s.start, 1);
    EXPECT_EQ(s.length, 2);
    s = EditValue::SelectAllRange("http://x.org", 0, true);
    EXPECT_EQ(s.start, 7);
    s = EditValue::SelectAllRange("mailto:a@b.c", 2, true);
    EXPECT_EQ(s.start, 9);
    s = EditValue::SelectAllRange("http://x.org", 0, false);
    EXPECT_EQ(s.start, 0);
}

TEST(EditValue, TextRectangles)
{
    const QRect c(0, 0, 100, 21);
    EXPECT_EQ(EditValue::TextRect(c, false, true, 9, 0, 0), QRect(QPoint(0, 0), QPoint(99, 20)));
    EXPECT_EQ(EditValue::TextRect(c, true, true, 9, 0, 0), QRect(QPoint(4, 3), QPoint(95, 16)));
    // without 3-D look a third of the point size is added on both sides
    EXPECT_EQ(EditValue::TextRect(c, false, false, 9, 2, 1), QRect(QPoint(5, 0), QPoint(95, 20)));
}

TEST(EditValue, ShellTargets)
{
    EXPECT_EQ(EditValue::ShellTarget("www.x.org"), "http://www.x.org");
    EXPECT_EQ(EditValue::ShellTarget("me@x.org"), "mailto:me@x.org");
    EXPECT_EQ(EditValue::ShellTarget("https://x.org/a@b"), "https://x.org/a@b");
}

} // namespace
