// SPDX-License-Identifier: MIT
#include "PaintCache.h"

#include "PainterCanvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTransform>
#include <climits>
#include <cmath>

namespace {

// Whether a picture lands pixel for pixel where the drawing would: only under a whole-pixel shift
// on a device without scaling.
bool PixelExact(QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device || device->devicePixelRatio() != 1.0)
        return false;
    const QTransform t = painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx())
        && t.dy() == std::floor(t.dy());
}

// Canvas state no paint sets, telling what the paint changed.
const TPen kUnsetPen { clNone, -1 };
const TBrush kUnsetBrush { clNone, true };
const QPoint kUnmoved(INT_MIN, INT_MIN);

} // namespace

void TPaintCache::Draw(
    TPainterCanvas& canvas, const QRect& area, const Key& key, const std::function<void(TCanvas&)>& paint)
{
    if (area.isEmpty() || !PixelExact(canvas.Painter())) {
        paint(canvas);
        return;
    }
    if (m_picture.isNull() || m_area != area || m_key != key) {
        // Transparent where nothing is drawn, so those pixels stay as they were.
        QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.translate(-area.topLeft());
            TPainterCanvas part(painter);
            part.Pen = kUnsetPen;
            part.Brush = kUnsetBrush;
            part.PenPos = kUnmoved;
            paint(part);
            m_setsPen = !(part.Pen == kUnsetPen);
            m_setsBrush = !(part.Brush == kUnsetBrush);
            m_movesPen = part.PenPos != kUnmoved;
            m_pen = part.Pen;
            m_brush = part.Brush;
            m_penPos = part.PenPos;
        }
        m_picture = std::move(picture);
        m_area = area;
        m_key = key;
    }
    canvas.Draw(area.left(), area.top(), m_picture);
    if (m_setsPen)
        canvas.Pen = m_pen;
    if (m_setsBrush)
        canvas.Brush = m_brush;
    if (m_movesPen)
        canvas.PenPos = m_penPos;
}
