// SPDX-License-Identifier: MIT
#include "TypedText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace TypedText {

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// A number written as sign, integer digits and fraction digits.
struct TDecimal {
    bool negative = false;
    QString intDigits;
    QString fracDigits;
};

// Blanks, an optional sign, digits with at most one DS, blanks; TS anywhere among the digits.
std::optional<TDecimal> ParsePlain(QStringView s, TSeparators sep)
{
    qsizetype i = 0, n = s.size();
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    while (n > i && s[n - 1] == QLatin1Char(' '))
        --n;
    TDecimal d;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        d.negative = s[i] == QLatin1Char('-');
        ++i;
    }
    bool inFraction = false;
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (IsDigit(c))
            (inFraction ? d.fracDigits : d.intDigits).append(c);
        else if (c == sep.ds && !inFraction)
            inFraction = true;
        else if (c != sep.ts || sep.ts.isNull())
            return std::nullopt;
    }
    if (d.intDigits.isEmpty() && d.fracDigits.isEmpty())
        return std::nullopt;
    return d;
}

// Rounds half away from zero to `precision` fraction digits (padding with zeros).
void RoundTo(TDecimal& d, int precision)
{
    if (d.fracDigits.size() <= precision) {
        d.fracDigits.append(QString(precision - d.fracDigits.size(), QLatin1Char('0')));
        return;
    }
    const bool up = d.fracDigits[precision] >= QLatin1Char('5');
    d.fracDigits.truncate(precision);
    if (!up)
        return;
    for (qsizetype i = d.fracDigits.size() - 1; i >= 0; --i) {
        if (d.fracDigits[i] != QLatin1Char('9')) {
            d.fracDigits[i] = QChar(d.fracDigits[i].unicode() + 1);
            return;
        }
        d.fracDigits[i] = QLatin1Char('0');
    }
    for (qsizetype i = d.intDigits.size() - 1; i >= 0; --i) {
        if (d.intDigits[i] != QLatin1Char('9')) {
            d.intDigits[i] = QChar(d.intDigits[i].unicode() + 1);
            return;
        }
        d.intDigits[i] = QLatin1Char('0');
    }
    d.intDigits.prepend(QLatin1Char('1'));
}

QString WithoutLeadingZeros(QStringView digits)
{
    qsizetype i = 0;
    while (i + 1 < digits.size() && digits[i] == QLatin1Char('0'))
        ++i;
    return digits.isEmpty() ? QStringLiteral("0") : digits.mid(i).toString();
}

QString Grouped(const QString& digits, QChar ts)
{
    if (digits.size() <= 3 || ts.isNull())
        return digits;
    QString r;
    r.reserve(digits.size() + digits.size() / 3);
    const qsizetype lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    r.append(QStringView(digits).left(lead));
    for (qsizetype i = lead; i < digits.size(); i += 3) {
        r.append(ts);
        r.append(QStringView(digits).mid(i, 3));
    }
    return r;
}

QString Render(const TDecimal& d, int precision, bool grouped, TSeparators sep)
{
    const QString digits = WithoutLeadingZeros(d.intDigits);
    QString r;
    const auto nonZero = [](const QString& t) {
        for (QChar c : t)
            if (c != QLatin1Char('0'))
                return true;
        return false;
    };
    if (d.negative && (nonZero(digits) || nonZero(d.fracDigits)))
        r.append(QLatin1Char('-'));
    r.append(grouped ? Grouped(digits, sep.ts) : digits);
    if (precision > 0) {
        r.append(sep.ds);
        r.append(d.fracDigits);
    }
    return r;
}

// Digits of a finite double's magnitude in fixed notation.
TDecimal FromDouble(double x, int precision)
{
    if (!std::isfinite(x))
        x = 0;
    TDecimal d;
    d.negative = std::signbit(x);
    // A double has no more than about 1075 meaningful fraction digits; the rest are zeros.
    const int asked = qMin(precision, 1100);
    const QString t = QString::number(std::fabs(x), 'f', asked);
    const qsizetype dot = t.indexOf(QLatin1Char('.'));
    d.intDigits = dot < 0 ? t : t.left(dot);
    if (dot >= 0)
        d.fracDigits = t.mid(dot + 1);
    RoundTo(d, precision);
    return d;
}

} // namespace

TSeparators TSeparators::Current()
{
    const QLocale locale;
    const QString ds = locale.decimalPoint();
    const QString ts = locale.groupSeparator();
    TSeparators sep;
    sep.ds = ds.isEmpty() ? QLatin1Char('.') : ds.front();
    sep.ts = ts.isEmpty() || ts.front() == sep.ds ? QChar() : ts.front();
    return sep;
}

