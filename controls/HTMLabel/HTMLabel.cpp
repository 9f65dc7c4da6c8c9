// SPDX-License-Identifier: MIT
#include "HTMLabel.h"

#include "Anchors.h"
#include "ChildAlign.h"
#include "HTMLabelAccessible.h"
#include "HTMLabelRenderer.h"
#include "HTMLabelText.h"
#include "MarkupEngine.h"
#include "Property.h"
#include "ShellService.h"
#include "VersionText.h"

#include <QCursor>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>

namespace G = HTMLabelGeometry;

namespace {

constexpr TRect kNoRect { -1, -1, -1, -1 };
// The width and height an auto-sized label starts from when docked to a side; the next layout grows
// it to its text.
constexpr int kAutoSizeStart = 6;

// The renderer's enumerations list the label's in the same order.
static_assert(int(G::Bevel::Space) == THTMLabel::bvSpace && int(G::VAlign::Bottom) == THTMLabel::tvaBottom
    && int(THTMLabelLook::Gradient::TopLine) == THTMLabel::gtTopLine);

G::Bevel ToBevel(THTMLabel::TBevelCut cut)
{
    return static_cast<G::Bevel>(cut);
}

} // namespace

THTMLabel::THTMLabel(QWidget* parent)
    : QWidget(parent)
    , m_renderer(std::make_unique<THTMLabelRenderer>())
{
    // No background of its own: the parent shows through wherever the label does not paint.
    setAutoFillBackground(false);
    setMouseTracking(true);
    resize(120, 17);
    InstallHTMLabelAccessibility();
    FHTMLText.OnChange = [this] { HTMLTextChanged(); };
}

THTMLabel::~THTMLabel()
{
    FHTMLText.OnChange = nullptr;
}

// ---- properties

void THTMLabel::setAutoSizing(bool value)
{
    const bool changed = StoreIfChanged(FAutoSizing, value);
    if (value) {
        if (FAlign == alLeft || FAlign == alRight)
            resize(kAutoSizeStart, height());
        else if (FAlign == alTop || FAlign == alBottom)
            resize(width(), kAutoSizeStart);
    }
    AdjustAutoSize();
    updateGeometry();
    update();
    if (changed)
        emit autoSizingChanged();
}

void THTMLabel::setAutoSizeType(TAutoSizeType value)
{
    const bool changed = StoreIfChanged(FAutoSizeType, value);
    setAutoSizing(FAutoSizing);
    if (changed)
        emit autoSizingChanged();
}

void THTMLabel::setAlign(TAlign value)
{
    if (!StoreIfChanged(FAlign, value))
        return;
    ApplyAlign();
    AdjustAutoSize();
    update();
    emit appearanceChanged();
}

void THTMLabel::setBevelInner(TBevelCut value)
{
    SetFrame(FBevelInner, value);
}

void THTMLabel::setBevelOuter(TBevelCut value)
{
    SetFrame(FBevelOuter, value);
}

void THTMLabel::setBevelWidth(int value)
{
    SetFrame(FBevelWidth, std::clamp(value, 1, kMaxExtent));
}

void THTMLabel::setBorderColor(TColor value)
{
    SetLook(FBorderColor, value);
}

void THTMLabel::setBorderStyle(TBorderStyle value)
{
    SetFrame(FBorderStyle, value);
}

void THTMLabel::setBorderWidth(int value)
{
    SetFrame(FBorderWidth, std::clamp(value, 0, kMaxExtent));
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
    emit appearanceChanged();
}

void THTMLabel::setParentColor(bool value)
{
    SetLook(FParentColor, value);
}

void THTMLabel::setColorTo(TColor value)
{
    SetLook(FColorTo, value);
}

void THTMLabel::setEllipsis(bool value)
{
    SetLayout(FEllipsis, value);
}

void THTMLabel::setGradientType(TGradientType value)
{
    SetLook(FGradientType, value);
}

void THTMLabel::setAnchorHint(bool value)
{
    if (StoreIfChanged(FAnchorHint, value))
        emit hintsChanged();
}

void THTMLabel::setHintShowFull(bool value)
{
    if (StoreIfChanged(FHintShowFull, value))
        emit hintsChanged();
}

