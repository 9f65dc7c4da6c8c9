// SPDX-License-Identifier: MIT
#include "TypedInput.h"
#include "EditValue.h"

#include <QLocale>
#include <cmath>
#include <limits>

using namespace AdvEditTypes;
using namespace TypedText;

namespace {

const QString kMinus = QStringLiteral("-");

bool IsAsciiDigit(const QString& ch)
{
    return ch.size() == 1 && ch[0] >= QLatin1Char('0') && ch[0] <= QLatin1Char('9');
}

bool Is(const QString& ch, QChar c)
{
    return ch.size() == 1 && ch[0] == c;
}

bool IsControlPassed(const QString& ch)
{
    return Is(ch, TTypedInput::kBackspace) || Is(ch, TTypedInput::kTab)
        || Is(ch, TTypedInput::kCarriageReturn);
}

bool IsAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

// The first character (code point) of a text.
QString FirstCharacter(const QString& s)
{
    if (s.size() >= 2 && s[0].isHighSurrogate() && s[1].isLowSurrogate())
        return s.left(2);
    return s.left(1);
}

// A double as a 64-bit integer, cut toward zero and held at the 64-bit bounds.
std::int64_t SaturatedInt64(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 9223372036854775807.0)
        return std::numeric_limits<std::int64_t>::max();
    if (x <= -9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(x);
}

} // namespace

QString TTypedInput::ValueOf(const TTypedField& field)
{
    return EditValue::ValueOf(field.ControlText(), field.Prefix(), field.Suffix());
}

bool TTypedInput::IsNumberType() const
{
    return FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney;
}

bool TTypedInput::IsDecimalType() const
{
    return FEditType == etFloat || FEditType == etMoney;
}

void TTypedInput::SetValue(TTypedField& field, const QString& value) const
{
    field.SetControlText(field.Prefix() + value + field.Suffix(), false);
}

// ---- settings ----

void TTypedInput::SetEditType(TTypedField& field, TAdvEditType type)
{
    if (type == FEditType)
        return;
    FEditType = type;
    const QString value = ValueOf(field);
    if (value.isEmpty() && FAllowNumericNullValue)
        return;
    const TNumberClass c = ClassifyNumber(value, TSeparators::Current());
    if (type == etNumeric && c != ncInteger)
        SetIntValue(field, 0);
    else if (IsDecimalType() && (c == ncInvalid || c == ncHex))
        SetFloatValue(field, 0);
    else if (type == etHex && c != ncInteger && c != ncHex)
        SetIntValue(field, 0);
}

void TTypedInput::SetPrecision(TTypedField& field, int precision)
{
    const auto p = qint16(qBound(-32768, precision, 32767));
    if (p == FPrecision || (FEditType != etString && !IsDecimalType()))
        return;
    FPrecision = p;
    // a string field keeps its text: its precision only shapes later FloatValue writes
    if (!IsDecimalType())
        return;
    const QString value = ValueOf(field);
    if (value.isEmpty() && FAllowNumericNullValue)
        return;
    const TNumberClass c = ClassifyNumber(value, TSeparators::Current());
    if (c == ncInvalid || c == ncHex)
        SetFloatValue(field, 0);
    else
        Reformat(field);
}

void TTypedInput::SetPrecisionDisplay(TTypedField& field, TPrecisionDisplay display)
{
    if (display == FPrecisionDisplay)
        return;
    FPrecisionDisplay = display;
    if (IsDecimalType())
        Reformat(field);
}

void TTypedInput::SetAutoThousandSeparator(TTypedField& field, bool b)
{
    FAutoThousandSeparator = b;
    if (IsDecimalType())
        MoneyReformat(field);
}

// ---- the value ----

QString TTypedInput::FormatAssigned(const QString& value) const
{
    QString v = value;
    if (v.isEmpty() && !FAllowNumericNullValue && (IsNumberType() || FEditType == etHex))
        v = QStringLiteral("0");
    if (FPrecisionDisplay == pdShortest && IsDecimalType()) {
        v = GeneralFormatText(v, TSeparators::Current());
    } else if (FPrecision > 0 && !v.isEmpty() && IsDecimalType()) {
        v = FixedFormatText(v, FPrecision, FEditType == etMoney, TSeparators::Current());
    }
    if (FEditType == etHex)
        v = v.toUpper();
    return v;
}

