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
    return Is(ch, EditChar::Backspace) || Is(ch, EditChar::Tab) || Is(ch, EditChar::CarriageReturn);
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

// Selects `length` characters from control-text position `start`, the caret at their end.
void Select(TAdvEditControl& edit, int start, int length)
{
    edit.Host().Select(start, start + length);
}

} // namespace

bool TTypedInput::IsNumberType() const
{
    return FEditType == etNumeric || FEditType == etFloat || FEditType == etMoney;
}

bool TTypedInput::IsDecimalType() const
{
    return FEditType == etFloat || FEditType == etMoney;
}

void TTypedInput::SetValue(TAdvEditControl& edit, const QString& value) const
{
    edit.setControlText(edit.Prefix() + value + edit.Suffix(), false);
}

// ---- settings ----

void TTypedInput::SetEditType(TAdvEditControl& edit, TAdvEditType type)
{
    if (type == FEditType)
        return;
    FEditType = type;
    const QString value = edit.Value();
    if (value.isEmpty() && FAllowNumericNullValue)
        return;
    const TNumberClass c = ClassifyNumber(value, TSeparators::Current());
    if ((type == etNumeric && c != ncInteger) || (type == etHex && c != ncInteger && c != ncHex))
        SetIntValue(edit, 0);
    else if (IsDecimalType() && (c == ncInvalid || c == ncHex))
        SetFloatValue(edit, 0);
}

void TTypedInput::SetPrecision(TAdvEditControl& edit, int precision)
{
    const auto p = qint16(qBound(-32768, precision, 32767));
    if (p == FPrecision || (FEditType != etString && !IsDecimalType()))
        return;
    FPrecision = p;
    // a string edit keeps its text: its precision only shapes later FloatValue writes
    if (!IsDecimalType())
        return;
    const QString value = edit.Value();
    if (value.isEmpty() && FAllowNumericNullValue)
        return;
    const TNumberClass c = ClassifyNumber(value, TSeparators::Current());
    if (c == ncInvalid || c == ncHex)
        SetFloatValue(edit, 0);
    else
        Reformat(edit);
}

void TTypedInput::SetPrecisionDisplay(TAdvEditControl& edit, TPrecisionDisplay display)
{
    if (display == FPrecisionDisplay)
        return;
    FPrecisionDisplay = display;
    if (IsDecimalType())
        Reformat(edit);
}

