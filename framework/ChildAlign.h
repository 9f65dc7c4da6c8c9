// SPDX-License-Identifier: MIT
#pragma once

#include "ControlTypes.h"

#include <QRect>

// The geometry of a control aligned in its parent's `area`: along an edge keeping its own height
// (top, bottom) or width (left, right), or the whole area; with alNone, `current` unchanged.
QRect AlignedGeometry(ControlTypes::TAlign align, const QRect& area, const QRect& current);