double TTypedInput::FloatValue(const TTypedField& field) const
{
    const QString value = ValueOf(field);
    const TSeparators sep = TSeparators::Current();
    switch (FEditType) {
    case etString:
        return ValueToFloat(value, TSeparators { QLatin1Char('.'), QChar() });
    case etNumeric:
    case etFloat:
        return value.isEmpty() || value == kMinus ? 0 : ValueToFloat(value, sep);
    case etMoney: {
        QString t = StripThousandSeparators(value, sep.ts);
        if (t.endsWith(sep.ds))
            t.chop(1);
        return t.isEmpty() || t == kMinus ? 0 : ValueToFloat(t, sep);
    }
    case etHex:
        return value.isEmpty() ? 0 : double(HexTextValue(value));
    default:
        return 0;
    }
}

void TTypedInput::SetFloatValue(TTypedField& field, double x)
{
    if (!std::isfinite(x))
        x = 0;
    const TSeparators sep = TSeparators::Current();
    switch (FEditType) {
    case etString:
    case etFloat:
    case etMoney:
        field.SetText(FPrecision < 0 ? GeneralFormat(x, sep) : FixedFormat(x, FPrecision, sep));
        if (FEditType == etMoney)
            MoneyReformat(field);
        break;
    case etNumeric:
        // whole digits only: a numeric field takes neither separators nor decimals
        field.SetText(FixedFormat(x, 0, sep));
        break;
    case etHex:
        field.SetText(HexText(std::uint64_t(SaturatedInt64(x))));
        break;
    default:
        break;
    }
    field.SetModified(true);
}

int TTypedInput::IntValue(const TTypedField& field) const
{
    const QString value = ValueOf(field);
    // a number beyond 32 bits reads as the bound it passed, as it always has
    switch (FEditType) {
    case etNumeric:
        return ToInteger(value).value;
    case etFloat:
    case etMoney:
        return ToInteger(StripThousandSeparators(value, TSeparators::Current().ts)).value;
    case etHex:
        return value.isEmpty() ? 0 : HexTextToInt(value);
    default:
        return 0;
    }
}

void TTypedInput::SetIntValue(TTypedField& field, int n)
{
    switch (FEditType) {
    case etNumeric:
    case etFloat:
    case etMoney:
        field.SetText(QString::number(n));
        if (FEditType == etMoney)
            MoneyReformat(field);
        break;
    case etHex:
        field.SetText(HexText(std::uint32_t(n)));
        break;
    default:
        break;
    }
    field.SetModified(true);
}

// FloatValue := FloatValue, reading the value's own digits so a long number keeps all of them.
void TTypedInput::Reformat(TTypedField& field)
{
    const TSeparators sep = TSeparators::Current();
    QString t = ValueOf(field);
    if (FEditType == etMoney && t.endsWith(sep.ds))
        t.chop(1);
    field.SetText(FPrecision < 0 ? GeneralFormatText(t, sep) : FixedFormatText(t, FPrecision, false, sep));
    if (FEditType == etMoney)
        MoneyReformat(field);
    field.SetModified(true);
}

void TTypedInput::MoneyReformat(TTypedField& field) const
{
    const QString prefix = field.Prefix();
    const QString suffix = field.Suffix();
    const QString control = field.ControlText();
    const QString value = EditValue::ValueOf(control, prefix, suffix);
    if (value.isEmpty())
        return;
    const int caret = field.SelStart();
    const QString regrouped = MoneyRegroup(value, FAutoThousandSeparator, TSeparators::Current());
    const QString text = prefix + regrouped + suffix;
    // only a real change may arm the block: an unchanged text sends no notification to clear it
    if (text != control)
        field.SetControlText(text, true);
    const int end = int(prefix.size() + regrouped.size());
    const int pos = int(regrouped.size()) + caret - int(value.size());
    field.SetSel(qBound(int(prefix.size()), pos, end), 0);
}

void TTypedInput::NumberFormatChanged(TTypedField& field)
{
    const TSeparators from = FValueSeparators;
    const TSeparators to = TSeparators::Current();
    FValueSeparators = to;
    if (from == to || !IsDecimalType())
        return;
    const QString prefix = field.Prefix();
    const QString control = field.ControlText();
    const QString value = EditValue::ValueOf(control, prefix, field.Suffix());
    const QString changed = ChangeSeparators(value, from, to);
    if (changed == value)
        return;
    const bool modified = field.Modified();
    const int fromEnd = int(value.size()) - (field.SelStart() - int(prefix.size()));
    field.SetControlText(prefix + changed + field.Suffix(), true);
    if (FEditType == etMoney)
        MoneyReformat(field); // a format without TS before leaves the value to be grouped
    const QString now = ValueOf(field);
    const int pos = int(prefix.size() + now.size()) - fromEnd;
    field.SetSel(qBound(int(prefix.size()), pos, int(prefix.size() + now.size())), 0);
    field.SetModified(modified);
    FValueSeparators = to;
}

