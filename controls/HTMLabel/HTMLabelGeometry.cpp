// SPDX-License-Identifier: MIT
#include "HTMLabelGeometry.h"

#include <algorithm>

namespace HTMLabelGeometry {

namespace {

void AddFill(std::vector<Fill>& fills, const TRect& r, TColor color)
{
    if (!r.IsEmpty())
        fills.push_back({ r, color });
}

void AppendBevel(std::vector<Fill>& fills, TRect& rect, Bevel bevel, int width)
{
    if (bevel == Bevel::None)
        return;
    if (bevel == Bevel::Lowered)
        AppendFrame(fills, rect, clBtnShadow, clBtnHighlight, width);
    else
        AppendFrame(fills, rect, clBtnHighlight, clBtnShadow, width);
}

} // namespace

void AppendFrame(std::vector<Fill>& fills, TRect& rect, TColor topLeft, TColor bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        if (rect.IsEmpty()) {
            // Nothing is left to frame: the remaining rings take room but draw nothing.
            rect.Inflate(i - width, i - width);
            return;
        }
        const TRect& r = rect;
        // The right and bottom edges own the top-right and bottom-left corners.
        AddFill(fills, TRect(r.Left, r.Top, r.Right - 1, r.Top + 1), topLeft);
        AddFill(fills, TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), topLeft);
        AddFill(fills, TRect(r.Right - 1, r.Top, r.Right, r.Bottom), bottomRight);
        AddFill(fills, TRect(r.Left, r.Bottom - 1, r.Right - 1, r.Bottom), bottomRight);
        rect.Inflate(-1, -1);
    }
}

Frames LayoutFrames(const TRect& client, const FrameSettings& s, const FrameColors& colors)
{
    Frames frames;
    TRect r = client;
    AppendBevel(frames.fills, r, s.outer, s.bevelWidth);
    AppendFrame(frames.fills, r, colors.color, colors.color, s.borderWidth);
    AppendBevel(frames.fills, r, s.inner, s.bevelWidth);
    if (s.singleBorder && s.borderWidth > 0 && colors.borderColor != clNone) {
        const int a = (s.borderWidth + 1) / 2;
        const int b = s.borderWidth / 2;
        frames.outline = true;
        frames.outlineRect = TRect(r.Left - a, r.Top - a, r.Right + b, r.Bottom + b);
        frames.outlineWidth = s.borderWidth;
    }
    if (s.outer != Bevel::None || s.inner != Bevel::None)
        r.Inflate(-s.bevelWidth, -s.bevelWidth);
    if (s.singleBorder)
        r.Inflate(-s.borderWidth, -s.borderWidth);
    frames.textRect = r;
    return frames;
}

TRect LineBand(const TRect& client, Band band, int lineWidth)
{
    // Beyond the client height a band covers it all; bounding it keeps the arithmetic in range.
    lineWidth = std::clamp(lineWidth, 0, std::max(0, client.Height()));
    TRect r = client;
    switch (band) {
    case Band::Bottom:
        r.Top = r.Bottom - lineWidth;
        break;
    case Band::Center:
        r.Top += (client.Height() - lineWidth) / 2;
        r.Bottom = r.Top + lineWidth;
        break;
    case Band::Top:
        r.Bottom = r.Top + lineWidth;
        break;
    }
    return r;
}

TRect AlignText(TRect rect, const TRect& inner, int textHeight, VAlign align)
{
    switch (align) {
    case VAlign::Top:
        break;
    case VAlign::Center:
        rect.Top = inner.Top + (inner.Height() - textHeight) / 2;
        break;
    case VAlign::Bottom:
        rect.Top = inner.Bottom - textHeight;
        break;
    }
    return rect;
}

} // namespace HTMLabelGeometry
