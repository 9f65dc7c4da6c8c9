// SPDX-License-Identifier: MIT
#include "AdvPanelRenderer.h"

#include "ImageList.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"
#include "PanelCaption.h"
#include "PanelStatusBar.h"
#include "ShadedHeader.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <algorithm>

using namespace AdvPanel;
namespace G = PanelGeometry;

namespace {

// The steps every panel gradient asks for; drawn in at most 32 bands.
constexpr int kPanelGradientSteps = 64;
// Caption gradients ask for 64 steps, status bar gradients for 40; both give 32 bands.
constexpr int kCaptionGradientSteps = 64;
constexpr int kStatusGradientSteps = 40;
// Corner radius of the rounded caption shapes.
constexpr int kCaptionRadius = 32;
// Edge length of a themed caption's buttons.
constexpr int kThemedButton = 16;

void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width)
{
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        for (const G::BevelStroke& s : G::BevelRing(r)) {
            canvas.Brush = TBrush { s.topLeft ? topLeft : bottomRight, false };
            canvas.FillRect(s.rect);
        }
        r.Inflate(-1, -1);
    }
}

void Polyline(TCanvas& canvas, const G::Polyline3& line, TColor color)
{
    canvas.Pen = TPen { color, 1 };
    canvas.MoveTo(line.points[0].x(), line.points[0].y());
    canvas.LineTo(line.points[1].x(), line.points[1].y());
    canvas.LineTo(line.points[2].x(), line.points[2].y());
}

// The band's outline for a rounded shape: both corners at the start of the bar rounded (top-left
// and top-right of a top caption, top-left and bottom-left of a left one), or only the first.
QPainterPath ShapePath(const QRect& band, TCaptionShape shape, bool top)
{
    QPainterPath path;
    const qreal r = std::min<qreal>(kCaptionRadius, std::min(band.width(), band.height()));
    const QRectF b(band);
    // Start at the top-left corner's arc and go clockwise.
    path.moveTo(b.left(), b.top() + r);
    path.arcTo(QRectF(b.left(), b.top(), 2 * r, 2 * r), 180, -90);
    const bool second = shape == csRounded;
    if (top && second) {
        path.lineTo(b.right() - r, b.top());
        path.arcTo(QRectF(b.right() - 2 * r, b.top(), 2 * r, 2 * r), 90, -90);
    } else {
        path.lineTo(b.right(), b.top());
    }
    path.lineTo(b.right(), b.bottom());
    if (!top && second) {
        path.lineTo(b.left() + r, b.bottom());
        path.arcTo(QRectF(b.left(), b.bottom() - 2 * r, 2 * r, 2 * r), 270, -90);
    } else {
        path.lineTo(b.left(), b.bottom());
    }
    path.closeSubpath();
    return path;
}

// The tag-stripped text on one line, as a rotated caption or status bar shows it.
QString OneLine(const QString& markup)
{
    QString plain = MarkupToPlainText(markup);
    plain.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return plain;
}

// Draws `text` turned by 270 degrees (reading downwards) in `band`, centred across it, from
// `along` pixels below its top.
void DrawTurnedText(TCanvas& canvas, const TFont& font, const QString& text, const TRect& band, int along)
{
    if (text.isEmpty() || band.IsEmpty())
        return;
    canvas.Font = font;
    canvas.Font.Escapement = canvas.Font.Orientation = 2700;
    const int textHeight = canvas.TextHeight(text);
    // Turned clockwise, the line's top edge lies on the right.
    const int x = band.Right - std::max(0, (band.Width() - textHeight) / 2);
    TRect r(x, band.Top + along, x + kMaxExtent, band.Top + along + kMaxExtent);
    canvas.BkMode = TBkMode::Transparent;
    canvas.SetClipRect(band);
    canvas.DrawText(text, r, DT::SingleLine | DT::NoPrefix);
    canvas.ClearClipRect();
}

// A bar's gradient, from the picture kept while its band and colours stay the same.
void PaintGradient(TPaintCache& cache, TPainterCanvas& canvas, TColor from, TColor to, int steps,
    const TRect& band, bool horizontal)
{
    cache.Draw(canvas, band.toQRect(), { ColorToRGB(from), ColorToRGB(to), steps, horizontal },
        [&](TCanvas& c) { DrawGradient(c, from, to, steps, band, horizontal); });
}

