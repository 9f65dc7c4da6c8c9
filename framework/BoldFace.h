// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QFont;
class QGlyphRun;
class QPainter;
class QPointF;
class QRectF;

// How bold text of a font family is drawn. Some bold faces carry the regular outlines with wider
// spacing (the free Tahoma's does), so bold text would show regular. For such a family bold text is
// the regular face emboldened by the font engine, spaced like the bold face.
struct TBoldFace {
    bool Synthetic = false; // draw bold as the emboldened regular face
    QString RegularStyle; // the style name that selects the regular face
    double Spacing = 100; // letter spacing in percent that gives the bold face's advances
};

// The bold face of `family` as the font database resolves it now, decided once per family by
// drawing one word in both weights. User-interface thread only; register fonts before the first call.
const TBoldFace& BoldFaceOf(const QString& family);

// The font engine thickens the emboldened regular face by a fraction of the size it was made for.
// On a scaled device (a device pixel ratio above 1) glyphs are made at the logical size and scaled
// afterwards, so the added weight shrinks towards nothing at twice the density. These draw such text
// with a font made at the device's size instead, and everything else as the painter would.
bool IsSyntheticBold(const QFont& font);
void DrawGlyphRunBold(QPainter& painter, const QPointF& origin, const QGlyphRun& run);
// One line of plain text in `font`, placed in `rect` by `alignment` (Qt::Alignment), with the pen.
void DrawTextLineBold(
    QPainter& painter, const QRectF& rect, int alignment, const QString& text, const QFont& font);
