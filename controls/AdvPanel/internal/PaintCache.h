// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

#include <QImage>
#include <QRect>
#include <QtGlobal>
#include <functional>
#include <vector>

class TPainterCanvas;

// A part of a paint kept as a picture between paints: the caption and status bars repaint with the
// same size and colours far more often than these change. Meant for opaque, aliased drawing (bands,
// lines), whose pixels the picture reproduces exactly; on a scaled or fractionally shifted painter,
// where it could not, the part is painted directly.
class TPaintCache {
public:
    // Whatever else keeps the picture valid: resolved colours, states.
    using Key = std::vector<qint64>;

    // Paints what `paint` draws within `area`, from the picture kept since the last call with the
    // same area and key. `paint` draws in the canvas's coordinates and sets the pen and brush it
    // uses; the canvas is left with the pen, brush and pen position that `paint` leaves.
    void Draw(TPainterCanvas& canvas, const QRect& area, const Key& key,
        const std::function<void(TCanvas&)>& paint);

private:
    QRect m_area;
    Key m_key;
    QImage m_picture;
    // What the paint leaves on the canvas, where it changes it.
    bool m_setsPen = false;
    bool m_setsBrush = false;
    bool m_movesPen = false;
    TPen m_pen;
    TBrush m_brush;
    QPoint m_penPos;
};
