// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

class QPainter;
class QPaintDevice;

// The canvas on a QPainter: widgets, QImage and printers alike. The painter must stay active for the
// canvas's lifetime; the canvas changes its pen, brush, font and clip and restores none of them.
class TPainterCanvas final : public TCanvas {
public:
    explicit TPainterCanvas(QPainter& painter);

    QSize TextExtent(QStringView text) override;
    int DrawText(QStringView text, TRect& rect, unsigned format) override;
    void LineTo(int x, int y) override;
    void Rectangle(const TRect& r) override;
    void FillRect(const TRect& r) override;
    void FrameRect(const TRect& r) override;
    void DrawFocusRect(const TRect& r) override;
    void Draw(int x, int y, const QImage& picture) override;
    void StretchDraw(const TRect& r, const QImage& picture) override;
    void CopyScaled(const TRect& r, const QImage& picture) override;
    void SetClipRect(const TRect& r) override;
    void ClearClipRect() override;
    int PixelsPerInchX() const override;
    int PixelsPerInchY() const override;

    QPainter& Painter() { return m_painter; }

private:
    QPainter& m_painter;
};
