// SPDX-License-Identifier: MIT
#include "AdvPanel.h"

#include "AdvPanelSettings.h"
#include "AdvPanelStyler.h"
#include "ChildAlign.h"
#include "MarkupEngine.h"
#include "MeasureCanvas.h"
#include "PainterCanvas.h"
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

// The panel's TAlign lists the same places in the same order.
static_assert(
    int(AdvPanel::alTop) == int(TChildAlign::Top) && int(AdvPanel::alClient) == int(TChildAlign::Client));

using namespace AdvPanel;
namespace G = PanelGeometry;

namespace {

constexpr TRect kNoRect { -1, -1, -1, -1 };
// The steps every panel gradient asks for; drawn in at most 32 bands.
constexpr int kPanelGradientSteps = 64;

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

// Calls `notify` after each resize, move and tooltip change of the widget it watches, whoever made
// them.
class StateWatch : public QObject {
public:
    StateWatch(QWidget* widget, std::function<void()> notify)
        : QObject(widget)
        , m_notify(std::move(notify))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Resize || type == QEvent::Move || type == QEvent::ToolTipChange)
            m_notify();
        return false;
    }

private:
    std::function<void()> m_notify;
};

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
    m_reported = { pos(), size(), FFullHeight, FCollaps, toolTip() };
    m_stateWatch = new StateWatch(this, [this] { NotifyState(); });
}

TCustomAdvPanel::~TCustomAdvPanel()
{
    // The base class tears down afterwards; what it resizes or moves is no change to report.
    delete m_stateWatch;
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
    emit textChanged();
}

