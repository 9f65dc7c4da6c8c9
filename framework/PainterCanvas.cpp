// SPDX-License-Identifier: MIT
#include "PainterCanvas.h"

#include "BoldFace.h"
#include "TextMetrics.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cstdlib>

namespace {

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

int NextTab(int x, int tab)
{
    return (x / tab + 1) * tab;
}

// Far outside any device everything is clipped anyway; bounding coordinates keeps the arithmetic
// in range and the work proportional to what can show.
constexpr int kFar = 1 << 24;

int Bound(int v)
{
    return std::clamp(v, -kFar, kFar);
}

TRect Bounded(const TRect& r)
{
    return TRect(Bound(r.Left), Bound(r.Top), Bound(r.Right), Bound(r.Bottom));
}

bool Fillable(const TBrush& brush)
{
    return !brush.Clear && brush.Color != clNone;
}

// Shapes are laid on the pixel grid; a smoothing painter would blur their one-pixel edges.
class Aliased {
public:
    explicit Aliased(QPainter& painter)
        : m_painter(painter)
        , m_was(painter.testRenderHint(QPainter::Antialiasing))
    {
        if (m_was)
            m_painter.setRenderHint(QPainter::Antialiasing, false);
    }
    ~Aliased()
    {
        if (m_was)
            m_painter.setRenderHint(QPainter::Antialiasing, true);
    }
    Aliased(const Aliased&) = delete;
    Aliased& operator=(const Aliased&) = delete;

private:
    QPainter& m_painter;
    bool m_was;
};

} // namespace

TPainterCanvas::TPainterCanvas(QPainter& painter)
    : m_painter(painter)
{
}

TPainterCanvas::~TPainterCanvas()
{
    if (m_painter.isActive())
        Flush();
}

bool TPainterCanvas::BatchText(bool on)
{
    const bool was = m_batching;
    m_batching = on;
    if (!on)
        Flush();
    return was;
}

void TPainterCanvas::Flush()
{
    if (m_heldGlyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_heldFont);
    run.setRawData(m_heldGlyphs.constData(), m_heldPositions.constData(), int(m_heldGlyphs.size()));
    DrawGlyphRunBold(m_painter, QPointF(), run);
    m_heldGlyphs.clear();
    m_heldPositions.clear();
}

QSize TPainterCanvas::TextExtent(QStringView text)
{
    return FontTextExtent(Font, text);
}

int TPainterCanvas::DrawText(QStringView text, TRect& rect, unsigned format)
{
    const std::shared_ptr<TTextMetrics> metrics = TTextMetrics::For(Font);
    TTextMetrics& m = *metrics;
    const TRect box = Bounded(rect);
    // One line with neither the prefix rule nor an ellipsis, as every run of markup is: drawn without
    // building a block of lines, to the same places and with the same result.
    if ((format & DT::SingleLine) && (format & DT::NoPrefix)
        && !(format & (DT::CalcRect | DT::EndEllipsis))) {
        TTextLine line;
        line.source = text;
        line.width = m.Width(text, format & DT::ExpandTabs);
        const int height = m.Height();
        DrawLine(m, line, TextLeft(box, line.width, format), TextTop(box, height, format), format);
        return (format & (DT::Bottom | DT::VCenter)) ? TextTop(rect, height, format) + height - rect.Top
                                                     : height;
    }
    TTextBlock block;
    LayoutText(m, text, box.Width(), format, block);
    const int result = MeasuredText(block, rect, format);
    if (format & DT::CalcRect)
        return result;
    int top = TextTop(box, block.height, format);
    for (const TTextLine& line : block.lines) {
        DrawLine(m, line, TextLeft(box, line.width, format), top, format);
        top += block.lineHeight;
    }
    return result;
}

