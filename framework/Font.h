// SPDX-License-Identifier: MIT
#pragma once

#include "Color.h"

#include <QFont>
#include <QString>

// A font as a device context holds it. Height < 0 is the character height (em size) in pixels,
// Height > 0 the cell height (ascent + descent); Escapement and Orientation in tenths of a degree.
struct TFont {
    QString Name = QStringLiteral("Tahoma");
    int Height = -11;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = clWindowText;
    int Escapement = 0;
    int Orientation = 0;

    bool operator==(const TFont&) const = default;

    // Point size at `dpi` (Height = -Size * dpi / 72, rounded).
    int Size(int dpi = 96) const;
    void SetSize(int points, int dpi = 96);

    // The Qt font with pixel metrics matching Height (no kerning, as a device context measures).
    QFont ToQFont() const;
    // Name, pixel height and style of a Qt font; Color is left as is.
    void AssignQFont(const QFont& font);
};
