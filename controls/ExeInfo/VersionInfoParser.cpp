// SPDX-License-Identifier: MIT
#include "VersionInfoParser.h"

#include <algorithm>

namespace {

constexpr std::uint32_t FixedSignature = 0xFEEF04BD;
constexpr int MaxDepth = 6;

struct Reader {
    QByteArrayView data;

    bool has(qsizetype pos, qsizetype len) const
    {
        return pos >= 0 && len >= 0 && pos <= data.size() && len <= data.size() - pos;
    }
    std::uint16_t u16(qsizetype pos) const
    {
        return std::uint16_t(std::uint8_t(data[pos]) | (std::uint8_t(data[pos + 1]) << 8));
    }
    std::uint32_t u32(qsizetype pos) const { return u16(pos) | (std::uint32_t(u16(pos + 2)) << 16); }
};

qsizetype align4(qsizetype v)
{
    return (v + 3) & ~qsizetype(3);
}

// One node: header, zero-terminated UTF-16 key, value, children, all within [begin, end).
struct Node {
    qsizetype begin = 0, end = 0;
    QString key;
    qsizetype valueBegin = 0, valueBytes = 0;
    std::uint16_t type = 0;
    qsizetype childrenBegin = 0;
};

// UTF-16 text from `pos` up to a zero or `end`; `next` gets the position after the zero.
QString readText(const Reader& r, qsizetype pos, qsizetype end, qsizetype* next)
{
    QString text;
    while (pos + 2 <= end) {
        const char16_t c = r.u16(pos);
        pos += 2;
        if (c == 0) {
            *next = pos;
            return text;
        }
        text.append(QChar(c));
    }
    *next = end;
    return text;
}

std::optional<Node> readNode(const Reader& r, qsizetype pos, qsizetype limit)
{
    if (!r.has(pos, 6) || pos + 6 > limit)
        return std::nullopt;
    Node n;
    n.begin = pos;
    const std::uint16_t length = r.u16(pos);
    const std::uint16_t valueLength = r.u16(pos + 2);
    n.type = r.u16(pos + 4);
    if (length < 6)
        return std::nullopt;
    n.end = std::min<qsizetype>(pos + length, limit);
    qsizetype after = 0;
    n.key = readText(r, pos + 6, n.end, &after);
    n.valueBegin = std::min(align4(after), n.end);
    // Text values count UTF-16 units, binary values count bytes.
    const qsizetype bytes = n.type == 1 ? qsizetype(valueLength) * 2 : qsizetype(valueLength);
    n.valueBytes = std::min(bytes, n.end - n.valueBegin);
    n.childrenBegin = std::min(align4(n.valueBegin + n.valueBytes), n.end);
    return n;
}

// Children of `parent`, each at least six bytes, so the walk always advances.
template <typename F> void forEachChild(const Reader& r, const Node& parent, F&& f)
{
    qsizetype pos = parent.childrenBegin;
    while (pos < parent.end) {
        const std::optional<Node> child = readNode(r, pos, parent.end);
        if (!child)
            return;
        f(*child);
        pos = align4(child->end);
        if (pos <= child->begin)
            return;
    }
}

QString textValue(const Reader& r, const Node& n)
{
    qsizetype unused = 0;
    return readText(r, n.valueBegin, n.valueBegin + n.valueBytes, &unused);
}

void readStringFileInfo(const Reader& r, const Node& sfi, TVersionInfo& info, int depth)
{
    if (depth > MaxDepth)
        return;
    forEachChild(r, sfi, [&](const Node& table) {
        TStringTable t;
        t.name = table.key;
        forEachChild(r, table, [&](const Node& s) { t.strings.push_back({ s.key, textValue(r, s) }); });
        info.tables.push_back(std::move(t));
    });
}

void readVarFileInfo(const Reader& r, const Node& vfi, TVersionInfo& info)
{
    forEachChild(r, vfi, [&](const Node& var) {
        if (var.key.compare(QLatin1String("Translation"), Qt::CaseInsensitive) != 0)
            return;
        for (qsizetype p = var.valueBegin; p + 4 <= var.valueBegin + var.valueBytes; p += 4)
            info.translations.push_back(r.u32(p));
    });
}

} // namespace

std::optional<QString> TVersionInfo::value(const QString& table, const QString& key) const
{
    for (const TStringTable& t : tables) {
        if (t.name.compare(table, Qt::CaseInsensitive) != 0)
            continue;
        for (const TVersionString& s : t.strings)
            if (s.key.compare(key, Qt::CaseInsensitive) == 0)
                return s.value;
    }
    return std::nullopt;
}

std::optional<TVersionInfo> ParseVersionInfo(QByteArrayView data)
{
    const Reader r { data };
    const std::optional<Node> root = readNode(r, 0, data.size());
    if (!root || root->key != QLatin1String("VS_VERSION_INFO"))
        return std::nullopt;
    TVersionInfo info;
    if (root->valueBytes >= 52 && r.u32(root->valueBegin) == FixedSignature) {
        const qsizetype v = root->valueBegin;
        TFixedFileInfo f;
        f.fileVersionMS = r.u32(v + 8);
        f.fileVersionLS = r.u32(v + 12);
        f.productVersionMS = r.u32(v + 16);
        f.productVersionLS = r.u32(v + 20);
        f.fileFlagsMask = r.u32(v + 24);
        f.fileFlags = r.u32(v + 28);
        f.fileOS = r.u32(v + 32);
        f.fileType = r.u32(v + 36);
        f.fileSubtype = r.u32(v + 40);
        f.fileDateMS = r.u32(v + 44);
        f.fileDateLS = r.u32(v + 48);
        info.fixed = f;
    }
    forEachChild(r, *root, [&](const Node& child) {
        if (child.key.compare(QLatin1String("StringFileInfo"), Qt::CaseInsensitive) == 0)
            readStringFileInfo(r, child, info, 1);
        else if (child.key.compare(QLatin1String("VarFileInfo"), Qt::CaseInsensitive) == 0)
            readVarFileInfo(r, child, info);
    });
    return info;
}

QString TranslationName(std::uint32_t translation)
{
    return QStringLiteral("%1%2")
        .arg(translation & 0xFFFF, 4, 16, QLatin1Char('0'))
        .arg(translation >> 16, 4, 16, QLatin1Char('0'))
        .toUpper();
}
