// SPDX-License-Identifier: MIT
#include "AdvPanel.h"

#include "AdvPanelSettings.h"
#include "AdvPanelStyler.h"
#include "Anchors.h"
#include "ChildAlign.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"
#include "Property.h"
#include "ShellService.h"
#include "VersionText.h"

#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <utility>

using namespace AdvPanel;
namespace G = PanelGeometry;

namespace {

constexpr TRect kNoRect { -1, -1, -1, -1 };
// The steps every panel gradient asks for; drawn in at most 32 bands.
constexpr int kPanelGradientSteps = 64;

int Bounded(int value, int low = -kMaxExtent)
{
    return std::clamp(value, low, kMaxExtent);
}

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

void DrawMirrorGradient(TCanvas& canvas, const TRect& r, TColor color, TColor colorTo, TColor mirror,
    TColor mirrorTo, bool horizontal)
{
    const auto [first, second] = G::MirrorHalves(r, horizontal);
    DrawGradient(canvas, color, colorTo, G::GradientBandCount(32), first, horizontal);
    DrawGradient(canvas, mirror, mirrorTo, G::GradientBandCount(32), second, horizontal);
}

void Polyline(TCanvas& canvas, const G::Polyline3& line, TColor color)
{
    canvas.Pen = TPen { color, 1 };
    canvas.MoveTo(line.points[0].x(), line.points[0].y());
    canvas.LineTo(line.points[1].x(), line.points[1].y());
    canvas.LineTo(line.points[2].x(), line.points[2].y());
}

} // namespace

TCustomAdvPanel::TCustomAdvPanel(QWidget* parent)
    : QWidget(parent)
    , FImageCache(std::make_unique<THTMLPictureCache>())
    , FCaption(new TPanelCaption(this))
    , FStatusBar(new TPanelStatusBar(this))
    , FPosition(new TPanelPosition(this))
    , FAutoSize(new TAutoSize(this))
{
    // Every pixel is painted here, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(185, 41);
    FFont.AssignQFont(font());
    FFont.Color = clWindowText;
    FCaption->OnChange = [this] { Changed(); };
    FCaption->OnShadeChange = [this] { BuildShadedHeader(); };
    FCaption->OnStateChange = [this] { StateChanged(); };
    FCaption->OnPositionChange = [this] {
        UpdateAutoSize();
        BuildShadedHeader();
        update();
    };
    FStatusBar->OnChange = [this] { update(); };
    FAutoSize->OnEnable = [this] { UpdateAutoSize(); };
    FBackground.OnChange = [this] { update(); };
}

TCustomAdvPanel::~TCustomAdvPanel()
{
    if (FPosition->Save())
        SavePosition();
    FAutoSize->OnEnable = nullptr;
    FCaption->OnShadeChange = nullptr;
    FCaption->OnChange = nullptr;
    FCaption->OnStateChange = nullptr;
    FCaption->OnPositionChange = nullptr;
    FStatusBar->OnChange = nullptr;
    FBackground.OnChange = nullptr;
}

QString TCustomAdvPanel::Version() const
{
    return VersionText(VersionNumber());
}

// ---- properties

void TCustomAdvPanel::Changed()
{
    if (!findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty()) {
        for (TCustomAdvPanel* child : findChildren<TCustomAdvPanel*>(Qt::FindDirectChildrenOnly))
            child->ApplyAlign();
    }
    update();
}

void TCustomAdvPanel::setText(const QString& value)
{
    if (FText == value)
        return;
    FText = value;
    UpdateAutoSize();
    update();
}

#define PANEL_SETTER(Type, Name, Field, After)                                                               \
    void TCustomAdvPanel::set##Name(Type value)                                                              \
    {                                                                                                        \
        if (!StoreIfChanged(Field, value))                                                                   \
            return;                                                                                          \
        After;                                                                                               \
    }

