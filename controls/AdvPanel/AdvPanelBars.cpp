// SPDX-License-Identifier: MIT
// The panel's caption bar and status bar: painting, buttons, clicks, moving and sizing by mouse,
// collapsing to the caption bar and sizing to the text.
#include "AdvPanel.h"

#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"
#include "Pump.h"
#include "ShadedHeader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTimer>
#include <algorithm>

using namespace AdvPanel;
namespace G = PanelGeometry;

namespace {

// Caption gradients ask for 64 steps, status bar gradients for 40; both give 32 bands.
constexpr int kCaptionGradientSteps = 64;
constexpr int kStatusGradientSteps = 40;
// Corner radius of the rounded caption shapes.
constexpr int kCaptionRadius = 32;
// Edge length of a themed caption's buttons.
constexpr int kThemedButton = 16;

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

} // namespace

// ---- caption bar

bool TCustomAdvPanel::InCaption(QPoint p) const
{
    if (!FCaption->Visible())
        return false;
    return FCaption->Position() == cpTop ? p.y() < FCaption->Height() : p.x() < FCaption->Height();
}

TColor TCustomAdvPanel::CaptionBackground() const
{
    return FCollaps ? FCaption->CloseColor() : FCaption->Color();
}

G::CaptionButtonRects TCustomAdvPanel::CaptionButtonRects() const
{
    G::CaptionButtonInput in;
    const bool themed = FCaption->ShadeType() == stXPCaption;
    const QSize standard = themed ? QSize(kThemedButton, kThemedButton) : QSize(12, 12);
    in.close = FCaption->CloseButton();
    const QImage closeGlyph = FCollaps ? FCaption->CloseMaxGlyph() : FCaption->CloseMinGlyph();
    const bool closeGlyphs = !FCaption->CloseMinGlyph().isNull() && !FCaption->CloseMaxGlyph().isNull();
    in.closeSize = closeGlyphs ? closeGlyph.size() : standard;
    in.minMax = FCaption->MinMaxButton();
    const QImage minMaxGlyph = FCollaps ? FCaption->MaxGlyph() : FCaption->MinGlyph();
    in.minMaxSize = minMaxGlyph.isNull() ? standard : minMaxGlyph.size();
    in.atStart = FCaption->ButtonPosition() == cbpLeft;
    return G::CaptionButtons(CurrentLayout(), in);
}

TMarkupParams TCustomAdvPanel::CaptionParams(const TRect& rect) const
{
    TMarkupParams p = TextParams(rect);
    p.HoverAnchor = FCaptionHoverHyperLink;
    p.ShadowOffset = 0;
    return p;
}

void TCustomAdvPanel::BuildShadedHeader()
{
    TShadeInput in;
    in.size = G::CaptionBand(CurrentLayout()).toQRect().size();
    in.color = CaptionBackground();
    in.type = FCaption->ShadeType();
    in.light = FCaption->ShadeLight();
    in.grain = FCaption->ShadeGrain();
    in.picture = FCaption->Background();
    in.vertical = FCaption->Position() == cpLeft;
    FShadedHeader = BuildShadedHeaderImage(in);
}

