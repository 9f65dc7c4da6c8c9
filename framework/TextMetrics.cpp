// SPDX-License-Identifier: MIT
#include "TextMetrics.h"

#include <cmath>

#include <QCoreApplication>
#include <QHashFunctions>
#include <algorithm>

namespace {

// A font this tall is already unreadable; beyond it glyph rasterising would only waste memory.
constexpr int kMaxPixelHeight = 4096;
// Distinct fonts a run normally uses are few; a text that asks for more starts the cache afresh.
constexpr std::size_t kMaxFonts = 256;
constexpr std::size_t kMaxPairs = 4096;

struct FontKey {
    QString name;
    int height = 0;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontKey&) const = default;
};

struct FontKeyHash {
    std::size_t operator()(const FontKey& k) const
    {
        return qHashMulti(0, k.name, k.height, k.bold, k.italic);
    }
};

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Scripts whose characters map one-to-one onto glyphs placed side by side.
bool IsSimpleScript(QChar c)
{
    switch (c.script()) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Armenian:
    case QChar::Script_Georgian:
        break;
    default:
        return false;
    }
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return false;
    default:
        return true;
    }
}

int NextTab(int x, int tab)
{
    return (x / tab + 1) * tab;
}

} // namespace

namespace {

struct FontCache {
    std::unordered_map<FontKey, std::shared_ptr<TTextMetrics>, FontKeyHash> fonts;
    FontKey lastKey;
    std::shared_ptr<TTextMetrics> last;
    bool cleanupRegistered = false;
};

FontCache& Fonts()
{
    static FontCache cache;
    return cache;
}

// Fonts and their engines must go before the application that owns the font system does.
void ReleaseFonts()
{
    FontCache& cache = Fonts();
    cache.last = nullptr;
    cache.fonts.clear();
    cache.cleanupRegistered = false;
}

} // namespace

std::shared_ptr<TTextMetrics> TTextMetrics::For(const TFont& font)
{
    FontCache& cache = Fonts();
    const int height = std::clamp(font.Height, -kMaxPixelHeight, kMaxPixelHeight);
    const FontKey& last = cache.lastKey;
    // The name is nearly always the very string the last call had: compared by its data first.
    if (cache.last && last.height == height && last.bold == font.Bold && last.italic == font.Italic
        && ((last.name.constData() == font.Name.constData() && last.name.size() == font.Name.size())
            || last.name == font.Name))
        return cache.last;

    if (!cache.cleanupRegistered) {
        qAddPostRoutine(ReleaseFonts);
        cache.cleanupRegistered = true;
    }
    FontKey key { font.Name, height, font.Bold, font.Italic };
    auto it = cache.fonts.find(key);
    if (it == cache.fonts.end()) {
        if (cache.fonts.size() >= kMaxFonts)
            cache.fonts.clear();
        TFont plain;
        plain.Name = font.Name;
        plain.Height = height;
        plain.Bold = font.Bold;
        plain.Italic = font.Italic;
        it = cache.fonts.emplace(key, std::shared_ptr<TTextMetrics>(new TTextMetrics(plain.ToQFont()))).first;
    }
    cache.lastKey = std::move(key);
    cache.last = it->second;
    return cache.last;
}

TTextMetrics::TTextMetrics(const QFont& font)
    : m_font(font)
    , m_metrics(font)
    , m_raw(QRawFont::fromFont(font))
{
    m_latinAdvance.fill(-1);
    m_latinGlyph.fill(kUnknownGlyph);
    m_spaced = font.letterSpacingType() == QFont::PercentageSpacing ? font.letterSpacing() != 100
                                                                    : font.letterSpacing() != 0;
    m_ascent = m_metrics.ascent();
    m_descent = m_metrics.descent();
    // A device context's cell is the font's Windows ascent and descent scaled to the em. Qt prefers
    // other tables (or an embedded bitmap strike), which makes lines of some fonts two pixels shorter.
    if (m_raw.isValid() && m_raw.unitsPerEm() > 0) {
        const QByteArray os2 = m_raw.fontTable("OS/2");
        if (os2.size() >= 78) {
            auto u16 = [&](int at) { return (quint8(os2[at]) << 8) | quint8(os2[at + 1]); };
            const double scale = m_raw.pixelSize() / m_raw.unitsPerEm();
            const int ascent = int(std::lround(u16(74) * scale));
            const int descent = int(std::lround(u16(76) * scale));
            if (ascent > 0 && descent >= 0) {
                m_ascent = ascent;
                m_descent = descent;
            }
            const int average = int(std::lround(qint16(u16(2)) * scale));
            if (average > 0)
                m_averageWidth = average;
        }
    }
    m_leading = std::max(0, m_metrics.leading());
    m_ellipsis = m_metrics.horizontalAdvance(QChar(0x2026));
    m_thickness = std::max(1, m_metrics.lineWidth());
    m_underline = std::clamp(m_metrics.underlinePos(), 1, std::max(1, m_descent));
    m_strikeOut = std::max(1, m_metrics.strikeOutPos());
    // Tab stops every eight average characters; unhinted fonts report no usable average of their own.
    m_tab = std::max(
        1, 8 * (m_averageWidth > 0 ? m_averageWidth : m_metrics.horizontalAdvance(QLatin1Char('x'))));
}