void THTMLabel::setHTMLHint(bool value)
{
    if (StoreIfChanged(FHTMLHint, value))
        emit hintsChanged();
}

// The hover look shows from the next move over an anchor on; nothing to repaint now.
void THTMLabel::setHover(bool value)
{
    if (StoreIfChanged(FHover, value))
        emit appearanceChanged();
}

void THTMLabel::setHoverColor(TColor value)
{
    if (StoreIfChanged(FHoverColor, value))
        emit appearanceChanged();
}

void THTMLabel::setHoverFontColor(TColor value)
{
    if (StoreIfChanged(FHoverFontColor, value))
        emit appearanceChanged();
}

void THTMLabel::setHTMLText(const QStringList& value)
{
    const QString text = HTMLabelText::RemoveLineBreaks(value);
    FHTMLText.SetLines(text.isEmpty() ? QStringList() : QStringList { text });
}

void THTMLabel::setHTMLLines(const QStringList& lines)
{
    FHTMLText.SetLines(lines);
}

void THTMLabel::setImages(TImageList* value)
{
    if (FILChangeLink)
        disconnect(FILChangeLink);
    const bool changed = FImages != value;
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
    if (changed)
        emit appearanceChanged();
}

void THTMLabel::setLineSpacing(int value)
{
    SetLayout(FLineSpacing, value);
}

void THTMLabel::setLineWidth(int value)
{
    SetLook(FLineWidth, value);
}

void THTMLabel::setPictureContainer(TPictureContainer* value)
{
    if (FContainer == value)
        return;
    ++m_textGeneration;
    SetLayout(FContainer, QPointer<TPictureContainer>(value));
}

void THTMLabel::setShadowColor(TColor value)
{
    SetLook(FShadowColor, value);
}

void THTMLabel::setShadowOffset(int value)
{
    SetLook(FShadowOffset, value);
}

void THTMLabel::setTransparent(bool value)
{
    SetLook(FTransparent, value);
}

void THTMLabel::setURLColor(TColor value)
{
    SetLook(FURLColor, value);
}

void THTMLabel::setVAlignment(TVAlignment value)
{
    SetLook(FVAlignment, value);
}

template <class T> void THTMLabel::SetLook(T& field, const T& value)
{
    if (!StoreIfChanged(field, value))
        return;
    update();
    emit appearanceChanged();
}

// The frames lay out and repaint on every write, changed or not.
template <class T> void THTMLabel::SetFrame(T& field, const T& value)
{
    const bool changed = StoreIfChanged(field, value);
    LayoutChanged();
    if (changed)
        emit appearanceChanged();
}

template <class T> void THTMLabel::SetLayout(T& field, const T& value)
{
    if (!StoreIfChanged(field, value))
        return;
    LayoutChanged();
    emit appearanceChanged();
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

THTMLPictureCache* THTMLabel::ImageCache() const
{
    return &m_renderer->PictureCache();
}

QSize THTMLabel::GetSizeWithMaxWidth(int maxWidth) const
{
    return m_renderer->TextSize(TextLayout(), maxWidth);
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
    m_renderer->Print(Look(), canvas, r);
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
    const THTMLabelRenderer::Hit hit = m_renderer->AnchorAt(TextLayout(), x, y);
    SetHoverHyperLink(hit.number);
    m_anchorRect = hit.rect;
    return hit.target;
}

void THTMLabel::setHitCaching(bool on)
{
    m_renderer->setHitCaching(on);
}

bool THTMLabel::AnswersFromMap() const
{
    return m_renderer->AnswersFromMap();
}

// ---- painting

void THTMLabel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // The exposed part only: Qt leaves out what the label's parents hide.
    PaintLabel(painter, event->rect());
}

