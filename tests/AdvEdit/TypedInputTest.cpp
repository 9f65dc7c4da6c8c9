// SPDX-License-Identifier: MIT
// The typed-input rules over the plain model field: typing (the shared cases), pasting,
// assignment, numbers, focus loss and property changes.
#include "TypedInput.h"
#include "EditHostModel.h"
#include "LocaleScope.h"
#include "TypedInputCases.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

using namespace AdvEditTypes;
using TypedText::TSeparators;

namespace {

struct Field {
    TEditHostModel model;
    TTypedInput& typed = model.typed;

    explicit Field(const TTypedSettings& s, const QString& picture = QString())
    {
        model.setPrefix(QString::fromUtf8(s.prefix));
        s.ApplyTo(typed);
        typed.SetEditType(model.edit, s.type);
        typed.SetPrecision(model.edit, s.precision);
        typed.SetAutoThousandSeparator(model.edit, s.autoThousandSeparator);
        model.Show(picture);
        model.modified = false;
    }

    void Type(const QString& ch, bool keypad = false) { model.Type(ch, keypad); }
    void TypeAll(const QString& text, bool keypad = false)
    {
        for (QChar c : text)
            Type(QString(c), keypad);
    }
};

TEST(TypedInput, TypingPerEditType)
{
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const TTypingCase& c : TypingCases()) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.rule);
            Field f(c.settings, Localised(c.start, c.settings, sep));
            f.TypeAll(Localised(c.typed, c.settings, sep), c.settings.keypad);
            EXPECT_EQ(f.model.Shown(), Localised(c.expected, c.settings, sep));
            EXPECT_EQ(f.model.focusMoves, c.focusMoves);
        }
    }
}

TEST(TypedInput, Pasting)
{
    struct Case {
        const char* rule;
        TTypedSettings settings;
        const char* start;
        const char* clip;
        const char* expected;
        int maxLength = 0;
    } cases[] = {
        { "string: a selection is replaced and selected", { etString }, "a[b]c", "XY", "a[XY]c" },
        { "string: caret after the text", { etString }, "a|c", "XY", "aXY|c" },
        { "string: one line only", { etString }, "|", "x\ny", "x|" },
        { "a paste that does not fit is refused whole", { etString }, "abc|", "123", "abc|", 5 },
        { "numeric: a letter changes nothing", { etNumeric }, "1|", "2a", "1|" },
        { "numeric: digits", { etNumeric }, "1|", "23", "123|" },
        { "numeric: a leading minus when Signed", { etNumeric, 0, true }, "|5", "-", "-|5" },
        { "numeric: a minus elsewhere is refused", { etNumeric, 0, true }, "1|", "-5", "1|" },
        { "numeric: no minus without Signed", { etNumeric }, "|5", "-", "|5" },
        { "float: formatted to its precision", { etFloat, 2 }, "|", "1,234.5", "1234.50|" },
        { "float: DS refused without precision", { etFloat }, "1|", ".5", "1|" },
        { "float: invalid number refused", { etFloat, 2 }, "1|", "1.2.3", "1|" },
        { "money: grouped and all selected", { etMoney, 2 }, "|", "1234", "[1,234.00]" },
        { "money: long values keep their digits", { etMoney, 2 }, "|", "123456789012345678901.5",
            "[123,456,789,012,345,678,901.50]" },
        { "uppercase: the whole new value", { etUppercase }, "a|", "bc", "ABC|" },
        { "lowercase", { etLowerCase }, "|", "BC", "bc|" },
        { "mixed case", { etMixedCase }, "|", "john mcdonald", "John McDonald|" },
        { "alphanumeric: a space changes nothing", { etAlphaNumeric }, "a|", "b c", "a|" },
        { "alphanumeric", { etAlphaNumeric }, "a|", "b1", "ab1|" },
        { "valid characters", { etValidChars, 0, false, 0, false, "ab" }, "|", "abc", "|" },
        { "range: never", { etRange }, "|", "1-3", "|" },
        { "hex: never", { etHex }, "|", "FF", "|" },
    };
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const Case& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.rule);
            Field f(c.settings, Localised(c.start, c.settings, sep));
            f.model.setMaxLength(c.maxLength);
            f.model.Paste(Localised(c.clip, c.settings, sep));
            EXPECT_EQ(f.model.Shown(), Localised(c.expected, c.settings, sep));
            // a paste the field itself refuses (MaxLength) stops before the lookup
            EXPECT_EQ(f.model.lookupUpdates, c.maxLength > 0 ? 0 : 1);
        }
    }
}