PANEL_SETTER(TColor, Color, FColor, update())
PANEL_SETTER(TColor, ColorTo, FColorTo, update())
PANEL_SETTER(TColor, ColorMirror, FColorMirror, update())
PANEL_SETTER(TColor, ColorMirrorTo, FColorMirrorTo, update())
PANEL_SETTER(TGradientDirection, GradientDirection, FGradientDirection, update())
PANEL_SETTER(TColor, BorderColor, FBorderColor, update())
PANEL_SETTER(bool, BorderShadow, FBorderShadow, update())
PANEL_SETTER(TBevelCut, BevelOuter, FBevelOuter, Changed())
PANEL_SETTER(TBevelCut, BevelInner, FBevelInner, Changed())
PANEL_SETTER(TBackGroundPosition, BackgroundPosition, FBackgroundPosition, update())
PANEL_SETTER(TTextVAlignment, TextVAlign, FTextVAlign, update())
PANEL_SETTER(bool, Ellipsis, FEllipsis, update())
PANEL_SETTER(TColor, URLColor, FURLColor, update())
PANEL_SETTER(TColor, ShadowColor, FShadowColor, update())
PANEL_SETTER(bool, Hover, FHover, update())
PANEL_SETTER(TColor, HoverColor, FHoverColor, update())
PANEL_SETTER(TColor, HoverFontColor, FHoverFontColor, update())
PANEL_SETTER(bool, CanSize, FCanSize, update())
#undef PANEL_SETTER

void TCustomAdvPanel::setBorderStyle(TBorderStyle value)
{
    if (FBorderStyle == value)
        return;
    FBorderStyle = value;
    // The frame lies outside the client area, as a window border does.
    const int m = value == bsSingle ? 1 : 0;
    setContentsMargins(m, m, m, m);
    Changed();
}

void TCustomAdvPanel::setBorderWidth(int value)
{
    value = std::clamp(value, 0, kMaxExtent);
    if (FBorderWidth == value)
        return;
    FBorderWidth = value;
    Changed();
}

void TCustomAdvPanel::setBevelWidth(int value)
{
    value = std::clamp(value, 1, kMaxExtent);
    if (FBevelWidth == value)
        return;
    FBevelWidth = value;
    Changed();
}

void TCustomAdvPanel::setIndent(int value)
{
    value = Bounded(value);
    if (FIndent == value)
        return;
    FIndent = value;
    update();
}

void TCustomAdvPanel::setTopIndent(int value)
{
    value = Bounded(value);
    if (FTopIndent == value)
        return;
    FTopIndent = value;
    update();
}

void TCustomAdvPanel::setLineSpacing(int value)
{
    value = Bounded(value);
    if (FLineSpacing == value)
        return;
    FLineSpacing = value;
    update();
}

void TCustomAdvPanel::setShadowOffset(int value)
{
    value = Bounded(value);
    if (FShadowOffset == value)
        return;
    FShadowOffset = value;
    update();
}

void TCustomAdvPanel::setCollapsDelay(int value)
{
    FCollapsDelay = std::clamp(value, 0, kMaxExtent);
}

void TCustomAdvPanel::setCollapsSteps(int value)
{
    FCollapsSteps = std::clamp(value, 0, kMaxExtent);
}

void TCustomAdvPanel::setImages(TImageList* value)
{
    if (FImages == value)
        return;
    if (FImagesLink)
        disconnect(FImagesLink);
    FImages = value;
    if (value)
        FImagesLink = connect(value, &TImageList::Change, this, [this] { update(); });
    update();
}

void TCustomAdvPanel::setPictureContainer(TPictureContainer* value)
{
    if (FContainer == value)
        return;
    FContainer = value;
    update();
}

void TCustomAdvPanel::setFont(const TFont& value)
{
    FFont = value;
    m_settingFont = true;
    QWidget::setFont(value.ToQFont());
    const QColor color = ColorToQColor(value.Color);
    if (palette().color(QPalette::WindowText) != color) {
        QPalette p = palette();
        for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive })
            p.setColor(group, QPalette::WindowText, color);
        setPalette(p);
    }
    m_settingFont = false;
    update();
}

