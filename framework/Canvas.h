// SPDX-License-Identifier: MIT
#pragma once

#include "Color.h"
#include "Font.h"
#include "Rect.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QStringView>

// Text-drawing flags with the values and meaning of the Windows DrawText call.
namespace DT {
constexpr unsigned Left = 0x0;
constexpr unsigned Center = 0x1;
constexpr unsigned Right = 0x2;
constexpr unsigned VCenter = 0x4;
constexpr unsigned Bottom = 0x8;
constexpr unsigned WordBreak = 0x10;
constexpr unsigned SingleLine = 0x20;
constexpr unsigned ExpandTabs = 0x40;
constexpr unsigned NoClip = 0x100;
constexpr unsigned ExternalLeading = 0x200;
constexpr unsigned CalcRect = 0x400;
constexpr unsigned NoPrefix = 0x800;
constexpr unsigned EndEllipsis = 0x8000;
} // namespace DT

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    bool operator==(const TPen&) const = default;
};

struct TBrush {
    TColor Color = clWhite;
    bool Clear = false; // hollow brush: shapes are outlined only, FillRect draws nothing
    bool operator==(const TBrush&) const = default;
};

enum class TBkMode { Transparent, Opaque };

// A drawing surface with device-context semantics. State (Font, Pen, Brush, BkMode) is plain data
// read at each call, so callers save and restore it by copying. Coordinates are device pixels;
// rectangles exclude their right and bottom edges.
class TCanvas {
public:
    virtual ~TCanvas() = default;

    TFont Font;
    TPen Pen;
    TBrush Brush;
    TBkMode BkMode = TBkMode::Opaque;

    // Width and height of a single line of text in Font (no prefix processing, no kerning).
    virtual QSize TextExtent(QStringView text) = 0;
    int TextWidth(QStringView text) { return TextExtent(text).width(); }
    int TextHeight(QStringView text) { return TextExtent(text).height(); }

    // Draws or, with DT::CalcRect, measures text. With CalcRect, rect.Right (and for multi-line text
    // rect.Bottom) is set to the text's extent and nothing is drawn. Returns the text height.
    // Without DT::NoPrefix, "&&" shows one "&" and "&x" underlines x.
    // An opaque BkMode fills the text's cell with Brush.Color first.
    virtual int DrawText(QStringView text, TRect& rect, unsigned format) = 0;

    // Lines are drawn with Pen from the current position up to, not including, the end point.
    void MoveTo(int x, int y) { PenPos = QPoint(x, y); }
    virtual void LineTo(int x, int y) = 0;
    QPoint PenPos;

    virtual void Rectangle(const TRect& r) = 0; // outline with Pen, inside filled with Brush
    virtual void FillRect(const TRect& r) = 0; // Brush only
    virtual void FrameRect(const TRect& r) = 0; // one-pixel frame in Brush.Color
    virtual void DrawFocusRect(const TRect& r) = 0; // dotted frame
    virtual void Draw(int x, int y, const QImage& picture) = 0; // honours the alpha channel
    virtual void StretchDraw(const TRect& r, const QImage& picture) = 0;
    // Print-mode copy of a picture as a device-independent bitmap into `r` (no alpha blending).
    virtual void CopyScaled(const TRect& r, const QImage& picture) = 0;

    virtual void SetClipRect(const TRect& r) = 0;
    virtual void ClearClipRect() = 0;

    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;

    // While on, a canvas may hold text back and put consecutive text calls on the device together;
    // anything else drawn through the canvas still lands in call order. Turning it off puts all held
    // text on the device. Returns the previous setting.
    virtual bool BatchText(bool /*on*/) { return false; }
};
