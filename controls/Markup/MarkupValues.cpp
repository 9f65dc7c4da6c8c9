// SPDX-License-Identifier: MIT
#include "MarkupValues.h"

#include <array>
#include <climits>
#include <iterator>

namespace Markup {

namespace {

bool IsHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u <= '9')
        return u - '0';
    return (u | 0x20) - 'a' + 10;
}

// One byte of "#RRGGBB": a character below "A" counts as its digit value, any other as its code
// minus 55, so only 0-9 and A-F mean what they say.
int ColorPair(QStringView hex, qsizetype at)
{
    if (at + 2 > hex.size())
        return 0;
    auto digit = [](QChar c) { return c.unicode() < 'A' ? int(c.unicode()) - '0' : int(c.unicode()) - 55; };
    // Masked so that stray characters cannot produce a system colour or the no-colour value.
    return (digit(hex[at]) * 16 + digit(hex[at + 1])) & 0xFF;
}

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr std::array<NamedColor, 40> kColorNames = { {
    { "clred", 0xff },
    { "clblack", 0 },
    { "clblue", 0xff0000 },
    { "clgreen", 0x8000 },
    { "claqua", 0xffff00 },
    { "clyellow", 0xffff },
    { "clfuchsia", 0xff00ff },
    { "clwhite", 0xffffff },
    { "cllime", 0xff00 },
    { "clsilver", 0xc0c0c0 },
    { "clgray", 0x808080 },
    { "clolive", 0x8080 },
    { "clnavy", 0x800000 },
    { "clpurple", 0x800080 },
    { "clteal", 0x808000 },
    { "clmaroon", 0x80 },
    { "clbackground", 0xff000001 },
    { "clactivecaption", 0xff000002 },
    { "clinactivecaption", 0xff000003 },
    { "clmenu", 0xff000004 },
    { "clwindow", 0xff000005 },
    { "clwindowframe", 0xff000006 },
    { "clmenutext", 0xff000007 },
    { "clwindowtext", 0xff000008 },
    { "clcaptiontext", 0xff000009 },
    { "clactiveborder", 0xff00000a },
    { "clinactiveborder", 0xff00000b },
    { "clappworkspace", 0xff00000c },
    { "clhighlight", 0xff00000d },
    { "clhighlighttext", 0xff00000e },
    { "clbtnface", 0xff00000f },
    { "clbtnshadow", 0xff000010 },
    { "clgraytext", 0xff000011 },
    { "clbtntext", 0xff000012 },
    { "clinactivecaptiontext", 0xff000013 },
    { "clbtnhighlight", 0xff000014 },
    { "cl3ddkshadow", 0xff000015 },
    { "cl3dlight", 0xff000016 },
    { "clinfotext", 0xff000017 },
    { "clinfobk", 0xff000018 },
} };

} // namespace

