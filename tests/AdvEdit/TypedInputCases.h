// SPDX-License-Identifier: MIT
// Typing cases of the typed edit field, one row per rule, shared by the runs through the plain
// model and through the real widget. Pictures show the control text with "|" at the caret or
// "[...]" around the selection; in float and money cases "." stands for the locale's DS and ","
// for its TS. "\b" is Backspace and "\x7f" Delete.
#pragma once
#include "TypedInput.h"

#include <QLocale>
#include <vector>

struct TTypedSettings {
    AdvEditTypes::TAdvEditType type = AdvEditTypes::etString;
    int precision = 0;
    bool isSigned = false;
    int lengthLimit = 0;
    bool tabOnFullLength = false;
    const char* validChars = "";
    const char* prefix = "";
    bool keypad = false;
    bool autoThousandSeparator = true;
    bool excel = false;

    void ApplyTo(TTypedInput& typed) const
    {
        typed.SetSigned(isSigned);
        typed.SetLengthLimit(lengthLimit);
        typed.SetTabOnFullLength(tabOnFullLength);
        typed.SetValidChars(QString::fromUtf8(validChars));
        typed.SetExcelStyleDecimalSeparator(excel);
    }
};

struct TTypingCase {
    const char* rule;
    TTypedSettings settings;
    const char* start;
    const char* typed;
    const char* expected;
    int focusMoves = 0;
};

// In float and money cases "." → DS and "," → TS of the given separators.
inline QString Localised(const char* text, const TTypedSettings& settings, TypedText::TSeparators sep)
{
    QString s = QString::fromUtf8(text);
    if (settings.type != AdvEditTypes::etFloat && settings.type != AdvEditTypes::etMoney)
        return s;
    for (QChar& c : s) {
        if (c == QLatin1Char('.'))
            c = sep.ds;
        else if (c == QLatin1Char(','))
            c = sep.ts;
    }
    return s;
}

// The two number formats every typing case runs in.
inline std::vector<QLocale> TypingLocales()
{
    return { QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany) };
}

inline std::vector<TTypingCase> TypingCases()
{
    using namespace AdvEditTypes;
    const TTypedSettings numeric { etNumeric };
    const TTypedSettings signedNumeric { etNumeric, 0, true };
    const TTypedSettings float2 { etFloat, 2 };
    const TTypedSettings signedFloat2 { etFloat, 2, true };
    const TTypedSettings money2 { etMoney, 2 };
    const TTypedSettings signedMoney2 { etMoney, 2, true };
    return {
        { "string takes anything", { etString }, "a|", "-.Z é", "a-.Z é|" },
        { "password takes anything", { etPassword }, "|", "p w", "p w|" },

        { "numeric: digits", numeric, "|", "1a2 3", "123|" },
        { "numeric: minus without Signed", numeric, "12|", "-", "12|" },
        { "numeric: minus toggles the sign", signedNumeric, "12|", "-", "-12|" },
        { "numeric: minus again removes it", signedNumeric, "-12|", "-", "12|" },
        { "numeric: minus over the whole value", signedNumeric, "[12]", "-", "-|" },
        { "numeric: nothing before the minus", signedNumeric, "|-12", "5", "|-12" },
        { "numeric: full length refuses digits", { etNumeric, 0, false, 3 }, "123|", "4", "123|" },
        { "numeric: full length moves on", { etNumeric, 0, false, 3, true }, "12|", "3", "123|", 1 },
        { "numeric: ... after a prefix too", { etNumeric, 0, false, 3, true, "", "$" }, "$12|", "3", "$123|",
            1 },

        { "float: DS into an empty value", float2, "|", ".", "0.|" },
        { "float: a second DS moves after the first", float2, "1|2.5", ".", "12.|5" },
        { "float: full decimals refuse digits", float2, "1.25|", "3", "1.25|" },
        { "float: a digit after DS overwrites", float2, "1.|25", "7", "1.7|5" },
        { "float: TS too close", float2, "1,23|", ",", "1,23|" },
        { "float: TS three places on", float2, "1,234|", ",", "1,234,|" },
        { "float: no DS without precision", { etFloat }, "12|", ".", "12|" },
        { "float: letters ignored", float2, "1|", "a", "1|" },
        { "float: full integer part, DS still taken", { etFloat, 2, false, 3 }, "123|", "4.5", "123.5|" },
        { "float: the keypad's key types DS", { etFloat, 2, false, 0, false, "", "", true, true, true }, "1|",
            ",", "1.|" },
        { "float: minus toggles", signedFloat2, "1.5|", "-", "-1.5|" },
        { "float: minus over part of the value toggles", signedFloat2, "1[2]3", "-", "-1|23" },
        { "float: nothing before the minus", signedFloat2, "|-1", ".", "|-1" },

        { "money: grouped while typed", money2, "|", "1234.", "1,234.|" },
        { "money: decimals after grouping", money2, "1,234.|", "56", "1,234.56|" },
        { "money: TS is not typed", money2, "1,234|", ",", "1,234|" },
        { "money: DS over the whole value", money2, "[1,234.50]", ".", "0.|00" },
        { "money: no DS without precision", { etMoney }, "12|", ".", "12|" },
        { "money: Backspace regroups", money2, "1,234|", "\b", "123|" },
        { "money: Delete regroups", money2, "1,|234", "\x7f", "1|34" },
        // a separator beside the caret goes with the digit beyond it, then the value regroups
        { "money: Backspace after a TS", money2, "1,|234", "\b", "|234" },
        { "money: Backspace after a TS regroups", money2, "1,234,|567.50", "\b", "123,|567.50" },
        { "money: Backspace after a TS, twice", money2, "12,|345", "\b\b", "|345" },
        { "money: Backspace after a TS behind a sign", signedMoney2, "-1,|234", "\b", "-|234" },
        { "money: Backspace after a TS behind a prefix", { etMoney, 2, false, 0, false, "", "$ " },
            "$ 1,|234", "\b", "$ |234" },
        { "money: Delete before a TS", money2, "1|,234", "\x7f", "1|34" },
        { "float: Backspace after a TS takes the TS", float2, "1,|234", "\b", "1|234" },
        { "money: long values keep their digits", money2, "12,345,678,901,234,567|", "8",
            "123,456,789,012,345,678|" },
        { "money: minus toggles without regrouping", signedMoney2, "1,234|", "-", "-1,234|" },
        { "money: digit inside the integer part", money2, "1|,234", "5", "15|,234" },

        { "uppercase", { etUppercase }, "a|", "bß", "aBS|" },
        { "lowercase", { etLowerCase }, "|", "AbÉ", "abé|" },
        { "mixed case, letter by letter", { etMixedCase }, "|", "mcdonald o'neil-x ii",
            "McDonald O'Neil-X II|" },
        { "mixed case, typed inside", { etMixedCase }, "Ab|c", "D", "Abd|c" },

        { "range: digits and separators", { etRange }, "|", "1,2-3;4x", "1,2-3;4|" },
        { "range: no leading separator", { etRange }, "|", ",", "|" },
        { "range: no separator after one", { etRange }, "1,|", ";", "1,|" },
        { "range: no separator before one", { etRange }, "1|,2", "-", "1|,2" },
        { "range: no separator beside a selection", { etRange }, "1[2],3", ";", "1[2],3" },

        { "hex: digits, letters A-F and minus", { etHex }, "|", "1aG-F", "1a-F|" },
        { "alphanumeric", { etAlphaNumeric }, "|", "a1 _Zé", "a1Z|" },
        { "valid characters", { etValidChars, 0, false, 0, false, "xy€" }, "|", "xay€", "xy€|" },
    };
}
