// SPDX-License-Identifier: MIT
#pragma once
#include <QChar>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Pure text rules behind the typed edit field: number classification and conversion, the fixed,
// grouped and general number formats, the money regrouping, mixed casing and the separator rules.
// No widget and no global state: the separators come in as a parameter, so each call can follow
// the locale in effect at that moment.
namespace TypedText {

// The decimal separator (DS) and thousand separator (TS) of a number format.
struct TSeparators {
    QChar ds = QLatin1Char('.');
    QChar ts = QLatin1Char(',');
    bool operator==(const TSeparators&) const = default;
    // Read afresh from the application's default locale (QLocale()).
    static TSeparators Current();
};

// Result of ClassifyNumber.
enum TNumberClass { ncInteger = 0, ncDecimal = 1, ncInvalid = 2, ncHex = 5 };

// Whether a text can be an integer, a decimal or a hexadecimal number. A minus may stand anywhere;
// the first TS may not lead and each further TS stands at least 3 places after the one before;
// the decimal class admits "," and "." whatever DS and TS are.
TNumberClass ClassifyNumber(QStringView s, TSeparators sep);

QString StripThousandSeparators(QStringView s, QChar ts);

// The text as a number in the given format: TS removed, DS as the decimal point, blanks around it,
// a sign and an exponent allowed. Anything else, overflow included, gives 0.
double ValueToFloat(QStringView s, TSeparators sep);
// Whether ValueToFloat would convert the text (rather than fall back to 0).
bool IsFloatText(QStringView s, TSeparators sep);

// Hexadecimal digits read from the left; any other character counts as the digit 0. Beyond 64 bits
// the value saturates at all bits set.
std::uint64_t HexTextValue(QStringView s);
// The same as a 32-bit word, as the field's IntValue reads it: FFFFFFFF is -1 (what writing -1
// gives) and a wider value saturates at FFFFFFFF.
std::int32_t HexTextToInt(QStringView s);

// The integer conversion: leading blanks, an optional sign, then decimal digits or a hexadecimal
// number after "$", "x", "X" or "0x". It stops at the first other character with ok = false and
// the digits read so far, sign kept. Hexadecimal digits make a 32-bit word as in HexTextToInt.
// A number beyond 32 bits (decimal outside the int32 range, hexadecimal wider than a word) is not
// converted: ok = false and overflow = true, with the value held at the bound it passed, so
// readers that take the value regardless still get the nearest one.
struct TIntConversion {
    std::int32_t value = 0;
    bool ok = false;
    bool overflow = false;
};
TIntConversion ToInteger(QStringView s);

// Upper-case hexadecimal without leading zeros.
QString HexText(std::uint64_t word);

// The formats of a number: fixed ("%.Pf"), grouped ("%.Pn": fixed with TS every three digits)
// and general ("%g": the shorter of fixed and scientific with 15 significant digits). Negative
// zero is written without its sign; a value that is not finite is written as 0.
QString FixedFormat(double x, int precision, TSeparators sep);
QString GroupedFormat(double x, int precision, TSeparators sep);
QString GeneralFormat(double x, TSeparators sep);

// The same formats applied to a number written as text. A plain decimal (blanks, sign, digits,
// at most one DS, TS anywhere) is rounded half away from zero on its own digits, so no digit of
// a long value is lost to a binary conversion; any other text goes through ValueToFloat.
QString FixedFormatText(QStringView s, int precision, bool grouped, TSeparators sep);

// The general format of a number written as text; a plain decimal with more than 15 significant
// digits, which that format would cut, is returned as written.
QString GeneralFormatText(QStringView s, TSeparators sep);

// The integer part regrouped: the value is split at its sign and its DS; the integer part keeps
// its own digits (without leading zeros) and is grouped with TS when `grouped`; the sign and the
// fractional part stay as typed. An integer part that is not plain digits is replaced by the
// whole digits of ValueToFloat of the value. An empty value stays empty.
QString MoneyRegroup(QStringView value, bool grouped, TSeparators sep);

// The value rewritten from one number format's separators to another's: each DS of `from` becomes
// the DS of `to` and each TS of `from` the TS of `to` (dropped where `to` has none).
QString ChangeSeparators(QStringView value, TSeparators from, TSeparators to);

// Every word capitalised after a break (blank , . - ' \ / : * $ ) "), "Mc"/"Mac" at the start and
// the first " Mc" keep the next letter capital, and a final roman numeral of up to three I's
// stays in capitals. Works on whole characters; linear in the length.
QString MixedCase(QStringView s);

// Whether typing a TS or DS at control position `pos` stands too close to (or too far from) the
// nearest TS of the value: allowed only where that separator is exactly 3 places away.
bool SeparatorTooClose(QStringView value, int pos, int prefixLen, QChar ts);

// Whether the decimals after DS are full with the caret at control position `pos`.
bool DecimalsFull(QStringView value, int pos, int prefixLen, int precision, QChar ds);

// Characters before the first DS once TS are removed; one less for a signed number's "-".
int IntegerPartCount(QStringView value, TSeparators sep, bool countsMinus);

// 1-based control-text position of DS, or one past the control text without a DS.
int DecimalSeparatorPosition(QStringView value, int prefixLen, int suffixLen, QChar ds);

} // namespace TypedText