TEST(TypedInput, PasteRefusedByTheEventOrForeignSeparators)
{
    Field f({ etString }, "ab|");
    f.model.allowPaste = false;
    f.model.Paste(QStringLiteral("x"));
    EXPECT_EQ(f.model.Shown(), "ab|");
    EXPECT_EQ(f.model.lookupUpdates, 0); // a refused paste stops before the lookup
    f.model.Paste(QString()); // no text: only the lookup and the tab step
    EXPECT_EQ(f.model.lookupUpdates, 1);

    // "." is neither DS nor TS in French: a pasted "1.5" would read as 0
    const LocaleScope scope(QLocale(QLocale::French, QLocale::France));
    Field fr({ etFloat, 2 }, "|");
    fr.model.Paste(QStringLiteral("1.5"));
    EXPECT_EQ(fr.model.Shown(), "|");
    fr.model.Paste(QStringLiteral("1,5"));
    EXPECT_EQ(fr.model.Value(), "1,50");
}

TEST(TypedInput, PasteFillingTheLengthMovesOn)
{
    Field f({ etNumeric, 0, false, 3, true }, "|");
    f.model.Paste(QStringLiteral("123"));
    EXPECT_EQ(f.model.focusMoves, 1);
}

TEST(TypedInput, AssigningText)
{
    struct Case {
        TTypedSettings settings;
        const char* assigned;
        const char* expected;
        bool allowNull = false;
        TPrecisionDisplay display = pdNormal;
    } cases[] = {
        { { etString }, "", "" },
        { { etNumeric }, "", "0" },
        { { etNumeric }, "", "", true },
        { { etNumeric }, "abc", "abc" }, // taken unchanged
        { { etFloat, 2 }, "3.14159", "3.14" },
        { { etFloat, 2 }, "", "0.00" },
        { { etFloat }, "3.14159", "3.14159" },
        { { etFloat, 2 }, "1.50", "1.5", false, pdShortest },
        { { etMoney, 2 }, "1234567.5", "1,234,567.50" },
        { { etMoney, 2 }, "12345678901234567890.125", "12,345,678,901,234,567,890.13" },
        { { etHex }, "ff", "FF" },
        { { etHex }, "", "0" },
        { { etUppercase }, "ab", "ab" },
    };
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const Case& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.assigned);
            Field f(c.settings);
            f.typed.SetAllowNumericNullValue(c.allowNull);
            f.typed.SetPrecisionDisplay(f.model.edit, c.display);
            f.model.AssignText(Localised(c.assigned, c.settings, sep));
            EXPECT_EQ(f.model.Value(), Localised(c.expected, c.settings, sep));
        }
    }
}

TEST(TypedInput, ReadingNumbers)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        AdvEditTypes::TAdvEditType type;
        const char* value;
        double floatValue;
        int intValue;
    } cases[] = {
        { etNumeric, "", 0, 0 },
        { etNumeric, "-", 0, 0 },
        { etNumeric, "-42", -42, -42 },
        { etNumeric, "99999999999", 99999999999.0, kMax }, // saturates
        { etFloat, "-12.9", -12.9, -12 }, // the integer part keeps its sign
        { etFloat, "1,234.5", 1234.5, 1234 },
        { etMoney, "1,234.", 1234, 1234 },
        { etMoney, "-", 0, 0 },
        { etHex, "FF", 255, 255 },
        { etHex, "FFFFFFFF", 4294967295.0, -1 },
        { etHex, "", 0, 0 },
        { etRange, "12", 0, 0 },
    };
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const Case& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.value);
            const TTypedSettings s { c.type };
            Field f(s, Localised(c.value, s, sep));
            EXPECT_DOUBLE_EQ(f.typed.FloatValue(f.model.edit), c.floatValue);
            EXPECT_EQ(f.typed.IntValue(f.model.edit), c.intValue);
        }
    }
    // a string field reads a period as the decimal point in every locale
    const LocaleScope scope(QLocale(QLocale::German, QLocale::Germany));
    Field s({ etString }, "1.5");
    EXPECT_DOUBLE_EQ(s.typed.FloatValue(s.model.edit), 1.5);
}

TEST(TypedInput, WritingNumbers)
{
    struct Case {
        TTypedSettings settings;
        double x; // written to FloatValue, or to IntValue when `integer`
        bool integer;
        const char* expected;
    } cases[] = {
        { { etMoney, 2 }, 1234567.5, false, "1,234,567.50" }, { { etMoney, 2 }, 1234, true, "1,234.00" },
        { { etFloat, 2 }, std::numeric_limits<double>::quiet_NaN(), false, "0.00" },
        { { etFloat, -1 }, 0.5, false, "0.5" }, { { etString }, 2.7, false, "3" },
        { { etNumeric }, 1234.7, false, "1235" }, // no separators in a numeric field
        { { etNumeric }, -5, true, "-5" }, { { etHex }, -1, true, "FFFFFFFF" },
        { { etHex }, 255, false, "FF" }, { { etHex }, 1e30, false, "7FFFFFFFFFFFFFFF" },
        { { etRange }, 5, true, "1-2" }, // other types keep their value
    };
    for (const QLocale& locale : TypingLocales()) {
        const LocaleScope scope(locale);
        const TSeparators sep = TSeparators::Current();
        for (const Case& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + ": " + c.expected);
            Field f(c.settings, QStringLiteral("1-2"));
            if (c.integer)
                f.typed.SetIntValue(f.model.edit, int(c.x));
            else
                f.typed.SetFloatValue(f.model.edit, c.x);
            EXPECT_EQ(f.model.Value(), Localised(c.expected, c.settings, sep));
            EXPECT_TRUE(f.model.modified);
        }
    }
}

