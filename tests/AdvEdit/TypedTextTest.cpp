// SPDX-License-Identifier: MIT
#include "TypedText.h"
#include "RangeList.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

using namespace TypedText;

namespace {

const TSeparators kEn { QLatin1Char('.'), QLatin1Char(',') };
const TSeparators kDe { QLatin1Char(','), QLatin1Char('.') };

TEST(TypedText, SeparatorsFollowTheDefaultLocaleAtEachRead)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TSeparators::Current().ds, QLatin1Char('.'));
    EXPECT_EQ(TSeparators::Current().ts, QLatin1Char(','));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TSeparators::Current().ds, QLatin1Char(','));
    EXPECT_EQ(TSeparators::Current().ts, QLatin1Char('.'));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(TSeparators::Current().ds, QLatin1Char(','));
    EXPECT_TRUE(TSeparators::Current().ts.isSpace()); // a (narrow) no-break space
    QLocale::setDefault(saved);
}

TEST(TypedText, ClassifyNumber)
{
    struct Case {
        const char* text;
        TSeparators sep;
        TNumberClass expected;
    } cases[] = {
        { "", kEn, ncInvalid },
        { "123", kEn, ncInteger },
        { "-12", kEn, ncInteger },
        { "1-2", kEn, ncInteger }, // a minus may stand anywhere
        { "--1", kEn, ncInvalid },
        { "1.5", kEn, ncDecimal },
        { "1,234.5", kEn, ncDecimal },
        { "1,5", kEn, ncDecimal }, // "," is decimal whatever the separators
        { ",123", kEn, ncInvalid }, // a leading TS
        { "1,23,456", kEn, ncDecimal },
        { "1,2,3", kEn, ncInvalid }, // TS closer than 3
        { "1.2.3", kEn, ncInvalid }, // two DS
        { "1.234,5", kDe, ncDecimal },
        { "1,2,3", kDe, ncInvalid }, // two DS in this locale
        { "ff", kEn, ncHex },
        { "1aB", kEn, ncHex },
        { "1 5", kEn, ncInvalid },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ClassifyNumber(QString::fromUtf8(c.text), c.sep), c.expected);
    }
}

TEST(TypedText, ValueToFloat)
{
    struct Case {
        const char* text;
        TSeparators sep;
        double expected;
    } cases[] = {
        { "1,234.5", kEn, 1234.5 },
        { "  -2.5 ", kEn, -2.5 },
        { "+3", kEn, 3 },
        { "5.", kEn, 5 },
        { ".5", kEn, 0.5 },
        { "1e3", kEn, 1000 },
        { "1.5E-2", kEn, 0.015 },
        { "1.234,5", kDe, 1234.5 },
        { "1.5", kDe, 15 }, // "." is this locale's TS
        { "abc", kEn, 0 },
        { ".", kEn, 0 },
        { "1e", kEn, 0 },
        { "1e400", kEn, 0 }, // overflow
        { "inf", kEn, 0 },
        { "1,5", TSeparators { QLatin1Char('.'), QChar() }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ValueToFloat(QString::fromUtf8(c.text), c.sep), c.expected);
    }
}

TEST(TypedText, IntegerConversionKeepsTheSignAndReportsOverflow)
{
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    struct Case {
        const char* text;
        int value;
        bool ok;
        bool overflow = false;
    } cases[] = {
        { "  42", 42, true },
        { "-42", -42, true },
        { "+7", 7, true },
        { "$FF", 255, true },
        { "x1f", 31, true },
        { "0x10", 16, true },
        { "-$10", -16, true },
        { "12a", 12, false }, // the digits read so far
        { "-12.9", -12, false }, // ... with their sign
        { "42 ", 42, false },
        { "", 0, false },
        { "-", 0, false },
        { "0x", 0, false },
        { "2147483647", kMax, true },
        { "-2147483648", kMin, true },
        { "$FFFFFFFF", -1, true },
        // beyond 32 bits: not converted, the value held at the bound for readers that take it anyway
        { "2147483648", kMax, false, true },
        { "4294967296", kMax, false, true },
        { "99999999999", kMax, false, true },
        { "-2147483649", kMin, false, true },
        { "$100000000", -1, false, true },
        { "99999999999x", kMax, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = ToInteger(QString::fromUtf8(c.text));
        EXPECT_EQ(r.value, c.value);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.overflow, c.overflow);
    }
}

TEST(TypedText, HexText)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        { "FF", 255 },
        { "ff", 255 },
        { "", 0 },
        { "1G", 16 }, // any other character is the digit 0
        { "-FF", 255 },
        { "FFFFFFFF", -1 },
        { "000000000000FF", 255 },
        { "123456789", -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexTextToInt(QString::fromUtf8(c.text)), c.value);
    }
    EXPECT_EQ(HexTextValue(QStringLiteral("FFFFFFFF")), 0xFFFFFFFFull);
    EXPECT_EQ(HexTextValue(QString(20, QLatin1Char('F'))), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(HexText(0xABCull), "ABC");
    EXPECT_EQ(HexText(0), "0");
}

