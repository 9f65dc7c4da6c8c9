// SPDX-License-Identifier: MIT
#include "MeasureCanvas.h"

#include "TextMetrics.h"

#include <algorithm>

TMeasureCanvas::TMeasureCanvas(int dpiX, int dpiY)
    : m_dpiX(dpiX)
    , m_dpiY(dpiY)
{
}

QSize TMeasureCanvas::TextExtent(QStringView text)
{
    return FontTextExtent(Font, text);
}

int TMeasureCanvas::DrawText(QStringView text, TRect& rect, unsigned format)
{
    const std::shared_ptr<TTextMetrics> metrics = TTextMetrics::For(Font);
    TTextMetrics& m = *metrics;
    TTextBlock block;
    const qint64 width = qint64(rect.Right) - rect.Left;
    LayoutText(m, text, int(std::clamp<qint64>(width, -(1 << 30), 1 << 30)), format, block);
    return MeasuredText(block, rect, format);
}
