// SPDX-License-Identifier: MIT
#include "ChildAlign.h"

QRect AlignedGeometry(ControlTypes::TAlign align, const QRect& area, const QRect& current)
{
    switch (align) {
    case ControlTypes::alTop:
        return QRect(area.left(), area.top(), area.width(), current.height());
    case ControlTypes::alBottom:
        return QRect(area.left(), area.bottom() + 1 - current.height(), area.width(), current.height());
    case ControlTypes::alLeft:
        return QRect(area.left(), area.top(), current.width(), area.height());
    case ControlTypes::alRight:
        return QRect(area.right() + 1 - current.width(), area.top(), current.width(), area.height());
    case ControlTypes::alClient:
        return area;
    case ControlTypes::alNone:
        break;
    }
    return current;
}