TEST(TypedInput, FocusLoss)
{
    struct Case {
        TTypedSettings settings;
        const char* value;
        const char* expected;
        bool allowNull = false;
    } cases[] = {
        { { etNumeric }, "", "0" },
        { { etNumeric }, "", "", true },
        { { etFloat, 2 }, "1.5", "1.50" },
        { { etFloat, 2 }, "", "", true },
        { { etMoney, 2 }, "", "0.00" },
        { { etMoney, 2 }, "1234.5", "1,234.50" },
        { { etFloat }, "1.5", "1.5" }, // no precision: left as typed
        { { etHex }, "", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Field f(c.settings, QString::fromUtf8(c.value));
        f.typed.SetAllowNumericNullValue(c.allowNull);
        f.model.modified = false;
        f.typed.FocusLost(f.model.edit);
        EXPECT_EQ(f.model.Value(), c.expected);
        if (c.settings.precision > 0 && !c.allowNull && *c.value) {
            EXPECT_FALSE(f.model.modified); // the re-format keeps Modified
        }
    }
}

TEST(TypedInput, PropertyChanges)
{
    Field numeric({ etString }, "abc");
    numeric.typed.SetEditType(numeric.model.edit, etNumeric);
    EXPECT_EQ(numeric.model.Value(), "0");

    Field hex({ etString }, "ff");
    hex.typed.SetEditType(hex.model.edit, etHex);
    EXPECT_EQ(hex.model.Value(), "ff"); // a hexadecimal value is kept
    hex.typed.SetEditType(hex.model.edit, etFloat);
    EXPECT_EQ(hex.model.Value(), "0");

    Field decimal({ etFloat }, "1.5");
    decimal.typed.SetPrecision(decimal.model.edit, 3);
    EXPECT_EQ(decimal.model.Value(), "1.500");
    decimal.typed.SetPrecisionDisplay(decimal.model.edit, pdShortest);
    EXPECT_EQ(decimal.model.Value(), "1.5");

    Field text({ etString }, "abc"); // a text keeps its value when given a precision
    text.typed.SetPrecision(text.model.edit, 2);
    EXPECT_EQ(text.model.Value(), "abc");
    EXPECT_EQ(text.typed.Precision(), 2);
    Field range({ etRange }, "1");
    range.typed.SetPrecision(range.model.edit, 2);
    EXPECT_EQ(range.typed.Precision(), 0); // not stored for other types

    Field money({ etMoney }, "1,234");
    money.typed.SetAutoThousandSeparator(money.model.edit, false);
    EXPECT_EQ(money.model.Value(), "1234");
}

TEST(TypedInput, DeleteKeepsTheIntegerLimit)
{
    Field f({ etFloat, 2, false, 3 }, "123|.4");
    f.Type(QStringLiteral("\x7f")); // "1234" would exceed the limit
    EXPECT_EQ(f.model.Shown(), "123|.4");
    f.model.Show(QStringLiteral("12|3.4"));
    f.Type(QStringLiteral("\x7f"));
    EXPECT_EQ(f.model.Shown(), "12|.4");
}

TEST(TypedInput, DecimalCaretAndRanges)
{
    Field f({ etFloat, 2, false, 0, false, "", "$" }, "$1[2].50");
    f.typed.SelectBeforeDecimal(f.model.edit);
    EXPECT_EQ(f.model.Shown(), "$12[.]50");
    f.typed.SelectAfterDecimal(f.model.edit);
    EXPECT_EQ(f.model.Shown(), "$12.[5]0");
    f.model.Show(QStringLiteral("$[12.5]0")); // a selection never reaches past the value
    f.typed.SelectBeforeDecimal(f.model.edit);
    EXPECT_EQ(f.model.Shown(), "$12[.50]");
    f.model.Show(QStringLiteral("$12|"));
    f.typed.SelectAfterDecimal(f.model.edit);
    EXPECT_EQ(f.model.Shown(), "$|12");

    Field r({ etRange, 0, false, 0, false, "", "p. " }, "p. 9,1-3,7|");
    r.model.setSuffix(QString());
    TRangeList list;
    EXPECT_TRUE(r.typed.RangeStrToList(r.model.edit, list));
    EXPECT_EQ(list.Count(), 5);
    r.typed.ListToRangeStr(r.model.edit, list);
    EXPECT_EQ(r.model.control, "p. 1-3,7,9");
}

} // namespace
