// SPDX-License-Identifier: MIT
#include "HTMLabel.h"

#include "HTMLabelGeometry.h"
#include "HTMLabelMeasureCache.h"
#include "HTMLabelText.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"
#include "ShellService.h"
#include "VersionText.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <optional>

namespace G = HTMLabelGeometry;

namespace {

constexpr TRect kNoRect { -1, -1, -1, -1 };
// Auto-sized directions are laid out without a limit.
constexpr int kUnbounded = 65535;
// Room auto-sizing leaves around the text, in each sized direction.
constexpr int kAutoSizeMargin = 6;
// Far wider than any label; keeps the frame arithmetic of three nested frames within int range.
constexpr int kMaxFrameWidth = 65535;

G::Bevel ToBevel(THTMLabel::TBevelCut cut)
{
    return static_cast<G::Bevel>(cut);
}

} // namespace

THTMLabel::THTMLabel(QWidget* parent)
    : QWidget(parent)
    , FImageCache(std::make_unique<THTMLPictureCache>())
{
    // No background of its own: the parent shows through wherever the label does not paint.
    setAutoFillBackground(false);
    setMouseTracking(true);
    resize(120, 17);
    FHTMLText.OnChange = [this] { HTMLTextChanged(); };
}

THTMLabel::~THTMLabel()
{
    FHTMLText.OnChange = nullptr;
    FImageCache->Clear();
}

// ---- properties

void THTMLabel::setAutoSizing(bool value)
{
    FAutoSizing = value;
    if (value) {
        if (FAlign == alLeft || FAlign == alRight)
            resize(kAutoSizeMargin, height());
        else if (FAlign == alTop || FAlign == alBottom)
            resize(width(), kAutoSizeMargin);
    }
    AdjustAutoSize();
    update();
}

void THTMLabel::setAutoSizeType(TAutoSizeType value)
{
    FAutoSizeType = value;
    setAutoSizing(FAutoSizing);
}

void THTMLabel::setAlign(TAlign value)
{
    if (FAlign == value)
        return;
    FAlign = value;
    ApplyAlign();
    AdjustAutoSize();
    update();
}

void THTMLabel::setBevelInner(TBevelCut value)
{
    FBevelInner = value;
    LayoutChanged();
}

void THTMLabel::setBevelOuter(TBevelCut value)
{
    FBevelOuter = value;
    LayoutChanged();
}

void THTMLabel::setBevelWidth(int value)
{
    FBevelWidth = std::clamp(value, 1, kMaxFrameWidth);
    LayoutChanged();
}

void THTMLabel::setBorderColor(TColor value)
{
    if (FBorderColor == value)
        return;
    FBorderColor = value;
    update();
}

void THTMLabel::setBorderStyle(TBorderStyle value)
{
    FBorderStyle = value;
    LayoutChanged();
}

void THTMLabel::setBorderWidth(int value)
{
    FBorderWidth = std::clamp(value, 0, kMaxFrameWidth);
    LayoutChanged();
}

TColor THTMLabel::Color() const
{
    if (!FParentColor)
        return FColor;
    const QWidget* parent = parentWidget();
    if (!parent)
        return FColor;
    // A parent that keeps its colour as a property (our panels) paints with that, not its palette.
    const QVariant own = parent->property("Color");
    if (own.isValid() && own.canConvert<uint>())
        return TColor(own.toUInt());
    return QColorToColor(parent->palette().color(QPalette::Window));
}

void THTMLabel::setColor(TColor value)
{
    if (!FParentColor && FColor == value)
        return;
    FParentColor = false;
    FColor = value;
    update();
}

void THTMLabel::setParentColor(bool value)
{
    if (FParentColor == value)
        return;
    FParentColor = value;
    update();
}

void THTMLabel::setColorTo(TColor value)
{
    if (FColorTo == value)
        return;
    FColorTo = value;
    update();
}

void THTMLabel::setEllipsis(bool value)
{
    if (FEllipsis == value)
        return;
    FEllipsis = value;
    LayoutChanged();
}

