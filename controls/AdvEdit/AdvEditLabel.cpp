// SPDX-License-Identifier: MIT
#include "AdvEditLabel.h"

#include <QMouseEvent>

namespace AdvEditLabels {

QPoint Place(TLabelPosition position, const QRect& field, const QSize& label, int textWidth, int margin)
{
    const int L = field.x(), T = field.y(), W = field.width(), H = field.height();
    const int lw = label.width(), lh = label.height(), tw = textWidth, M = margin;
    const int middle = H > lh ? T + (H - lh) / 2 : T - (lh - H) / 2;
    const int centre = W > lw ? L + (W - lw) / 2 : L - (lw - W) / 2;
    switch (position) {
    case lpLeftTop:
        return { L - tw - M, T };
    case lpLeftCenter:
        return { L - tw - M, middle };
    case lpLeftBottom:
        return { L - tw - M, T + H - lh };
    case lpTopLeft:
        return { L, T - lh - M };
    case lpBottomLeft:
        return { L, T + H + M };
    case lpLeftTopLeft:
        return { L - M, T };
    case lpLeftCenterLeft:
        return { L - M, middle };
    case lpLeftBottomLeft:
        return { L - M, T + H - lh };
    case lpTopCenter:
        return { centre, T - lh - M };
    case lpBottomCenter:
        return { centre, T + H + M };
    case lpRightTop:
        return { L + W + M, T };
    case lpRightCenter:
        return { L + W + M, middle };
    case lpRighBottom:
        return { L + W + M, T + H - lh };
    }
    return { L, T };
}

} // namespace AdvEditLabels

void TEditLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

void TEditLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLabel::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        emit doubleClicked();
}