TNumberClass ClassifyNumber(QStringView s, TSeparators sep)
{
    bool isInt = !s.isEmpty(), isDec = isInt, isHex = isInt;
    qsizetype lastTs = -1, dsCount = 0, minusCount = 0;
    for (qsizetype k = 0; k < s.size(); ++k) {
        const QChar c = s[k];
        const qsizetype i = k + 1;
        const bool digit = IsDigit(c);
        const bool minus = c == QLatin1Char('-');
        if (!minus && !digit)
            isInt = false;
        if (!minus && !digit && c != QLatin1Char(',') && c != QLatin1Char('.'))
            isDec = false;
        if (!minus && HexDigit(c) < 0)
            isHex = false;
        if (!sep.ts.isNull() && c == sep.ts) {
            if (i - lastTs < 3)
                isDec = false;
            lastTs = i;
        }
        if (c == sep.ds)
            ++dsCount;
        if (minus)
            ++minusCount;
    }
    TNumberClass result = ncInvalid;
    if (isHex && !isInt)
        result = ncHex;
    if (isInt)
        result = ncInteger;
    else if (isDec)
        result = ncDecimal;
    if (minusCount > 1 || dsCount > 1)
        result = ncInvalid;
    return result;
}

QString StripThousandSeparators(QStringView s, QChar ts)
{
    QString r = s.toString();
    if (!ts.isNull())
        r.remove(ts);
    return r;
}

namespace {

// The ASCII form that std::from_chars reads, or nothing when the text is no number.
bool FloatChars(QStringView s, TSeparators sep, std::string& out, bool& negative)
{
    qsizetype i = 0, n = s.size();
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    while (n > i && s[n - 1] == QLatin1Char(' '))
        --n;
    negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    out.clear();
    out.reserve(std::size_t(n - i));
    int mantissaDigits = 0, exponentDigits = 0;
    enum { Int, Frac, ExpSign, Exp } part = Int;
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (!sep.ts.isNull() && c == sep.ts && part != Exp && part != ExpSign)
            continue;
        if (IsDigit(c)) {
            out.push_back(char(c.unicode()));
            if (part == Int || part == Frac)
                ++mantissaDigits;
            else {
                part = Exp;
                ++exponentDigits;
            }
        } else if (c == sep.ds && part == Int) {
            out.push_back('.');
            part = Frac;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && (part == Int || part == Frac)
            && mantissaDigits > 0) {
            out.push_back('e');
            part = ExpSign;
        } else if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && part == ExpSign && out.back() == 'e') {
            out.push_back(char(c.unicode()));
        } else {
            return false;
        }
    }
    if (mantissaDigits == 0 || (part == ExpSign || (part == Exp && exponentDigits == 0)))
        return false;
    return true;
}

} // namespace

double ValueToFloat(QStringView s, TSeparators sep)
{
    std::string chars;
    bool negative = false;
    if (!FloatChars(s, sep, chars, negative))
        return 0;
    double v = 0;
    const auto [end, ec] = std::from_chars(chars.data(), chars.data() + chars.size(), v);
    if (ec != std::errc() || end != chars.data() + chars.size() || !std::isfinite(v))
        return 0;
    return negative ? -v : v;
}

bool IsFloatText(QStringView s, TSeparators sep)
{
    std::string chars;
    bool negative = false;
    if (!FloatChars(s, sep, chars, negative))
        return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(chars.data(), chars.data() + chars.size(), v);
    return ec == std::errc() && end == chars.data() + chars.size() && std::isfinite(v);
}

std::uint64_t HexTextValue(QStringView s)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t v = 0;
    for (QChar c : s) {
        const int d = qMax(0, HexDigit(c));
        if (v > (kMax >> 4))
            return kMax;
        v = (v << 4) | std::uint64_t(d);
    }
    return v;
}

std::int32_t HexTextToInt(QStringView s)
{
    const std::uint64_t v = HexTextValue(s);
    return std::int32_t(std::uint32_t(qMin<std::uint64_t>(v, 0xFFFFFFFFu)));
}