void TTypedInput::SetAutoThousandSeparator(TAdvEditControl& edit, bool b)
{
    FAutoThousandSeparator = b;
    if (IsDecimalType())
        MoneyReformat(edit);
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

double TTypedInput::FloatValue(const TAdvEditControl& edit) const
{
    const QString value = edit.Value();
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

void TTypedInput::SetFloatValue(TAdvEditControl& edit, double x)
{
    if (!std::isfinite(x))
        x = 0;
    const TSeparators sep = TSeparators::Current();
    switch (FEditType) {
    case etString:
    case etFloat:
    case etMoney:
        edit.Host().AssignText(FPrecision < 0 ? GeneralFormat(x, sep) : FixedFormat(x, FPrecision, sep));
        if (FEditType == etMoney)
            MoneyReformat(edit);
        break;
    case etNumeric:
        // whole digits only: a numeric edit takes neither separators nor decimals
        edit.Host().AssignText(FixedFormat(x, 0, sep));
        break;
    case etHex:
        edit.Host().AssignText(HexText(std::uint64_t(SaturatedInt64(x))));
        break;
    default:
        break;
    }
    edit.Host().setModified(true);
}

int TTypedInput::IntValue(const TAdvEditControl& edit) const
{
    const QString value = edit.Value();
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

void TTypedInput::SetIntValue(TAdvEditControl& edit, int n)
{
    switch (FEditType) {
    case etNumeric:
    case etFloat:
    case etMoney:
        edit.Host().AssignText(QString::number(n));
        if (FEditType == etMoney)
            MoneyReformat(edit);
        break;
    case etHex:
        edit.Host().AssignText(HexText(std::uint32_t(n)));
        break;
    default:
        break;
    }
    edit.Host().setModified(true);
}

// FloatValue := FloatValue, reading the value's own digits so a long number keeps all of them.
void TTypedInput::Reformat(TAdvEditControl& edit)
{
    const TSeparators sep = TSeparators::Current();
    QString t = edit.Value();
    if (FEditType == etMoney && t.endsWith(sep.ds))
        t.chop(1);
    edit.Host().AssignText(
        FPrecision < 0 ? GeneralFormatText(t, sep) : FixedFormatText(t, FPrecision, false, sep));
    if (FEditType == etMoney)
        MoneyReformat(edit);
    edit.Host().setModified(true);
}

void TTypedInput::MoneyReformat(TAdvEditControl& edit) const
{
    const QString prefix = edit.Prefix();
    const QString suffix = edit.Suffix();
    const QString control = edit.Host().ControlText();
    const QString value = EditValue::ValueOf(control, prefix, suffix);
    if (value.isEmpty())
        return;
    const int caret = edit.Host().SelStart();
    const QString regrouped = MoneyRegroup(value, FAutoThousandSeparator, TSeparators::Current());
    const QString text = prefix + regrouped + suffix;
    // only a real change may arm the block: an unchanged text sends no notification to clear it
    if (text != control)
        edit.setControlText(text, true);
    const int end = int(prefix.size() + regrouped.size());
    const int pos = int(regrouped.size()) + caret - int(value.size());
    Select(edit, qBound(int(prefix.size()), pos, end), 0);
}

void TTypedInput::NumberFormatChanged(TAdvEditControl& edit)
{
    const TSeparators from = FValueSeparators;
    const TSeparators to = TSeparators::Current();
    FValueSeparators = to;
    if (from == to || !IsDecimalType())
        return;
    const QString prefix = edit.Prefix();
    const QString control = edit.Host().ControlText();
    const QString value = EditValue::ValueOf(control, prefix, edit.Suffix());
    const QString changed = ChangeSeparators(value, from, to);
    if (changed == value)
        return;
    const bool modified = edit.Host().Modified();
    const int fromEnd = int(value.size()) - (edit.Host().SelStart() - int(prefix.size()));
    edit.setControlText(prefix + changed + edit.Suffix(), true);
    if (FEditType == etMoney)
        MoneyReformat(edit); // a format without TS before leaves the value to be grouped
    const QString now = edit.Value();
    const int pos = int(prefix.size() + now.size()) - fromEnd;
    Select(edit, qBound(int(prefix.size()), pos, int(prefix.size() + now.size())), 0);
    edit.Host().setModified(modified);
    FValueSeparators = to;
}

// ---- typed characters ----

bool TTypedInput::CharacterGate(const TAdvEditControl& edit, QString& ch, bool keypadDecimal) const
{
    const TSeparators sep = TSeparators::Current();
    if (FExcelStyleDecimalSeparator && keypadDecimal
        && (Is(ch, QLatin1Char('.')) || Is(ch, QLatin1Char(','))))
        ch = QString(sep.ds);
    if (FLengthLimit <= 0 || edit.Host().SelLength() != 0)
        return true;
    const QString value = edit.Value();
    const bool signedNumber = FSigned && IsNumberType();
    if (IntegerPartCount(value, sep, signedNumber) < FLengthLimit)
        return true;
    const int dsPos
        = DecimalSeparatorPosition(value, int(edit.Prefix().size()), int(edit.Suffix().size()), sep.ds);
    if (edit.Host().SelStart() >= dsPos)
        return true;
    return Is(ch, EditChar::Backspace) || Is(ch, sep.ds) || (signedNumber && ch == kMinus);
}

bool TTypedInput::DiscardsMinus(const QString& ch) const
{
    return IsNumberType() && !FSigned && ch == kMinus;
}

void TTypedInput::ToggleSign(TAdvEditControl& edit, const QString& value) const
{
    const int prefixLen = int(edit.Prefix().size());
    const int c = edit.Host().SelStart();
    if (const qsizetype minus = value.indexOf(QLatin1Char('-')); minus >= 0) {
        QString v = value;
        v.remove(minus, 1);
        SetValue(edit, v);
        Select(edit, c > 0 && c > prefixLen ? c - 1 : prefixLen, 0);
    } else {
        SetValue(edit, kMinus + value);
        Select(edit, c + 1, 0);
    }
    edit.Host().setModified(true);
}

TTypedInput::TFlow TTypedInput::TypeCharacter(TAdvEditControl& edit, const QString& ch)
{
    const QString value = edit.Value();
    const int prefixLen = int(edit.Prefix().size());
    const int selStart = edit.Host().SelStart();
    const int selLength = edit.Host().SelLength();
    const int p = selStart - prefixLen;

    // A number's minus stays in front: nothing is typed before it.
    if (IsNumberType() && ch != kMinus && selLength == 0 && p <= 0 && value.startsWith(QLatin1Char('-')))
        return TFlow::Stop;

    switch (FEditType) {
    case etString:
    case etPassword:
        edit.Host().setModified(true);
        edit.PassCharacter(ch);
        return TFlow::Tail;
    case etNumeric:
        if (ch == kMinus) {
            if (selLength == value.size()) {
                SetValue(edit, kMinus);
                Select(edit, prefixLen + 1, 0);
                return TFlow::Stop;
            }
            ToggleSign(edit, value);
            return TFlow::Tail;
        }
        // A printable character typed with Control (AltGr on many keyboards) is held to the same set.
        if (IsAsciiDigit(ch) || IsControlPassed(ch))
            edit.PassCharacter(ch);
        return TFlow::Tail;
    case etFloat:
    case etMoney:
        return DecimalCharacter(edit, ch, TSeparators::Current());
    case etUppercase:
    case etLowerCase: {
        const QLocale locale;
        const QString mapped = FEditType == etUppercase ? locale.toUpper(ch) : locale.toLower(ch);
        edit.PassCharacter(mapped.isEmpty() ? ch : FirstCharacter(mapped));
        return TFlow::Tail;
    }
    case etMixedCase: {
        edit.PassCharacter(ch);
        const int caret = edit.Host().SelStart();
        const QString typed = edit.Value();
        const QString cased = MixedCase(typed);
        if (cased != typed) {
            SetValue(edit, cased);
            Select(edit, caret, 0);
        }
        return TFlow::Tail;
    }
    case etRange: {
        const auto isSeparator
            = [](QChar c) { return c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char(';'); };
        const bool separator = ch.size() == 1 && isSeparator(ch[0]);
        if (!separator && !IsAsciiDigit(ch) && !IsControlPassed(ch))
            return TFlow::Tail;
        edit.Host().setModified(true);
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
        edit.PassCharacter(ch);
        return TFlow::Tail;
    }
    case etHex: {
        const bool hex = ch.size() == 1
            && (IsAsciiDigit(ch) || (ch[0] >= QLatin1Char('A') && ch[0] <= QLatin1Char('F'))
                || (ch[0] >= QLatin1Char('a') && ch[0] <= QLatin1Char('f')) || ch[0] == QLatin1Char('-'));
        if (hex || IsControlPassed(ch)) {
            edit.Host().setModified(true);
            edit.PassCharacter(ch);
        }
        return TFlow::Tail;
    }
    case etAlphaNumeric:
        if (IsControlPassed(ch) || (ch.size() == 1 && (IsAsciiDigit(ch) || IsAsciiLetter(ch[0])))) {
            edit.Host().setModified(true);
            edit.PassCharacter(ch);
        }
        return TFlow::Tail;
    case etValidChars:
        if (!ch.isEmpty() && FValidChars.contains(ch)) {
            edit.Host().setModified(true);
            edit.PassCharacter(ch);
        }
        return TFlow::Tail;
    }
    return TFlow::Tail;
}

TTypedInput::TFlow TTypedInput::DecimalCharacter(
    TAdvEditControl& edit, const QString& ch, const TSeparators& sep)
{
    const QString value = edit.Value();
    const int prefixLen = int(edit.Prefix().size());
    const int selStart = edit.Host().SelStart();
    const int selLength = edit.Host().SelLength();
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
                edit.Host().AssignText(QStringLiteral("0") + sep.ds + QStringLiteral("0"));
            SelectAfterDecimal(edit);
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
                SelectAfterDecimal(edit);
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
            Select(edit, selStart, 1);
        else
            return TFlow::Stop;
    }
    if (value.isEmpty() && ds) {
        SetValue(edit, QStringLiteral("0") + sep.ds);
        Select(edit, prefixLen + 2, 0);
        edit.Host().setModified(true);
        return TFlow::Stop;
    }
    // A minus over the whole value starts a new one; otherwise it toggles the sign.
    if (ch == kMinus && (selLength == 0 || selLength != value.size())) {
        ToggleSign(edit, value);
        return TFlow::Stop;
    }
    if (money && digit) {
        // typed and regrouped in one change of the text, the caret as far from the end as it was
        const int at = qBound(0, edit.Host().SelStart() - prefixLen, int(value.size()));
        const int replaced = qBound(0, edit.Host().SelLength(), int(value.size()) - at);
        if (edit.MaxLength() > 0 && value.size() - replaced + ch.size() > edit.MaxLength())
            return TFlow::Stop;
        const QString typed = value.left(at) + ch + value.mid(at + replaced);
        const QString regrouped = MoneyRegroup(typed, FAutoThousandSeparator, sep);
        SetValue(edit, regrouped);
        const int caret = prefixLen + at + int(ch.size()) + int(regrouped.size()) - int(typed.size());
        Select(edit, qBound(prefixLen, caret, prefixLen + int(regrouped.size())), 0);
        edit.Host().setModified(true);
        return TFlow::Tail;
    }
    edit.PassCharacter(ch);
    return TFlow::Tail;
}

void TTypedInput::Tail(TAdvEditControl& edit)
{
    if (!FTabOnFullLength || FLengthLimit <= 0 || edit.Host().SelLength() != 0)
        return;
    const QString value = edit.Value();
    if (IntegerPartCount(value, TSeparators::Current(), FSigned && IsNumberType()) < FLengthLimit)
        return;
    // the caret counted from the value's start, so a prefix does not shift the point of moving on
    if (edit.Host().SelStart() - edit.Prefix().size() == FLengthLimit)
        edit.Host().FocusNext();
}

// ---- keys, paste, focus ----

void TTypedInput::BeforeDeletion(TAdvEditControl& edit, bool backward)
{
    if (FEditType != etMoney || edit.Host().SelLength() != 0)
        return;
    const QChar ts = TSeparators::Current().ts;
    const QString value = edit.Value();
    const int caret = edit.Host().SelStart();
    const int p = caret - int(edit.Prefix().size());
    const auto digitAt = [&](int i) { return i >= 0 && i < value.size() && IsAsciiDigit(QString(value[i])); };
    const auto tsAt = [&](int i) { return !ts.isNull() && i >= 0 && i < value.size() && value[i] == ts; };
    if (backward && tsAt(p - 1) && digitAt(p - 2))
        Select(edit, caret - 2, 2);
    else if (!backward && tsAt(p) && digitAt(p + 1))
        Select(edit, caret, 2);
}

bool TTypedInput::DeleteAllowed(const TAdvEditControl& edit) const
{
    if (FLengthLimit <= 0)
        return true;
    const QString value = edit.Value();
    const int from = edit.Host().SelStart() - int(edit.Prefix().size());
    if (from < 0 || from >= value.size())
        return true;
    QString after = value;
    after.remove(from, qMax(1, edit.Host().SelLength()));
    return IntegerPartCount(after, TSeparators::Current(), FSigned && IsNumberType()) <= FLengthLimit;
}

void TTypedInput::AfterDeletion(TAdvEditControl& edit) const
{
    if (FEditType == etMoney)
        MoneyReformat(edit);
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

bool TTypedInput::PasteValue(
    TAdvEditControl& edit, const QString& text, const QString& newValue, int start, bool replacedSelection)
{
    const TSeparators sep = TSeparators::Current();
    bool taken = true;
    switch (FEditType) {
    case etString:
    case etPassword:
        edit.Host().AssignText(newValue);
        break;
    case etNumeric:
        taken = PasteFits(newValue, sep);
        if (taken) {
            edit.Host().AssignText(newValue);
            edit.Host().setModified(true);
        }
        break;
    case etFloat:
    case etMoney:
        taken = PasteFits(newValue, sep) && !(FPrecision == 0 && text.contains(sep.ds));
        if (taken) {
            edit.Host().AssignText(newValue);
            Reformat(edit);
            edit.Host().setModified(true);
        }
        break;
    case etUppercase:
        edit.Host().AssignText(QLocale().toUpper(newValue));
        break;
    case etLowerCase:
        edit.Host().AssignText(QLocale().toLower(newValue));
        break;
    case etMixedCase:
        edit.Host().AssignText(MixedCase(newValue));
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
            edit.Host().AssignText(newValue);
            edit.Host().setModified(true);
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
    const int prefixLen = int(edit.Prefix().size());
    const int end = prefixLen + int(edit.Value().size());
    const int from = qMin(prefixLen + start, end);
    if (FEditType == etMoney && end - prefixLen > 3)
        edit.Host().SelectAll();
    else if (!replacedSelection)
        Select(edit, qMin(from + int(text.size()), end), 0);
    else
        Select(edit, from, qMin(int(text.size()), end - from));
    if (FEditType == etString || FEditType == etUppercase || FEditType == etMixedCase
        || FEditType == etLowerCase || FEditType == etPassword)
        edit.Host().setModified(true);
    return true;
}

void TTypedInput::AfterPaste(TAdvEditControl& edit)
{
    if (FTabOnFullLength && FLengthLimit > 0 && edit.Value().size() == FLengthLimit)
        edit.Host().FocusNext();
}

void TTypedInput::FocusLost(TAdvEditControl& edit)
{
    if (FPrecision > 0 && IsDecimalType() && !(edit.Value().isEmpty() && FAllowNumericNullValue)) {
        const bool modified = edit.Host().Modified();
        Reformat(edit);
        edit.Host().setModified(modified);
    }
    if (FAllowNumericNullValue || !edit.Value().isEmpty())
        return;
    if (FEditType == etNumeric)
        edit.Host().AssignText(QStringLiteral("0"));
    else if (IsDecimalType())
        SetFloatValue(edit, 0);
}

void TTypedInput::SelectBeforeDecimal(TAdvEditControl& edit) const
{
    const QString value = edit.Value();
    const int prefixLen = int(edit.Prefix().size());
    const qsizetype d = value.indexOf(TSeparators::Current().ds);
    const int pos = d < 0 ? prefixLen : prefixLen + int(d);
    const int end = prefixLen + int(value.size());
    Select(edit, pos, qMin(edit.Host().SelLength(), end - pos));
}

void TTypedInput::SelectAfterDecimal(TAdvEditControl& edit) const
{
    const QString value = edit.Value();
    const int prefixLen = int(edit.Prefix().size());
    const qsizetype d = value.indexOf(TSeparators::Current().ds);
    const int pos = d < 0 ? prefixLen : prefixLen + int(d) + 1;
    const int end = prefixLen + int(value.size());
    Select(edit, pos, qMin(edit.Host().SelLength(), end - pos));
}

bool TTypedInput::RangeStrToList(const TAdvEditControl& edit, TRangeList& list) const
{
    return list.StrToList(edit.Value());
}

void TTypedInput::ListToRangeStr(TAdvEditControl& edit, const TRangeList& list) const
{
    // framed like any value, so Text reads back exactly the ranges
    SetValue(edit, RangeText(list.Items()));
}

// ---- the editing class's hooks ----

QString TTypedInput::AssignedValue(const QString& value)
{
    return FormatAssigned(value);
}

bool TTypedInput::BeforeCharacter(TAdvEditControl& edit, const TEditKey& key, QChar& ch)
{
    const QString keyText = key.text.startsWith(ch) ? key.text : QString(ch);
    QString text = keyText.size() >= 2 && keyText[0].isHighSurrogate() && keyText[1].isLowSurrogate()
        ? keyText.left(2)
        : QString(ch);
    if (!CharacterGate(edit, text, key.Keypad()))
        return false;
    m_keyText = text;
    ch = text.isEmpty() ? QChar() : text[0];
    return true;
}

TEditInput::Verdict TTypedInput::Character(TAdvEditControl& edit, QChar& ch)
{
    const QString text = m_keyText.startsWith(ch) ? m_keyText : QString(ch);
    m_keyText.clear();
    if (DiscardsMinus(text))
        return Stop;
    // the rules type the character themselves where they take it
    return TypeCharacter(edit, text) == TFlow::Stop ? Stop : Ignore;
}

bool TTypedInput::KeyDownDelete(TAdvEditControl& edit)
{
    return DeleteAllowed(edit);
}

void TTypedInput::AfterKeyDown(TAdvEditControl& edit, int key)
{
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace)
        AfterDeletion(edit);
}

void TTypedInput::Paste(TAdvEditControl& edit, const PasteRequest& paste)
{
    PasteValue(edit, paste.text, paste.newValue, paste.start, paste.replacedSelection);
}
