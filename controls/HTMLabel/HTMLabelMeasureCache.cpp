// SPDX-License-Identifier: MIT
#include "HTMLabelMeasureCache.h"

namespace {
// Enough for the texts of many labels in a few fonts; beyond it the cache starts afresh.
constexpr qsizetype kMaxEntries = 8192;
constexpr size_t kMaxFonts = 64;
} // namespace

THTMLabelMeasureCache::THTMLabelMeasureCache(TCanvas& measure)
    : TForwardingCanvas(measure)
{
}

int THTMLabelMeasureCache::FontStyle() const
{
    return (Font.Bold ? 1 : 0) | (Font.Italic ? 2 : 0) | (Font.Underline ? 4 : 0) | (Font.StrikeOut ? 8 : 0)
        | (Font.Escapement << 4);
}

int THTMLabelMeasureCache::FontIndex()
{
    const int style = FontStyle();
    auto same = [&](const FontKey& k) {
        return k.height == Font.Height && k.style == style && k.name == Font.Name;
    };
    if (m_lastFont >= 0 && same(m_fonts[size_t(m_lastFont)]))
        return m_lastFont;
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        if (same(m_fonts[i]))
            return m_lastFont = int(i);
    }
    m_fonts.push_back({ Font.Name, Font.Height, style });
    return m_lastFont = int(m_fonts.size() - 1);
}

size_t THTMLabelMeasureCache::Hash(QStringView text, int font, unsigned format, int width) const
{
    // Runs are mostly single words: a plain multiplicative hash beats the general string hash here.
    quint64 h = 0xcbf29ce484222325ull ^ (quint64(quint32(font)) << 32 | format);
    for (const QChar c : text)
        h = (h ^ c.unicode()) * 0x100000001b3ull;
    h = (h ^ quint32(width)) * 0x100000001b3ull;
    return size_t(h ^ (h >> 29));
}

bool THTMLabelMeasureCache::Matches(const Entry& e, QStringView text, int font, unsigned format, int width)
{
    return e.font == font && e.format == format && e.width == width && e.text == text;
}

THTMLabelMeasureCache::Entry THTMLabelMeasureCache::MakeEntry(
    QStringView text, int font, unsigned format, int width)
{
    Entry e;
    e.text = text.toString();
    e.font = font;
    e.format = format;
    e.width = width;
    return e;
}

void THTMLabelMeasureCache::Trim()
{
    if (m_extents.size() + m_calcs.size() > kMaxEntries || m_fonts.size() > kMaxFonts) {
        m_extents.clear();
        m_calcs.clear();
        m_fonts.clear();
        m_lastFont = -1;
    }
}

QSize THTMLabelMeasureCache::TextExtent(QStringView text)
{
    Trim();
    const int font = FontIndex();
    const size_t hash = Hash(text, font, 0, -1);
    const auto it = m_extents.constFind(hash);
    if (it != m_extents.cend() && Matches(*it, text, font, 0, -1))
        return it->extent;
    const QSize size = TForwardingCanvas::TextExtent(text);
    if (it == m_extents.cend()) { // a colliding entry stays; this text is simply not kept
        Entry e = MakeEntry(text, font, 0, -1);
        e.extent = size;
        m_extents.insert(hash, e);
    }
    return size;
}

int THTMLabelMeasureCache::DrawText(QStringView text, TRect& rect, unsigned format)
{
    // Multi-line measurement also moves the bottom; it is rare enough to leave uncached.
    if (!(format & DT::CalcRect) || !(format & DT::SingleLine)) {
        return TForwardingCanvas::DrawText(text, rect, format);
    }
    Trim();
    const int width = (format & DT::EndEllipsis) ? rect.Width() : -1;
    const int font = FontIndex();
    const size_t hash = Hash(text, font, format, width);
    const auto it = m_calcs.constFind(hash);
    if (it != m_calcs.cend() && Matches(*it, text, font, format, width)) {
        rect.Right = rect.Left + it->calcWidth;
        return it->calcResult;
    }
    TRect measured = rect;
    const int result = TForwardingCanvas::DrawText(text, measured, format);
    // Only a result that moved the right edge alone fits the pattern that is remembered.
    const bool plain
        = measured.Left == rect.Left && measured.Top == rect.Top && measured.Bottom == rect.Bottom;
    if (plain && it == m_calcs.cend()) {
        Entry e = MakeEntry(text, font, format, width);
        e.calcWidth = measured.Right - measured.Left;
        e.calcResult = result;
        m_calcs.insert(hash, e);
    }
    rect = measured;
    return result;
}
