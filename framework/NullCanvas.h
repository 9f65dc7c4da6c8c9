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