void THTMLabel::setGradientType(TGradientType value)
{
    if (FGradientType == value)
        return;
    FGradientType = value;
    update();
}

void THTMLabel::setHTMLText(const QStringList& value)
{
    const QString text = HTMLabelText::RemoveLineBreaks(value);
    FHTMLText.SetLines(text.isEmpty() ? QStringList() : QStringList { text });
}

void THTMLabel::setImages(TImageList* value)
{
    if (FILChangeLink)
        disconnect(FILChangeLink);
    FImages = value;
    if (value) {
        FILChangeLink = connect(value, &TImageList::Change, this, [this] {
            ++m_textGeneration;
            AdjustAutoSize();
            update();
        });
    }
    ++m_textGeneration;
    AdjustAutoSize();
    update();
}

void THTMLabel::setLineSpacing(int value)
{
    if (FLineSpacing == value)
        return;
    FLineSpacing = value;
    LayoutChanged();
}

void THTMLabel::setLineWidth(int value)
{
    if (FLineWidth == value)
        return;
    FLineWidth = value;
    update();
}

void THTMLabel::setPictureContainer(TPictureContainer* value)
{
    if (FContainer == value)
        return;
    FContainer = value;
    ++m_textGeneration;
    LayoutChanged();
}

void THTMLabel::setShadowColor(TColor value)
{
    if (FShadowColor == value)
        return;
    FShadowColor = value;
    update();
}

void THTMLabel::setShadowOffset(int value)
{
    if (FShadowOffset == value)
        return;
    FShadowOffset = value;
    update();
}

void THTMLabel::setTransparent(bool value)
{
    if (FTransparent == value)
        return;
    FTransparent = value;
    update();
}

void THTMLabel::setURLColor(TColor value)
{
    if (FURLColor == value)
        return;
    FURLColor = value;
    update();
}

void THTMLabel::setVAlignment(TVAlignment value)
{
    if (FVAlignment == value)
        return;
    FVAlignment = value;
    update();
}

QString THTMLabel::Version() const
{
    return VersionText(VersionNumber());
}

QString THTMLabel::DisplayText() const
{
    return m_displayText;
}

QString THTMLabel::Text() const
{
    return MarkupToPlainText(DisplayText());
}

// ---- operations

QSize THTMLabel::GetSizeWithMaxWidth(int maxWidth) const
{
    TCanvas& canvas = MeasureCanvas();
    canvas.Font = CanvasFont();
    canvas.Brush.Color = Color();
    TMarkupParams params = BaseParams(TRect(0, 0, maxWidth, 4096));
    params.HitTestOnly = true;
    TMarkupResult result;
    DrawMarkup(canvas, DisplayText(), params, result);
    return QSize(result.XSize, result.YSize);
}

QSize THTMLabel::HTMLSize() const
{
    return GetSizeWithMaxWidth(4096);
}

void THTMLabel::BeginUpdate()
{
    ++FUpdateCount;
}

void THTMLabel::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        update();
}

void THTMLabel::Doit()
{
    repaint();
}

void THTMLabel::HTMLPrint(TCanvas& canvas, const TRect& r)
{
    TMarkupParams params = BaseParams(r);
    params.PrintMode = true;
    params.HitX = 0;
    params.HitY = 0;
    params.HoverAnchor = -1;
    params.Hover = false;
    params.ShadowOffset = 1;
    params.ShadowColor = clGray;
    params.HoverColor = clNone;
    params.HoverFontColor = clNone;
    TMarkupResult result;
    PaintMarkup(canvas, params, result);
}

void THTMLabel::HilightText(const QString& text, bool matchCase)
{
    FHTMLText.SetText(HTMLabelText::WrapMatches(FHTMLText.Text(), text, u"hi", matchCase));
}

void THTMLabel::UnHilightText()
{
    FHTMLText.SetText(HTMLabelText::RemoveTag(FHTMLText.Text(), u"hi"));
}

