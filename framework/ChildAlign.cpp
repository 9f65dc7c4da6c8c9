// SPDX-License-Identifier: MIT
#include "ChildAlign.h"

QRect AlignedGeometry(TChildAlign align, const QRect& area, const QRect& current)
{
    switch (align) {
    case TChildAlign::Top:
        return QRect(area.left(), area.top(), area.width(), current.height());
    case TChildAlign::Bottom:
        return QRect(area.left(), area.bottom() + 1 - current.height(), area.width(), current.height());
    case TChildAlign::Left:
        return QRect(area.left(), area.top(), current.width(), area.height());
    case TChildAlign::Right:
        return QRect(area.right() + 1 - current.width(), area.top(), current.width(), area.height());
    case TChildAlign::Client:
        return area;
    case TChildAlign::None:
        break;
    }
    return current;
}