// ---- typed characters ----

bool TTypedInput::CharacterGate(const TTypedField& field, QString& ch, bool keypadDecimal) const
{
    const TSeparators sep = TSeparators::Current();
    if (FExcelStyleDecimalSeparator && keypadDecimal
        && (Is(ch, QLatin1Char('.')) || Is(ch, QLatin1Char(','))))
        ch = QString(sep.ds);
    if (FLengthLimit <= 0 || field.SelLength() != 0)
        return true;
    const QString value = ValueOf(field);
    const bool signedNumber = FSigned && IsNumberType();
    if (IntegerPartCount(value, sep, signedNumber) < FLengthLimit)
        return true;
    const int dsPos
        = DecimalSeparatorPosition(value, int(field.Prefix().size()), int(field.Suffix().size()), sep.ds);
    if (field.SelStart() >= dsPos)
        return true;
    return Is(ch, kBackspace) || Is(ch, sep.ds) || (signedNumber && ch == kMinus);
}

bool TTypedInput::DiscardsMinus(const QString& ch) const
{
    return IsNumberType() && !FSigned && ch == kMinus;
}

void TTypedInput::ToggleSign(TTypedField& field, const QString& value) const
{
    const int prefixLen = int(field.Prefix().size());
    const int c = field.SelStart();
    if (const qsizetype minus = value.indexOf(QLatin1Char('-')); minus >= 0) {
        QString v = value;
        v.remove(minus, 1);
        SetValue(field, v);
        field.SetSel(c > 0 && c > prefixLen ? c - 1 : prefixLen, 0);
    } else {
        SetValue(field, kMinus + value);
        field.SetSel(c + 1, 0);
    }
    field.SetModified(true);
}

TTypedInput::TFlow TTypedInput::Character(TTypedField& field, const QString& ch)
{
    const QString value = ValueOf(field);
    const int prefixLen = int(field.Prefix().size());
    const int selStart = field.SelStart();
    const int selLength = field.SelLength();
    const int p = selStart - prefixLen;

    // A number's minus stays in front: nothing is typed before it.
    if (IsNumberType() && ch != kMinus && selLength == 0 && p <= 0 && value.startsWith(QLatin1Char('-')))
        return TFlow::Stop;

    switch (FEditType) {
    case etString:
    case etPassword:
        field.SetModified(true);
        field.PassCharacter(ch);
        return TFlow::Tail;
    case etNumeric:
        if (ch == kMinus) {
            if (selLength == value.size()) {
                SetValue(field, kMinus);
                field.SetSel(prefixLen + 1, 0);
                return TFlow::Stop;
            }
            ToggleSign(field, value);
            return TFlow::Tail;
        }
        // A printable character typed with Control (AltGr on many keyboards) is held to the same set.
        if (IsAsciiDigit(ch) || IsControlPassed(ch))
            field.PassCharacter(ch);
        return TFlow::Tail;
    case etFloat:
    case etMoney:
        return DecimalCharacter(field, ch, TSeparators::Current());
    case etUppercase:
    case etLowerCase: {
        const QLocale locale;
        const QString mapped = FEditType == etUppercase ? locale.toUpper(ch) : locale.toLower(ch);
        field.PassCharacter(mapped.isEmpty() ? ch : FirstCharacter(mapped));
        return TFlow::Tail;
    }
    case etMixedCase: {
        field.PassCharacter(ch);
        const int caret = field.SelStart();
        const QString typed = ValueOf(field);
        const QString cased = MixedCase(typed);
        if (cased != typed) {
            SetValue(field, cased);
            field.SetSel(caret, 0);
        }
        return TFlow::Tail;
    }
    case etRange: {
        const auto isSeparator
            = [](QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char(';'); };
        const bool separator = ch.size() == 1 && isSeparator(ch[0]);
        if (!separator && !IsAsciiDigit(ch) && !IsControlPassed(ch))
            return TFlow::Tail;
        field.SetModified(true);
        if (separator) {
            if (selStart <= prefixLen)
                return TFlow::Stop;
            // the characters that would stand on either side of the new one
            const QChar before = p - 1 < value.size() ? value[p - 1] : QLatin1Char(' ');
            const int afterPos = p + selLength;
            const QChar after = afterPos < value.size() ? value[afterPos] : QLatin1Char(' ');
            if (isSeparator(before) || isSeparator(after))
                return TFlow::Stop;
        }
        field.PassCharacter(ch);
        return TFlow::Tail;
    }
    case etHex: {
        const bool hex = ch.size() == 1
            && (IsAsciiDigit(ch) || (ch[0] >= QLatin1Char('A') && ch[0] <= QLatin1Char('F'))
                || (ch[0] >= QLatin1Char('a') && ch[0] <= QLatin1Char('f')) || ch[0] == QLatin1Char('-'));
        if (hex || IsControlPassed(ch)) {
            field.SetModified(true);
            field.PassCharacter(ch);
        }
        return TFlow::Tail;
    }
    case etAlphaNumeric:
        if (IsControlPassed(ch) || (ch.size() == 1 && (IsAsciiDigit(ch) || IsAsciiLetter(ch[0])))) {
            field.SetModified(true);
            field.PassCharacter(ch);
        }
        return TFlow::Tail;
    case etValidChars:
        if (!ch.isEmpty() && FValidChars.contains(ch)) {
            field.SetModified(true);
            field.PassCharacter(ch);
        }
        return TFlow::Tail;
    }
    return TFlow::Tail;
}