// Where a drawn button's strokes may reach: its rectangle and the round ends of its pen, however
// small the rectangle.
QRect ButtonStrokeArea(const TRect& r)
{
    const QPoint centre(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
    return r.toQRect().adjusted(-2, -2, 2, 2).united(QRect(centre - QPoint(6, 6), QSize(13, 13)));
}

TColor CaptionBackground(const TAdvPanelLook& look)
{
    return look.collapsed ? look.caption->CloseColor() : look.caption->Color();
}

} // namespace

TAdvPanelRenderer::TAdvPanelRenderer() = default;

TAdvPanelRenderer::~TAdvPanelRenderer() = default;

TMeasureCanvas& TAdvPanelRenderer::MeasureCanvas()
{
    if (!m_measure)
        m_measure = std::make_unique<TMeasureCanvas>();
    return *m_measure;
}

TMarkupParams TAdvPanelRenderer::TextParams(const TAdvPanelLook& look, const TRect& rect)
{
    const TAdvPanelTextLayout& l = look.layout;
    TMarkupParams p;
    p.Rect = rect;
    p.Images = l.images;
    p.HoverAnchor = look.hoverLink;
    p.ShadowOffset = l.shadowOffset;
    p.Hover = look.hover;
    p.WordWrap = !l.ellipsis;
    p.URLColor = look.urlColor;
    p.HoverColor = look.hoverColor;
    p.HoverFontColor = look.hoverFontColor;
    p.ShadowColor = look.shadowColor;
    p.PictureCache = &m_pictures;
    p.PictureContainer = l.container;
    p.LineSpacing = l.lineSpacing;
    return p;
}

TMarkupParams TAdvPanelRenderer::CaptionParams(const TAdvPanelLook& look, const TRect& rect)
{
    TMarkupParams p = TextParams(look, rect);
    p.HoverAnchor = look.captionHoverLink;
    p.ShadowOffset = 0;
    return p;
}

// ---- painting

void TAdvPanelRenderer::Paint(
    const TAdvPanelLook& look, QPainter& painter, const std::function<void(TCanvas&)>& after)
{
    if (look.frame) {
        // Filled edges cover the whole margin pixel at any density; a one-pixel pen on a scaled
        // painter covers only part of it, and the panel paints nothing else there.
        const QColor frame = ColorToQColor(clWindowFrame);
        const int w = look.outer.width();
        const int h = look.outer.height();
        painter.fillRect(0, 0, w, 1, frame);
        painter.fillRect(0, h - 1, w, 1, frame);
        painter.fillRect(0, 0, 1, h, frame);
        painter.fillRect(w - 1, 0, 1, h, frame);
    }
    painter.translate(look.origin);
    TPainterCanvas canvas(painter);
    PaintBackground(look, canvas);
    PaintText(look, canvas);
    if (look.caption->Visible())
        PaintCaption(look, canvas);
    if (look.statusBar->Visible())
        PaintStatusBar(look, canvas);

    const G::Layout& l = look.layout.geometry;
    if (look.sizeGrip) {
        for (const G::GripLine& line : G::SizeGripLines(l)) {
            canvas.Pen = TPen { line.white ? clWhite : clGray, line.white ? 1 : 2 };
            canvas.MoveTo(line.from.x(), line.from.y());
            canvas.LineTo(line.to.x(), line.to.y());
        }
    }
    if (after)
        after(canvas);
}

void TAdvPanelRenderer::PaintBackground(const TAdvPanelLook& look, TCanvas& canvas)
{
    const QSize size = look.layout.geometry.client;
    TRect r(0, 0, size.width(), size.height());
    if (r.IsEmpty())
        return;
    if (look.colorTo == clNone) {
        canvas.Brush = TBrush { look.color, false };
        canvas.FillRect(r);
    } else if (look.colorMirror == clNone) {
        DrawGradient(
            canvas, look.color, look.colorTo, G::GradientBandCount(kPanelGradientSteps), r, look.horizontal);
    } else {
        const auto [first, second] = G::MirrorHalves(r, look.horizontal);
        DrawGradient(canvas, look.color, look.colorTo, G::GradientBandCount(32), first, look.horizontal);
        DrawGradient(
            canvas, look.colorMirror, look.colorMirrorTo, G::GradientBandCount(32), second, look.horizontal);
    }

    const G::Layout& l = look.layout.geometry;
    if (look.borderColor != clNone && l.borderWidth > 0) {
        TRect border = r;
        if (l.borderShadow) {
            border.Right -= 2;
            border.Bottom -= 2;
        }
        canvas.Brush.Clear = true;
        canvas.Pen = TPen { look.borderColor, 1 };
        canvas.Rectangle(border);
        if (l.borderShadow) {
            const auto [near, far] = G::BorderShadowLines(border);
            Polyline(canvas, near, G::BlendColor(look.borderColor, clBtnFace, 50));
            Polyline(canvas, far, G::BlendColor(look.borderColor, clBtnFace, 20));
        }
        canvas.Brush.Clear = false;
    }

    if (look.bevelOuter != bvNone) {
        const auto [topLeft, bottomRight] = G::BevelColors(look.bevelOuter);
        Frame3D(canvas, r, topLeft, bottomRight, l.bevelWidth);
    }
    if (look.borderColor == clNone)
        Frame3D(canvas, r, look.color, look.color, 1);
    if (look.bevelInner != bvNone) {
        const auto [topLeft, bottomRight] = G::BevelColors(look.bevelInner);
        Frame3D(canvas, r, topLeft, bottomRight, l.bevelWidth);
    }
}

