// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

// A canvas that measures like TPainterCanvas at the given resolution and draws nothing: layout and
// hit tests outside a paint event (mouse moves, size queries) use it.
class TMeasureCanvas final : public TCanvas {
public:
    explicit TMeasureCanvas(int dpiX = 96, int dpiY = 96);

    QSize TextExtent(QStringView text) override;
    int DrawText(QStringView text, TRect& rect, unsigned format) override;
    void LineTo(int x, int y) override { PenPos = QPoint(x, y); }
    void Rectangle(const TRect&) override { }
    void FillRect(const TRect&) override { }
    void FrameRect(const TRect&) override { }
    void DrawFocusRect(const TRect&) override { }
    void Draw(int, int, const QImage&) override { }
    void StretchDraw(const TRect&, const QImage&) override { }
    void CopyScaled(const TRect&, const QImage&) override { }
    void SetClipRect(const TRect&) override { }
    void ClearClipRect() override { }
    int PixelsPerInchX() const override { return m_dpiX; }
    int PixelsPerInchY() const override { return m_dpiY; }

private:
    int m_dpiX;
    int m_dpiY;
};
