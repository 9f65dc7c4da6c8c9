// SPDX-License-Identifier: MIT
#include "HTMLabelRenderer.h"

#include "HTMLabelMeasureCache.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"

#include <QGuiApplication>
#include <QPainter>

namespace G = HTMLabelGeometry;

namespace {

// Room auto-sizing leaves around the text, in each sized direction.
constexpr int kAutoSizeMargin = 6;

} // namespace

THTMLabelRenderer::THTMLabelRenderer() = default;

THTMLabelRenderer::~THTMLabelRenderer() = default;

TMarkupParams THTMLabelRenderer::Params(
    const THTMLabelLayout& layout, const TRect& rect, Call call, QPoint hit, const THTMLabelLook* look)
{
    TMarkupParams params;
    params.Rect = rect;
    params.Images = layout.images;
    params.WordWrap = !layout.ellipsis;
    params.LineSpacing = layout.lineSpacing;
    params.PictureContainer = layout.container;
    params.PictureCache = &m_pictures;
    params.ResFactor = 1.0;
    params.FocusAnchor = -1;
    params.BlinkOn = false;
    params.FixedColors = false;
    params.HitTestOnly = call == Call::Layout;
    params.HoverAnchor = -1;
    if (call == Call::Print) {
        // No hover and no picture under the mouse; a one-pixel grey shadow.
        params.PrintMode = true;
        params.URLColor = look->urlColor;
        params.ShadowColor = clGray;
        params.ShadowOffset = 1;
        return params;
    }
    params.HitX = hit.x();
    params.HitY = hit.y();
    if (look) {
        params.HoverAnchor = look->hoverLink;
        params.Hover = look->hover;
        params.URLColor = look->urlColor;
        params.HoverColor = look->hoverColor;
        params.HoverFontColor = look->hoverFontColor;
        params.ShadowColor = look->shadowColor;
        params.ShadowOffset = look->shadowOffset;
    }
    return params;
}

// ---- painting

std::optional<QSize> THTMLabelRenderer::Paint(
    const THTMLabelLook& look, QPainter& target, QPoint hit, const QRect& exposed)
{
    const THTMLabelLayout& layout = look.layout;
    const TRect client(0, 0, layout.size.width(), layout.size.height());
    if (client.IsEmpty())
        return std::nullopt;
    // Pictures can change without the label knowing, and an ALT picture follows the mouse.
    const bool pictures = HoldsPictures(layout.text);

    std::optional<QPainter> offscreen;
    QPainter* painter = &target;
    PaintKey key;
    // The first paint goes straight to the target: a buffer pays off only for the paints after it.
    if (!look.transparent && m_paintedBefore) {
        const qreal dpr = target.device() ? target.device()->devicePixelRatioF() : look.devicePixelRatio;
        const QRect whole(QPoint(0, 0), layout.size);
        const QRect area = exposed.isEmpty() ? whole : exposed & whole;
        if (area.isEmpty())
            return std::nullopt;
        key = PaintKey { look, QGuiApplication::palette().cacheKey(), dpr, area };
        // Nothing that shows has changed since the buffer was painted: show it again, or the part of
        // it asked for.
        if (m_bufferValid && !look.updating && !pictures && m_bufferKey.area.contains(area)) {
            PaintKey kept = m_bufferKey;
            kept.area = area;
            if (kept == key) {
                const QRectF source(
                    QPointF(area.topLeft() - m_bufferKey.area.topLeft()) * dpr, QSizeF(area.size()) * dpr);
                target.drawPixmap(QRectF(area), m_buffer, source);
                return std::nullopt;
            }
        }
        const QSize pixels = (QSizeF(area.size()) * dpr).toSize();
        if (m_buffer.size() != pixels || m_buffer.devicePixelRatioF() != dpr) {
            m_buffer = QPixmap(pixels);
            m_buffer.setDevicePixelRatio(dpr);
        }
        offscreen.emplace(&m_buffer);
        offscreen->translate(-area.topLeft());
        painter = &*offscreen;
    }
    m_bufferValid = false;
    TPainterCanvas canvas(*painter);

    PaintBackground(look, canvas, client);
    canvas.Font = layout.font;
    if (look.updating)
        return std::nullopt;
    PaintFrames(G::LayoutFrames(client, layout.frames, look.colors), look.colors.borderColor, canvas);

    canvas.Brush.Color = look.colors.color;
    // Without pictures the point cannot change the layout, so the last measurement stays valid.
    const Placement placement = Place(layout, canvas, hit, !pictures);
    TMarkupResult result;
    DrawMarkup(canvas, layout.text, Params(layout, placement.rect, Call::Draw, hit, &look), result);

    if (offscreen) {
        offscreen->end();
        target.drawPixmap(key.area.topLeft(), m_buffer);
        m_bufferKey = key;
        m_bufferValid = !pictures;
    }
    m_paintedBefore = true;
    return placement.autoSize;
}