void TCustomAdvPanel::setCursor(const QCursor& value)
{
    FCursor = value;
    FOldCursor = value;
    // The arrow stands for "no cursor of its own": children and the parent's choice show through.
    if (value.shape() == Qt::ArrowCursor)
        QWidget::unsetCursor();
    else
        QWidget::setCursor(value);
}

void TCustomAdvPanel::setAlign(TAlign value)
{
    if (FAlign == value)
        return;
    FAlign = value;
    ApplyAlign();
}

void TCustomAdvPanel::setCollaps(bool value)
{
    if (value) {
        if (OnMinimize)
            OnMinimize(this);
    } else if (OnMaximize) {
        OnMaximize(this);
    }
    if (FCollapsing || FCollaps == value)
        return;
    RunCollapse(value);
}

void TCustomAdvPanel::RecordFullHeight()
{
    if (FCollaps || FCollapsing)
        return;
    FFullHeight = FCaption->Position() == cpTop ? height() : width();
}

void TCustomAdvPanel::setHeight(int value)
{
    resize(width(), std::max(0, value));
    RecordFullHeight();
}

void TCustomAdvPanel::setWidth(int value)
{
    resize(std::max(0, value), height());
    RecordFullHeight();
}

void TCustomAdvPanel::SetBounds(int left, int top, int w, int h)
{
    setGeometry(left, top, std::max(0, w), std::max(0, h));
}

// ---- styling

void TCustomAdvPanel::SetStyler(TAdvPanelStyler* value)
{
    FStyler = value;
    if (!IsLoading() && value && value->Settings())
        ApplySettings(*value->Settings());
}

void TCustomAdvPanel::ApplySettings(const TAdvPanelSettings& s)
{
    setAnchorHint(s.AnchorHint());
    setAutoHideChildren(s.AutoHideChildren());
    setBevelInner(s.BevelInner());
    setBevelOuter(s.BevelOuter());
    setBevelWidth(s.BevelWidth());
    setBorderColor(s.BorderColor());
    setBorderShadow(s.BorderShadow());
    setBorderStyle(s.BorderStyle());
    setBorderWidth(s.BorderWidth());
    setCanMove(s.CanMove());
    setCanSize(s.CanSize());
    const bool minMax = FCaption->MinMaxButton();
    const bool close = FCaption->CloseButton();
    FCaption->Assign(*s.Caption());
    FCaption->setMinMaxButton(minMax);
    FCaption->setCloseButton(close);
    setCollapsColor(s.CollapsColor());
    setCollapsDelay(s.CollapsDelay());
    setCollapsSteps(s.CollapsSteps());
    setColor(s.Color());
    setColorTo(s.ColorTo());
    setColorMirror(s.ColorMirror());
    setColorMirrorTo(s.ColorMirrorTo());
    setCursor(s.Cursor());
    setFont(s.Font());
    setFixedTop(s.FixedTop());
    setFixedLeft(s.FixedLeft());
    setFixedHeight(s.FixedHeight());
    setFixedWidth(s.FixedWidth());
    setHover(s.Hover());
    setHoverColor(s.HoverColor());
    setHoverFontColor(s.HoverFontColor());
    setIndent(s.Indent());
    setShadowColor(s.ShadowColor());
    setShadowOffset(s.ShadowOffset());
    setShowHint(s.ShowHint());
    setShowMoveCursor(s.ShowMoveCursor());
    FStatusBar->Assign(*s.StatusBar());
    setTextVAlign(s.TextVAlign());
    setTopIndent(s.TopIndent());
    setURLColor(s.URLColor());
}