TIntConversion ToInteger(QStringView s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && (s[i] == QLatin1Char('$') || s[i] == QLatin1Char('x') || s[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == QLatin1Char('0')
        && (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    const qsizetype first = i;
    std::uint64_t magnitude = 0;
    bool ok = true;
    for (; i < n; ++i) {
        const int d = hex ? HexDigit(s[i]) : (IsDigit(s[i]) ? s[i].unicode() - u'0' : -1);
        if (d < 0) {
            ok = false;
            break;
        }
        // both bounds below are far under 2^64 / 16, so the next step cannot wrap
        magnitude = qMin<std::uint64_t>(magnitude * (hex ? 16 : 10) + std::uint64_t(d), 0x1FFFFFFFFull);
    }
    if (i == first)
        ok = false;
    TIntConversion r;
    if (hex)
        r.overflow = magnitude > 0xFFFFFFFFu;
    else
        r.overflow = magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu);
    r.ok = ok && !r.overflow;
    if (hex) {
        const auto word = std::uint32_t(qMin<std::uint64_t>(magnitude, 0xFFFFFFFFu));
        r.value = std::int32_t(negative ? 0u - word : word);
    } else if (negative) {
        r.value
            = magnitude >= 0x80000000u ? std::numeric_limits<std::int32_t>::min() : -std::int32_t(magnitude);
    } else {
        r.value = std::int32_t(qMin<std::uint64_t>(magnitude, 0x7FFFFFFF));
    }
    return r;
}

QString HexText(std::uint64_t word)
{
    return QString::number(qulonglong(word), 16).toUpper();
}

QString FixedFormat(double x, int precision, TSeparators sep)
{
    precision = qMax(0, precision);
    return Render(FromDouble(x, precision), precision, false, sep);
}

QString GroupedFormat(double x, int precision, TSeparators sep)
{
    precision = qMax(0, precision);
    return Render(FromDouble(x, precision), precision, true, sep);
}

QString GeneralFormat(double x, TSeparators sep)
{
    if (!std::isfinite(x) || x == 0)
        return QStringLiteral("0");
    // d.dddddddddddddde±x: the 15 significant digits and the exponent
    const QString e = QString::number(std::fabs(x), 'e', 14);
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    const int exponent = e.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    QString r = x < 0 ? QStringLiteral("-") : QString();
    if (exponent < -5 || exponent >= 15) {
        r.append(digits.front());
        if (digits.size() > 1) {
            r.append(sep.ds);
            r.append(QStringView(digits).mid(1));
        }
        r.append(QLatin1Char('E'));
        r.append(QString::number(exponent));
    } else if (exponent >= 0) {
        const int intLen = exponent + 1;
        if (digits.size() <= intLen) {
            r.append(digits);
            r.append(QString(intLen - digits.size(), QLatin1Char('0')));
        } else {
            r.append(QStringView(digits).left(intLen));
            r.append(sep.ds);
            r.append(QStringView(digits).mid(intLen));
        }
    } else {
        r.append(QLatin1Char('0'));
        r.append(sep.ds);
        r.append(QString(-exponent - 1, QLatin1Char('0')));
        r.append(digits);
    }
    return r;
}

QString FixedFormatText(QStringView s, int precision, bool grouped, TSeparators sep)
{
    precision = qMax(0, precision);
    if (auto d = ParsePlain(s, sep)) {
        RoundTo(*d, precision);
        return Render(*d, precision, grouped, sep);
    }
    return Render(FromDouble(ValueToFloat(s, sep), precision), precision, grouped, sep);
}

QString GeneralFormatText(QStringView s, TSeparators sep)
{
    if (const auto d = ParsePlain(s, sep)) {
        const QString all = d->intDigits + d->fracDigits;
        qsizetype first = 0, last = all.size();
        while (first < last && all[first] == QLatin1Char('0'))
            ++first;
        while (last > first && all[last - 1] == QLatin1Char('0'))
            --last;
        if (last - first > 15)
            return s.toString();
    }
    return GeneralFormat(ValueToFloat(s, sep), sep);
}

QString MoneyRegroup(QStringView value, bool grouped, TSeparators sep)
{
    if (value.isEmpty())
        return QString();
    QStringView s = value;
    const bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s = s.mid(1);
    const qsizetype dsPos = s.indexOf(sep.ds);
    const QStringView frac = dsPos < 0 ? QStringView() : s.mid(dsPos);
    const QString intPart = StripThousandSeparators(dsPos < 0 ? s : s.left(dsPos), sep.ts);
    bool plain = true;
    for (QChar c : intPart)
        plain = plain && IsDigit(c);
    QString digits;
    if (plain) {
        digits = WithoutLeadingZeros(intPart);
    } else {
        // not plain digits (an exponent, a stray character): the value as the field reads it
        QString t = StripThousandSeparators(value, sep.ts);
        if (t.endsWith(sep.ds))
            t.chop(1);
        const double x = t == QLatin1String("-") ? 0 : ValueToFloat(t, sep);
        digits = QString::number(std::floor(std::fabs(x)), 'f', 0);
    }
    QString r;
    r.reserve(value.size() + value.size() / 3 + 2);
    if (negative)
        r.append(QLatin1Char('-'));
    r.append(grouped ? Grouped(digits, sep.ts) : digits);
    r.append(frac);
    return r;
}

QString ChangeSeparators(QStringView value, TSeparators from, TSeparators to)
{
    QString r;
    r.reserve(value.size());
    for (QChar c : value) {
        if (c == from.ds)
            r.append(to.ds);
        else if (!from.ts.isNull() && c == from.ts) {
            if (!to.ts.isNull())
                r.append(to.ts);
        } else
            r.append(c);
    }
    return r;
}

namespace {

bool IsWordBreak(char32_t c)
{
    switch (c) {
    case U' ':
    case U',':
    case U'.':
    case U'-':
    case U'\'':
    case U'\\':
    case U'/':
    case U':':
    case U'*':
    case U'$':
    case U')':
    case U'"':
        return true;
    default:
        return false;
    }
}

} // namespace

QString MixedCase(QStringView s)
{
    QString t = s.toString();
    const qsizetype n = t.size();
    bool capital = true;
    bool mcSeen = false; // the first " Mc" is the only one that counts
    qsizetype i0 = 0;
    while (i0 < n) {
        const bool pair = t[i0].isHighSurrogate() && i0 + 1 < n && t[i0 + 1].isLowSurrogate();
        const qsizetype len = pair ? 2 : 1;
        const char32_t c = pair ? QChar::surrogateToUcs4(t[i0], t[i0 + 1]) : t[i0].unicode();
        if (IsWordBreak(c)) {
            capital = true;
        } else {
            const char32_t m = capital ? QChar::toUpper(c) : QChar::toLower(c);
            if (QChar::requiresSurrogates(m) == pair) {
                if (pair) {
                    t[i0] = QChar::highSurrogate(m);
                    t[i0 + 1] = QChar::lowSurrogate(m);
                } else {
                    t[i0] = QChar(char16_t(m));
                }
            }
            capital = false;
        }
        const qsizetype i = i0 + len; // 1-based position of the character just done
        if ((i == 2 && t.startsWith(QLatin1String("Mc"))) || (i == 3 && t.startsWith(QLatin1String("Mac"))))
            capital = true;
        if (i >= 3 && QStringView(t).mid(i - 3, 3) == QLatin1String(" Mc")) {
            if (!mcSeen)
                capital = true;
            mcSeen = true;
        }
        if (i > n - 3) {
            if (i >= 2 && QStringView(t).mid(i - 2, 2) == QLatin1String(" I"))
                capital = true;
            if (i >= 3 && QStringView(t).mid(i - 3, 3) == QLatin1String(" II"))
                capital = true;
        }
        i0 += len;
    }
    return t;
}

bool SeparatorTooClose(QStringView value, int pos, int prefixLen, QChar ts)
{
    if (ts.isNull() || !value.contains(ts))
        return false;
    // Walks the separators as if each were cut off the front with everything before it.
    qsizetype p = pos - prefixLen;
    qsizetype m = value.size();
    qsizetype base = 0;
    for (qsizetype idx = value.indexOf(ts); idx >= 0; idx = value.indexOf(ts, idx + 1)) {
        const qsizetype q = idx - base + 1;
        const qsizetype d = q > p ? q - p : p - q;
        if (d < m)
            m = d;
        if (d < 3)
            return true;
        if (p > q)
            p -= q;
        base = idx + 1;
    }
    return m > 3;
}

bool DecimalsFull(QStringView value, int pos, int prefixLen, int precision, QChar ds)
{
    const qsizetype p = pos - prefixLen;
    const qsizetype len = value.size();
    if (precision <= 0 || len - p > precision)
        return false;
    const qsizetype d = value.indexOf(ds) + 1;
    if (d == 0)
        return false;
    return p >= d && len - d >= precision;
}

int IntegerPartCount(QStringView value, TSeparators sep, bool countsMinus)
{
    const QString t = StripThousandSeparators(value, sep.ts);
    const qsizetype d = t.indexOf(sep.ds);
    qsizetype count = d < 0 ? t.size() : d;
    if (countsMinus && t.contains(QLatin1Char('-')))
        --count;
    return int(qMin<qsizetype>(count, std::numeric_limits<int>::max()));
}

int DecimalSeparatorPosition(QStringView value, int prefixLen, int suffixLen, QChar ds)
{
    const qsizetype d = value.indexOf(ds);
    if (d < 0)
        return int(prefixLen + value.size() + suffixLen + 1);
    return int(prefixLen + d + 1);
}

} // namespace TypedText
