// SPDX-License-Identifier: MIT
#include "PanelMotion.h"

#include <algorithm>

using namespace AdvPanel;
namespace G = PanelGeometry;

namespace PanelMotion {

namespace {

// Room the size grip needs besides the frame, and what a caption bar needs besides its band.
constexpr int kGripRoom = 12;

QSize Outer(QSize client, const QMargins& m)
{
    return { client.width() + m.left() + m.right(), client.height() + m.top() + m.bottom() };
}

} // namespace

QSize MinimumSize(const G::Layout& l, const QMargins& margins)
{
    const int frame = 2 * (l.bevelWidth + l.borderWidth) + kGripRoom;
    int w = frame;
    int h = frame;
    if (l.captionVisible) {
        if (l.captionPosition == cpTop)
            h = std::max(h, l.captionHeight + kGripRoom);
        else
            w = std::max(w, l.captionHeight + kGripRoom);
    }
    return Outer(QSize(w, h), margins);
}

QSize DraggedSize(
    QSize start, QPoint delta, G::SizeZone zone, bool fixedWidth, bool fixedHeight, QSize minimum)
{
    const bool horizontal = zone != G::SizeZone::None && zone != G::SizeZone::Bottom && !fixedWidth;
    const bool vertical = zone != G::SizeZone::None && zone != G::SizeZone::Right && !fixedHeight;
    return { horizontal ? std::max(minimum.width(), start.width() + delta.x()) : start.width(),
        vertical ? std::max(minimum.height(), start.height() + delta.y()) : start.height() };
}

QPoint DraggedPosition(const MoveInput& in)
{
    QPoint to = in.start + in.delta;
    if (in.fixedLeft)
        to.setX(in.start.x());
    if (in.fixedTop)
        to.setY(in.start.y());
    if (in.parent) {
        const int w = in.panel.width();
        const int keep = std::min(w, std::max(in.captionHeight, 16));
        to.setX(std::clamp(to.x(), keep - w, std::max(keep - w, in.parent->width() - keep)));
        to.setY(std::clamp(to.y(), 0, std::max(0, in.parent->height() - std::min(in.panel.height(), keep))));
    }
    return to;
}

int CollapsedSize(const G::Layout& l, const QMargins& m)
{
    const bool top = l.captionPosition == cpTop;
    return G::CollapsedExtent(l) + (top ? m.top() + m.bottom() : m.left() + m.right());
}

std::vector<int> CollapseSteps(int from, int to, int steps)
{
    std::vector<int> extents;
    for (int step = 1; step <= steps; ++step)
        extents.push_back(std::max(0, G::AnimationStep(from, to, step, steps)));
    return extents;
}

int KeptFullHeight(int kept, QSize size, TCaptionPosition caption, bool collapsed, bool collapsing)
{
    if (collapsed || collapsing)
        return kept;
    return caption == cpTop ? size.height() : size.width();
}

TRect AutoSizeArea(const G::Layout& l, bool width, bool height)
{
    const int w = width ? kMaxExtent : l.client.width() - 2 * l.bevelWidth;
    const int h = height ? kMaxExtent : l.client.height() - 2 * l.bevelWidth;
    return TRect(0, 0, std::max(0, w), std::max(0, h));
}

QSize AutoSized(const G::Layout& l, QSize text, bool width, bool height, const QMargins& margins)
{
    return Outer(G::AutoSizeExtent(l, text, l.client, width, height), margins);
}

} // namespace PanelMotion