void THTMLabel::PaintLabel(QPainter& painter, const QRect& exposed)
{
    const std::optional<QSize> autoSize = m_renderer->Paint(Look(), painter, CursorPoint(), exposed);
    if (!autoSize)
        return;
    m_paintedHover = FHoverHyperLink;
    if (*autoSize != size()) {
        // Sizing is not done while painting; something changed without passing through a setter.
        QMetaObject::invokeMethod(
            this, [this] { AdjustAutoSize(); }, Qt::QueuedConnection);
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
    if (IsShellAnchor(anchor))
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
    SetHoverHyperLink(-1);
    RepaintHover();
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool THTMLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (FAnchorHint
            && ShowAnchorHint(
                this, OnAnchorHint, help->globalPos(), AnchorAt(help->pos().x(), help->pos().y())))
            return true;
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

THTMLabelLayout THTMLabel::TextLayout() const
{
    THTMLabelLayout layout;
    layout.text = DisplayText();
    layout.textGeneration = m_textGeneration;
    layout.font = CanvasFont();
    layout.size = size();
    layout.autoSizing = FAutoSizing;
    layout.sizesWidth = SizesWidth();
    layout.sizesHeight = SizesHeight();
    layout.valign = static_cast<G::VAlign>(FVAlignment);
    layout.frames.outer = ToBevel(FBevelOuter);
    layout.frames.inner = ToBevel(FBevelInner);
    layout.frames.bevelWidth = FBevelWidth;
    layout.frames.borderWidth = FBorderWidth;
    layout.frames.singleBorder = FBorderStyle == bsSingle;
    layout.ellipsis = FEllipsis;
    layout.lineSpacing = FLineSpacing;
    layout.images = FImages.data();
    layout.container = FContainer.data();
    return layout;
}

THTMLabelLook THTMLabel::Look() const
{
    THTMLabelLook look;
    look.layout = TextLayout();
    look.colors.color = Color();
    look.colors.borderColor = FBorderColor;
    look.colorTo = FColorTo;
    look.gradient = static_cast<THTMLabelLook::Gradient>(FGradientType);
    look.lineWidth = FLineWidth;
    look.urlColor = FURLColor;
    look.shadowColor = FShadowColor;
    look.shadowOffset = FShadowOffset;
    look.hover = FHover;
    look.hoverColor = FHoverColor;
    look.hoverFontColor = FHoverFontColor;
    look.hoverLink = FHoverHyperLink;
    look.transparent = FTransparent;
    look.updating = FUpdateCount > 0;
    look.devicePixelRatio = devicePixelRatioF();
    return look;
}

void THTMLabel::AdjustAutoSize()
{
    if (!FAutoSizing || IsLoading() || m_adjusting || (!SizesWidth() && !SizesHeight()))
        return;
    const QSize wanted = m_renderer->AutoSize(TextLayout(), CursorPoint());
    if (wanted == size())
        return;
    m_adjusting = true;
    resize(wanted);
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
    const QRect target = AlignedGeometry(FAlign, area, geometry());
    if (target == geometry())
        return;
    m_aligning = true;
    setGeometry(target);
    m_aligning = false;
}

void THTMLabel::HTMLTextChanged()
{
    m_renderer->PictureCache().Clear();
    m_displayText = HTMLabelText::JoinLines(FHTMLText.Lines());
    ++m_textGeneration;
    TextChanged();
    AdjustAutoSize();
    if (FAutoSizing)
        updateGeometry();
    // Writing the same lines again still repaints and empties the cache, but tells no one.
    if (StoreIfChanged(m_notifiedLines, FHTMLText.Lines()))
        emit htmlTextChanged();
}

void THTMLabel::LayoutChanged()
{
    AdjustAutoSize();
    if (FAutoSizing)
        updateGeometry();
    update();
}

QSize THTMLabel::sizeHint() const
{
    if (!FAutoSizing || (!SizesWidth() && !SizesHeight()))
        return QWidget::sizeHint();
    return m_renderer->AutoSize(TextLayout(), CursorPoint());
}

void THTMLabel::InvalidateRect(const TRect& r)
{
    if (!r.IsEmpty())
        update(r.toQRect());
}

void THTMLabel::SetHoverHyperLink(int number)
{
    if (FHoverHyperLink == number)
        return;
    FHoverHyperLink = number;
    emit hoverHyperLinkChanged(number);
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

QPoint THTMLabel::CursorPoint() const
{
    return mapFromGlobal(QCursor::pos());
}
