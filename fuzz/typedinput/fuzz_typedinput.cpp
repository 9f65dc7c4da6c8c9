// SPDX-License-Identifier: MIT
// Typed input of the edit field under arbitrary sequences of typed characters, Backspace, Delete,
// caret moves, pastes, Text assignments, number writes, focus losses and property changes, in four
// number formats. The first kSettingsBytes bytes choose the field's settings, the rest are
// operations. Besides crashes, hangs and unbounded growth it checks that typing and pasting keep a
// value that satisfies its type's rules satisfying them, and that Prefix and Suffix stay in place.
#include "EditHostModel.h"
#include "TypedInput.h"

#include <QLocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace AdvEditTypes;
using TypedText::TSeparators;

namespace {

constexpr std::size_t kMaxInput = 4096;
constexpr std::size_t kSettingsBytes = 5;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool more() const { return m_pos < m_size; }
    int byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Characters that reach the rules' corners: separators of every locale used, signs, hexadecimal
// and range characters, casing specials, a character outside the BMP and a lone surrogate.
const QString& Palette()
{
    static const QString palette
        = QString::fromUtf8("0123456789012345.,-;+ eEaAbBcCdDfFgGxXmMiI'\"$/()é ß\bnlosh") + QChar(0x202F)
        + QChar(0x00A0) + QChar(0x2019) + QChar(0xD800) + QString::fromUtf8("\xF0\x9F\x98\x80");
    return palette;
}

QString Character(int b)
{
    const QString& p = Palette();
    const int i = b % int(p.size());
    if (p[i].isHighSurrogate() && i + 1 < p.size() && p[i + 1].isLowSurrogate())
        return p.mid(i, 2);
    return p.mid(i, 1);
}

QString Text(Reader& in)
{
    const int n = in.byte() % 48;
    QString t;
    for (int i = 0; i < n && in.more(); ++i)
        t += Character(in.byte());
    return t;
}

const QLocale& LocaleAt(int i)
{
    static const QLocale locales[] = {
        QLocale(QLocale::English, QLocale::UnitedStates), // "." and ","
        QLocale(QLocale::German, QLocale::Germany), // "," and "."
        QLocale(QLocale::French, QLocale::France), // "," and a narrow no-break space
        QLocale(QLocale::German, QLocale::Switzerland), // "." and a quote
    };
    return locales[i % 4];
}

[[noreturn]] void Fail(const char* what, const QString& before, const QString& after)
{
    std::fprintf(
        stderr, "typed input: %s\n  before: %s\n  after:  %s\n", what, qPrintable(before), qPrintable(after));
    std::abort();
}

bool AllOf(const QString& v, const char* set)
{
    for (QChar c : v)
        if (c.unicode() > 127 || !std::strchr(set, char(c.unicode())))
            return false;
    return true;
}

// A number as typing keeps it: an optional leading minus, digits and TS, at most one DS; or, where
// a paste may take the general format, its exponent form.
bool IsNumberText(const QString& v, bool minusAllowed, bool exponentAllowed)
{
    const TSeparators sep = TSeparators::Current();
    qsizetype i = 0;
    if (v.startsWith(QLatin1Char('-'))) {
        if (!minusAllowed)
            return false;
        ++i;
    }
    bool ds = false, exponent = false, exponentDigits = false;
    for (; i < v.size(); ++i) {
        const QChar c = v[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            exponentDigits = exponent;
        } else if (exponent) {
            if (c != QLatin1Char('-') || v[i - 1] != QLatin1Char('E'))
                return false;
        } else if (c == sep.ds && !ds) {
            ds = true;
        } else if (!sep.ts.isNull() && c == sep.ts) {
        } else if (c == QLatin1Char('E') && exponentAllowed && i > 0) {
            exponent = true;
        } else {
            return false;
        }
    }
    return !exponent || exponentDigits;
}

// Whether a value satisfies its type's rules as typing and pasting must keep them.
bool Satisfies(const TTypedInput& typed, const QString& v, bool afterPaste)
{
    switch (typed.EditType()) {
    case etNumeric:
        return AllOf(v.startsWith(QLatin1Char('-')) && typed.Signed() ? v.mid(1) : v, "0123456789");
    case etFloat:
    case etMoney:
        return IsNumberText(v, typed.Signed(),
            afterPaste && (typed.PrecisionDisplay() == pdShortest || typed.Precision() < 0));
    case etHex:
        return AllOf(v, "0123456789ABCDEFabcdef-");
    case etRange:
        return AllOf(v, "0123456789,;-");
    case etAlphaNumeric:
        return AllOf(v, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    case etValidChars:
        for (QChar c : v)
            if (!typed.ValidChars().contains(c))
                return false;
        return true;
    case etUppercase:
        return QLocale().toUpper(v) == v;
    case etLowerCase:
        return QLocale().toLower(v) == v;
    case etMixedCase:
        return TypedText::MixedCase(v) == v;
    default:
        return true;
    }
}

// Keeps the selection inside the value, as the field does.
void Select(TEditHostModel& m, int a, int b)
{
    const int prefixLen = m.edit.PrefixLength();
    const int len = int(m.Value().size());
    const int start = prefixLen + a % (len + 1);
    m.Select(start, start + b % (len + 1 - (start - prefixLen)));
}

double Double(Reader& in)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = (bits << 8) | std::uint64_t(in.byte());
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kSettingsBytes || size > kMaxInput)
        return 0;
    Reader in(data, size);
    TEditHostModel m;
    TTypedInput& typed = m.typed;
    const int type = in.byte() % 12;
    const int flags = in.byte();
    const int precision = in.byte() % 9 - 2;
    const int limits = in.byte();
    QLocale::setDefault(LocaleAt(in.byte()));

