// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

// Where a control goes by its Align setting; the values are those of the controls' own TAlign enums.
enum class TChildAlign { None, Top, Bottom, Left, Right, Client };

// The geometry of a control aligned in its parent's `area`: along an edge keeping its own height
// (top, bottom) or width (left, right), or the whole area; with None, `current` unchanged.
QRect AlignedGeometry(TChildAlign align, const QRect& area, const QRect& current);