TTypedInput::TFlow TTypedInput::DecimalCharacter(
    TTypedField& field, const QString& ch, const TSeparators& sep)
{
    const QString value = ValueOf(field);
    const int prefixLen = int(field.Prefix().size());
    const int selStart = field.SelStart();
    const int selLength = field.SelLength();
    const int p = selStart - prefixLen;
    const QString selected = value.mid(qMax(0, p), selLength);
    const bool money = FEditType == etMoney;
    const bool ds = Is(ch, sep.ds);
    const bool digit = IsAsciiDigit(ch);

    if (money) {
        if (ds && (value.contains(sep.ds) || FPrecision == 0)) {
            if (FPrecision <= 0)
                return TFlow::Stop;
            if (selLength == value.size())
                field.SetText(QStringLiteral("0") + sep.ds + QStringLiteral("0"));
            SelectAfterDecimal(field);
            return TFlow::Stop;
        }
        if (!digit && !ds && ch != kMinus && !IsControlPassed(ch))
            return TFlow::Tail;
        if (ds && SeparatorTooClose(value, selStart, prefixLen, sep.ts))
            return TFlow::Stop;
    } else {
        if ((Is(ch, QLatin1Char(',')) && sep.ds != QLatin1Char(',') && sep.ts != QLatin1Char(','))
            || (Is(ch, QLatin1Char('.')) && sep.ds != QLatin1Char('.') && sep.ts != QLatin1Char('.')))
            return TFlow::Stop;
        if (!digit && !IsControlPassed(ch) && !Is(ch, QLatin1Char(',')) && !Is(ch, QLatin1Char('.'))
            && ch != kMinus)
            return TFlow::Tail;
        if (ds && !selected.contains(sep.ds) && (value.contains(sep.ds) || FPrecision == 0)) {
            if (FPrecision > 0)
                SelectAfterDecimal(field);
            return TFlow::Stop;
        }
        if (Is(ch, QLatin1Char(',')) && value.contains(QLatin1Char(','))
            && !selected.contains(QLatin1Char(',')) && sep.ts != QLatin1Char(','))
            return TFlow::Stop;
        if ((ds || Is(ch, sep.ts)) && SeparatorTooClose(value, selStart, prefixLen, sep.ts))
            return TFlow::Stop;
    }
    // The decimals are full: a digit after DS overwrites the next one, anything else stops.
    if (selLength == 0 && (digit || ds) && DecimalsFull(value, selStart, prefixLen, FPrecision, sep.ds)) {
        const qsizetype d = value.indexOf(sep.ds) + 1;
        if (FPrecision > 0 && d <= p && digit && p < value.size())
            field.SetSel(selStart, 1);
        else
            return TFlow::Stop;
    }
    if (value.isEmpty() && ds) {
        SetValue(field, QStringLiteral("0") + sep.ds);
        field.SetSel(prefixLen + 2, 0);
        field.SetModified(true);
        return TFlow::Stop;
    }
    // A minus over the whole value starts a new one; otherwise it toggles the sign.
    if (ch == kMinus && (selLength == 0 || selLength != value.size())) {
        ToggleSign(field, value);
        return TFlow::Stop;
    }
    if (money && digit) {
        // typed and regrouped in one change of the text, the caret as far from the end as it was
        const int at = qBound(0, field.SelStart() - prefixLen, int(value.size()));
        const int replaced = qBound(0, field.SelLength(), int(value.size()) - at);
        if (field.MaxLength() > 0 && value.size() - replaced + ch.size() > field.MaxLength())
            return TFlow::Stop;
        const QString typed = value.left(at) + ch + value.mid(at + replaced);
        const QString regrouped = MoneyRegroup(typed, FAutoThousandSeparator, sep);
        SetValue(field, regrouped);
        const int caret = prefixLen + at + int(ch.size()) + int(regrouped.size()) - int(typed.size());
        field.SetSel(qBound(prefixLen, caret, prefixLen + int(regrouped.size())), 0);
        field.SetModified(true);
        return TFlow::Tail;
    }
    field.PassCharacter(ch);
    return TFlow::Tail;
}