void TCustomAdvPanel::Assign(const TCustomAdvPanel& p)
{
    if (&p == this)
        return;
    setAnchorHint(p.FAnchorHint);
    setAutoHideChildren(p.FAutoHideChildren);
    FBackground.Assign(p.FBackground);
    setBackgroundPosition(p.FBackgroundPosition);
    setBevelInner(p.FBevelInner);
    setBevelOuter(p.FBevelOuter);
    setBevelWidth(p.FBevelWidth);
    setBorderColor(p.FBorderColor);
    setBorderShadow(p.FBorderShadow);
    setBorderStyle(p.FBorderStyle);
    setCanMove(p.FCanMove);
    setCanSize(p.FCanSize);
    FCaption->Assign(*p.FCaption);
    FCaption->setText(p.FCaption->Text());
    FCaption->setVisible(p.FCaption->Visible());
    FCaption->setPosition(p.FCaption->Position());
    FCaption->setTopIndent(p.FCaption->TopIndent());
    FCaption->setMinMaxCaption(p.FCaption->MinMaxCaption());
    setCollapsColor(p.FCollapsColor);
    setCollapsDelay(p.FCollapsDelay);
    setCollapsSteps(p.FCollapsSteps);
    setColor(p.FColor);
    setColorTo(p.FColorTo);
    setColorMirror(p.FColorMirror);
    setColorMirrorTo(p.FColorMirrorTo);
    setCursor(p.FCursor);
    setFont(p.FFont);
    setFixedTop(p.FFixedTop);
    setFixedLeft(p.FFixedLeft);
    setFixedHeight(p.FFixedHeight);
    setFixedWidth(p.FFixedWidth);
    setFreeOnClose(p.FFreeOnClose);
    setHeight(p.height());
    setHint(p.Hint());
    setHover(p.FHover);
    setHoverColor(p.FHoverColor);
    setHoverFontColor(p.FHoverFontColor);
    setImages(p.FImages);
    setPictureContainer(p.FContainer);
    setContextMenuPolicy(p.contextMenuPolicy());
    FPosition->Assign(*p.FPosition);
    FStatusBar->Assign(*p.FStatusBar);
    FStatusBar->setVisible(p.FStatusBar->Visible());
    FStatusBar->setHeight(p.FStatusBar->Height());
    FStatusBar->setText(p.FStatusBar->Text());
    FStatusBar->setBevelInner(p.FStatusBar->BevelInner());
    FStatusBar->setImageIndex(p.FStatusBar->ImageIndex());
    setShadowColor(p.FShadowColor);
    setShadowOffset(p.FShadowOffset);
    setShowHint(p.FShowHint);
    setShowMoveCursor(p.FShowMoveCursor);
    setTag(p.FTag);
    setText(p.FText);
    setTextVAlign(p.FTextVAlign);
    setURLColor(p.FURLColor);
    setVisible(p.isVisibleTo(p.parentWidget() ? p.parentWidget() : const_cast<TCustomAdvPanel*>(&p)));
}

void TCustomAdvPanel::Loaded()
{
    FTopLeft = pos();
    FWidthHeight = size();
    FOldCursor = FCursor;
    FOldColor = FColor;
    if (FPosition->Save())
        LoadPosition();
    ApplyAlign();
    // Text and settings stored with the form size the panel once they are all there.
    UpdateAutoSize();
    if (FStyler && FStyler->Settings())
        ApplySettings(*FStyler->Settings());
}

void TCustomAdvPanel::BeginUpdate()
{
    if (m_updateCount++ == 0)
        setUpdatesEnabled(false);
}

void TCustomAdvPanel::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        setUpdatesEnabled(true);
    update();
}

void TCustomAdvPanel::ChangeScale(int m, int d)
{
    if (d == 0 || m == d)
        return;
    auto scale = [m, d](int v) { return int((qint64(v) * m + (v >= 0 ? d / 2 : -d / 2)) / d); };
    setGeometry(scale(x()), scale(y()), scale(width()), scale(height()));
    TFont font = FFont;
    font.Height = scale(font.Height);
    setFont(font);
    FCaption->setHeight(scale(FCaption->Height()));
    TFont captionFont = FCaption->Font();
    captionFont.Height = scale(captionFont.Height);
    FCaption->setFont(captionFont);
}