void THTMLabel::MarkText(const QString& text, bool matchCase)
{
    FHTMLText.SetText(HTMLabelText::WrapMatches(FHTMLText.Text(), text, u"e", matchCase));
}

void THTMLabel::UnMarkText()
{
    FHTMLText.SetText(HTMLabelText::RemoveTag(FHTMLText.Text(), u"e"));
}

QString THTMLabel::AnchorAt(int x, int y)
{
    m_anchorRect = kNoRect;
    TCanvas& canvas = MeasureCanvas();
    canvas.Font = CanvasFont();
    const Placement placement = PlaceText(canvas, QPoint(x, y), true);
    if (m_hitCaching) {
        LayoutKey key = CurrentLayoutKey();
        if (!m_hitMapBuilt || key != m_hitMapKey) {
            m_hitMapKey = std::move(key);
            m_hitMapBuilt = true;
            BuildHitMap(placement.rect);
        }
        QString target;
        int number = -1;
        TRect rect = kNoRect;
        switch (m_hitMap.Find(x, y, target, number, rect)) {
        case THTMLabelHitMap::Answer::Hit:
            FHoverHyperLink = number;
            m_anchorRect = rect;
            return target;
        case THTMLabelHitMap::Answer::Miss:
            FHoverHyperLink = -1;
            return QString();
        case THTMLabelHitMap::Answer::Unknown:
            break;
        }
    }
    const TMarkupResult result = HitTest(placement.rect, x, y);
    if (result.Hit) {
        FHoverHyperLink = result.HitAnchor;
        m_anchorRect = result.HitRect;
        return result.AnchorValue;
    }
    FHoverHyperLink = -1;
    return QString();
}

TMarkupResult THTMLabel::HitTest(const TRect& rect, int x, int y)
{
    TCanvas& canvas = MeasureCanvas();
    canvas.Font = CanvasFont();
    TMarkupParams params = BaseParams(rect);
    params.HitTestOnly = true;
    params.HitX = x;
    params.HitY = y;
    params.HoverAnchor = -1;
    TMarkupResult result;
    result.HitRect = kNoRect;
    result.Hit = PaintMarkup(canvas, params, result);
    return result;
}

void THTMLabel::BuildHitMap(const TRect& rect)
{
    m_hitMap.Clear();
    if (!FEllipsis && FLineSpacing >= 0 && THTMLabelHitMap::Suits(DisplayText())) {
        const TFont font = CanvasFont();
        m_hitMap.Build(
            MeasureCanvas(),
            [&](TCanvas& canvas) {
                canvas.Font = font;
                TMarkupParams params = BaseParams(rect);
                params.HoverAnchor = -1;
                TMarkupResult result;
                DrawMarkup(canvas, DisplayText(), params, result);
            },
            // Asked later, while the key the map was built for still holds.
            [this, rect](int x, int y) { return HitTest(rect, x, y); });
    }
}

void THTMLabel::setHitCaching(bool on)
{
    m_hitCaching = on;
    m_hitMapBuilt = false;
    m_hitMap.Clear();
}

// ---- painting

bool THTMLabel::PaintMarkup(TCanvas& canvas, const TMarkupParams& params, TMarkupResult& result)
{
    const bool hit = DrawMarkup(canvas, DisplayText(), params, result);
    FXSize = result.XSize;
    FYSize = result.YSize;
    return hit;
}

void THTMLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintLabel(painter);
}

