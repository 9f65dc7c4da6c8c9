// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// The enumerations that more than one control offers; each control names them as its own types.
namespace ControlTypes {
Q_NAMESPACE

// Where a control goes in its parent: along an edge keeping its own height (top, bottom) or width
// (left, right), or the whole client area.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)
enum TBorderStyle { bsNone, bsSingle };
Q_ENUM_NS(TBorderStyle)
enum TTextVAlignment { tvaTop, tvaCenter, tvaBottom };
Q_ENUM_NS(TTextVAlignment)

} // namespace ControlTypes