void TCustomAdvPanel::Synchronize()
{
    if (auto* parent = qobject_cast<TCustomAdvPanel*>(parentWidget()))
        parent->ChildPanelChanged(this);
}

// ---- layout

G::Layout TCustomAdvPanel::CurrentLayout() const
{
    G::Layout l;
    l.client = contentsRect().size();
    l.bevelWidth = FBevelWidth;
    l.bevel = FBevelOuter != bvNone || FBevelInner != bvNone;
    l.borderWidth = FBorderWidth;
    l.borderShadow = FBorderShadow;
    l.captionVisible = FCaption->Visible();
    l.captionPosition = FCaption->Position();
    l.captionHeight = FCaption->Height();
    l.statusVisible = FStatusBar->Visible();
    l.statusHeight = FStatusBar->Height();
    l.indent = FIndent;
    l.topIndent = FTopIndent;
    return l;
}

TRect TCustomAdvPanel::AlignArea() const
{
    const G::Layout l = CurrentLayout();
    TRect area(0, 0, l.client.width(), l.client.height());
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    area.Inflate(-inset, -inset);
    area = G::ChildArea(l, area);
    const QPoint origin = contentsRect().topLeft();
    area.Offset(origin.x(), origin.y());
    return area;
}

void TCustomAdvPanel::ApplyAlign()
{
    QWidget* parent = parentWidget();
    if (m_alignParent != parent) {
        if (m_alignParent)
            m_alignParent->removeEventFilter(this);
        m_alignParent = parent;
        if (parent)
            parent->installEventFilter(this);
    }
    if (!parent || FAlign == alNone)
        return;
    const auto* panel = qobject_cast<const TCustomAdvPanel*>(parent);
    const QRect area = panel ? panel->AlignArea().toQRect() : parent->contentsRect();
    const QRect r = AlignedGeometry(FAlign, area, geometry());
    if (r != geometry())
        setGeometry(r);
}

bool TCustomAdvPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_alignParent && event->type() == QEvent::Resize)
        ApplyAlign();
    return QWidget::eventFilter(watched, event);
}

// ---- painting

void TCustomAdvPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintPanel(painter);
}

void TCustomAdvPanel::PaintPanel(QPainter& painter)
{
    const QRect contents = contentsRect();
    if (FBorderStyle == bsSingle) {
        // Filled edges cover the whole margin pixel at any density; a one-pixel pen on a scaled
        // painter covers only part of it, and the panel paints nothing else there.
        const QColor frame = ColorToQColor(clWindowFrame);
        const int w = width();
        const int h = height();
        painter.fillRect(0, 0, w, 1, frame);
        painter.fillRect(0, h - 1, w, 1, frame);
        painter.fillRect(0, 0, 1, h, frame);
        painter.fillRect(w - 1, 0, 1, h, frame);
    }
    painter.translate(contents.topLeft());
    TPainterCanvas canvas(painter);
    PaintBackground(canvas);
    PaintText(canvas);
    if (FCaption->Visible())
        PaintCaption(canvas);
    if (FStatusBar->Visible())
        PaintStatusBar(canvas);

    const G::Layout l = CurrentLayout();
    if (FCanSize && !FCollaps) {
        for (const G::GripLine& line : G::SizeGripLines(l)) {
            canvas.Pen = TPen { line.white ? clWhite : clGray, line.white ? 1 : 2 };
            canvas.MoveTo(line.from.x(), line.from.y());
            canvas.LineTo(line.to.x(), line.to.y());
        }
    }
    if (OnPaint)
        OnPaint(this, canvas, TRect(0, 0, l.client.width(), l.client.height()));
}