void TCustomAdvPanel::PaintCaption(TPainterCanvas& canvas)
{
    const G::Layout l = CurrentLayout();
    const TRect band = G::CaptionBand(l);
    if (band.IsEmpty())
        return;
    const bool top = FCaption->Position() == cpTop;
    const TColor background = CaptionBackground();
    if (FCaption->ShadeType() == stNormal) {
        if (FCaption->ColorTo() == clNone) {
            canvas.Brush = TBrush { background, false };
            canvas.FillRect(band);
        } else {
            PaintGradient(m_captionGradient, canvas, background, FCaption->ColorTo(),
                G::GradientBandCount(kCaptionGradientSteps), band,
                FCaption->GradientDirection() == gdHorizontal);
        }
    } else {
        if (FShadedHeader.size() != band.toQRect().size())
            BuildShadedHeader();
        QPainter& painter = canvas.Painter();
        const QRect b = band.toQRect();
        painter.save();
        if (FCaption->Shape() != csRectangle) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipPath(ShapePath(b, FCaption->Shape(), top), Qt::IntersectClip);
        } else {
            painter.setClipRect(b, Qt::IntersectClip);
        }
        painter.drawImage(b.topLeft(), FShadedHeader);
        painter.restore();
        if (FCaption->Shape() == csRectangle && !FCaption->Flat()) {
            canvas.Brush = TBrush { clWhite, false };
            canvas.FillRect(TRect(band.Left, band.Top, band.Right - 1, band.Top + 1));
            canvas.FillRect(TRect(band.Left, band.Top, band.Left + 1, band.Bottom - 1));
            canvas.Brush = TBrush { clGray, false };
            canvas.FillRect(TRect(band.Right - 1, band.Top, band.Right, band.Bottom));
            canvas.FillRect(TRect(band.Left, band.Bottom - 1, band.Right, band.Bottom));
        }
    }

    const G::CaptionButtonRects buttons = CaptionButtonRects();
    PaintCaptionButtons(canvas, buttons);

    if (FCaption->Text().isEmpty())
        return;
    const TRect area = G::CaptionTextArea(l, buttons, FCaption->Indent(), FCaption->TopIndent());
    if (top) {
        canvas.SetClipRect(band);
        canvas.Font = FCaption->Font();
        TMarkupResult result;
        DrawMarkup(canvas, FCaption->Text(), CaptionParams(area), result);
        canvas.ClearClipRect();
    } else {
        TRect turned = band;
        turned.Top = area.Top;
        turned.Bottom = area.Bottom;
        DrawTurnedText(canvas, FCaption->Font(), OneLine(FCaption->Text()), turned, 0);
    }
}

void TCustomAdvPanel::PaintCaptionButtons(TPainterCanvas& canvas, const G::CaptionButtonRects& buttons)
{
    const bool themed = FCaption->ShadeType() == stXPCaption;
    const bool top = FCaption->Position() == cpTop;
    if (!buttons.close.IsEmpty()) {
        const TRect& r = buttons.close;
        const QImage glyph = FCollaps ? FCaption->CloseMaxGlyph() : FCaption->CloseMinGlyph();
        if (!FCaption->CloseMinGlyph().isNull() && !FCaption->CloseMaxGlyph().isNull()) {
            canvas.Draw(r.Left, r.Top, glyph);
        } else if (themed) {
            const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_TitleBarCloseButton);
            canvas.Painter().drawPixmap(r.toQRect(), icon.pixmap(r.toQRect().size()));
        } else {
            const TColor hover = FCaption->CloseButtonHoverColor();
            const TColor color = FCloseHover && hover != clNone ? hover : FCaption->CloseButtonColor();
            m_closeButton.Draw(canvas, ButtonStrokeArea(r), { ColorToRGB(color) }, [&](TCanvas& c) {
                c.Pen = TPen { color, 2 };
                c.MoveTo(r.Left + 2, r.Top + 2);
                c.LineTo(r.Right - 3, r.Bottom - 3);
                c.MoveTo(r.Right - 3, r.Top + 2);
                c.LineTo(r.Left + 2, r.Bottom - 3);
            });
        }
    }
    if (!buttons.minMax.IsEmpty()) {
        const TRect& r = buttons.minMax;
        const QImage glyph = FCollaps ? FCaption->MaxGlyph() : FCaption->MinGlyph();
        if (!glyph.isNull()) {
            canvas.Draw(r.Left, r.Top, glyph);
        } else if (themed) {
            const auto which = FCollaps ? QStyle::SP_TitleBarUnshadeButton : QStyle::SP_TitleBarShadeButton;
            const QIcon icon = QApplication::style()->standardIcon(which);
            canvas.Painter().drawPixmap(r.toQRect(), icon.pixmap(r.toQRect().size()));
        } else {
            // A chevron pointing where the panel goes: toward the caption to collapse, away to expand.
            const TColor hover = FCaption->MinMaxButtonHoverColor();
            const TColor color = FMinMaxHover && hover != clNone ? hover : FCaption->MinMaxButtonColor();
            const int cx = r.Left + r.Width() / 2;
            const int cy = r.Top + r.Height() / 2;
            const int d = FCollaps ? 3 : -3;
            m_minMaxButton.Draw(canvas, ButtonStrokeArea(r), { ColorToRGB(color), d, top }, [&](TCanvas& c) {
                c.Pen = TPen { color, 2 };
                if (top) {
                    c.MoveTo(cx - 4, cy - d);
                    c.LineTo(cx, cy + d);
                    c.LineTo(cx + 4, cy - d);
                } else {
                    c.MoveTo(cx - d, cy - 4);
                    c.LineTo(cx + d, cy);
                    c.LineTo(cx - d, cy + 4);
                }
            });
        }
    }
}