// The setters of the look lists: a changed value is stored (within its range), followed as its
// entry says, and signalled.
#define ADVPANEL_AFTER_Repaint update();
#define ADVPANEL_AFTER_Realign Changed();
#define ADVPANEL_AFTER_Store
#define ADVPANEL_SETTER_Repaint ADVPANEL_SETTER
#define ADVPANEL_SETTER_Realign ADVPANEL_SETTER
#define ADVPANEL_SETTER_Store ADVPANEL_SETTER
#define ADVPANEL_SETTER_Custom(Type, Name, signal, After, Bound)
#define ADVPANEL_SETTER(Type, Name, signal, After, Bound)                                                    \
    void TCustomAdvPanel::set##Name(AdvPanel::Arg<Type> value)                                               \
    {                                                                                                        \
        const Type bounded = Bounded(TBound::Bound, value);                                                  \
        if (F##Name == bounded)                                                                              \
            return;                                                                                          \
        F##Name = bounded;                                                                                   \
        ADVPANEL_AFTER_##After emit signal();                                                                \
    }
#define ADVPANEL_LOOK_SETTER(Type, Name, signal, Default, After, Bound)                                      \
    ADVPANEL_SETTER_##After(Type, Name, signal, After, Bound)
#define ADVPANEL_STYLED_SETTER(Type, Name, signal, SettingsDefault, Notify, Default, After, Bound)           \
    ADVPANEL_SETTER_##After(Type, Name, signal, After, Bound)
ADVPANEL_STYLED(ADVPANEL_STYLED_SETTER)
ADVPANEL_LOOK(ADVPANEL_LOOK_SETTER)
#undef ADVPANEL_STYLED_SETTER
#undef ADVPANEL_LOOK_SETTER
#undef ADVPANEL_SETTER
#undef ADVPANEL_SETTER_Custom
#undef ADVPANEL_SETTER_Store
#undef ADVPANEL_SETTER_Realign
#undef ADVPANEL_SETTER_Repaint
#undef ADVPANEL_AFTER_Store
#undef ADVPANEL_AFTER_Realign
#undef ADVPANEL_AFTER_Repaint

void TCustomAdvPanel::setBorderStyle(TBorderStyle value)
{
    if (FBorderStyle == value)
        return;
    FBorderStyle = value;
    // The frame lies outside the client area, as a window border does.
    const int m = value == bsSingle ? 1 : 0;
    setContentsMargins(m, m, m, m);
    Changed();
    emit borderStyleChanged();
}

void TCustomAdvPanel::setImages(TImageList* value)
{
    if (FImages == value)
        return;
    if (FImagesLink)
        disconnect(FImagesLink);
    if (FImages)
        FImages->disconnect(this);
    FImages = value;
    if (value) {
        FImagesLink = connect(value, &TImageList::Change, this, [this] { update(); });
        connect(value, &QObject::destroyed, this, &TCustomAdvPanel::imagesChanged);
    }
    update();
    emit imagesChanged();
}

void TCustomAdvPanel::setPictureContainer(TPictureContainer* value)
{
    if (FContainer == value)
        return;
    if (FContainer)
        FContainer->disconnect(this);
    FContainer = value;
    if (value)
        connect(value, &QObject::destroyed, this, &TCustomAdvPanel::pictureContainerChanged);
    update();
    emit pictureContainerChanged();
}

void TCustomAdvPanel::setFont(const TFont& value)
{
    const bool changed = !(FFont == value);
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
    if (changed)
        emit fontChanged();
}

void TCustomAdvPanel::setCursor(const QCursor& value)
{
    const bool changed = !(FCursor == value);
    FCursor = value;
    FOldCursor = value;
    // The arrow stands for "no cursor of its own": children and the parent's choice show through.
    if (value.shape() == Qt::ArrowCursor)
        QWidget::unsetCursor();
    else
        QWidget::setCursor(value);
    if (changed)
        emit cursorChanged();
}

void TCustomAdvPanel::setAlign(TAlign value)
{
    if (FAlign == value)
        return;
    FAlign = value;
    ApplyAlign();
    emit alignChanged();
}

void TCustomAdvPanel::setHint(const QString& value)
{
    // Signalled through the tooltip's change event, as a tooltip set directly is.
    setToolTip(value);
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
    // Handlers run during the animation may destroy the panel.
    QPointer<TCustomAdvPanel> self(this);
    RunCollapse(value);
    if (self)
        NotifyState();
}

void TCustomAdvPanel::RecordFullHeight()
{
    if (!FCollaps && !FCollapsing)
        FFullHeight = FCaption->Position() == cpTop ? height() : width();
    NotifyState();
}

void TCustomAdvPanel::NotifyState()
{
    const Reported now { pos(), size(), FFullHeight, FCollaps, toolTip() };
    const Reported before = std::exchange(m_reported, now);
    if (now.pos.x() != before.pos.x())
        emit leftChanged();
    if (now.pos.y() != before.pos.y())
        emit topChanged();
    if (now.size.height() != before.size.height())
        emit heightChanged();
    if (now.size.width() != before.size.width())
        emit widthChanged();
    if (now.fullHeight != before.fullHeight)
        emit fullHeightChanged();
    if (now.collaps != before.collaps)
        emit collapsChanged();
    if (now.hint != before.hint)
        emit hintChanged();
}

void TCustomAdvPanel::setFullHeight(int value)
{
    FFullHeight = value;
    NotifyState();
}

void TCustomAdvPanel::setLeft(int value)
{
    move(value, y());
    NotifyState();
}

void TCustomAdvPanel::setTop(int value)
{
    move(x(), value);
    NotifyState();
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
    NotifyState();
}

// ---- styling

void TCustomAdvPanel::SetStyler(TAdvPanelStyler* value)
{
    if (FStyler != value) {
        if (FStyler)
            FStyler->disconnect(this);
        FStyler = value;
        if (value)
            connect(value, &QObject::destroyed, this, &TCustomAdvPanel::stylerChanged);
        emit stylerChanged();
    }
    if (!IsLoading() && value && value->Settings())
        ApplySettings(*value->Settings());
}

void TCustomAdvPanel::ApplySettings(const TAdvPanelSettings& s)
{
#define ADVPANEL_APPLY(Type, Name, ...) set##Name(s.Name());
    ADVPANEL_STYLED(ADVPANEL_APPLY)
#undef ADVPANEL_APPLY
    const bool minMax = FCaption->MinMaxButton();
    const bool close = FCaption->CloseButton();
    FCaption->Assign(*s.Caption());
    FCaption->setMinMaxButton(minMax);
    FCaption->setCloseButton(close);
    FStatusBar->Assign(*s.StatusBar());
}

void TCustomAdvPanel::Assign(const TCustomAdvPanel& p)
{
    if (&p == this)
        return;
#define ADVPANEL_COPY(Type, Name, ...) set##Name(p.F##Name);
    ADVPANEL_STYLED(ADVPANEL_COPY)
    ADVPANEL_LOOK(ADVPANEL_COPY)
#undef ADVPANEL_COPY
    FBackground.Assign(p.FBackground);
    FCaption->AssignAll(*p.FCaption);
    FStatusBar->AssignAll(*p.FStatusBar);
    FPosition->Assign(*p.FPosition);
    setHeight(p.height());
    setHint(p.Hint());
    setImages(p.FImages);
    setPictureContainer(p.FContainer);
    setContextMenuPolicy(p.contextMenuPolicy());
    setText(p.FText);
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
    const QRect r = AlignedGeometry(TChildAlign(FAlign), area, geometry());
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
        if (anchor.contains(QLatin1String("://")) || anchor.contains(QLatin1String("mailto:"))) {
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
        if (FAnchorHint) {
            const QPoint pos = help->pos() - contentsRect().topLeft();
            QString anchor = AnchorAt(pos.x(), pos.y());
            if (!anchor.isEmpty()) {
                if (OnAnchorHint)
                    OnAnchorHint(this, anchor);
                QToolTip::showText(help->globalPos() + QPoint(10, -10),
                    Qt::convertFromPlainText(anchor, Qt::WhiteSpaceNormal), this);
                return true;
            }
        }
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
            const TFont before = FFont;
            FFont.AssignQFont(font());
            FFont.Color = before.Color;
            if (!(FFont == before))
                emit fontChanged();
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
