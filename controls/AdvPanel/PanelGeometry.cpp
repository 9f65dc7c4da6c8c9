// SPDX-License-Identifier: MIT
#include "PanelGeometry.h"

#include <algorithm>
#include <cmath>

namespace PanelGeometry {

using namespace AdvPanel;

int GradientBandCount(int requested)
{
    return std::clamp(requested, 1, kMaxGradientBands);
}

TColor BlendColor(TColor c1, TColor c2, int percent)
{
    if (percent == 100)
        return c1;
    const TColor a = ColorToRGB(c1);
    const TColor b = ColorToRGB(c2);
    const double p = percent / 100.0;
    auto mix = [p](int x, int y) { return std::clamp(int(std::lround(p * x + (1 - p) * y)), 0, 255); };
    return RGBColor(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b)));
}

std::pair<TRect, TRect> MirrorHalves(const TRect& r, bool horizontal)
{
    TRect first = r;
    TRect second = r;
    if (horizontal) {
        const int middle = r.Left + (r.Right - r.Left) / 2;
        first.Right = middle;
        second.Left = middle;
    } else {
        const int middle = r.Top + (r.Bottom - r.Top) / 2;
        first.Bottom = middle;
        second.Top = middle;
    }
    return { first, second };
}

std::array<BevelStroke, 4> BevelRing(const TRect& r)
{
    return { {
        { TRect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), true },
        { TRect(r.Left, r.Top, r.Right - 1, r.Top + 1), true },
        { TRect(r.Right - 1, r.Top, r.Right, r.Bottom), false },
        { TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), false },
    } };
}

std::pair<TColor, TColor> BevelColors(TBevelCut cut)
{
    if (cut == bvLowered)
        return { clBtnShadow, clBtnHighlight };
    return { clBtnHighlight, clBtnShadow };
}

std::pair<Polyline3, Polyline3> BorderShadowLines(const TRect& b)
{
    Polyline3 near { { QPoint(b.Right, b.Top), QPoint(b.Right, b.Bottom), QPoint(b.Left, b.Bottom) } };
    Polyline3 far { { QPoint(b.Right + 1, b.Top), QPoint(b.Right + 1, b.Bottom + 1),
        QPoint(b.Left, b.Bottom + 1) } };
    return { near, far };
}

QPoint BackgroundOrigin(TBackGroundPosition position, const TRect& a, QSize panel, QSize picture, int bw)
{
    const int right = std::max(a.Left, (a.Right - a.Left) - picture.width() - bw);
    const int bottom = std::max(a.Top, panel.height() - picture.height() - bw);
    switch (position) {
    case bpTopRight:
        return { right, a.Top };
    case bpBottomLeft:
        return { a.Left, bottom };
    case bpBottomRight:
        return { right, bottom };
    case bpCenter:
        return { right / 2, bottom / 2 };
    default:
        return { a.Left, a.Top };
    }
}

TRect ContentArea(const Layout& l)
{
    TRect r(0, 0, l.client.width(), l.client.height());
    if (l.captionVisible) {
        if (l.captionPosition == cpTop)
            r.Top += l.captionHeight - 2 * l.bevelWidth;
        else
            r.Left += l.captionHeight - 2 * l.bevelWidth + 2;
    }
    if (l.borderShadow) {
        r.Right -= 2;
        r.Bottom -= 3;
    }
    return r;
}

TRect TextArea(const Layout& l)
{
    TRect r = ContentArea(l);
    r.Inflate(-l.borderWidth - 1, -l.borderWidth - 1);
    r.Left += l.indent;
    r.Top += l.topIndent;
    if (l.statusVisible) {
        if (l.captionPosition == cpTop)
            r.Bottom -= l.statusHeight;
        else
            r.Right -= l.statusHeight;
    }
    return r;
}

TRect AlignText(const Layout& l, TRect r, int measured, TTextVAlignment align)
{
    if (align == tvaTop)
        return r;
    if (l.captionVisible)
        r.Top += l.captionHeight - 2 * l.bevelWidth;
    const int available = r.Bottom - r.Top;
    if (available > measured)
        r.Top = align == tvaCenter ? r.Top + (available - measured) / 2 : r.Bottom - measured;
    return r;
}

TRect ChildArea(const Layout& l, TRect area)
{
    if (l.captionVisible) {
        if (l.captionPosition == cpTop) {
            if (area.Top < l.captionHeight)
                area.Top = l.captionHeight - 2;
        } else if (area.Left < l.captionHeight) {
            area.Left = l.captionHeight - 2;
        }
    }
    if (l.statusVisible) {
        if (l.captionPosition == cpTop) {
            if (l.client.height() - l.statusHeight < area.Bottom)
                area.Bottom = l.client.height() - l.statusHeight;
        } else if (l.client.width() - l.statusHeight < area.Right) {
            area.Right = l.client.width() - l.statusHeight;
        }
    }
    return area;
}

std::array<GripLine, 6> SizeGripLines(const Layout& l)
{
    int r = l.client.width();
    int b = l.client.height();
    if (l.bevel) {
        r -= 2 * l.bevelWidth;
        b -= 2 * l.bevelWidth;
    }
    if (l.borderShadow) {
        r -= 4;
        b -= 4;
    }
    return { {
        { QPoint(r, b - 11), QPoint(r - 11, b), false },
        { QPoint(r, b - 6), QPoint(r - 7, b), false },
        { QPoint(r, b - 3), QPoint(r - 3, b), false },
        { QPoint(r, b - 12), QPoint(r - 12, b), true },
        { QPoint(r, b - 8), QPoint(r - 8, b), true },
        { QPoint(r, b - 4), QPoint(r - 4, b), true },
    } };
}

} // namespace PanelGeometry