void TPainterCanvas::DrawLine(TTextMetrics& m, const TTextLine& line, int x, int top, unsigned format)
{
    const bool opaque = BkMode == TBkMode::Opaque && Fillable(Brush) && line.width > 0;
    if (!opaque && line.Text().isEmpty())
        return;
    UseTextPen();
    const bool rotated = Font.Escapement % 3600 != 0;
    if (rotated || opaque)
        Flush();
    if (rotated) {
        // The device context turns text about its reference point, the line's top-left corner.
        m_painter.save();
        m_painter.translate(x, top);
        m_painter.rotate(-Font.Escapement / 10.0);
        x = 0;
        top = 0;
    }
    if (opaque)
        FillColor(QRect(x, top, line.width, m.Height()), Brush.Color);
    const bool tabs = format & DT::ExpandTabs;
    const int baseline = top + m.Ascent();
    if (!line.Text().isEmpty()) {
        if (!DrawGlyphs(m, line, x, baseline, tabs))
            DrawShaped(m, line, x, baseline, tabs);
        DrawDecorations(m, line, x, baseline, tabs);
    }
    if (rotated) {
        // Turned glyphs are placed in the turned system; they go out before it is undone.
        Flush();
        m_painter.restore();
    }
}

// Glyphs placed at the measured advances: no shaping, so every run costs little and ends exactly
// where TextExtent said. False when the text needs the painter's own layout.
bool TPainterCanvas::DrawGlyphs(TTextMetrics& m, const TTextLine& line, int x, int baseline, bool expandTabs)
{
    const QStringView text = line.Text();
    // Glyphs go straight behind those already held (words drawn one call each would otherwise cost
    // a painter text call apiece); text that turns out to need shaping takes its own back out.
    if (!m_heldGlyphs.isEmpty() && !(m_heldFont == m.RawFont()))
        Flush();
    const qsizetype held = m_heldGlyphs.size();
    auto giveBack = [&] {
        m_heldGlyphs.resize(held);
        m_heldPositions.resize(held);
        return false;
    };
    int cx = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c == u'\t' && expandTabs) {
            cx = NextTab(cx, m.TabWidth());
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c))
            return giveBack();
        const int advance = m.Advance(text, i);
        if (!IsControl(c)) {
            const quint32 glyph = m.SimpleGlyph(c);
            if (glyph == 0)
                return giveBack();
            m_heldGlyphs.append(glyph);
            m_heldPositions.append(QPointF(x + cx, baseline));
        }
        cx += advance;
    }
    if (held == 0)
        m_heldFont = m.RawFont();
    // Several lines' worth at most: a long text in one font is not all held before it is drawn.
    constexpr qsizetype kHeldLimit = 4096;
    if (!m_batching || m_heldGlyphs.size() >= kHeldLimit)
        Flush();
    return true;
}

// Text that needs shaping or fallback fonts: drawn by the painter piece by piece, each piece
// starting at its measured position.
void TPainterCanvas::DrawShaped(TTextMetrics& m, const TTextLine& line, int x, int baseline, bool expandTabs)
{
    const QStringView text = line.Text();
    Flush();
    m_painter.setFont(m.Font());
    int cx = 0;
    qsizetype pieceStart = 0;
    int pieceX = 0;
    auto flush = [&](qsizetype end) {
        if (end > pieceStart)
            m_painter.drawText(
                QPointF(x + pieceX, baseline), text.mid(pieceStart, end - pieceStart).toString());
    };
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        const bool tab = c == u'\t' && expandTabs;
        if (tab || IsControl(c)) {
            flush(i);
            cx = tab ? NextTab(cx, m.TabWidth()) : cx;
            ++i;
            pieceStart = i;
            pieceX = cx;
            continue;
        }
        cx += m.Advance(text, i);
    }
    flush(text.size());
}

