// SPDX-License-Identifier: MIT
#pragma once

#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"

#include <QImage>
#include <QPainter>

// Lays markup out on a measuring canvas; expectations come from the same canvas's measurement.
struct MarkupLayoutFixture {
    TMeasureCanvas canvas;
    TMarkupParams params;
    TMarkupResult result;

    MarkupLayoutFixture()
    {
        canvas.Font.Color = clBlack;
        canvas.Brush.Color = clWhite;
        params.Rect = TRect(0, 0, 400, 4096);
    }

    bool HitTest(const QString& text)
    {
        result = TMarkupResult {};
        params.HitTestOnly = true;
        params.HeightOnly = false;
        return DrawMarkup(canvas, text, params, result);
    }
    bool HitTest(const QString& text, int x, int y)
    {
        params.HitX = x;
        params.HitY = y;
        return HitTest(text);
    }
    TMarkupResult Height(const QString& text)
    {
        result = TMarkupResult {};
        params.HitTestOnly = false;
        params.HeightOnly = true;
        DrawMarkup(canvas, text, params, result);
        return result;
    }
    // Width of the laid-out text (XSize carries two pixels of slack).
    int LaidOutWidth(const QString& text)
    {
        HitTest(text);
        return result.XSize - 2;
    }
    int Width(QStringView text) { return canvas.TextWidth(text); }
    int Gh() { return canvas.TextHeight(u"gh"); }
};

// Draws markup into a white image through the painter canvas.
struct MarkupImage {
    QImage image;
    TMarkupResult result;

    MarkupImage(
        const QString& text, TMarkupParams params, QSize size = QSize(400, 80), TColor fontColor = clBlack)
        : image(size, QImage::Format_ARGB32)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        TPainterCanvas canvas(painter);
        canvas.Font.Color = fontColor;
        canvas.Brush.Color = clWhite;
        if (params.Rect.IsEmpty())
            params.Rect = TRect(0, 0, size.width(), size.height());
        DrawMarkup(canvas, text, params, result);
    }

    QRgb At(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
    bool IsInk(int x, int y) const { return qGray(image.pixel(x, y)) < 160; }
    // Pixels of exactly `rgb` inside the rectangle.
    int Count(QRgb rgb, const QRect& r) const { return CountNear(rgb, r, 0); }
    // Pixels within `tolerance` (sum over the channels) of `rgb`: text edges are smoothed.
    int CountNear(QRgb rgb, const QRect& r, int tolerance = 150) const
    {
        int n = 0;
        for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
            for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x) {
                const QRgb p = image.pixel(x, y);
                n += std::abs(qRed(p) - qRed(rgb)) + std::abs(qGreen(p) - qGreen(rgb))
                        + std::abs(qBlue(p) - qBlue(rgb))
                    <= tolerance;
            }
        return n;
    }
    // Non-white pixels inside the rectangle.
    int Ink(const QRect& r) const
    {
        int n = 0;
        for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
            for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
                n += At(x, y) != 0xFFFFFF;
        return n;
    }
    // Leftmost and rightmost column holding a non-white pixel (-1 when blank).
    std::pair<int, int> InkColumns() const
    {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            if (Ink(QRect(x, 0, 1, image.height())) > 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
        return { first, last };
    }
};