    if (flags & 0x40)
        m.setPrefix(QStringLiteral("$ "));
    if (flags & 0x80)
        m.setSuffix(QStringLiteral(" kg"));
    m.control = m.edit.Prefix() + m.edit.Suffix();
    m.selStart = m.edit.PrefixLength();
    m.setMaxLength((limits >> 3) % 32);
    typed.SetSigned(flags & 0x01);
    typed.SetAllowNumericNullValue(flags & 0x02);
    typed.SetExcelStyleDecimalSeparator(flags & 0x08);
    typed.SetTabOnFullLength(flags & 0x10);
    typed.SetLengthLimit(limits % 8);
    typed.SetValidChars(QStringLiteral("0123456789abc-."));
    typed.SetEditType(m.edit, TTypedInput::TAdvEditType(type));
    typed.SetPrecision(m.edit, precision);
    typed.SetAutoThousandSeparator(m.edit, flags & 0x04);
    typed.SetPrecisionDisplay(m.edit, flags & 0x20 ? pdShortest : pdNormal);

    bool rangesRead = false;
    while (in.more()) {
        const int op = in.byte();
        const QString before = m.Value();
        const bool wasValid = Satisfies(typed, before, false);
        bool typing = false, deleting = false, pasting = false;
        switch (op % 16) {
        case 6:
            m.Type(QString(EditChar::Backspace));
            deleting = true;
            break;
        case 7:
            m.Type(QStringLiteral("\x7f"));
            deleting = true;
            break;
        case 8: {
            const int a = in.byte();
            Select(m, a, in.byte());
            break;
        }
        case 9:
            m.Paste(Text(in));
            pasting = true;
            break;
        case 10:
            m.AssignText(Text(in));
            break;
        case 11:
            if (op & 0x80)
                typed.SetFloatValue(m.edit, Double(in));
            else
                typed.SetIntValue(
                    m.edit, int((in.byte() << 24) | (in.byte() << 16) | (in.byte() << 8) | in.byte()));
            break;
        case 12:
            typed.FocusLost(m.edit);
            break;
        case 13: {
            const int b = in.byte();
            switch (b % 5) {
            case 0:
                typed.SetEditType(m.edit, TTypedInput::TAdvEditType((b / 5) % 12));
                break;
            case 1:
                typed.SetPrecision(m.edit, (b / 5) % 9 - 2);
                break;
            case 2:
                typed.SetSigned(!typed.Signed());
                break;
            case 3:
                typed.SetAutoThousandSeparator(m.edit, !typed.AutoThousandSeparator());
                break;
            case 4:
                typed.SetPrecisionDisplay(
                    m.edit, typed.PrecisionDisplay() == pdNormal ? pdShortest : pdNormal);
                break;
            }
            break;
        }
        case 14: {
            (void)typed.FloatValue(m.edit);
            (void)typed.IntValue(m.edit);
            // a full list takes a while under the sanitizers: once per input is enough
            if (!rangesRead) {
                rangesRead = true;
                TRangeList list;
                if (typed.RangeStrToList(m.edit, list) && (op & 0x80))
                    typed.ListToRangeStr(m.edit, list);
            }
            if (op & 0x40)
                typed.SelectBeforeDecimal(m.edit);
            else
                typed.SelectAfterDecimal(m.edit);
            break;
        }
        case 15: {
            // a long paste of raw UTF-16 taken from the input itself
            QString raw;
            const int n = in.byte() * 8;
            for (int i = 0; i < n && in.more(); ++i)
                raw += QChar(char16_t((in.byte() << 8) | in.byte()));
            m.Paste(raw.repeated(1 + (op >> 4) % 16));
            pasting = true;
            break;
        }
        default: {
            const QString ch = Character(in.byte());
            m.Type(ch, op & 0x80);
            typing = ch != QString(EditChar::Backspace);
            deleting = !typing;
            break;
        }
        }
        const QString after = m.Value();
        if (!m.control.startsWith(m.edit.Prefix()) || !m.control.endsWith(m.edit.Suffix()))
            Fail("the frame was broken", before, m.control);
        // a re-cased value is not re-cased by deleting, so mixed case is checked after typing only
        const bool keeps = typing || pasting || (deleting && typed.EditType() != etMixedCase);
        if (keeps && wasValid && !Satisfies(typed, after, pasting))
            Fail("typing or pasting broke the value's rules", before, after);
        if (m.selStart < 0 || m.selStart + m.selLength > m.control.size())
            Fail("the selection left the text", before, m.Shown());
    }
    return 0;
}