TTextMetrics::Glyph& TTextMetrics::Entry(char16_t c)
{
    std::unique_ptr<Page>& page = m_pages[c >> 8];
    if (!page)
        page = std::make_unique<Page>();
    return (*page)[c & 0xFF];
}

int TTextMetrics::MeasureAdvance(QStringView text, qsizetype& i)
{
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        const char32_t ucs = QChar::surrogateToUcs4(c, text[i + 1].unicode());
        const QStringView pair = text.mid(i, 2);
        i += 2;
        const auto it = m_pairs.find(ucs);
        if (it != m_pairs.end())
            return it->second;
        const int advance = std::max(0, m_metrics.horizontalAdvance(pair.toString()));
        if (m_pairs.size() < kMaxPairs)
            m_pairs.emplace(ucs, advance);
        return advance;
    }
    ++i;
    Glyph& g = Entry(c);
    if (g.advance < 0) {
        const int advance = IsControl(c) ? 0
            : m_spaced                   ? m_metrics.horizontalAdvance(QString(QChar(c)))
                                         : m_metrics.horizontalAdvance(QChar(c));
        g.advance = qint16(std::clamp(advance, 0, 32767));
    }
    if (c < kLatin && c != u'\t')
        m_latinAdvance[c] = g.advance;
    return g.advance;
}

quint32 TTextMetrics::FindSimpleGlyph(char16_t c)
{
    Glyph& g = Entry(c);
    if (!g.glyphKnown) {
        g.glyphKnown = true;
        if (m_raw.isValid() && IsSimpleScript(QChar(c))) {
            quint32 index = 0;
            int count = 1;
            const QChar ch(c);
            if (m_raw.glyphIndexesForChars(&ch, 1, &index, &count) && count == 1 && index <= 0xFFFF)
                g.glyph = quint16(index);
        }
    }
    if (c < kLatin)
        m_latinGlyph[c] = g.glyph;
    return g.glyph;
}

int TTextMetrics::Width(QStringView text, bool expandTabs)
{
    int x = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c < kLatin && m_latinAdvance[c] >= 0) {
            x += m_latinAdvance[c];
            ++i;
        } else if (expandTabs && c == u'\t') {
            x = NextTab(x, m_tab);
            ++i;
        } else {
            x += Advance(text, i);
        }
    }
    return x;
}

