// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

// A canvas that draws nothing: the base of canvases that only measure or record. Measurement and
// resolution are left to the subclass.
class TNullCanvas : public TCanvas {
public:
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
};

// Draws nothing and measures through another canvas in its own font: the base of canvases that
// record where the engine would draw.
class TMeasuringNullCanvas : public TNullCanvas {
public:
    explicit TMeasuringNullCanvas(TCanvas& measure)
        : m_measure(measure)
    {
    }
    QSize TextExtent(QStringView text) override
    {
        m_measure.Font = Font;
        return m_measure.TextExtent(text);
    }
    int DrawText(QStringView text, TRect& rect, unsigned format) override
    {
        m_measure.Font = Font;
        return m_measure.DrawText(text, rect, format);
    }
    int PixelsPerInchX() const override { return m_measure.PixelsPerInchX(); }
    int PixelsPerInchY() const override { return m_measure.PixelsPerInchY(); }

protected:
    TCanvas& Measure() { return m_measure; }

private:
    TCanvas& m_measure;
};
