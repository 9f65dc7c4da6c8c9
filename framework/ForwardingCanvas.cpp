// SPDX-License-Identifier: MIT
#include "ForwardingCanvas.h"

TCanvas& TForwardingCanvas::Target()
{
    m_target.Font = Font;
    m_target.Pen = Pen;
    m_target.Brush = Brush;
    m_target.BkMode = BkMode;
    return m_target;
}

QSize TForwardingCanvas::TextExtent(QStringView text)
{
    return Target().TextExtent(text);
}

int TForwardingCanvas::DrawText(QStringView text, TRect& rect, unsigned format)
{
    return Target().DrawText(text, rect, format);
}

void TForwardingCanvas::LineTo(int x, int y)
{
    TCanvas& target = Target();
    target.PenPos = PenPos;
    target.LineTo(x, y);
    PenPos = target.PenPos;
}

void TForwardingCanvas::Rectangle(const TRect& r)
{
    Target().Rectangle(r);
}

void TForwardingCanvas::FillRect(const TRect& r)
{
    Target().FillRect(r);
}

void TForwardingCanvas::FrameRect(const TRect& r)
{
    Target().FrameRect(r);
}

void TForwardingCanvas::DrawFocusRect(const TRect& r)
{
    Target().DrawFocusRect(r);
}

void TForwardingCanvas::Draw(int x, int y, const QImage& picture)
{
    Target().Draw(x, y, picture);
}

void TForwardingCanvas::StretchDraw(const TRect& r, const QImage& picture)
{
    Target().StretchDraw(r, picture);
}

void TForwardingCanvas::CopyScaled(const TRect& r, const QImage& picture)
{
    Target().CopyScaled(r, picture);
}

void TForwardingCanvas::SetClipRect(const TRect& r)
{
    m_target.SetClipRect(r);
}

void TForwardingCanvas::ClearClipRect()
{
    m_target.ClearClipRect();
}

int TForwardingCanvas::PixelsPerInchX() const
{
    return m_target.PixelsPerInchX();
}

int TForwardingCanvas::PixelsPerInchY() const
{
    return m_target.PixelsPerInchY();
}

bool TForwardingCanvas::BatchText(bool on)
{
    return m_target.BatchText(on);
}