void THTMLabel::PaintLabel(QPainter& target)
{
    const TRect client(0, 0, width(), height());
    if (client.IsEmpty())
        return;
    const int steps = client.Width() / 4;
    const TColor color = Color();
    const QString text = DisplayText();
    // Pictures can change without the label knowing, and an ALT picture follows the mouse.
    const bool pictures = text.contains(QLatin1String("<im"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("<bo"), Qt::CaseInsensitive);

    std::optional<QPainter> offscreen;
    QPainter* painter = &target;
    PaintKey key;
    if (!FTransparent) {
        const qreal dpr = target.device() ? target.device()->devicePixelRatioF() : devicePixelRatioF();
        key = CurrentPaintKey(color, dpr);
        // Nothing that shows has changed since the buffer was painted: show it again.
        if (m_bufferValid && FUpdateCount == 0 && !pictures && key == m_bufferKey) {
            target.drawPixmap(0, 0, m_buffer);
            return;
        }
        const QSize pixels = (QSizeF(size()) * dpr).toSize();
        if (m_buffer.size() != pixels || m_buffer.devicePixelRatioF() != dpr) {
            m_buffer = QPixmap(pixels);
            m_buffer.setDevicePixelRatio(dpr);
        }
        offscreen.emplace(&m_buffer);
        painter = &*offscreen;
    }
    m_bufferValid = false;
    TPainterCanvas canvas(*painter);

    if (!FTransparent) {
        if (FColorTo != clNone && (FGradientType == gtFullHorizontal || FGradientType == gtFullVertical)) {
            DrawGradient(canvas, color, FColorTo, steps, client, FGradientType == gtFullHorizontal);
        } else {
            canvas.Pen = TPen { color, 1 };
            canvas.Brush = TBrush { color, false };
            canvas.Rectangle(client);
        }
    }
    if (FGradientType == gtBottomLine || FGradientType == gtCenterLine || FGradientType == gtTopLine) {
        const G::Band band = FGradientType == gtBottomLine ? G::Band::Bottom
            : FGradientType == gtCenterLine                ? G::Band::Center
                                                           : G::Band::Top;
        DrawGradient(canvas, color, FColorTo, steps, G::LineBand(client, band, FLineWidth), true);
    }
    canvas.Font = CanvasFont();
    if (FUpdateCount > 0)
        return;

    G::FrameSettings settings;
    settings.outer = ToBevel(FBevelOuter);
    settings.inner = ToBevel(FBevelInner);
    settings.bevelWidth = FBevelWidth;
    settings.borderWidth = FBorderWidth;
    settings.singleBorder = FBorderStyle == bsSingle;
    settings.color = color;
    settings.borderColor = FBorderColor;
    const G::Frames frames = G::LayoutFrames(client, settings);
    canvas.Brush.Clear = false;
    for (const G::Fill& fill : frames.fills) {
        canvas.Brush.Color = fill.color;
        canvas.FillRect(fill.rect);
    }
    if (frames.outline) {
        const TRect& o = frames.outlineRect;
        canvas.Pen = TPen { FBorderColor, frames.outlineWidth };
        canvas.MoveTo(o.Left, o.Top);
        canvas.LineTo(o.Right, o.Top);
        canvas.LineTo(o.Right, o.Bottom);
        canvas.LineTo(o.Left, o.Bottom);
        canvas.LineTo(o.Left, o.Top);
        canvas.Pen.Width = 1;
    }

    canvas.Brush.Color = color;
    // The point under the mouse lets an image inside a hovered anchor show its ALT picture.
    const QPoint hit = CursorPoint();
    // Without pictures the point cannot change the layout, so the last measurement stays valid.
    const Placement placement = PlaceText(canvas, hit, !pictures);
    if (placement.autoSize != size()) {
        // Sizing is not done while painting; something changed without passing through a setter.
        QMetaObject::invokeMethod(
            this, [this] { AdjustAutoSize(); }, Qt::QueuedConnection);
    }
    TMarkupParams params = BaseParams(placement.rect);
    params.HitX = hit.x();
    params.HitY = hit.y();
    params.HoverAnchor = FHoverHyperLink;
    TMarkupResult result;
    PaintMarkup(canvas, params, result);
    m_paintedHover = FHoverHyperLink;

    if (offscreen) {
        offscreen->end();
        target.drawPixmap(0, 0, m_buffer);
        m_bufferKey = key;
        m_bufferValid = !pictures;
    }
}

// ---- mouse, hint, notifications

void THTMLabel::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    const QString anchor = AnchorAt(pos.x(), pos.y());
    const TRect rect = m_anchorRect;
    if (!anchor.isEmpty()) {
        if ((anchor != FAnchor || rect != FCurrHoverRect || FHoverHyperLink == -1) && FHover
            && rect.Left != -1)
            InvalidateRect(FCurrHoverRect);
        if (!testAttribute(Qt::WA_SetCursor) || anchor != FAnchor || FOldHoverHyperLink != FHoverHyperLink) {
            if (FAnchorHint)
                QToolTip::hideText();
            setCursor(Qt::PointingHandCursor);
            if (OnAnchorEnter)
                OnAnchorEnter(this, anchor);
            emit anchorEntered(anchor);
            if (FHover) {
                if (rect.Left != -1)
                    InvalidateRect(FCurrHoverRect);
                else
                    update();
            }
        }
        FAnchor = anchor;
        FOldHoverHyperLink = FHoverHyperLink;
        FCurrHoverRect = rect;
        if (FHover)
            InvalidateRect(FCurrHoverRect);
    } else if (HasHandCursor()) {
        unsetCursor();
        if (OnAnchorExit)
            OnAnchorExit(this, QString());
        emit anchorExited(QString());
        if (FHover) {
            if (FCurrHoverRect.Left == -1)
                update();
            else
                InvalidateRect(FCurrHoverRect);
        }
        FCurrHoverRect = kNoRect;
    }
    RepaintHover();
}