bool THTMLabelRenderer::HoldsPictures(const QString& text)
{
    if (text != m_scannedText) {
        m_scannedText = text;
        m_holdsPictures = MarkupHasTag(text, { TMarkupTag::Image, TMarkupTag::Page });
    }
    return m_holdsPictures;
}

void THTMLabelRenderer::PaintBackground(const THTMLabelLook& look, TCanvas& canvas, const TRect& client)
{
    using Gradient = THTMLabelLook::Gradient;
    const TColor color = look.colors.color;
    const int steps = client.Width() / 4;
    if (!look.transparent) {
        if (look.colorTo != clNone
            && (look.gradient == Gradient::FullHorizontal || look.gradient == Gradient::FullVertical)) {
            DrawGradient(
                canvas, color, look.colorTo, steps, client, look.gradient == Gradient::FullHorizontal);
        } else {
            canvas.Pen = TPen { color, 1 };
            canvas.Brush = TBrush { color, false };
            canvas.Rectangle(client);
        }
    }
    if (look.gradient == Gradient::BottomLine || look.gradient == Gradient::CenterLine
        || look.gradient == Gradient::TopLine) {
        const G::Band band = look.gradient == Gradient::BottomLine ? G::Band::Bottom
            : look.gradient == Gradient::CenterLine                ? G::Band::Center
                                                                   : G::Band::Top;
        DrawGradient(canvas, color, look.colorTo, steps, G::LineBand(client, band, look.lineWidth), true);
    }
}

void THTMLabelRenderer::PaintFrames(const G::Frames& frames, TColor borderColor, TCanvas& canvas)
{
    canvas.Brush.Clear = false;
    for (const G::Fill& fill : frames.fills) {
        canvas.Brush.Color = fill.color;
        canvas.FillRect(fill.rect);
    }
    if (frames.outline) {
        const TRect& o = frames.outlineRect;
        canvas.Pen = TPen { borderColor, frames.outlineWidth };
        canvas.MoveTo(o.Left, o.Top);
        canvas.LineTo(o.Right, o.Top);
        canvas.LineTo(o.Right, o.Bottom);
        canvas.LineTo(o.Left, o.Bottom);
        canvas.LineTo(o.Left, o.Top);
        canvas.Pen.Width = 1;
    }
}

void THTMLabelRenderer::Print(const THTMLabelLook& look, TCanvas& canvas, const TRect& rect)
{
    TMarkupResult result;
    DrawMarkup(canvas, look.layout.text, Params(look.layout, rect, Call::Print, QPoint(), &look), result);
}

// ---- placement and measurement

