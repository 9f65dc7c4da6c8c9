// SPDX-License-Identifier: MIT
#pragma once

#include "PanelGeometry.h"

#include <QMargins>
#include <QPoint>
#include <QSize>
#include <optional>
#include <vector>

// What the panel's size and place become when the user drags it, when it collapses or expands and
// when it sizes itself to its text: inputs in, geometry out. Sizes are the widget's (client area
// plus `margins`, the window frame) unless said otherwise.
namespace PanelMotion {

// The smallest size sizing by the edges leaves: room for the size grip and the frame, and for the
// caption bar when it is shown.
QSize MinimumSize(const PanelGeometry::Layout& l, const QMargins& margins);

// The size after dragging the `zone` edge by `delta` from `start`: a fixed dimension and the one
// the zone does not move keep their start value, the others never go below `minimum`.
QSize DraggedSize(QSize start, QPoint delta, PanelGeometry::SizeZone zone, bool fixedWidth, bool fixedHeight,
    QSize minimum);

// The place after dragging by the caption by `delta` from `start`. Within a parent of size
// `parent`, part of the panel (the caption bar's thickness, at least 16 pixels, at most the whole
// width) stays inside, so that it can be taken again.
struct MoveInput {
    QPoint start;
    QPoint delta;
    bool fixedLeft = false;
    bool fixedTop = false;
    std::optional<QSize> parent;
    QSize panel;
    int captionHeight = 0;
};
QPoint DraggedPosition(const MoveInput& in);

// The height (caption at the top) or width (at the left) the panel collapses to, the frame
// included; the collapsed layout `l` is the panel's once collapsed.
int CollapsedSize(const PanelGeometry::Layout& l, const QMargins& margins);
// The extents an animation of `steps` steps passes through from `from` to `to`, ending at `to`;
// none without steps.
std::vector<int> CollapseSteps(int from, int to, int steps);
// The full height (caption at the left: width) to keep after a size change to `size`: the new
// extent, unless the panel is collapsed or collapsing, which keeps `kept`.
int KeptFullHeight(int kept, QSize size, AdvPanel::TCaptionPosition caption, bool collapsed, bool collapsing);

// Where auto-sizing lays the text out: the client area less the bevels, unbounded in each
// direction it sizes.
TRect AutoSizeArea(const PanelGeometry::Layout& l, bool width, bool height);
// The widget size that fits a text of `text` pixels (see PanelGeometry::AutoSizeExtent).
QSize AutoSized(const PanelGeometry::Layout& l, QSize text, bool width, bool height, const QMargins& margins);

} // namespace PanelMotion
