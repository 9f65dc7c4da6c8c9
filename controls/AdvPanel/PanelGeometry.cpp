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

TRect CaptionBand(const Layout& l)
{
    const int inset = l.bevel ? l.bevelWidth : 0;
    const int thickness = std::max(0, l.captionHeight - 2 * l.bevelWidth);
    const int w = l.client.width();
    const int h = l.client.height();
    if (l.captionPosition == cpTop)
        return TRect(inset, inset, std::max(inset, w - inset), inset + thickness);
    return TRect(inset, inset, inset + thickness, std::max(inset, h - inset));
}

CaptionButtonRects CaptionButtons(const Layout& l, const CaptionButtonInput& in)
{
    constexpr int kGap = 2;
    const TRect band = CaptionBand(l);
    const bool top = l.captionPosition == cpTop;
    // Position along the band of the next button, from the end the buttons take.
    int along = in.atStart ? (top ? band.Left : band.Top) + kGap : (top ? band.Right : band.Bottom) - kGap;
    auto place = [&](QSize size) {
        const int length = top ? size.width() : size.height();
        const int across = top ? size.height() : size.width();
        const int start = in.atStart ? along : along - length;
        along = in.atStart ? along + length + kGap : along - length - kGap;
        if (top) {
            const int y = band.Top + (band.Height() - across) / 2;
            return TRect(start, y, start + length, y + across);
        }
        const int x = band.Left + (band.Width() - across) / 2;
        return TRect(x, start, x + across, start + length);
    };
    CaptionButtonRects r { TRect(0, 0, 0, 0), TRect(0, 0, 0, 0) };
    if (in.close)
        r.close = place(in.closeSize);
    if (in.minMax)
        r.minMax = place(in.minMaxSize);
    return r;
}

CaptionPart CaptionPartAt(const Layout& l, const CaptionButtonRects& buttons, QPoint p)
{
    if (!l.captionVisible || (l.captionPosition == cpTop ? p.y() : p.x()) >= l.captionHeight)
        return CaptionPart::None;
    if (buttons.close.Contains(p.x(), p.y()))
        return CaptionPart::Close;
    if (buttons.minMax.Contains(p.x(), p.y()))
        return CaptionPart::MinMax;
    return CaptionPart::Bar;
}

TRect CaptionTextArea(const Layout& l, const CaptionButtonRects& b, int indent, int topIndent)
{
    TRect r = CaptionBand(l);
    const bool top = l.captionPosition == cpTop;
    for (const TRect& button : { b.close, b.minMax }) {
        if (button.IsEmpty())
            continue;
        if (top) {
            if (button.Left - r.Left < r.Right - button.Right)
                r.Left = std::max(r.Left, button.Right);
            else
                r.Right = std::min(r.Right, button.Left);
        } else if (button.Top - r.Top < r.Bottom - button.Bottom) {
            r.Top = std::max(r.Top, button.Bottom);
        } else {
            r.Bottom = std::min(r.Bottom, button.Top);
        }
    }
    if (top) {
        r.Left += indent;
        r.Top += topIndent;
    } else {
        r.Top += indent;
        r.Left += topIndent;
    }
    return r;
}

TRect StatusBand(const Layout& l)
{
    const int w = l.client.width();
    const int h = l.client.height();
    if (l.captionPosition == cpTop)
        return TRect(1, h - l.statusHeight - 1, w - 1, h - 1);
    return TRect(w - l.statusHeight - 1, 1, w - 1, h - 1);
}

int CollapsedExtent(const Layout& l)
{
    int extent = l.captionHeight;
    if (l.statusVisible)
        extent += l.statusHeight;
    if (l.captionPosition == cpTop)
        extent -= 2;
    if (l.borderWidth > 0 && l.borderShadow)
        extent += l.borderWidth + 4;
    return std::max(0, extent);
}

int AnimationStep(int from, int to, int step, int steps)
{
    if (steps <= 0 || step >= steps)
        return to;
    return from + int(qint64(to - from) * step / steps);
}

SizeZone SizingZone(QSize client, QPoint p, int frame, bool fixedWidth, bool fixedHeight)
{
    const int fromRight = client.width() - p.x();
    const int fromBottom = client.height() - p.y();
    if (fromRight <= 0 || fromBottom <= 0 || p.x() < 0 || p.y() < 0)
        return SizeZone::None;
    if (fromRight <= frame + 2 && fromBottom <= frame + 2)
        return fixedWidth || fixedHeight ? SizeZone::None : SizeZone::Corner;
    if (fromBottom <= frame)
        return fixedHeight ? SizeZone::None : SizeZone::Bottom;
    if (fromRight <= frame)
        return fixedWidth ? SizeZone::None : SizeZone::Right;
    return SizeZone::None;
}

QSize AutoSizeExtent(const Layout& l, QSize text, QSize current, bool width, bool height)
{
    const int frame = 2 * l.borderWidth + 2 * l.bevelWidth;
    const bool top = l.captionPosition == cpTop;
    auto bars = [&](bool across) {
        int sum = 0;
        if (l.captionVisible && across)
            sum += l.captionHeight;
        if (l.statusVisible && across)
            sum += l.statusHeight;
        return sum;
    };
    // The border shadow takes 2 pixels at the right and 3 at the bottom from the text.
    const QSize shadow = l.borderShadow ? QSize(2, 3) : QSize(0, 0);
    QSize size = current;
    if (width)
        size.setWidth(text.width() + frame + l.indent + bars(!top) + shadow.width());
    if (height)
        size.setHeight(text.height() + frame + l.topIndent + bars(top) + shadow.height());
    return size;
}

} // namespace PanelGeometry