Number ReadNumber(QStringView value)
{
    qsizetype i = 0;
    const qsizetype n = value.size();
    while (i < n && (value[i] == u' ' || value[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (value[i] == u'-' || value[i] == u'+')) {
        negative = value[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (value[i] == u'$' || value[i] == u'x' || value[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && value[i] == u'0' && (value[i + 1] == u'x' || value[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    long long acc = 0;
    bool digits = false;
    bool overflow = false;
    for (; i < n; ++i) {
        const QChar c = value[i];
        int d;
        if (hex && IsHexDigit(c))
            d = HexDigit(c);
        else if (!hex && c.unicode() >= '0' && c.unicode() <= '9')
            d = c.unicode() - '0';
        else
            break;
        digits = true;
        acc = acc * (hex ? 16 : 10) + d;
        if (acc > INT_MAX) {
            acc = INT_MAX;
            overflow = true;
        }
    }
    Number result;
    result.clean = digits && i == n && !overflow;
    result.value = int(acc);
    if (negative && result.clean)
        result.value = -result.value;
    return result;
}

bool ColorFromName(QStringView lowerName, TColor& color)
{
    for (const NamedColor& entry : kColorNames) {
        if (lowerName == QLatin1StringView(entry.name)) {
            color = entry.value;
            return true;
        }
    }
    return false;
}

TColor ReadColor(QStringView value)
{
    if (value.startsWith(u'#'))
        return TColor(ColorPair(value, 1) + ColorPair(value, 3) * 256 + ColorPair(value, 5) * 65536);
    TColor color = clBlack;
    if (value.size() <= 32)
        ColorFromName(value.toString().toLower(), color);
    return color;
}

QStringView AttributeValue(QStringView part, QStringView name, Qt::CaseSensitivity cs, bool* found)
{
    const qsizetype at = part.indexOf(name, 0, cs);
    if (found)
        *found = at >= 0;
    if (at < 0)
        return {};
    const qsizetype open = part.indexOf(u'"', at + name.size());
    if (open < 0)
        return {};
    const qsizetype close = part.indexOf(u'"', open + 1);
    return close < 0 ? part.mid(open + 1) : part.mid(open + 1, close - open - 1);
}

QStringView FirstQuoted(QStringView tag)
{
    const qsizetype open = tag.indexOf(u'"');
    if (open < 0)
        return {};
    const qsizetype close = tag.indexOf(u'"', open + 1);
    return close < 0 ? tag.mid(open + 1) : tag.mid(open + 1, close - open - 1);
}

bool FontSizeValue(QStringView upperPart, int& points)
{
    const qsizetype at = upperPart.indexOf(u"SIZE");
    if (at < 0)
        return false;
    const qsizetype equals = upperPart.indexOf(u'=', at + 4);
    if (equals < 0)
        return false;
    QStringView rest = upperPart.mid(equals + 1);
    const qsizetype quote = rest.indexOf(u'"');
    if (quote >= 0)
        rest = rest.mid(quote + 1);
    static constexpr int kSteps[] = { 8, 10, 12, 14, 16 };
    const int size = ReadNumber(rest).value;
    points = size >= 1 && size <= 5 ? kSteps[size - 1] : size;
    return true;
}

QStringView TagPart(QStringView tag, qsizetype from)
{
    const QStringView body = tag.endsWith(u'>') ? tag.chopped(1) : tag;
    return from < body.size() ? body.mid(from) : QStringView();
}

QString AsciiUpper(QStringView text)
{
    QString upper(text.size(), Qt::Uninitialized);
    QChar* out = upper.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        out[i] = QChar(c >= 'a' && c <= 'z' ? char16_t(c - 32) : c);
    }
    return upper;
}

namespace {

struct Entity {
    QLatin1StringView name; // after the "&"
    char16_t character;
};

// The entity whose name (any case) starts `text` at `at`, or none.
const Entity* EntityAt(QStringView text, qsizetype at, const Entity* table, size_t count)
{
    const QStringView rest = text.mid(at, 8); // longer than any name
    for (size_t i = 0; i < count; ++i) {
        if (rest.startsWith(table[i].name, Qt::CaseInsensitive))
            return &table[i];
    }
    return nullptr;
}

constexpr Entity kTextEntities[] = {
    { QLatin1StringView("amp;"), u'&' },
    { QLatin1StringView("quot;"), u'"' },
    { QLatin1StringView("sect;"), 0x00A7 },
    { QLatin1StringView("permil;"), 0x2030 },
    { QLatin1StringView("reg;"), 0x00AE },
    { QLatin1StringView("copy;"), 0x00A9 },
    { QLatin1StringView("para;"), 0x00B6 },
    { QLatin1StringView("trade;"), 0x2122 },
    { QLatin1StringView("euro;"), 0x20AC },
};

constexpr Entity kRunEntities[] = {
    { QLatin1StringView("nbsp;"), u' ' },
    { QLatin1StringView("lt;"), u'<' },
    { QLatin1StringView("gt;"), u'>' },
};

} // namespace

void DecodeTextEntities(QString& text)
{
    const QStringView in(text);
    // The "<#" pair that the engine shows as text opens and closes no tag.
    const qsizetype plainOpen = in.indexOf(u"<#");
    const qsizetype plainClose = plainOpen < 0 ? -1 : in.indexOf(u'>', plainOpen + 1);
    QString out;
    out.reserve(in.size());
    bool inTag = false;
    // In text, "&amp;" leaves "&&", and its second "&" may begin another entity: a chain resolves
    // level by level in the one pass.
    bool pending = false;
    qsizetype i = 0;
    while (i < in.size()) {
        const char16_t c = in[i].unicode();
        if (c == u'&' || pending) {
            const qsizetype nameAt = pending ? i : i + 1;
            if (const Entity* e = EntityAt(in, nameAt, kTextEntities, std::size(kTextEntities))) {
                i = nameAt + e->name.size();
                out += QChar(e->character);
                pending = !inTag && e->character == u'&';
                continue;
            }
            out += QChar(u'&');
            if (pending)
                pending = false; // the character at i is looked at afresh
            else
                ++i;
            continue;
        }
        if (c == u'<' && i != plainOpen)
            inTag = true;
        else if ((c == u'>' && i != plainClose) || c == u'\r') // a CR becomes a line-break tag
            inTag = false;
        out += QChar(c);
        ++i;
    }
    if (pending)
        out += QChar(u'&');
    text = std::move(out);
}

bool DecodeRunEntities(QStringView run, QString& out)
{
    qsizetype amp = run.indexOf(u'&');
    if (amp < 0)
        return false;
    QString decoded;
    bool any = false;
    qsizetype copied = 0;
    for (; amp >= 0; amp = run.indexOf(u'&', amp + 1)) {
        const Entity* e = EntityAt(run, amp + 1, kRunEntities, std::size(kRunEntities));
        if (!e)
            continue;
        if (!any) {
            decoded.reserve(run.size());
            any = true;
        }
        decoded += run.mid(copied, amp - copied);
        decoded += QChar(e->character);
        copied = amp + 1 + e->name.size();
        amp = copied - 1;
    }
    if (!any)
        return false;
    decoded += run.mid(copied);
    out = std::move(decoded);
    return true;
}

} // namespace Markup
