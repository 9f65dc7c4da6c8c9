// SPDX-License-Identifier: MIT
#include "MeasureCanvas.h"

#include "TextMetrics.h"

TMeasureCanvas::TMeasureCanvas(int dpiX, int dpiY)
    : m_dpiX(dpiX)
    , m_dpiY(dpiY)
{
}

QSize TMeasureCanvas::TextExtent(QStringView text)
{
    TTextMetrics& m = TTextMetrics::For(Font);
    return QSize(m.Width(text), m.Height());
}

int TMeasureCanvas::DrawText(QStringView text, TRect& rect, unsigned format)
{
    TTextMetrics& m = TTextMetrics::For(Font);
    TTextBlock block;
    LayoutText(m, text, rect.Width(), format, block);
    return MeasuredText(block, rect, format);
}