THTMLabelRenderer::Placement THTMLabelRenderer::Place(
    const THTMLabelLayout& layout, TCanvas& canvas, QPoint hit, bool reuse)
{
    const int width = layout.size.width();
    const int height = layout.size.height();
    const TRect inner = G::LayoutFrames(TRect(0, 0, width, height), layout.frames).textRect;

    Placement placement { inner, layout.size };
    TRect& rect = placement.rect;
    if (layout.sizesWidth)
        rect.Right += kMaxExtent;
    if (layout.sizesHeight)
        rect.Bottom += kMaxExtent;
    if (!layout.autoSizing && layout.valign == G::VAlign::Top)
        return placement;

    QSize text;
    if (reuse && m_hasMeasure && layout == m_measuredLayout) {
        text = m_measuredSize;
    } else {
        TMarkupResult result;
        DrawMarkup(canvas, layout.text, Params(layout, rect, Call::Layout, hit), result);
        text = QSize(result.XSize, result.YSize);
        m_measuredLayout = layout;
        m_measuredSize = text;
        m_hasMeasure = true;
    }
    // The frames keep their room: without them this is the text size plus the margin.
    if (layout.sizesWidth)
        placement.autoSize.setWidth(text.width() + kAutoSizeMargin + width - inner.Width());
    if (layout.sizesHeight)
        placement.autoSize.setHeight(text.height() + kAutoSizeMargin + height - inner.Height());
    if (layout.valign != G::VAlign::Top) {
        // Aligned within the frames at the size the label takes, so that the text never sits on them.
        const TRect sized = G::LayoutFrames(
            TRect(0, 0, placement.autoSize.width(), placement.autoSize.height()), layout.frames)
                                .textRect;
        rect = G::AlignText(rect, sized, text.height(), layout.valign);
    }
    return placement;
}

QSize THTMLabelRenderer::AutoSize(const THTMLabelLayout& layout, QPoint hit)
{
    return Place(layout, MeasureCanvas(layout), hit, true).autoSize;
}

QSize THTMLabelRenderer::TextSize(const THTMLabelLayout& layout, int maxWidth)
{
    TMarkupResult result;
    DrawMarkup(MeasureCanvas(layout), layout.text, Params(layout, TRect(0, 0, maxWidth, 4096), Call::Layout),
        result);
    return QSize(result.XSize, result.YSize);
}

TCanvas& THTMLabelRenderer::MeasureCanvas(const THTMLabelLayout& layout)
{
    if (!m_measureCanvas) {
        m_measureCanvas = std::make_unique<TMeasureCanvas>();
        m_measureCache = std::make_unique<THTMLabelMeasureCache>(*m_measureCanvas);
    }
    m_measureCache->Font = layout.font;
    return *m_measureCache;
}

// ---- hit testing

THTMLabelRenderer::Hit THTMLabelRenderer::AnchorAt(const THTMLabelLayout& layout, int x, int y)
{
    const Placement placement = Place(layout, MeasureCanvas(layout), QPoint(x, y), true);
    if (m_hitCaching) {
        if (!m_hitMapBuilt || layout != m_hitMapLayout) {
            m_hitMapLayout = layout;
            m_hitMapBuilt = true;
            BuildHitMap(layout, placement.rect);
        }
        Hit hit;
        switch (m_hitMap.Find(x, y, hit.target, hit.number, hit.rect)) {
        case TMarkupHitMap::Answer::Hit:
            return hit;
        case TMarkupHitMap::Answer::Miss:
            return Hit {};
        case TMarkupHitMap::Answer::Unknown:
            break;
        }
    }
    const TMarkupResult result = HitTest(layout, placement.rect, x, y);
    if (!result.Hit)
        return Hit {};
    return Hit { result.AnchorValue, result.HitAnchor, result.HitRect };
}

TMarkupResult THTMLabelRenderer::HitTest(const THTMLabelLayout& layout, const TRect& rect, int x, int y)
{
    TMarkupResult result;
    result.HitRect = Hit().rect;
    DrawMarkup(MeasureCanvas(layout), layout.text, Params(layout, rect, Call::Layout, QPoint(x, y)), result);
    return result;
}

void THTMLabelRenderer::BuildHitMap(const THTMLabelLayout& layout, const TRect& rect)
{
    m_hitMap.Clear();
    if (layout.ellipsis || layout.lineSpacing < 0 || !TMarkupHitMap::Suits(layout.text))
        return;
    m_hitMap.Build(
        MeasureCanvas(layout),
        [&](TCanvas& canvas) {
            canvas.Font = layout.font;
            TMarkupResult result;
            DrawMarkup(canvas, layout.text, Params(layout, rect, Call::Draw), result);
        },
        // Asked later, while the layout the map was built for still holds.
        [this, layout, rect](int x, int y) { return HitTest(layout, rect, x, y); });
}

void THTMLabelRenderer::setHitCaching(bool on)
{
    m_hitCaching = on;
    m_hitMapBuilt = false;
    m_hitMap.Clear();
}