void THTMLabel::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const QString anchor = AnchorAt(pos.x(), pos.y());
    if (anchor.isEmpty())
        return;
    event->accept();
    if (OnAnchorClick)
        OnAnchorClick(this, anchor);
    emit anchorClicked(anchor);
    if (anchor.contains(QLatin1String("://")) || anchor.contains(QLatin1String("mailto:")))
        ShellService().Open(anchor);
}

void THTMLabel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void THTMLabel::leaveEvent(QEvent* event)
{
    if (FHover && FHoverHyperLink != -1)
        InvalidateRect(FCurrHoverRect);
    FHoverHyperLink = -1;
    RepaintHover();
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool THTMLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (FAnchorHint) {
            QString anchor = AnchorAt(help->pos().x(), help->pos().y());
            if (!anchor.isEmpty()) {
                if (OnAnchorHint)
                    OnAnchorHint(this, anchor);
                QToolTip::showText(help->globalPos() + QPoint(10, -10),
                    Qt::convertFromPlainText(anchor, Qt::WhiteSpaceNormal), this);
                return true;
            }
        }
        if (FHintShowFull) {
            QString text = DisplayText();
            if (!FHTMLHint)
                text = Qt::convertFromPlainText(
                    MarkupToPlainText(text).remove(QLatin1Char('\r')), Qt::WhiteSpaceNormal);
            QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
    }
    return QWidget::event(event);
}

bool THTMLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_alignParent && event->type() == QEvent::Resize)
        ApplyAlign();
    return QWidget::eventFilter(watched, event);
}

void THTMLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ApplyAlign();
    AdjustAutoSize();
}

void THTMLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        AdjustAutoSize();
        update();
        break;
    case QEvent::PaletteChange:
        update();
        break;
    case QEvent::ParentChange:
        ApplyAlign();
        break;
    default:
        break;
    }
}

void THTMLabel::Loaded()
{
    ApplyAlign();
    AdjustAutoSize();
    update();
}

void THTMLabel::TextChanged()
{
    update();
}

// ---- internals

TFont THTMLabel::CanvasFont() const
{
    TFont font;
    font.AssignQFont(this->font());
    font.Color = QColorToColor(palette().color(QPalette::WindowText));
    return font;
}

