// SPDX-License-Identifier: MIT
#pragma once

#include "NullCanvas.h"

// A canvas that measures like TPainterCanvas at the given resolution and draws nothing: layout and
// hit tests outside a paint event (mouse moves, size queries) use it.
class TMeasureCanvas final : public TNullCanvas {
public:
    explicit TMeasureCanvas(int dpiX = 96, int dpiY = 96);

    QSize TextExtent(QStringView text) override;
    int DrawText(QStringView text, TRect& rect, unsigned format) override;
    int PixelsPerInchX() const override { return m_dpiX; }
    int PixelsPerInchY() const override { return m_dpiY; }

private:
    int m_dpiX;
    int m_dpiY;
};
