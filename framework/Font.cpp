// SPDX-License-Identifier: MIT
#include "Font.h"

#include "BoldFace.h"

#include <QFontMetricsF>
#include <cmath>

int TFont::Size(int dpi) const
{
    const int h = Height < 0 ? -Height : Height;
    return int(std::lround(h * 72.0 / dpi));
}

void TFont::SetSize(int points, int dpi)
{
    Height = -int(std::lround(points * double(dpi) / 72.0));
}

QFont TFont::ToQFont() const
{
    QFont f(Name);
    f.setKerning(false);
    // Unhinted advances rounded to whole pixels are the widths a device context reports for the
    // design fonts; full hinting widens them by up to a pixel per letter.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setBold(Bold);
    if (Bold) {
        const TBoldFace& face = BoldFaceOf(Name);
        if (face.Synthetic) {
            f.setStyleName(face.RegularStyle);
            if (face.Spacing != 100)
                f.setLetterSpacing(QFont::PercentageSpacing, face.Spacing);
        }
    }
    f.setItalic(Italic);
    f.setUnderline(Underline);
    f.setStrikeOut(StrikeOut);
    if (Height < 0) {
        f.setPixelSize(-Height);
    } else if (Height > 0) {
        // A cell height: scale the em so that ascent + descent matches it.
        f.setPixelSize(Height);
        const QFontMetricsF m(f);
        const double cell = m.ascent() + m.descent();
        if (cell > 0)
            f.setPixelSize(std::max(1, int(std::lround(Height * Height / cell))));
    }
    return f;
}

void TFont::AssignQFont(const QFont& font)
{
    Name = font.family();
    if (font.pixelSize() > 0)
        Height = -font.pixelSize();
    else
        Height = -int(std::lround(font.pointSizeF() * 96.0 / 72.0));
    Bold = font.bold();
    Italic = font.italic();
    Underline = font.underline();
    StrikeOut = font.strikeOut();
}
