// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <array>
#include <memory>
#include <unordered_map>

// Integer metrics of one font as a device context reports them: per-character advances without
// kerning, ascent and descent. Measurement and drawing both use these numbers, so a run drawn at a
// measured position ends where the measurement said it would.
class TTextMetrics {
public:
    // The metrics of `font` (name, height, bold, italic); process-wide, user-interface thread only.
    // The handle stays valid while it is held, even after the cache has let the font go.
    static std::shared_ptr<TTextMetrics> For(const TFont& font);

    const QFont& Font() const { return m_font; }
    const QRawFont& RawFont() const { return m_raw; }
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int Height() const { return m_ascent + m_descent; }
    int Leading() const { return m_leading; } // the font's external leading, never negative
    int EllipsisWidth() const { return m_ellipsis; }
    int UnderlinePos() const { return m_underline; } // below the baseline
    int StrikeOutPos() const { return m_strikeOut; } // above the baseline
    int LineThickness() const { return m_thickness; }
    int TabWidth() const { return m_tab; }

    // Advance of the character at `i`; a surrogate pair counts as one character and `i` is moved
    // past everything measured.
    int Advance(QStringView text, qsizetype& i)
    {
        const char16_t c = text[i].unicode();
        if (c < kLatin && m_latinAdvance[c] >= 0) {
            ++i;
            return m_latinAdvance[c];
        }
        return MeasureAdvance(text, i);
    }
    // Glyph of the BMP character `c` in the font itself, or 0 when the character needs shaping or a
    // fallback font (then text holding it goes through the painter's own text layout).
    quint32 SimpleGlyph(char16_t c)
    {
        if (c < kLatin && m_latinGlyph[c] != kUnknownGlyph)
            return m_latinGlyph[c];
        return FindSimpleGlyph(c);
    }
    // Sum of the advances; with `expandTabs` a tab moves to the next tab stop from the start.
    int Width(QStringView text, bool expandTabs = false);

private:
    explicit TTextMetrics(const QFont& font);

    struct Glyph {
        qint16 advance = -1; // -1: not measured yet
        quint16 glyph = 0; // 0: not simple
        bool glyphKnown = false;
    };
    using Page = std::array<Glyph, 256>;
    Glyph& Entry(char16_t c);
    int MeasureAdvance(QStringView text, qsizetype& i);
    quint32 FindSimpleGlyph(char16_t c);

    QFont m_font;
    QFontMetrics m_metrics;
    QRawFont m_raw;
    int m_ascent = 0;
    int m_descent = 0;
    int m_leading = 0;
    int m_ellipsis = 0;
    int m_underline = 1;
    int m_strikeOut = 1;
    int m_thickness = 1;
    int m_tab = 0;
    int m_averageWidth = 0;
    bool m_spaced = false; // letter spacing set (synthetic bold), which only string measures apply
    std::array<std::unique_ptr<Page>, 256> m_pages;
    // Every word of most texts is measured and drawn from these: the first page, flat, with the tab
    // left to the callers that expand it.
    static constexpr char16_t kLatin = 256;
    static constexpr quint32 kUnknownGlyph = 0xFFFFFFFF;
    std::array<qint16, kLatin> m_latinAdvance;
    std::array<quint32, kLatin> m_latinGlyph;
    std::unordered_map<char32_t, int> m_pairs;
};

// One line of DrawText output: the characters shown after the prefix rule, tab expansion and the
// ellipsis, with its width and the positions of the characters underlined as mnemonics.
struct TTextLine {
    QStringView Text() const { return owned ? QStringView(storage) : source; }
    QStringView source;
    QString storage;
    bool owned = false;
    int width = 0;
    QVarLengthArray<qsizetype, 2> mnemonics;
};

// The lines DrawText shows for `text` in a box `width` pixels wide under `format`.
struct TTextBlock {
    QVarLengthArray<TTextLine, 1> lines;
    int width = 0; // widest line
    int lineHeight = 0; // cell height, plus the external leading for several lines under ExternalLeading
    int height = 0; // lines × line height
};
void LayoutText(TTextMetrics& metrics, QStringView text, int width, unsigned format, TTextBlock& block);

// Top of a single-line text `height` pixels high in `rect` under the vertical flags of `format`.
int TextTop(const TRect& rect, int height, unsigned format);
// Left edge of a line `width` pixels wide in `rect` under the horizontal flags of `format`.
int TextLeft(const TRect& rect, int width, unsigned format);
// DrawText's result and CalcRect's rectangle for a laid-out block (shared by both canvases).
int MeasuredText(const TTextBlock& block, TRect& rect, unsigned format);
// TextExtent of both canvases: the advance width of one line of `text` in `font` and its cell height.
QSize FontTextExtent(const TFont& font, QStringView text);