TMarkupParams THTMLabel::BaseParams(const TRect& rect) const
{
    TMarkupParams params;
    params.Rect = rect;
    params.Images = FImages.data();
    params.WordWrap = !FEllipsis;
    params.LineSpacing = FLineSpacing;
    params.PictureContainer = FContainer.data();
    params.PictureCache = FImageCache.get();
    params.ResFactor = 1.0;
    params.FocusAnchor = -1;
    params.BlinkOn = false;
    params.FixedColors = false;
    params.Hover = FHover;
    params.URLColor = FURLColor;
    params.HoverColor = FHoverColor;
    params.HoverFontColor = FHoverFontColor;
    params.ShadowColor = FShadowColor;
    params.ShadowOffset = FShadowOffset;
    return params;
}

bool THTMLabel::SizesWidth() const
{
    return FAutoSizing && (FAlign == alNone || FAlign == alLeft || FAlign == alRight)
        && (FAutoSizeType == asHorizontal || FAutoSizeType == asBoth);
}

bool THTMLabel::SizesHeight() const
{
    return FAutoSizing && (FAlign == alNone || FAlign == alTop || FAlign == alBottom)
        && (FAutoSizeType == asVertical || FAutoSizeType == asBoth);
}

THTMLabel::LayoutKey THTMLabel::CurrentLayoutKey() const
{
    LayoutKey key;
    key.textGeneration = m_textGeneration;
    key.text = DisplayText();
    key.font = CanvasFont();
    key.size = size();
    key.align = FAlign;
    key.autoSizeType = FAutoSizeType;
    key.autoSizing = FAutoSizing;
    key.valign = FVAlignment;
    key.bevelInner = FBevelInner;
    key.bevelOuter = FBevelOuter;
    key.bevelWidth = FBevelWidth;
    key.borderWidth = FBorderWidth;
    key.borderStyle = FBorderStyle;
    key.ellipsis = FEllipsis;
    key.lineSpacing = FLineSpacing;
    key.images = FImages.data();
    key.container = FContainer.data();
    return key;
}

THTMLabel::PaintKey THTMLabel::CurrentPaintKey(TColor color, qreal dpr) const
{
    PaintKey key;
    key.layout = CurrentLayoutKey();
    key.color = color;
    key.colorTo = FColorTo;
    key.urlColor = FURLColor;
    key.shadowColor = FShadowColor;
    key.hoverColor = FHoverColor;
    key.hoverFontColor = FHoverFontColor;
    key.borderColor = FBorderColor;
    key.gradientType = FGradientType;
    key.lineWidth = FLineWidth;
    key.shadowOffset = FShadowOffset;
    key.hover = FHover;
    key.hoverLink = FHoverHyperLink;
    // System colours resolve through the application palette.
    key.appPalette = QGuiApplication::palette().cacheKey();
    key.dpr = dpr;
    return key;
}

THTMLabel::Placement THTMLabel::PlaceText(TCanvas& canvas, const QPoint& hit, bool reuse)
{
    G::FrameSettings settings;
    settings.outer = ToBevel(FBevelOuter);
    settings.inner = ToBevel(FBevelInner);
    settings.bevelWidth = FBevelWidth;
    settings.borderWidth = FBorderWidth;
    settings.singleBorder = FBorderStyle == bsSingle;
    const TRect inner = G::LayoutFrames(TRect(0, 0, width(), height()), settings).textRect;

    Placement placement { inner, size() };
    TRect& rect = placement.rect;
    if (FAutoSizing) {
        if (SizesWidth())
            rect.Right += kUnbounded;
        if (SizesHeight())
            rect.Bottom += kUnbounded;
    }
    if (!FAutoSizing && FVAlignment == tvaTop)
        return placement;

    QSize text;
    const LayoutKey key = CurrentLayoutKey();
    if (reuse && m_hasMeasure && key == m_measuredKey) {
        text = m_measuredSize;
    } else {
        text = MeasureText(canvas, rect, hit);
        m_measuredKey = key;
        m_measuredSize = text;
        m_hasMeasure = true;
    }
    // The frames keep their room: without them this is the text size plus the margin.
    if (SizesWidth())
        placement.autoSize.setWidth(text.width() + kAutoSizeMargin + width() - inner.Width());
    if (SizesHeight())
        placement.autoSize.setHeight(text.height() + kAutoSizeMargin + height() - inner.Height());
    if (FVAlignment != tvaTop) {
        // Aligned within the frames at the size the label takes, so that the text never sits on them.
        const TRect sized
            = G::LayoutFrames(TRect(0, 0, placement.autoSize.width(), placement.autoSize.height()), settings)
                  .textRect;
        rect = G::AlignText(
            rect, sized, text.height(), FVAlignment == tvaCenter ? G::VAlign::Center : G::VAlign::Bottom);
    }
    return placement;
}