void TCustomAdvPanel::PaintBackground(TCanvas& canvas)
{
    const QSize size = contentsRect().size();
    TRect r(0, 0, size.width(), size.height());
    if (r.IsEmpty())
        return;
    const bool horizontal = FGradientDirection == gdHorizontal;
    if (FColorTo == clNone) {
        canvas.Brush = TBrush { FColor, false };
        canvas.FillRect(r);
    } else if (FColorMirror == clNone) {
        DrawGradient(canvas, FColor, FColorTo, G::GradientBandCount(kPanelGradientSteps), r, horizontal);
    } else {
        DrawMirrorGradient(canvas, r, FColor, FColorTo, FColorMirror, FColorMirrorTo, horizontal);
    }

    if (FBorderColor != clNone && FBorderWidth > 0) {
        TRect border = r;
        if (FBorderShadow) {
            border.Right -= 2;
            border.Bottom -= 2;
        }
        canvas.Brush.Clear = true;
        canvas.Pen = TPen { FBorderColor, 1 };
        canvas.Rectangle(border);
        if (FBorderShadow) {
            const auto [near, far] = G::BorderShadowLines(border);
            Polyline(canvas, near, G::BlendColor(FBorderColor, clBtnFace, 50));
            Polyline(canvas, far, G::BlendColor(FBorderColor, clBtnFace, 20));
        }
        canvas.Brush.Clear = false;
    }

    if (FBevelOuter != bvNone) {
        const auto [topLeft, bottomRight] = G::BevelColors(FBevelOuter);
        Frame3D(canvas, r, topLeft, bottomRight, FBevelWidth);
    }
    if (FBorderColor == clNone)
        Frame3D(canvas, r, FColor, FColor, 1);
    if (FBevelInner != bvNone) {
        const auto [topLeft, bottomRight] = G::BevelColors(FBevelInner);
        Frame3D(canvas, r, topLeft, bottomRight, FBevelWidth);
    }
}

void TCustomAdvPanel::PaintText(TCanvas& canvas)
{
    const bool picture = !FBackground.Empty();
    if (!picture && FText.isEmpty())
        return;
    const G::Layout l = CurrentLayout();
    const TRect area = G::ContentArea(l);
    canvas.Brush = TBrush { FColor, false };
    canvas.Pen = TPen { FColor, 1 };
    canvas.SetClipRect(area);
    if (picture) {
        const QImage& image = FBackground.Image();
        const QSize panel = l.client;
        switch (FBackgroundPosition) {
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
                = G::BackgroundOrigin(FBackgroundPosition, area, panel, image.size(), FBevelWidth);
            canvas.Draw(at.x(), at.y(), image);
            break;
        }
        }
    }
    if (!FText.isEmpty()) {
        const TextPlacement placement = PlaceText(canvas);
        canvas.Font = placement.font;
        TMarkupResult result;
        DrawMarkup(canvas, FText, TextParams(placement.rect), result);
    }
    canvas.ClearClipRect();
}

TMarkupParams TCustomAdvPanel::TextParams(const TRect& rect) const
{
    TMarkupParams p;
    p.Rect = rect;
    p.Images = FImages;
    p.HoverAnchor = FHoverHyperLink;
    p.ShadowOffset = FShadowOffset;
    p.Hover = FHover;
    p.WordWrap = !FEllipsis;
    p.URLColor = FURLColor;
    p.HoverColor = FHoverColor;
    p.HoverFontColor = FHoverFontColor;
    p.ShadowColor = FShadowColor;
    p.PictureCache = FImageCache.get();
    p.PictureContainer = FContainer;
    p.LineSpacing = FLineSpacing;
    return p;
}

TCustomAdvPanel::TextPlacement TCustomAdvPanel::PlaceText(TCanvas& canvas) const
{
    const G::Layout l = CurrentLayout();
    TextPlacement placement { G::TextArea(l), FFont };
    if (FTextVAlign != tvaTop) {
        const TFont saved = canvas.Font;
        canvas.Font = FFont;
        TMarkupParams params = TextParams(placement.rect);
        params.HitTestOnly = true;
        TMarkupResult result;
        DrawMarkup(canvas, FText, params, result);
        canvas.Font = saved;
        placement.rect = G::AlignText(l, placement.rect, result.YSize, FTextVAlign);
    }
    return placement;
}