// Underline, strike-out and mnemonic marks as filled bands: they then sit on the same pixels
// however the painter is scaled, and span the measured width including blanks.
void TPainterCanvas::DrawDecorations(
    TTextMetrics& m, const TTextLine& line, int x, int baseline, bool expandTabs)
{
    if (!Font.Underline && !Font.StrikeOut && line.mnemonics.isEmpty())
        return;
    Flush();
    const QColor color = m_textPen.color();
    const int thickness = m.LineThickness();
    const int underline = baseline + m.UnderlinePos() - (thickness - 1) / 2;
    if (Font.Underline)
        m_painter.fillRect(QRect(x, underline, line.width, thickness), color);
    if (Font.StrikeOut)
        m_painter.fillRect(
            QRect(x, baseline - m.StrikeOutPos() - (thickness - 1) / 2, line.width, thickness), color);
    if (Font.Underline)
        return;
    const QStringView text = line.Text();
    for (const qsizetype at : line.mnemonics) {
        qsizetype end = at;
        const int width = m.Advance(text, end);
        m_painter.fillRect(QRect(x + m.Width(text.left(at), expandTabs), underline, width, thickness), color);
    }
}

void TPainterCanvas::UseTextPen()
{
    // Glyphs take only the pen's solid colour, so that is all there is to compare (a whole pen
    // comparison cost more than drawing a short word's glyphs).
    if (m_textPenValid && m_textColor == Font.Color) {
        const QPen& pen = m_painter.pen();
        if (pen.style() != Qt::NoPen && pen.brush().style() == Qt::SolidPattern
            && pen.color() == m_textPen.color())
            return;
    }
    Flush();
    m_textPen = QPen(ColorToQColor(Font.Color));
    m_textColor = Font.Color;
    m_textPenValid = true;
    m_painter.setPen(m_textPen);
}

void TPainterCanvas::UsePen(const QPen& pen)
{
    Flush();
    if (m_painter.pen() != pen)
        m_painter.setPen(pen);
}

void TPainterCanvas::FillColor(const QRect& r, TColor color)
{
    if (r.isEmpty() || color == clNone)
        return;
    Flush();
    m_painter.fillRect(r, ColorToQColor(color));
}

