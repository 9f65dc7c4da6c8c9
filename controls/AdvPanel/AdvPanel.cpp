// SPDX-License-Identifier: MIT
#include "AdvPanel.h"

#include "AdvPanelRenderer.h"
#include "AdvPanelSettings.h"
#include "AdvPanelStyler.h"
#include "PanelMotion.h"
#include "Property.h"
#include "VersionText.h"

#include <QEvent>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <utility>

using namespace AdvPanel;

namespace {

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
    , m_renderer(std::make_unique<TAdvPanelRenderer>())
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
    FStatusBar->OnChange = [this] {
        UpdateAutoSize();
        update();
    };
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
    // Bevels, border and caption bar take room from the text.
    UpdateAutoSize();
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
#define ADVPANEL_AFTER_Resize                                                                                \
    UpdateAutoSize();                                                                                        \
    update();
#define ADVPANEL_AFTER_Realign Changed();
#define ADVPANEL_AFTER_Store
#define ADVPANEL_SETTER_Repaint ADVPANEL_SETTER
#define ADVPANEL_SETTER_Resize ADVPANEL_SETTER
#define ADVPANEL_SETTER_Realign ADVPANEL_SETTER
#define ADVPANEL_SETTER_Store ADVPANEL_SETTER
#define ADVPANEL_SETTER_Custom(Type, Name, signal, After, Bound)
#define ADVPANEL_SETTER(Type, Name, signal, After, Bound)                                                    \
    void TCustomAdvPanel::set##Name(AdvPanel::Arg<Type> value)                                               \
    {                                                                                                        \
        const Type bounded = Bounded(TBound::Bound, value);                                                  \
        if (!StoreIfChanged(F##Name, bounded))                                                               \
            return;                                                                                          \
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
#undef ADVPANEL_SETTER_Resize
#undef ADVPANEL_AFTER_Store
#undef ADVPANEL_AFTER_Realign
#undef ADVPANEL_AFTER_Repaint
#undef ADVPANEL_AFTER_Resize

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
        FImagesLink = connect(value, &TImageList::Change, this, [this] {
            ++m_textGeneration;
            update();
        });
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
    FFullHeight
        = PanelMotion::KeptFullHeight(FFullHeight, size(), FCaption->Position(), FCollaps, FCollapsing);
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
    // These stay the panel's own, as they always have: callers rely on a copy that keeps its frame
    // width, indents and text flow.
    static const QSet<QByteArray> kept { "BorderWidth", "Indent", "TopIndent", "GradientDirection",
        "LineSpacing", "Ellipsis", "Buffered" };
#define ADVPANEL_COPY(Type, Name, ...)                                                                       \
    if (!kept.contains(#Name))                                                                               \
        set##Name(p.F##Name);
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

// ---- painting

TAdvPanelLook TCustomAdvPanel::Look() const
{
    TAdvPanelLook look;
    look.layout = { FText, m_textGeneration, FFont, CurrentLayout(), FTextVAlign, FEllipsis, FLineSpacing,
        FShadowOffset, FImages, FContainer };
    look.outer = size();
    look.origin = contentsRect().topLeft();
    look.frame = FBorderStyle == bsSingle;
    look.color = FColor;
    look.colorTo = FColorTo;
    look.colorMirror = FColorMirror;
    look.colorMirrorTo = FColorMirrorTo;
    look.horizontal = FGradientDirection == gdHorizontal;
    look.borderColor = FBorderColor;
    look.bevelOuter = FBevelOuter;
    look.bevelInner = FBevelInner;
    look.background = &FBackground.Image();
    look.backgroundPosition = FBackgroundPosition;
    look.urlColor = FURLColor;
    look.shadowColor = FShadowColor;
    look.hover = FHover;
    look.hoverColor = FHoverColor;
    look.hoverFontColor = FHoverFontColor;
    look.hoverLink = FHoverHyperLink;
    look.captionHoverLink = FCaptionHoverHyperLink;
    look.collapsed = FCollaps;
    look.sizeGrip = FCanSize && !FCollaps;
    look.closeHover = FCloseHover;
    look.minMaxHover = FMinMaxHover;
    look.caption = FCaption;
    look.statusBar = FStatusBar;
    return look;
}

THTMLPictureCache* TCustomAdvPanel::ImageCache() const
{
    return &m_renderer->PictureCache();
}

void TCustomAdvPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintPanel(painter);
}

void TCustomAdvPanel::PaintPanel(QPainter& painter)
{
    const TAdvPanelLook look = Look();
    std::function<void(TCanvas&)> after;
    if (OnPaint) {
        const QSize client = look.layout.geometry.client;
        after = [this, client](
                    TCanvas& canvas) { OnPaint(this, canvas, TRect(0, 0, client.width(), client.height())); };
    }
    m_renderer->Paint(look, painter, after);
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
    if (FCaption->ShadeType() != stNormal && FCaption->Visible() && !m_renderer->ShadedHeaderFits(Look()))
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
        UpdateAutoSize();
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