void TAdvPanelRenderer::PaintText(const TAdvPanelLook& look, TCanvas& canvas)
{
    const bool picture = look.background && !look.background->isNull();
    const QString& text = look.layout.text;
    if (!picture && text.isEmpty())
        return;
    const G::Layout& l = look.layout.geometry;
    const TRect area = G::ContentArea(l);
    canvas.Brush = TBrush { look.color, false };
    canvas.Pen = TPen { look.color, 1 };
    canvas.SetClipRect(area);
    if (picture) {
        const QImage& image = *look.background;
        const QSize panel = l.client;
        switch (look.backgroundPosition) {
        case bpTiled:
            for (int y = area.Top; y < panel.height(); y += image.height()) {
                for (int x = area.Left; x < panel.width(); x += image.width())
                    canvas.Draw(x, y, image);
            }
            break;
        case bpStretched:
            canvas.StretchDraw(area, image);
            break;
        default: {
            const QPoint at
                = G::BackgroundOrigin(look.backgroundPosition, area, panel, image.size(), l.bevelWidth);
            canvas.Draw(at.x(), at.y(), image);
            break;
        }
        }
    }
    if (!text.isEmpty()) {
        const TRect rect = PlaceText(look, canvas);
        canvas.Font = look.layout.font;
        TMarkupResult result;
        DrawMarkup(canvas, text, TextParams(look, rect), result);
    }
    canvas.ClearClipRect();
}

TRect TAdvPanelRenderer::PlaceText(const TAdvPanelLook& look, TCanvas& canvas)
{
    const TAdvPanelTextLayout& layout = look.layout;
    const G::Layout& l = layout.geometry;
    const TRect area = G::TextArea(l);
    if (layout.valign == tvaTop)
        return area;
    if (!m_hasPlaced || !(m_placedLayout == layout)) {
        const TFont saved = canvas.Font;
        canvas.Font = layout.font;
        TMarkupParams params = TextParams(look, area);
        params.HitTestOnly = true;
        TMarkupResult result;
        DrawMarkup(canvas, layout.text, params, result);
        canvas.Font = saved;
        m_placed = G::AlignText(l, area, result.YSize, layout.valign);
        m_placedLayout = layout;
        m_hasPlaced = true;
    }
    return m_placed;
}

QSize TAdvPanelRenderer::MeasureText(const TAdvPanelLook& look, const TRect& area)
{
    TMeasureCanvas& canvas = MeasureCanvas();
    canvas.Font = look.layout.font;
    TMarkupParams params = TextParams(look, area);
    params.HitTestOnly = true;
    params.WordWrap = true;
    TMarkupResult result;
    DrawMarkup(canvas, look.layout.text, params, result);
    return { result.XSize, result.YSize };
}

// ---- caption bar

G::CaptionPart TAdvPanelRenderer::CaptionPartAt(const TAdvPanelLook& look, QPoint p)
{
    return G::CaptionPartAt(look.layout.geometry, CaptionButtons(look), p);
}

G::CaptionButtonRects TAdvPanelRenderer::CaptionButtons(const TAdvPanelLook& look)
{
    const TPanelCaption& c = *look.caption;
    G::CaptionButtonInput in;
    const bool themed = c.ShadeType() == stXPCaption;
    const QSize standard = themed ? QSize(kThemedButton, kThemedButton) : QSize(12, 12);
    in.close = c.CloseButton();
    const QImage closeGlyph = look.collapsed ? c.CloseMaxGlyph() : c.CloseMinGlyph();
    const bool closeGlyphs = !c.CloseMinGlyph().isNull() && !c.CloseMaxGlyph().isNull();
    in.closeSize = closeGlyphs ? closeGlyph.size() : standard;
    in.minMax = c.MinMaxButton();
    const QImage minMaxGlyph = look.collapsed ? c.MaxGlyph() : c.MinGlyph();
    in.minMaxSize = minMaxGlyph.isNull() ? standard : minMaxGlyph.size();
    in.atStart = c.ButtonPosition() == cbpLeft;
    return G::CaptionButtons(look.layout.geometry, in);
}

