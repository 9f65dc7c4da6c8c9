// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "Rect.h"

#include <QPoint>
#include <QSize>
#include <array>
#include <utility>

class TCanvas;

// Pure routines behind the styled panel's painting and layout, in client pixels.
namespace PanelGeometry {

// Panels ask for 64 gradient steps (status bars for 40); at most this many bands are drawn.
constexpr int kMaxGradientBands = 32;
// Requested steps as bands: 0 or less counts as 1, more than kMaxGradientBands as that.
int GradientBandCount(int requested);

// `c1` and `c2` mixed channel by channel, `percent` of c1 (100 returns c1 itself, unresolved).
TColor BlendColor(TColor c1, TColor c2, int percent);

// The two halves of a mirror gradient: split at start + (end - start) / 2 across the direction
// (left and right for horizontal, top and bottom for vertical).
std::pair<TRect, TRect> MirrorHalves(const TRect& r, bool horizontal);

// One ring of a 3-D frame on `r`: the left column (top to bottom - 2) and top row (left to right - 2)
// in the top-left colour, the right column and bottom row whole in the bottom-right colour.
struct BevelStroke {
    TRect rect;
    bool topLeft; // drawn in the top-left colour
};
std::array<BevelStroke, 4> BevelRing(const TRect& r);

// Top-left and bottom-right colours of a bevel; bvLowered swaps them, bvSpace draws like bvRaised.
std::pair<TColor, TColor> BevelColors(AdvPanel::TBevelCut cut);

// The border shadow: two L-shaped polylines (each three points, end point excluded) right of and
// below the border rectangle `border` (right and bottom exclusive).
struct Polyline3 {
    std::array<QPoint, 3> points;
};
std::pair<Polyline3, Polyline3> BorderShadowLines(const TRect& border);

// Where the background picture of size `picture` goes for a non-tiled, non-stretched position;
// `area` is the clip area, `panel` the panel's size.
QPoint BackgroundOrigin(
    AdvPanel::TBackGroundPosition position, const TRect& area, QSize panel, QSize picture, int bevelWidth);

// What the text, picture and caption layout depends on.
struct Layout {
    QSize client;
    int bevelWidth = 1;
    bool bevel = true; // an outer or inner bevel is drawn
    int borderWidth = 0;
    bool borderShadow = false;
    bool captionVisible = false;
    AdvPanel::TCaptionPosition captionPosition = AdvPanel::cpTop;
    int captionHeight = 20;
    bool statusVisible = false;
    int statusHeight = 18;
    int indent = 0;
    int topIndent = 0;
};

// The area the picture and text are clipped to: the client area less the caption band and the
// border shadow.
TRect ContentArea(const Layout& l);
// The rectangle the text is laid out in before vertical alignment.
TRect TextArea(const Layout& l);
// `r` with its top moved for vertical alignment of a text `measured` pixels high; for tvaCenter and
// tvaBottom a visible caption first moves the top by its band once more.
TRect AlignText(const Layout& l, TRect r, int measured, AdvPanel::TTextVAlignment align);
// The area left to aligned child controls, from the base area that already excludes the bevels and
// border.
TRect ChildArea(const Layout& l, TRect area);

// The six strokes of the size grip (three grey of width 2, three white of width 1).
struct GripLine {
    QPoint from;
    QPoint to;
    bool white;
};
std::array<GripLine, 6> SizeGripLines(const Layout& l);

} // namespace PanelGeometry