// ---- status bar

void TCustomAdvPanel::PaintStatusBar(TPainterCanvas& canvas)
{
    const G::Layout l = CurrentLayout();
    const TRect band = G::StatusBand(l);
    if (band.IsEmpty())
        return;
    const TPanelStatusBar& s = *FStatusBar;
    if (s.Color() != clNone && s.ColorTo() != clNone) {
        PaintGradient(m_statusGradient, canvas, s.Color(), s.ColorTo(),
            G::GradientBandCount(kStatusGradientSteps), band, s.GradientDirection() == gdHorizontal);
    } else if (s.Color() != clNone) {
        canvas.Brush = TBrush { s.Color(), false };
        canvas.FillRect(band);
    }
    const bool bottom = FCaption->Position() == cpTop;
    // The image, then the text, from the band's start.
    int along = 2;
    if (FImages && s.ImageIndex() >= 0 && s.ImageIndex() < FImages->Count()) {
        const QSize size(FImages->Width(), FImages->Height());
        if (bottom)
            FImages->Draw(
                canvas, band.Left + along, band.Top + (band.Height() - size.height()) / 2, s.ImageIndex());
        else
            FImages->Draw(
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
            TMarkupParams params = TextParams(area);
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

// ---- clicks on the caption bar

bool TCustomAdvPanel::CaptionPressed(QPoint p)
{
    if (!InCaption(p))
        return false;
    const G::CaptionButtonRects buttons = CaptionButtonRects();
    if (buttons.close.Contains(p.x(), p.y()))
        m_captionPress = CaptionPress::Close;
    else if (buttons.minMax.Contains(p.x(), p.y()))
        m_captionPress = CaptionPress::MinMax;
    else
        m_captionPress = CaptionPress::Bar;
    return true;
}

void TCustomAdvPanel::CaptionClicked(QPoint p)
{
    const CaptionPress press = std::exchange(m_captionPress, CaptionPress::None);
    if (press == CaptionPress::None || !InCaption(p))
        return;
    const G::CaptionButtonRects buttons = CaptionButtonRects();
    // Handlers may close or destroy the panel; nothing is touched once it is gone.
    QPointer<TCustomAdvPanel> self(this);
    if (press == CaptionPress::Close && buttons.close.Contains(p.x(), p.y())) {
        hide();
        if (OnClose)
            OnClose(this);
        if (!self)
            return;
        Synchronize();
        if (FFreeOnClose) {
            // Destroyed once the event that closed it has returned, never under its own handler.
            deleteLater();
            return;
        }
    } else if (press == CaptionPress::MinMax && buttons.minMax.Contains(p.x(), p.y())) {
        setCollaps(!FCollaps);
    } else if (press == CaptionPress::Bar && FCaption->MinMaxCaption()) {
        setCollaps(!FCollaps);
    }
    if (self && OnCaptionClick)
        OnCaptionClick(this);
}

void TCustomAdvPanel::UpdateButtonHover(QPoint p)
{
    const G::CaptionButtonRects buttons = CaptionButtonRects();
    const bool caption = FCaption->Visible();
    const bool close = caption && buttons.close.Contains(p.x(), p.y());
    const bool minMax = caption && buttons.minMax.Contains(p.x(), p.y());
    if (close == FCloseHover && minMax == FMinMaxHover)
        return;
    FCloseHover = close;
    FMinMaxHover = minMax;
    InvalidateRect(G::CaptionBand(CurrentLayout()));
}

// ---- moving and sizing

QSize TCustomAdvPanel::MinimumPanelSize() const
{
    // Room for the size grip and the frame, and for the caption bar when it is shown.
    const int frame = 2 * (FBevelWidth + FBorderWidth) + 12;
    int w = frame;
    int h = frame;
    if (FCaption->Visible()) {
        if (FCaption->Position() == cpTop)
            h = std::max(h, FCaption->Height() + 12);
        else
            w = std::max(w, FCaption->Height() + 12);
    }
    const QMargins m = contentsMargins();
    return { w + m.left() + m.right(), h + m.top() + m.bottom() };
}

void TCustomAdvPanel::UpdateSizeCursor(QPoint p)
{
    G::SizeZone zone = G::SizeZone::None;
    if (FCanSize && !FCollaps)
        zone = G::SizingZone(contentsRect().size(), p, kSizingFrame, FFixedWidth, FFixedHeight);
    if (zone == G::SizeZone::None) {
        if (m_sizeCursor) {
            m_sizeCursor = false;
            SetHandCursor(false);
        }
        return;
    }
    m_sizeCursor = true;
    QWidget::setCursor(zone == G::SizeZone::Corner ? Qt::SizeFDiagCursor
            : zone == G::SizeZone::Bottom          ? Qt::SizeVerCursor
                                                   : Qt::SizeHorCursor);
}

void TCustomAdvPanel::MoveOrSize(QPoint global)
{
    const QPoint delta = global - m_pressGlobal;
    if (!m_dragMoved && delta.manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragMoved = true;
    if (m_drag == Drag::Size) {
        const bool horizontal = m_sizeZone != G::SizeZone::Bottom && !FFixedWidth;
        const bool vertical = m_sizeZone != G::SizeZone::Right && !FFixedHeight;
        const QSize minimum = MinimumPanelSize();
        const int w
            = horizontal ? std::max(minimum.width(), FWidthHeight.width() + delta.x()) : FWidthHeight.width();
        const int h = vertical ? std::max(minimum.height(), FWidthHeight.height() + delta.y())
                               : FWidthHeight.height();
        resize(w, h);
        RecordFullHeight();
        return;
    }
    QPoint to = FTopLeft + delta;
    if (FFixedLeft)
        to.setX(FTopLeft.x());
    if (FFixedTop)
        to.setY(FTopLeft.y());
    if (const QWidget* parent = parentWidget()) {
        // Part of the panel, its caption bar included, always stays inside the parent, so that it can
        // be taken again.
        const QSize area = parent->size();
        const int keep = std::min(width(), std::max(FCaption->Height(), 16));
        to.setX(std::clamp(to.x(), keep - width(), std::max(keep - width(), area.width() - keep)));
        to.setY(std::clamp(to.y(), 0, std::max(0, area.height() - std::min(height(), keep))));
    }
    if (FShowMoveCursor)
        QWidget::setCursor(Qt::SizeAllCursor);
    move(to);
}

void TCustomAdvPanel::EndMoveOrSize()
{
    if (FShowMoveCursor)
        SetHandCursor(false);
    FTopLeft = pos();
    FWidthHeight = size();
    QPointer<TCustomAdvPanel> self(this);
    if (OnEndMoveSize)
        OnEndMoveSize(this);
    if (self)
        Synchronize();
}

// ---- collapse and expand

QList<QWidget*> TCustomAdvPanel::HideList() const
{
    QList<QWidget*> list;
    for (const QPointer<QWidget>& w : FHideList) {
        if (w)
            list << w.data();
    }
    return list;
}

bool TCustomAdvPanel::PumpAnimation(int delayMs)
{
    QPointer<TCustomAdvPanel> self(this);
    const bool shown = window()->isVisible();
    const bool running = WaitAndPump(delayMs);
    // Gone, its window closed or the application ending meanwhile: the animation ends here.
    return running && self && !(shown && !window()->isVisible());
}

void TCustomAdvPanel::RunCollapse(bool collapse)
{
    const bool top = FCaption->Position() == cpTop;
    auto extent = [&] { return top ? height() : width(); };
    auto setExtent = [&](int e) {
        if (top)
            resize(width(), std::max(0, e));
        else
            resize(std::max(0, e), height());
    };
    const bool animate = m_animate && FCollapsSteps > 0;
    const bool recolour = FCollapsSteps > 0 && FCollapsColor != clNone;
    FCollapsing = true;
    int target = 0;
    if (collapse) {
        FFullHeight = extent();
        if (FAutoHideChildren) {
            FHideList.clear();
            for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isWindow())
                    continue;
                if (child->isHidden())
                    FHideList << child;
                else
                    child->hide();
            }
            m_childrenHidden = true;
        }
        FOldColor = FColor;
        FCollaps = true;
        if (recolour)
            setColor(FCollapsColor);
        const QMargins m = contentsMargins();
        target = G::CollapsedExtent(CurrentLayout()) + (top ? m.top() + m.bottom() : m.left() + m.right());
    } else {
        FCollaps = false;
        if (recolour)
            setColor(FOldColor);
        target = FFullHeight;
    }
    BuildShadedHeader();
    update();

    QPointer<TCustomAdvPanel> self(this);
    if (animate) {
        const int from = extent();
        for (int step = 1; step <= FCollapsSteps; ++step) {
            setExtent(G::AnimationStep(from, target, step, FCollapsSteps));
            if (!PumpAnimation(0))
                break;
            Synchronize();
            if (!self || !PumpAnimation(FCollapsDelay))
                break;
        }
        if (!self)
            return;
    }
    setExtent(target);
    if (!collapse) {
        if (m_childrenHidden) {
            for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!child->isWindow() && !FHideList.contains(child))
                    child->show();
            }
        }
        FHideList.clear();
        m_childrenHidden = false;
    }
    FCollapsing = false;
    update();
    // A group arranges its panels again for the new size, whether animated or not.
    Synchronize();
    if (!self)
        return;
    StateChanged();
    if (self && OnEndCollapsExpand)
        OnEndCollapsExpand(this);
}

// ---- auto size

void TCustomAdvPanel::UpdateAutoSize()
{
    if (!FAutoSize->Enabled() || IsLoading() || m_inAutoSize)
        return;
    m_inAutoSize = true;
    const G::Layout l = CurrentLayout();
    const int w = FAutoSize->Width() ? kMaxExtent : l.client.width() - 2 * FBevelWidth;
    const int h = FAutoSize->Height() ? kMaxExtent : l.client.height() - 2 * FBevelWidth;
    TMeasureCanvas canvas;
    canvas.Font = FFont;
    TMarkupParams params = TextParams(TRect(0, 0, std::max(0, w), std::max(0, h)));
    params.HitTestOnly = true;
    params.WordWrap = true;
    TMarkupResult result;
    DrawMarkup(canvas, FText, params, result);
    const QMargins m = contentsMargins();
    const QSize client = G::AutoSizeExtent(
        l, QSize(result.XSize, result.YSize), l.client, FAutoSize->Width(), FAutoSize->Height());
    resize(client.width() + m.left() + m.right(), client.height() + m.top() + m.bottom());
    RecordFullHeight();
    m_inAutoSize = false;
    Synchronize();
}