TRect TAdvPanelRenderer::CaptionTextArea(const TAdvPanelLook& look)
{
    return G::CaptionTextArea(
        look.layout.geometry, CaptionButtons(look), look.caption->Indent(), look.caption->TopIndent());
}

void TAdvPanelRenderer::BuildShadedHeader(const TAdvPanelLook& look)
{
    const TPanelCaption& c = *look.caption;
    TShadeInput in;
    in.size = G::CaptionBand(look.layout.geometry).toQRect().size();
    in.color = CaptionBackground(look);
    in.type = c.ShadeType();
    in.light = c.ShadeLight();
    in.grain = c.ShadeGrain();
    in.picture = c.Background();
    in.vertical = c.Position() == cpLeft;
    m_shadedHeader = BuildShadedHeaderImage(in);
}

bool TAdvPanelRenderer::ShadedHeaderFits(const TAdvPanelLook& look) const
{
    return m_shadedHeader.size() == G::CaptionBand(look.layout.geometry).toQRect().size();
}

void TAdvPanelRenderer::PaintCaption(const TAdvPanelLook& look, TPainterCanvas& canvas)
{
    const TPanelCaption& c = *look.caption;
    const G::Layout& l = look.layout.geometry;
    const TRect band = G::CaptionBand(l);
    if (band.IsEmpty())
        return;
    const bool top = c.Position() == cpTop;
    const TColor background = CaptionBackground(look);
    if (c.ShadeType() == stNormal) {
        if (c.ColorTo() == clNone) {
            canvas.Brush = TBrush { background, false };
            canvas.FillRect(band);
        } else {
            PaintGradient(m_captionGradient, canvas, background, c.ColorTo(),
                G::GradientBandCount(kCaptionGradientSteps), band, c.GradientDirection() == gdHorizontal);
        }
    } else {
        if (!ShadedHeaderFits(look))
            BuildShadedHeader(look);
        QPainter& painter = canvas.Painter();
        const QRect b = band.toQRect();
        painter.save();
        if (c.Shape() != csRectangle) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipPath(ShapePath(b, c.Shape(), top), Qt::IntersectClip);
        } else {
            painter.setClipRect(b, Qt::IntersectClip);
        }
        painter.drawImage(b.topLeft(), m_shadedHeader);
        painter.restore();
        if (c.Shape() == csRectangle && !c.Flat()) {
            canvas.Brush = TBrush { clWhite, false };
            canvas.FillRect(TRect(band.Left, band.Top, band.Right - 1, band.Top + 1));
            canvas.FillRect(TRect(band.Left, band.Top, band.Left + 1, band.Bottom - 1));
            canvas.Brush = TBrush { clGray, false };
            canvas.FillRect(TRect(band.Right - 1, band.Top, band.Right, band.Bottom));
            canvas.FillRect(TRect(band.Left, band.Bottom - 1, band.Right, band.Bottom));
        }
    }

    const G::CaptionButtonRects buttons = CaptionButtons(look);
    PaintCaptionButtons(look, canvas, buttons);

    if (c.Text().isEmpty())
        return;
    const TRect area = G::CaptionTextArea(l, buttons, c.Indent(), c.TopIndent());
    if (top) {
        canvas.SetClipRect(band);
        canvas.Font = c.Font();
        TMarkupResult result;
        DrawMarkup(canvas, c.Text(), CaptionParams(look, area), result);
        canvas.ClearClipRect();
    } else {
        TRect turned = band;
        turned.Top = area.Top;
        turned.Bottom = area.Bottom;
        DrawTurnedText(canvas, c.Font(), OneLine(c.Text()), turned, 0);
    }
}