TEST(TypedText, NumberFormats)
{
    EXPECT_EQ(FixedFormat(3.14159, 2, kEn), "3.14");
    EXPECT_EQ(FixedFormat(3.14159, 2, kDe), "3,14");
    EXPECT_EQ(FixedFormat(-0.001, 2, kEn), "0.00");
    EXPECT_EQ(FixedFormat(-1234.5, 0, kEn), "-1235");
    EXPECT_EQ(FixedFormat(std::numeric_limits<double>::quiet_NaN(), 1, kEn), "0.0");
    EXPECT_EQ(GroupedFormat(1234567.5, 2, kEn), "1,234,567.50");
    EXPECT_EQ(GroupedFormat(-1234567.5, 2, kDe), "-1.234.567,50");
    EXPECT_EQ(GroupedFormat(999, 0, kEn), "999");

    struct Case {
        double x;
        const char* expected;
    } general[] = {
        { 0, "0" },
        { 1234.5, "1234.5" },
        { -0.25, "-0.25" },
        { 0.1 + 0.2, "0.3" },
        { 0.00001, "0.00001" },
        { 1.5e-7, "1.5E-7" },
        { 1e20, "1E20" },
        { 123456789012345.0, "123456789012345" },
        { 1234567890123456.0, "1.23456789012346E15" },
    };
    for (const auto& c : general) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(GeneralFormat(c.x, kEn), c.expected);
    }
    EXPECT_EQ(GeneralFormat(1.5, kDe), "1,5");
}

TEST(TypedText, FixedFormatOfTextKeepsEveryDigit)
{
    struct Case {
        const char* text;
        int precision;
        bool grouped;
        TSeparators sep;
        const char* expected;
    } cases[] = {
        { "3.14159", 2, false, kEn, "3.14" },
        { "0.125", 2, false, kEn, "0.13" }, // half away from zero, on the written digits
        { "-0.125", 2, false, kEn, "-0.13" },
        { "9.995", 2, false, kEn, "10.00" },
        { "-0.004", 2, false, kEn, "0.00" },
        { "1,234", 2, false, kEn, "1234.00" },
        { "12345678901234567890.125", 2, true, kEn, "12,345,678,901,234,567,890.13" },
        { "1234567,5", 2, true, kDe, "1.234.567,50" },
        { "0012", 1, false, kEn, "12.0" },
        { " 7 ", 0, false, kEn, "7" },
        { "1e3", 2, false, kEn, "1000.00" }, // not plain: read as a number
        { "abc", 2, false, kEn, "0.00" },
        { "-", 2, false, kEn, "0.00" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FixedFormatText(QString::fromUtf8(c.text), c.precision, c.grouped, c.sep), c.expected);
    }
}

TEST(TypedText, MoneyRegroup)
{
    struct Case {
        const char* value;
        bool grouped;
        TSeparators sep;
        const char* expected;
    } cases[] = {
        { "", true, kEn, "" },
        { "1234", true, kEn, "1,234" },
        { "1,23", true, kEn, "123" },
        { "-1234567.5", true, kEn, "-1,234,567.5" },
        { "0012", true, kEn, "12" },
        { ".5", true, kEn, "0.5" },
        { "-", true, kEn, "-0" },
        { "1,234", false, kEn, "1234" },
        { "1e5", true, kEn, "100,000" },
        { "1234,5", true, kDe, "1.234,5" },
        { "12345678901234567890", true, kEn, "12,345,678,901,234,567,890" }, // past 64 bits
        { "1.123456789012345678901234567890", true, kEn, "1.123456789012345678901234567890" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(MoneyRegroup(QString::fromUtf8(c.value), c.grouped, c.sep), c.expected);
    }
}

TEST(TypedText, MixedCase)
{
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        { "john SMITH", "John Smith" }, { "o'neil-smith jr.x", "O'Neil-Smith Jr.X" },
        { "a/b\\c:d*e$f)g\"h,i", "A/B\\C:D*E$F)G\"H,I" }, { "(hello)", "(hello)" }, // "(" is no break
        { "mcdonald", "McDonald" }, { "macdonald", "MacDonald" },
        { "old macdonald", "Old Macdonald" }, // "Mac" only at the start
        { "a mcx and mcy", "A McX And Mcy" }, // only the first " Mc"
        { "louis ii", "Louis II" }, { "louis iii", "Louis III" }, { "louis iv", "Louis IV" },
        { "louis xiv", "Louis Xiv" }, { "ii", "Ii" }, { "éCOLE ÜBER", "École Über" },
        { "\xF0\x90\x90\xA8x", "\xF0\x90\x90\x80x" }, // a character outside the BMP is one character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString cased = MixedCase(QString::fromUtf8(c.text));
        EXPECT_EQ(cased, QString::fromUtf8(c.expected));
        EXPECT_EQ(MixedCase(cased), cased);
    }
}