// ---- anchors, mouse, hints

QString TCustomAdvPanel::AnchorAt(int x, int y)
{
    m_anchorRect = kNoRect;
    if (InCaption(QPoint(x, y))) {
        FCaptionHoverHyperLink = -1;
        if (FCaption->Position() != cpTop || FCaption->Text().isEmpty())
            return {};
        TMeasureCanvas canvas;
        canvas.Font = FCaption->Font();
        TMarkupParams params = CaptionParams(G::CaptionTextArea(
            CurrentLayout(), CaptionButtonRects(), FCaption->Indent(), FCaption->TopIndent()));
        params.HitTestOnly = true;
        params.HitX = x;
        params.HitY = y;
        TMarkupResult result;
        if (!DrawMarkup(canvas, FCaption->Text(), params, result))
            return {};
        FCaptionHoverHyperLink = result.HitAnchor;
        m_anchorRect = result.HitRect;
        return result.AnchorValue;
    }
    FCaptionHoverHyperLink = -1;
    if (FText.isEmpty())
        return {};
    TMeasureCanvas canvas;
    const TextPlacement placement = PlaceText(canvas);
    canvas.Font = placement.font;
    TMarkupParams params = TextParams(placement.rect);
    params.HitTestOnly = true;
    params.HitX = x;
    params.HitY = y;
    TMarkupResult result;
    if (!DrawMarkup(canvas, FText, params, result)) {
        FHoverHyperLink = -1;
        return {};
    }
    FHoverHyperLink = result.HitAnchor;
    m_anchorRect = result.HitRect;
    return result.AnchorValue;
}

bool TCustomAdvPanel::HasHandCursor() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor;
}

void TCustomAdvPanel::SetHandCursor(bool on)
{
    if (on)
        QWidget::setCursor(Qt::PointingHandCursor);
    else if (FOldCursor.shape() == Qt::ArrowCursor)
        QWidget::unsetCursor();
    else
        QWidget::setCursor(FOldCursor);
}

void TCustomAdvPanel::InvalidateRect(const TRect& r)
{
    if (r.Left == -1)
        update();
    else
        update(r.toQRect().translated(contentsRect().topLeft()));
}

void TCustomAdvPanel::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint() - contentsRect().topLeft();
    m_captionPress = CaptionPress::None;
    m_drag = Drag::None;
    const QString anchor = AnchorAt(pos.x(), pos.y());
    if (!anchor.isEmpty()) {
        if (IsShellAnchor(anchor)) {
            ShellService().Open(anchor);
        } else {
            if (OnAnchorClick)
                OnAnchorClick(this, anchor);
            emit anchorClicked(anchor);
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_pressGlobal = event->globalPosition().toPoint();
    FTopLeft = QWidget::pos();
    FWidthHeight = size();
    m_dragMoved = false;
    if (FCanSize && !FCollaps) {
        m_sizeZone = G::SizingZone(contentsRect().size(), pos, kSizingFrame, FFixedWidth, FFixedHeight);
        if (m_sizeZone != G::SizeZone::None) {
            m_drag = Drag::Size;
            return;
        }
    }
    if (CaptionPressed(pos) && FCanMove && m_captionPress == CaptionPress::Bar)
        m_drag = Drag::Move;
}

void TCustomAdvPanel::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (m_drag != Drag::None && (event->buttons() & Qt::LeftButton)) {
        MoveOrSize(event->globalPosition().toPoint());
        return;
    }
    const QPoint pos = event->position().toPoint() - contentsRect().topLeft();
    UpdateButtonHover(pos);
    UpdateSizeCursor(pos);
    if (m_sizeCursor)
        return;
    const int oldIndex = FHoverHyperLink;
    const int oldCaptionIndex = FCaptionHoverHyperLink;
    const QString anchor = AnchorAt(pos.x(), pos.y());
    if (!anchor.isEmpty()) {
        if (!HasHandCursor() || anchor != FAnchor || oldIndex != FHoverHyperLink
            || oldCaptionIndex != FCaptionHoverHyperLink) {
            if (FAnchorHint)
                QToolTip::hideText();
            SetHandCursor(true);
            if (OnAnchorEnter)
                OnAnchorEnter(this, anchor);
            if (FHover) {
                InvalidateRect(FCurrHoverRect);
                InvalidateRect(m_anchorRect);
            }
        }
        FAnchor = anchor;
        FCurrHoverRect = m_anchorRect;
    } else if (HasHandCursor()) {
        SetHandCursor(false);
        if (OnAnchorExit)
            OnAnchorExit(this, FAnchor);
        FAnchor.clear();
        FHoverHyperLink = -1;
        FCaptionHoverHyperLink = -1;
        if (FHover) {
            TRect old = FCurrHoverRect;
            if (old.Left != -1)
                old.Inflate(1, 1);
            InvalidateRect(old);
        }
        FCurrHoverRect = kNoRect;
    }
}