void TAdvPanelRenderer::PaintCaptionButtons(
    const TAdvPanelLook& look, TPainterCanvas& canvas, const G::CaptionButtonRects& buttons)
{
    const TPanelCaption& c = *look.caption;
    const bool themed = c.ShadeType() == stXPCaption;
    const bool top = c.Position() == cpTop;
    const bool collapsed = look.collapsed;
    if (!buttons.close.IsEmpty()) {
        const TRect& r = buttons.close;
        const QImage glyph = collapsed ? c.CloseMaxGlyph() : c.CloseMinGlyph();
        if (!c.CloseMinGlyph().isNull() && !c.CloseMaxGlyph().isNull()) {
            canvas.Draw(r.Left, r.Top, glyph);
        } else if (themed) {
            const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_TitleBarCloseButton);
            canvas.Painter().drawPixmap(r.toQRect(), icon.pixmap(r.toQRect().size()));
        } else {
            const TColor hover = c.CloseButtonHoverColor();
            const TColor color = look.closeHover && hover != clNone ? hover : c.CloseButtonColor();
            m_closeButton.Draw(canvas, ButtonStrokeArea(r), { ColorToRGB(color) }, [&](TCanvas& cv) {
                cv.Pen = TPen { color, 2 };
                cv.MoveTo(r.Left + 2, r.Top + 2);
                cv.LineTo(r.Right - 3, r.Bottom - 3);
                cv.MoveTo(r.Right - 3, r.Top + 2);
                cv.LineTo(r.Left + 2, r.Bottom - 3);
            });
        }
    }
    if (!buttons.minMax.IsEmpty()) {
        const TRect& r = buttons.minMax;
        const QImage glyph = collapsed ? c.MaxGlyph() : c.MinGlyph();
        if (!glyph.isNull()) {
            canvas.Draw(r.Left, r.Top, glyph);
        } else if (themed) {
            const auto which = collapsed ? QStyle::SP_TitleBarUnshadeButton : QStyle::SP_TitleBarShadeButton;
            const QIcon icon = QApplication::style()->standardIcon(which);
            canvas.Painter().drawPixmap(r.toQRect(), icon.pixmap(r.toQRect().size()));
        } else {
            // A chevron pointing where the panel goes: toward the caption to collapse, away to expand.
            const TColor hover = c.MinMaxButtonHoverColor();
            const TColor color = look.minMaxHover && hover != clNone ? hover : c.MinMaxButtonColor();
            const int cx = r.Left + r.Width() / 2;
            const int cy = r.Top + r.Height() / 2;
            const int d = collapsed ? 3 : -3;
            m_minMaxButton.Draw(canvas, ButtonStrokeArea(r), { ColorToRGB(color), d, top }, [&](TCanvas& cv) {
                cv.Pen = TPen { color, 2 };
                if (top) {
                    cv.MoveTo(cx - 4, cy - d);
                    cv.LineTo(cx, cy + d);
                    cv.LineTo(cx + 4, cy - d);
                } else {
                    cv.MoveTo(cx - d, cy - 4);
                    cv.LineTo(cx + d, cy);
                    cv.LineTo(cx - d, cy + 4);
                }
            });
        }
    }
}

// ---- status bar

void TAdvPanelRenderer::PaintStatusBar(const TAdvPanelLook& look, TPainterCanvas& canvas)
{
    const TRect band = G::StatusBand(look.layout.geometry);
    if (band.IsEmpty())
        return;
    const TPanelStatusBar& s = *look.statusBar;
    if (s.Color() != clNone && s.ColorTo() != clNone) {
        PaintGradient(m_statusGradient, canvas, s.Color(), s.ColorTo(),
            G::GradientBandCount(kStatusGradientSteps), band, s.GradientDirection() == gdHorizontal);
    } else if (s.Color() != clNone) {
        canvas.Brush = TBrush { s.Color(), false };
        canvas.FillRect(band);
    }
    const bool bottom = look.caption->Position() == cpTop;
    // The image, then the text, from the band's start.
    int along = 2;
    TImageList* images = look.layout.images;
    if (images && s.ImageIndex() >= 0 && s.ImageIndex() < images->Count()) {
        const QSize size(images->Width(), images->Height());
        if (bottom)
            images->Draw(
                canvas, band.Left + along, band.Top + (band.Height() - size.height()) / 2, s.ImageIndex());
        else
            images->Draw(
                canvas, band.Left + (band.Width() - size.width()) / 2, band.Top + along, s.ImageIndex());
        along += (bottom ? size.width() : size.height()) + 2;
    }
    if (!s.Text().isEmpty()) {
        if (bottom) {
            canvas.SetClipRect(band);
            canvas.Font = s.Font();
            TRect area(band.Left + along, band.Top, band.Right - 2, band.Bottom);
            // Centred by one line of the status font: a status text is one line, and laying it out
            // twice per paint would double its cost.
            const int line = canvas.TextHeight(u"Ag");
            if (line < area.Height())
                area.Top += (area.Height() - line) / 2;
            TMarkupParams params = TextParams(look, area);
            params.HoverAnchor = -1;
            params.ShadowOffset = 0;
            TMarkupResult result;
            DrawMarkup(canvas, s.Text(), params, result);
            canvas.ClearClipRect();
        } else {
            DrawTurnedText(canvas, s.Font(), OneLine(s.Text()), band, along);
        }
    }
    if (s.BorderStyle() != bsNone && s.BorderColor() != clNone) {
        canvas.Brush = TBrush { s.BorderColor(), false };
        canvas.FrameRect(band);
    }
    if (s.BevelInner()) {
        canvas.Brush = TBrush { clGray, false };
        canvas.FillRect(TRect(band.Left, band.Top, band.Right, band.Top + 1));
        canvas.FillRect(TRect(band.Left, band.Top, band.Left + 1, band.Bottom));
        canvas.Brush = TBrush { clWhite, false };
        canvas.FillRect(TRect(band.Left, band.Bottom - 1, band.Right, band.Bottom));
        canvas.FillRect(TRect(band.Right - 1, band.Top, band.Right, band.Bottom));
    }
}