void TTypedInput::CharacterTail(TTypedField& field) const
{
    if (!FTabOnFullLength || FLengthLimit <= 0 || field.SelLength() != 0)
        return;
    const QString value = ValueOf(field);
    if (IntegerPartCount(value, TSeparators::Current(), FSigned && IsNumberType()) < FLengthLimit)
        return;
    // the caret counted from the value's start, so a prefix does not shift the point of moving on
    if (field.SelStart() - field.Prefix().size() == FLengthLimit)
        field.MoveFocusOn();
}

// ---- keys, paste, focus ----

void TTypedInput::BeforeDeletion(TTypedField& field, bool backward) const
{
    if (FEditType != etMoney || field.SelLength() != 0)
        return;
    const QChar ts = TSeparators::Current().ts;
    const QString value = ValueOf(field);
    const int caret = field.SelStart();
    const int p = caret - int(field.Prefix().size());
    const auto digitAt = [&](int i) { return i >= 0 && i < value.size() && IsAsciiDigit(QString(value[i])); };
    const auto tsAt = [&](int i) { return !ts.isNull() && i >= 0 && i < value.size() && value[i] == ts; };
    if (backward && tsAt(p - 1) && digitAt(p - 2))
        field.SetSel(caret - 2, 2);
    else if (!backward && tsAt(p) && digitAt(p + 1))
        field.SetSel(caret, 2);
}

bool TTypedInput::DeleteAllowed(const TTypedField& field) const
{
    if (FLengthLimit <= 0)
        return true;
    const QString value = ValueOf(field);
    const int from = field.SelStart() - int(field.Prefix().size());
    if (from < 0 || from >= value.size())
        return true;
    QString after = value;
    after.remove(from, qMax(1, field.SelLength()));
    return IntegerPartCount(after, TSeparators::Current(), FSigned && IsNumberType()) <= FLengthLimit;
}

void TTypedInput::AfterDeletion(TTypedField& field) const
{
    if (FEditType == etMoney)
        MoneyReformat(field);
}

bool TTypedInput::PasteFits(const QString& newValue, const TSeparators& sep) const
{
    // a number's minus stands only in front
    const qsizetype minus = newValue.indexOf(QLatin1Char('-'));
    if (minus > 0 || (minus == 0 && !FSigned))
        return false;
    const TNumberClass c = ClassifyNumber(newValue, sep);
    if (FEditType == etNumeric)
        return c == ncInteger;
    if (c != ncInteger && c != ncDecimal)
        return false;
    // "," and "." count only as this locale's separators
    for (QChar ch : newValue)
        if ((ch == QLatin1Char(',') || ch == QLatin1Char('.')) && ch != sep.ds && ch != sep.ts)
            return false;
    return true;
}

void TTypedInput::Paste(TTypedField& field, const std::optional<QString>& clipboardText)
{
    if (clipboardText) {
        // one line only, as the field holds one
        QString text = *clipboardText;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n')) {
                text.truncate(i);
                break;
            }
        }
        const QString value = ValueOf(field);
        const int d = qBound(0, field.SelStart() - int(field.Prefix().size()), int(value.size()));
        const int selLength = qBound(0, field.SelLength(), int(value.size()) - d);
        const QString newValue = value.left(d) + text + value.mid(d + selLength);
        if (field.AllowPaste(newValue)
            && !(field.MaxLength() > 0 && text.size() + value.size() - selLength > field.MaxLength()))
            PasteValue(field, text, newValue, d, selLength > 0);
    }
    field.UpdateLookupList();
    AfterPaste(field);
}

