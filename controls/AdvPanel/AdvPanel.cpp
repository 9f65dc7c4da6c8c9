// SPDX-License-Identifier: MIT
#include "AdvPanel.h"

#include "AdvPanelRenderer.h"
#include "AdvPanelSettings.h"
#include "AdvPanelStyler.h"
#include "PanelMotion.h"
#include "VersionText.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

using namespace AdvPanel;

namespace {

// Far beyond any panel; keeps frame and indent arithmetic within int range.
constexpr int kMaxExtent = 65535;

int Bounded(int value, int low = -kMaxExtent)
{
    return std::clamp(value, low, kMaxExtent);
}

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
}

#define PANEL_SETTER(Type, Name, Field, After)                                                               \
    void TCustomAdvPanel::set##Name(Type value)                                                              \
    {                                                                                                        \
        if (Field == value)                                                                                  \
            return;                                                                                          \
        Field = value;                                                                                       \
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
        FImagesLink = connect(value, &TImageList::Change, this, [this] {
            ++m_textGeneration;
            update();
        });
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
    FFullHeight
        = PanelMotion::KeptFullHeight(FFullHeight, size(), FCaption->Position(), FCollaps, FCollapsing);
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
            const TColor color = FFont.Color;
            FFont.AssignQFont(font());
            FFont.Color = color;
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