TEST(TypedText, SeparatorSpacing)
{
    struct Case {
        const char* value;
        int pos;
        int prefixLen;
        bool tooClose;
    } cases[] = {
        { "1234", 4, 0, false }, // no TS: anywhere
        { "1,23", 4, 0, true },
        { "1,234", 5, 0, false },
        { "1,234", 3, 0, true },
        { "1,234", 1, 0, true },
        { "1,234567", 8, 0, true }, // too far
        { "1,234,567", 9, 0, false },
        { "1,234,567", 5, 0, true },
        { "$1,234", 6, 1, false },
        { "$1,23", 5, 1, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " @" + std::to_string(c.pos));
        const QString v = QString::fromUtf8(c.value).mid(c.prefixLen);
        EXPECT_EQ(SeparatorTooClose(v, c.pos, c.prefixLen, QLatin1Char(',')), c.tooClose);
    }
}

TEST(TypedText, DecimalsAndIntegerPart)
{
    struct Case {
        const char* value;
        int pos;
        int precision;
        bool full;
    } cases[] = {
        { "1.25", 4, 2, true },
        { "1.25", 2, 2, true },
        { "1.25", 1, 2, false },
        { "1.2", 3, 2, false },
        { "125", 3, 2, false },
        { "1.25", 4, 0, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " @" + std::to_string(c.pos));
        EXPECT_EQ(DecimalsFull(QString::fromUtf8(c.value), c.pos, 0, c.precision, QLatin1Char('.')), c.full);
    }
    EXPECT_EQ(IntegerPartCount(QStringLiteral("1,234.56"), kEn, false), 4);
    EXPECT_EQ(IntegerPartCount(QStringLiteral("-123"), kEn, true), 3);
    EXPECT_EQ(IntegerPartCount(QStringLiteral("-123"), kEn, false), 4);
    EXPECT_EQ(IntegerPartCount(QStringLiteral("1.234,5"), kDe, false), 4);
    EXPECT_EQ(DecimalSeparatorPosition(QStringLiteral("12.5"), 1, 3, QLatin1Char('.')), 4);
    EXPECT_EQ(DecimalSeparatorPosition(QStringLiteral("125"), 1, 3, QLatin1Char('.')), 8);
}

TEST(TypedText, RangeStrings)
{
    struct Case {
        const char* text;
        std::vector<std::int32_t> items;
        bool ok;
    } cases[] = {
        { "1-3,7;9", { 1, 2, 3, 7, 9 }, true },
        { "5-2", {}, true },
        { "-4", {}, false }, // a negative number reads as a range
        { "", {}, true },
        { "3,3,2", { 3, 2 }, true },
        { "1,x,3", { 1, 3 }, false },
        { "1,,3", { 1, 3 }, false },
        { "1 - 3", {}, false },
        { "2147483646-2147483647", { 2147483646, 2147483647 }, true },
        { "7,1-2000000000", { 7 }, false }, // wider than one range may add
        // an item beyond 32 bits fails alone; the valid ones around it are still added
        { "4294967296", {}, false },
        { "1,4294967296;3", { 1, 3 }, false },
        { "2147483647,2147483648", { 2147483647 }, false },
        { "5,1-4294967296", { 5 }, false },
        { "4294967296-4294967297,8", { 8 }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TRangeList list;
        list.Add(42); // cleared first
        EXPECT_EQ(list.StrToList(QString::fromUtf8(c.text)), c.ok);
        EXPECT_EQ(list.Items(), c.items);
    }
    EXPECT_EQ(RangeText({ 9, 1, 2, 3, 7 }), "1-3,7,9");
    EXPECT_EQ(RangeText({}), "");
    EXPECT_EQ(RangeText({ 5 }), "5");
    EXPECT_EQ(RangeText({ -3, -2, 2147483647, 2147483646 }), "-3--2,2147483646-2147483647");

    TRangeList list;
    EXPECT_TRUE(list.AddMultiple(2147483640, 100)); // stops at the 32-bit maximum
    EXPECT_EQ(list.Count(), 8);
    EXPECT_FALSE(list.Add(2147483647));
    list.Delete(0);
    EXPECT_FALSE(list.InList(2147483640));
    EXPECT_TRUE(list.InList(2147483641));
}

} // namespace
