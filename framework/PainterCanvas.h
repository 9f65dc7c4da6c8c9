// SPDX-License-Identifier: MIT
#pragma once

#include "Canvas.h"

#include <QPen>
#include <QPointF>
#include <QRawFont>
#include <QVarLengthArray>

class QPainter;
class QPaintDevice;
class TTextMetrics;
struct TTextLine;

// The canvas on a QPainter: widgets, QImage and printers alike. The painter must stay active for the
// canvas's lifetime; the canvas changes its pen, brush, font and clip and restores none of them.
//
// Text: glyphs sit at the integer advances TextExtent sums, so measured and drawn widths agree.
// Output is not clipped to the DrawText rectangle (callers clip with SetClipRect). Tab stops, with
// ExpandTabs, lie every eight average character widths; other control characters take no room and
// show nothing. ExternalLeading adds the font's leading between the lines of multi-line text only.
// An end ellipsis that has no room itself leaves nothing shown. A line of a pen wider than one
// pixel has round ends and includes its end point; a Rectangle's outline lies inside it.
//
// With BatchText on, plain glyphs of consecutive text calls in one font and colour reach the painter
// as one glyph run, drawn before anything else is painted, when batching ends, at Painter() or when
// the canvas goes; the pixels are those of drawing each call at once.
class TPainterCanvas final : public TCanvas {
public:
    explicit TPainterCanvas(QPainter& painter);
    ~TPainterCanvas() override;
    TPainterCanvas(const TPainterCanvas&) = delete;
    TPainterCanvas& operator=(const TPainterCanvas&) = delete;

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
    void Flush();

    QPainter& Painter()
    {
        Flush();
        return m_painter;
    }

private:
    void DrawLine(TTextMetrics& metrics, const TTextLine& line, int x, int top, unsigned format);
    bool DrawGlyphs(TTextMetrics& metrics, const TTextLine& line, int x, int baseline, bool expandTabs);
    void DrawShaped(TTextMetrics& metrics, const TTextLine& line, int x, int baseline, bool expandTabs);
    void DrawDecorations(TTextMetrics& metrics, const TTextLine& line, int x, int baseline, bool expandTabs);
    void UseTextPen();
    void UsePen(const QPen& pen);
    void FillColor(const QRect& r, TColor color);

    QPainter& m_painter;
    // The text pen last given to the painter, kept so that a run in an unchanged colour costs no
    // state change.
    QPen m_textPen;
    TColor m_textColor = clNone;
    bool m_textPenValid = false;
    bool m_batching = false;
    // Glyphs held back, all in m_heldFont and drawn with the current text pen.
    QRawFont m_heldFont;
    QVarLengthArray<quint32, 256> m_heldGlyphs;
    QVarLengthArray<QPointF, 256> m_heldPositions;
};