QSize THTMLabel::MeasureText(TCanvas& canvas, const TRect& rect, const QPoint& hit)
{
    TMarkupParams params = BaseParams(rect);
    params.HitTestOnly = true;
    params.HitX = hit.x();
    params.HitY = hit.y();
    params.HoverAnchor = -1;
    TMarkupResult result;
    PaintMarkup(canvas, params, result);
    return QSize(result.XSize, result.YSize);
}

void THTMLabel::AdjustAutoSize()
{
    if (!FAutoSizing || IsLoading() || m_adjusting || (!SizesWidth() && !SizesHeight()))
        return;
    TCanvas& canvas = MeasureCanvas();
    canvas.Font = CanvasFont();
    canvas.Brush.Color = Color();
    const Placement placement = PlaceText(canvas, CursorPoint(), true);
    if (placement.autoSize == size())
        return;
    m_adjusting = true;
    resize(placement.autoSize);
    m_adjusting = false;
}

void THTMLabel::ApplyAlign()
{
    QWidget* parent = parentWidget();
    if (m_alignParent && (m_alignParent != parent || FAlign == alNone)) {
        m_alignParent->removeEventFilter(this);
        m_alignParent = nullptr;
    }
    if (FAlign == alNone || !parent || m_aligning)
        return;
    if (!m_alignParent) {
        m_alignParent = parent;
        parent->installEventFilter(this);
    }
    const QRect area = parent->contentsRect();
    QRect target;
    switch (FAlign) {
    case alTop:
        target = QRect(area.left(), area.top(), area.width(), height());
        break;
    case alBottom:
        target = QRect(area.left(), area.bottom() + 1 - height(), area.width(), height());
        break;
    case alLeft:
        target = QRect(area.left(), area.top(), width(), area.height());
        break;
    case alRight:
        target = QRect(area.right() + 1 - width(), area.top(), width(), area.height());
        break;
    case alClient:
    case alNone:
        target = area;
        break;
    }
    if (target == geometry())
        return;
    m_aligning = true;
    setGeometry(target);
    m_aligning = false;
}

void THTMLabel::HTMLTextChanged()
{
    FImageCache->Clear();
    m_displayText = HTMLabelText::JoinLines(FHTMLText.Lines());
    ++m_textGeneration;
    TextChanged();
    AdjustAutoSize();
}

void THTMLabel::LayoutChanged()
{
    AdjustAutoSize();
    update();
}

void THTMLabel::InvalidateRect(const TRect& r)
{
    if (!r.IsEmpty())
        update(r.toQRect());
}

void THTMLabel::RepaintHover()
{
    // The hover rectangle covers only the anchor's last line; a wrapped anchor changes on every line.
    if (FHover && FHoverHyperLink != m_paintedHover)
        update();
}

bool THTMLabel::HasHandCursor() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor;
}

TCanvas& THTMLabel::MeasureCanvas() const
{
    if (!m_measureCanvas) {
        m_measureCanvas = std::make_unique<TMeasureCanvas>();
        m_measureCache = std::make_unique<THTMLabelMeasureCache>(*m_measureCanvas);
    }
    return *m_measureCache;
}

QPoint THTMLabel::CursorPoint() const
{
    return mapFromGlobal(QCursor::pos());
}