// ---- hit testing

TAdvPanelRenderer::Hit TAdvPanelRenderer::AnchorAt(const TAdvPanelLook& look, int x, int y)
{
    if (CaptionPartAt(look, QPoint(x, y)) != G::CaptionPart::None) {
        const TPanelCaption& c = *look.caption;
        if (c.Position() != cpTop || c.Text().isEmpty())
            return {};
        Hit hit = HitTest(m_caption, look.layout.generation, CaptionParams(look, CaptionTextArea(look)),
            c.Text(), c.Font(), x, y);
        hit.area = Hit::Area::Caption;
        return hit;
    }
    if (look.layout.text.isEmpty())
        return {};
    const TRect rect = PlaceText(look, MeasureCanvas());
    Hit hit = HitTest(
        m_text, look.layout.generation, TextParams(look, rect), look.layout.text, look.layout.font, x, y);
    hit.area = Hit::Area::Text;
    return hit;
}

TAdvPanelRenderer::Hit TAdvPanelRenderer::HitTest(KeptText& kept, quint64 generation,
    const TMarkupParams& drawn, const QString& text, const TFont& font, int x, int y)
{
    // Hover only colours and underlines; the map is built and probed without it, so that the
    // anchor under the mouse does not make it stale.
    TMarkupParams params = drawn;
    params.HoverAnchor = -1;
    params.Hover = false;
    TAdvPanelTextLayout key;
    key.text = text;
    key.generation = generation;
    key.font = font;
    key.ellipsis = !params.WordWrap;
    key.lineSpacing = params.LineSpacing;
    key.shadowOffset = params.ShadowOffset;
    key.images = params.Images;
    key.container = params.PictureContainer;
    auto probe = [this, text, font, params](int px, int py) {
        TMeasureCanvas& canvas = MeasureCanvas();
        canvas.Font = font;
        TMarkupParams p = params;
        p.HitTestOnly = true;
        p.HitX = px;
        p.HitY = py;
        TMarkupResult result;
        result.HitRect = Hit().rect;
        DrawMarkup(canvas, text, p, result);
        return result;
    };
    if (!kept.built || !(kept.layout == key) || !(kept.rect == params.Rect)) {
        kept.layout = key;
        kept.rect = params.Rect;
        kept.built = true;
        kept.map.Clear();
        if (!params.WordWrap || params.LineSpacing < 0 || !TMarkupHitMap::Suits(text)) {
            // The engine answers every hit test of this text.
        } else {
            kept.map.Build(
                MeasureCanvas(),
                [&](TCanvas& canvas) {
                    canvas.Font = font;
                    TMarkupResult result;
                    DrawMarkup(canvas, text, params, result);
                },
                probe);
        }
    }
    Hit hit;
    switch (kept.map.Find(x, y, hit.target, hit.number, hit.rect)) {
    case TMarkupHitMap::Answer::Hit:
        return hit;
    case TMarkupHitMap::Answer::Miss:
        return {};
    case TMarkupHitMap::Answer::Unknown:
        break;
    }
    const TMarkupResult result = probe(x, y);
    if (!result.Hit)
        return {};
    return Hit { Hit::Area::None, result.AnchorValue, result.HitAnchor, result.HitRect };
}