void TCustomAdvPanel::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = std::exchange(m_drag, Drag::None);
    if (drag != Drag::None && m_dragMoved) {
        m_captionPress = CaptionPress::None;
        EndMoveOrSize();
        return;
    }
    CaptionClicked(event->position().toPoint() - contentsRect().topLeft());
}

void TCustomAdvPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint() - contentsRect().topLeft();
    if (event->button() == Qt::LeftButton && InCaption(pos) && OnCaptionDBlClick) {
        QPointer<TCustomAdvPanel> self(this);
        OnCaptionDBlClick(this);
        if (!self)
            return;
    }
    // The second press of a double click is a press as well; its release clicks as usual.
    mousePressEvent(event);
}

void TCustomAdvPanel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomAdvPanel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (FHoverHyperLink != -1 || FCaptionHoverHyperLink != -1) {
        if (FHover) {
            InvalidateRect(FCurrHoverRect);
            InvalidateRect(FCurrCaptionHoverRect);
        }
        FHoverHyperLink = -1;
        FCaptionHoverHyperLink = -1;
    }
    if (FCloseHover || FMinMaxHover) {
        FCloseHover = false;
        FMinMaxHover = false;
        update();
    }
    if (HasHandCursor() || m_sizeCursor)
        SetHandCursor(false);
    m_sizeCursor = false;
    FAnchor.clear();
    FCurrHoverRect = kNoRect;
    FCurrCaptionHoverRect = kNoRect;
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TCustomAdvPanel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint pos = help->pos() - contentsRect().topLeft();
        if (FAnchorHint && ShowAnchorHint(this, OnAnchorHint, help->globalPos(), AnchorAt(pos.x(), pos.y())))
            return true;
        if (!FShowHint) {
            QToolTip::hideText();
            return true;
        }
    }
    return QWidget::event(event);
}

void TCustomAdvPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (width() != FOldWidth || height() != FOldHeight) {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->update();
        update();
    }
    FOldWidth = width();
    FOldHeight = height();
    if (FCaption->ShadeType() != stNormal && FCaption->Visible()
        && FShadedHeader.size() != G::CaptionBand(CurrentLayout()).toQRect().size())
        BuildShadedHeader();
    UpdateAutoSize();
}

void TCustomAdvPanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        // A font given to the widget directly (a form's design font) becomes the panel's Font.
        if (!m_settingFont) {
            const TColor color = FFont.Color;
            FFont.AssignQFont(font());
            FFont.Color = color;
        }
        update();
        break;
    case QEvent::PaletteChange:
    case QEvent::ParentChange:
        if (event->type() == QEvent::ParentChange)
            ApplyAlign();
        update();
        break;
    default:
        break;
    }
}
