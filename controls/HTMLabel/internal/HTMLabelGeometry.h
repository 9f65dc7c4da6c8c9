// SPDX-License-Identifier: MIT
#pragma once

#include "Color.h"
#include "Rect.h"

#include <vector>

// Geometry of the HTML label's frames, bands and text placement, without pixels.
namespace HTMLabelGeometry {

enum class Bevel { None, Lowered, Raised, Space };
enum class Band { Bottom, Center, Top };
enum class VAlign { Top, Center, Bottom };

struct FrameSettings {
    Bevel outer = Bevel::None;
    Bevel inner = Bevel::None;
    int bevelWidth = 1;
    int borderWidth = 0;
    bool singleBorder = false;
    bool operator==(const FrameSettings&) const = default;
};

struct FrameColors {
    TColor color = clBtnFace; // the label's background colour (the colour frame)
    TColor borderColor = clBlack; // clNone: the single border takes its room but is not drawn
    bool operator==(const FrameColors&) const = default;
};

// One filled rectangle of a frame.
struct Fill {
    TRect rect;
    TColor color;
    bool operator==(const Fill&) const = default;
};

struct Frames {
    std::vector<Fill> fills; // frame edges in drawing order
    bool outline = false; // single border drawn as a closed line through outlineRect's corners
    TRect outlineRect;
    int outlineWidth = 0;
    TRect textRect; // what remains for the text
};

// `width` nested one-pixel frames inside `rect`, top and left edges in `topLeft`, bottom and right
// edges in `bottomRight`; `rect` shrinks by `width` on every side.
void AppendFrame(std::vector<Fill>& fills, TRect& rect, TColor topLeft, TColor bottomRight, int width);

// Outer bevel, colour frame, inner bevel, single border outline and the text rectangle for a client
// rectangle. The text rectangle does not depend on the colours.
Frames LayoutFrames(const TRect& client, const FrameSettings& settings, const FrameColors& colors = {});

// The band of a line gradient.
TRect LineBand(const TRect& client, Band band, int lineWidth);

// `rect` with its top placed for a text `textHeight` high inside `inner` (the text rectangle before
// any auto-size extension).
TRect AlignText(TRect rect, const TRect& inner, int textHeight, VAlign align);

} // namespace HTMLabelGeometry
