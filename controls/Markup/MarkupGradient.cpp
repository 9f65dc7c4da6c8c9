// SPDX-License-Identifier: MIT
#include "MarkupEngine.h"

#include <algorithm>
#include <cmath>

void DrawGradient(
    TCanvas& canvas, TColor from, TColor to, int steps, const TRect& rect, bool horizontal, TColor border)
{
    steps = std::max(steps, 1);
    const TColor a = ColorToRGB(from);
    const TColor b = ColorToRGB(to);
    auto channel = [](TColor c, int shift) { return int((c >> shift) & 0xFF); };
    double increment[3];
    for (int k = 0; k < 3; ++k)
        increment[k] = double(channel(b, 8 * k) - channel(a, 8 * k)) / steps;

    const int extent = horizontal ? rect.Width() : rect.Height();
    const int start = horizontal ? rect.Left : rect.Top;
    const int farEdge = horizontal ? rect.Right : rect.Bottom;
    const double band = double(extent) / steps;
    const int bandWidth = int(band) + 1;

    for (int i = 0; i < steps; ++i) {
        TColor color = 0;
        for (int k = 0; k < 3; ++k) {
            const int value = std::clamp(channel(a, 8 * k) + int(std::lround(i * increment[k])), 0, 255);
            color |= TColor(value) << (8 * k);
        }
        const int offset = start + int(std::lround(i * band));
        const int end = std::min(offset + bandWidth, farEdge);
        if (end <= offset)
            continue;
        canvas.Pen = TPen { color, 1 };
        canvas.Brush = TBrush { color, false };
        canvas.Rectangle(horizontal ? TRect(offset, rect.Top, end, rect.Bottom)
                                    : TRect(rect.Left, offset, rect.Right, end));
    }
    if (border != clNone) {
        canvas.Pen = TPen { border, 1 };
        canvas.Brush.Clear = true;
        canvas.Rectangle(rect);
    }
}