bool TTypedInput::PasteValue(
    TTypedField& field, const QString& text, const QString& newValue, int start, bool replacedSelection)
{
    const TSeparators sep = TSeparators::Current();
    bool taken = true;
    switch (FEditType) {
    case etString:
    case etPassword:
        field.SetText(newValue);
        break;
    case etNumeric:
        taken = PasteFits(newValue, sep);
        if (taken) {
            field.SetText(newValue);
            field.SetModified(true);
        }
        break;
    case etFloat:
    case etMoney:
        taken = PasteFits(newValue, sep) && !(FPrecision == 0 && text.contains(sep.ds));
        if (taken) {
            field.SetText(newValue);
            Reformat(field);
            field.SetModified(true);
        }
        break;
    case etUppercase:
        field.SetText(QLocale().toUpper(newValue));
        break;
    case etLowerCase:
        field.SetText(QLocale().toLower(newValue));
        break;
    case etMixedCase:
        field.SetText(MixedCase(newValue));
        break;
    case etAlphaNumeric:
    case etValidChars:
        for (qsizetype i = 0; i < newValue.size() && taken; ++i) {
            const QChar c = newValue[i];
            if (FEditType == etAlphaNumeric) {
                taken = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || IsAsciiLetter(c);
            } else {
                const bool pair
                    = c.isHighSurrogate() && i + 1 < newValue.size() && newValue[i + 1].isLowSurrogate();
                taken = FValidChars.contains(QStringView(newValue).mid(i, pair ? 2 : 1));
                i += pair ? 1 : 0;
            }
        }
        if (taken) {
            field.SetText(newValue);
            field.SetModified(true);
        }
        break;
    case etRange:
    case etHex:
        taken = false;
        break;
    }
    // a refused paste leaves the caret where it was
    if (!taken)
        return false;
    const int prefixLen = int(field.Prefix().size());
    const int end = prefixLen + int(ValueOf(field).size());
    const int from = qMin(prefixLen + start, end);
    if (FEditType == etMoney && end - prefixLen > 3)
        field.SelectAll();
    else if (!replacedSelection)
        field.SetSel(qMin(from + int(text.size()), end), 0);
    else
        field.SetSel(from, qMin(int(text.size()), end - from));
    if (FEditType == etString || FEditType == etUppercase || FEditType == etMixedCase
        || FEditType == etLowerCase || FEditType == etPassword)
        field.SetModified(true);
    return true;
}

void TTypedInput::AfterPaste(TTypedField& field) const
{
    if (FTabOnFullLength && FLengthLimit > 0 && ValueOf(field).size() == FLengthLimit)
        field.MoveFocusOn();
}

void TTypedInput::FocusLost(TTypedField& field)
{
    if (FPrecision > 0 && IsDecimalType() && !(ValueOf(field).isEmpty() && FAllowNumericNullValue)) {
        const bool modified = field.Modified();
        Reformat(field);
        field.SetModified(modified);
    }
    if (FAllowNumericNullValue || !ValueOf(field).isEmpty())
        return;
    if (FEditType == etNumeric)
        field.SetText(QStringLiteral("0"));
    else if (IsDecimalType())
        SetFloatValue(field, 0);
}

void TTypedInput::SelectBeforeDecimal(TTypedField& field) const
{
    const QString value = ValueOf(field);
    const int prefixLen = int(field.Prefix().size());
    const qsizetype d = value.indexOf(TSeparators::Current().ds);
    const int pos = d < 0 ? prefixLen : prefixLen + int(d);
    const int end = prefixLen + int(value.size());
    field.SetSel(pos, qMin(field.SelLength(), end - pos));
}

void TTypedInput::SelectAfterDecimal(TTypedField& field) const
{
    const QString value = ValueOf(field);
    const int prefixLen = int(field.Prefix().size());
    const qsizetype d = value.indexOf(TSeparators::Current().ds);
    const int pos = d < 0 ? prefixLen : prefixLen + int(d) + 1;
    const int end = prefixLen + int(value.size());
    field.SetSel(pos, qMin(field.SelLength(), end - pos));
}

bool TTypedInput::RangeStrToList(const TTypedField& field, TRangeList& list) const
{
    return list.StrToList(ValueOf(field));
}

void TTypedInput::ListToRangeStr(TTypedField& field, const TRangeList& list) const
{
    // framed like any value, so Text reads back exactly the ranges
    SetValue(field, RangeText(list.Items()));
}
