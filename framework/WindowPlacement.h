// SPDX-License-Identifier: MIT
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>

class QWidget;

// Where a window whose client area is `client` goes so that the whole window, its frame of
// `frame` (title bar and borders) included, is centred on `area`; as far as it fits, the frame
// stays within the area, its title bar first. The result is the frame's top-left corner, which is
// what QWidget::move takes for a window.
QPoint CentredFramePosition(const QSize& client, const QMargins& frame, const QRect& area);

// Keeps the top-level `window` centred, frame included, on the rectangle `area` gives at the time:
// now, when it is shown (after it has settled its size), and again when the window system first
// reports a frame other than the one it was centred with, which happens once the window manager
// has framed it. Ends when the window is destroyed.
void KeepCentred(QWidget& window, std::function<QRect()> area);
