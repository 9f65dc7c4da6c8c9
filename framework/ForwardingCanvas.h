// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

// A canvas that passes every call on to another one, in this canvas's font, pen, brush and
// background mode: the base of canvases that step in front of another for a few calls only.
class TForwardingCanvas : public TCanvas {
public:
    explicit TForwardingCanvas(TCanvas& target)
        : m_target(target)
    {
    }

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
    bool BatchText(bool on) override;

protected:
    // The target, its drawing state made this canvas's.
    TCanvas& Target();

private:
    TCanvas& m_target;
};
