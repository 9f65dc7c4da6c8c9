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
    bool operator==(const Layout&) const = default;
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

// The caption band: Caption.Height - 2 x BevelWidth thick, across the top or down the left side,
// inside the outer bevel.
TRect CaptionBand(const Layout& l);

// Where the caption buttons sit: the close button at the end the buttons take, the min/max button
// beside it; an absent button has an empty rectangle. Sizes are the glyph sizes or 12 x 12.
struct CaptionButtonInput {
    bool close = false;
    QSize closeSize { 12, 12 };
    bool minMax = false;
    QSize minMaxSize { 12, 12 };
    bool atStart = false; // cbpLeft: the top caption's left end, the left caption's top end
};
struct CaptionButtonRects {
    TRect close;
    TRect minMax;
};
CaptionButtonRects CaptionButtons(const Layout& l, const CaptionButtonInput& in);

// What of the caption bar lies at a client point: a button, the rest of the bar (the first
// Caption.Height pixels across the top, or along the left side), or nothing.
enum class CaptionPart { None, Bar, Close, MinMax };
CaptionPart CaptionPartAt(const Layout& l, const CaptionButtonRects& buttons, QPoint p);

// The caption text area: the band less the buttons, moved in by the caption's Indent (along the
// band) and TopIndent (across it).
TRect CaptionTextArea(const Layout& l, const CaptionButtonRects& buttons, int indent, int topIndent);

// The status band: along the bottom from x 1 to W - 1 (caption at the top), or down the right side
// from y 1 to H - 1 (caption at the left).
TRect StatusBand(const Layout& l);

// The height (caption at the top) or width (at the left) of the collapsed panel's client area: the
// caption bar, plus a visible status bar, less 2 for a top caption, plus BorderWidth + 4 with a
// border shadow around a positive BorderWidth.
int CollapsedExtent(const Layout& l);

// The extent after `step` of `steps` equal steps from `from` to `to` (the last step gives `to`).
int AnimationStep(int from, int to, int step, int steps);

// Which edge of the client area a press at `p` sizes by: the corner within `frame` + 2 of both the
// right and the bottom edge, else the bottom edge or the right edge within `frame`. A fixed height
// rules out the corner and the bottom edge, a fixed width the corner and the right edge.
enum class SizeZone { None, Corner, Bottom, Right };
SizeZone SizingZone(QSize client, QPoint p, int frame, bool fixedWidth, bool fixedHeight);

// The panel size that fits a text of `text` pixels: each dimension asked for is the text extent plus
// twice BorderWidth, twice BevelWidth and Indent (TopIndent for the height), plus the caption and
// status bars lying across it, plus what a border shadow takes; the other keeps `current`.
QSize AutoSizeExtent(const Layout& l, QSize text, QSize current, bool width, bool height);

} // namespace PanelGeometry