namespace {

// Applies the mnemonic-prefix rule: "&&" shows one "&", "&x" shows x underlined, a final lone "&"
// shows nothing.
void ApplyPrefix(TTextLine& line)
{
    const QStringView src = line.source;
    if (!src.contains(u'&'))
        return;
    QString out;
    out.reserve(src.size());
    for (qsizetype i = 0; i < src.size(); ++i) {
        const QChar c = src[i];
        if (c != u'&') {
            out.append(c);
            continue;
        }
        if (i + 1 >= src.size())
            break;
        ++i;
        if (src[i] != u'&')
            line.mnemonics.append(out.size());
        out.append(src[i]);
    }
    line.storage = std::move(out);
    line.owned = true;
}

// Cuts the line so that what is left plus "…" fits `width`; when not even the ellipsis fits,
// nothing is shown.
void Ellipsize(TTextMetrics& m, TTextLine& line, int width, bool expandTabs)
{
    const QStringView text = line.Text();
    const int room = width - m.EllipsisWidth();
    int x = 0;
    qsizetype keep = 0;
    if (room >= 0) {
        for (qsizetype i = 0; i < text.size();) {
            qsizetype next = i;
            int nx;
            if (expandTabs && text[i] == u'\t') {
                nx = NextTab(x, m.TabWidth());
                ++next;
            } else {
                nx = x + m.Advance(text, next);
            }
            if (nx > room)
                break;
            x = nx;
            i = next;
            keep = i;
        }
    }
    QString cut;
    if (room >= 0) {
        cut.reserve(keep + 1);
        cut.append(text.left(keep));
        cut.append(QChar(0x2026));
        line.width = x + m.EllipsisWidth();
    } else {
        line.width = 0;
    }
    line.storage = std::move(cut);
    line.owned = true;
    while (!line.mnemonics.isEmpty() && line.mnemonics.last() >= keep)
        line.mnemonics.removeLast();
}

void FinishLine(TTextMetrics& m, TTextLine& line, int width, unsigned format, TTextBlock& block)
{
    const bool tabs = format & DT::ExpandTabs;
    line.width = m.Width(line.Text(), tabs);
    if ((format & DT::EndEllipsis) && line.width > width)
        Ellipsize(m, line, width, tabs);
    block.width = std::max(block.width, line.width);
    block.lines.append(std::move(line));
}

// A piece [from, to) of a prepared paragraph as a line of its own.
TTextLine PieceOf(const TTextLine& para, qsizetype from, qsizetype to)
{
    TTextLine line;
    if (para.owned) {
        line.storage = para.storage.mid(from, to - from);
        line.owned = true;
    } else {
        line.source = para.source.mid(from, to - from);
    }
    for (qsizetype at : para.mnemonics)
        if (at >= from && at < to)
            line.mnemonics.append(at - from);
    return line;
}

// Greedy filling at blanks; a word wider than the box stays whole on a line of its own.
void WrapParagraph(TTextMetrics& m, const TTextLine& para, int width, unsigned format, TTextBlock& block)
{
    const QStringView text = para.Text();
    const bool tabs = format & DT::ExpandTabs;
    const qsizetype n = text.size();
    qsizetype start = 0;
    do {
        int x = 0;
        qsizetype i = start;
        qsizetype blank = -1;
        qsizetype resume = -1;
        qsizetype end = n;
        qsizetype next = n;
        while (i < n) {
            if (text[i] == u' ') {
                const qsizetype b = i;
                int bx = x;
                while (i < n && text[i] == u' ')
                    bx += m.Advance(text, i);
                if (x > width && b > start) {
                    end = b;
                    next = i;
                    break;
                }
                x = bx;
                blank = b;
                resume = i;
                continue;
            }
            qsizetype j = i;
            int nx;
            if (tabs && text[i] == u'\t') {
                nx = NextTab(x, m.TabWidth());
                ++j;
            } else {
                nx = x + m.Advance(text, j);
            }
            if (nx > width && blank > start) {
                end = blank;
                next = resume;
                break;
            }
            x = nx;
            i = j;
        }
        TTextLine line = PieceOf(para, start, end);
        FinishLine(m, line, width, format, block);
        start = next;
    } while (start < n);
}

} // namespace

void LayoutText(TTextMetrics& metrics, QStringView text, int width, unsigned format, TTextBlock& block)
{
    block.lines.clear();
    block.width = 0;
    const bool prefix = !(format & DT::NoPrefix);
    if (format & DT::SingleLine) {
        TTextLine line;
        line.source = text;
        if (prefix)
            ApplyPrefix(line);
        FinishLine(metrics, line, width, format, block);
    } else {
        qsizetype from = 0;
        while (true) {
            qsizetype to = from;
            while (to < text.size() && text[to] != u'\r' && text[to] != u'\n')
                ++to;
            TTextLine para;
            para.source = text.mid(from, to - from);
            if (prefix)
                ApplyPrefix(para);
            if ((format & DT::WordBreak) && !para.Text().isEmpty()) {
                WrapParagraph(metrics, para, width, format, block);
            } else {
                FinishLine(metrics, para, width, format, block);
            }
            if (to >= text.size())
                break;
            from = to + ((text[to] == u'\r' && to + 1 < text.size() && text[to + 1] == u'\n') ? 2 : 1);
        }
    }
    block.lineHeight = metrics.Height();
    if ((format & DT::ExternalLeading) && !(format & DT::SingleLine))
        block.lineHeight += metrics.Leading();
    block.height = int(block.lines.size()) * block.lineHeight;
}

int TextTop(const TRect& rect, int height, unsigned format)
{
    if (!(format & DT::SingleLine))
        return rect.Top;
    if (format & DT::Bottom)
        return rect.Bottom - height;
    if (format & DT::VCenter)
        return rect.Top + (rect.Height() - height) / 2;
    return rect.Top;
}

int TextLeft(const TRect& rect, int width, unsigned format)
{
    if (format & DT::Right)
        return rect.Right - width;
    if (format & DT::Center)
        return rect.Left + (rect.Width() - width) / 2;
    return rect.Left;
}

int MeasuredText(const TTextBlock& block, TRect& rect, unsigned format)
{
    if (format & DT::CalcRect) {
        rect.Right = rect.Left + block.width;
        if (!(format & DT::SingleLine))
            rect.Bottom = rect.Top + block.height;
        return block.height;
    }
    if ((format & DT::SingleLine) && (format & (DT::Bottom | DT::VCenter)))
        return TextTop(rect, block.height, format) + block.height - rect.Top;
    return block.height;
}

QSize FontTextExtent(const TFont& font, QStringView text)
{
    const std::shared_ptr<TTextMetrics> metrics = TTextMetrics::For(font);
    return QSize(metrics->Width(text), metrics->Height());
}