void TPainterCanvas::LineTo(int x, int y)
{
    Flush();
    const QPoint start = PenPos;
    PenPos = QPoint(x, y);
    if (Pen.Color == clNone)
        return;
    const QPoint from(Bound(start.x()), Bound(start.y()));
    x = Bound(x);
    y = Bound(y);
    const int dx = x - from.x();
    const int dy = y - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0)
        return;
    const QColor color = ColorToQColor(Pen.Color);
    Aliased aliased(m_painter);
    if (Pen.Width > 1) {
        UsePen(QPen(color, Pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_painter.drawLine(from, QPoint(x, y));
        return;
    }
    if (dx == 0 || dy == 0) {
        // Straight lines are exact pixel runs that stop one pixel short of the end.
        const int left = dx < 0 ? x + 1 : from.x();
        const int top = dy < 0 ? y + 1 : from.y();
        m_painter.fillRect(QRect(left, top, std::max(1, std::abs(dx)), std::max(1, std::abs(dy))), color);
        return;
    }
    if (steps == 1) {
        m_painter.fillRect(QRect(from, QSize(1, 1)), color);
        return;
    }
    // The last pixel of a slanted line is its end point; stop one step before it.
    const QPoint last(from.x() + int(std::lround(dx * double(steps - 1) / steps)),
        from.y() + int(std::lround(dy * double(steps - 1) / steps)));
    UsePen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    m_painter.drawLine(from, last);
}

void TPainterCanvas::Rectangle(const TRect& r)
{
    if (r.IsEmpty())
        return;
    if (Fillable(Brush))
        FillColor(Bounded(r).toQRect(), Brush.Color);
    if (Pen.Color == clNone)
        return;
    // The outline lies inside the rectangle whatever the pen width.
    const QRect q = Bounded(r).toQRect();
    const int w = std::clamp(Pen.Width, 1, std::max(1, std::min(q.width(), q.height())));
    FillColor(QRect(q.left(), q.top(), q.width(), w), Pen.Color);
    FillColor(QRect(q.left(), q.bottom() - w + 1, q.width(), w), Pen.Color);
    FillColor(QRect(q.left(), q.top() + w, w, q.height() - 2 * w), Pen.Color);
    FillColor(QRect(q.right() - w + 1, q.top() + w, w, q.height() - 2 * w), Pen.Color);
}

void TPainterCanvas::FillRect(const TRect& r)
{
    if (Fillable(Brush))
        FillColor(Bounded(r).toQRect(), Brush.Color);
}

void TPainterCanvas::FrameRect(const TRect& r)
{
    if (r.IsEmpty() || !Fillable(Brush))
        return;
    const QRect q = Bounded(r).toQRect();
    FillColor(QRect(q.left(), q.top(), q.width(), 1), Brush.Color);
    FillColor(QRect(q.left(), q.bottom(), q.width(), 1), Brush.Color);
    FillColor(QRect(q.left(), q.top() + 1, 1, q.height() - 2), Brush.Color);
    FillColor(QRect(q.right(), q.top() + 1, 1, q.height() - 2), Brush.Color);
}

void TPainterCanvas::DrawFocusRect(const TRect& rect)
{
    Flush();
    const TRect r = Bounded(rect);
    if (r.IsEmpty())
        return;
    // Every other pixel of the frame, in a checkerboard anchored at the top-left corner; only the
    // part on the device is walked.
    QRect visible(0, 0, 1, 1);
    if (const QPaintDevice* device = m_painter.device())
        visible = m_painter.combinedTransform().inverted().mapRect(
            QRect(0, 0, device->width(), device->height()));
    visible.adjust(-1, -1, 1, 1);
    const int w = r.Width();
    const int h = r.Height();
    const int fromX = std::clamp(visible.left() - r.Left, 0, w);
    const int toX = std::clamp(visible.right() + 1 - r.Left, 0, w);
    const int fromY = std::clamp(visible.top() - r.Top, 1, std::max(1, h - 1));
    const int toY = std::clamp(visible.bottom() + 1 - r.Top, 1, std::max(1, h - 1));
    QVarLengthArray<QRect, 256> dots;
    auto dot = [&](int dx, int dy) {
        if ((dx + dy) % 2 == 0)
            dots.append(QRect(r.Left + dx, r.Top + dy, 1, 1));
    };
    for (int i = fromX; i < toX; ++i) {
        dot(i, 0);
        if (h > 1)
            dot(i, h - 1);
    }
    for (int j = fromY; j < toY; ++j) {
        dot(0, j);
        if (w > 1)
            dot(w - 1, j);
    }
    // Inverting, where the device can, keeps the dots visible on any background and lets a second
    // call take the rectangle away again.
    const bool invert
        = m_painter.paintEngine() && m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    const QPainter::CompositionMode mode = m_painter.compositionMode();
    if (invert)
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor color = invert ? QColor(Qt::white) : QColor(Qt::black);
    for (const QRect& dot : dots)
        m_painter.fillRect(dot, color);
    if (invert)
        m_painter.setCompositionMode(mode);
}

void TPainterCanvas::Draw(int x, int y, const QImage& picture)
{
    Flush();
    if (!picture.isNull())
        m_painter.drawImage(QPoint(x, y), picture);
}

void TPainterCanvas::StretchDraw(const TRect& r, const QImage& picture)
{
    Flush();
    if (!picture.isNull() && !r.IsEmpty())
        m_painter.drawImage(Bounded(r).toQRect(), picture);
}

void TPainterCanvas::CopyScaled(const TRect& r, const QImage& picture)
{
    Flush();
    if (picture.isNull() || r.IsEmpty())
        return;
    m_painter.drawImage(Bounded(r).toQRect(), picture.convertToFormat(QImage::Format_RGB32));
}

void TPainterCanvas::SetClipRect(const TRect& r)
{
    Flush();
    m_painter.setClipRect(Bounded(r).toQRect());
}

void TPainterCanvas::ClearClipRect()
{
    Flush();
    m_painter.setClipping(false);
}

int TPainterCanvas::PixelsPerInchX() const
{
    const QPaintDevice* device = m_painter.device();
    return device ? device->logicalDpiX() : 96;
}

int TPainterCanvas::PixelsPerInchY() const
{
    const QPaintDevice* device = m_painter.device();
    return device ? device->logicalDpiY() : 96;
}
