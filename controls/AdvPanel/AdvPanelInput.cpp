// SPDX-License-Identifier: MIT
// The panel's answers to the mouse: anchors and hints, the caption bar's buttons and clicks, moving
// by the caption and sizing by the edges.
#include "AdvPanel.h"
#include "Anchors.h"

#include "AdvPanelRenderer.h"
#include "PanelMotion.h"
#include "ShellService.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <utility>

using namespace AdvPanel;
namespace G = PanelGeometry;
namespace M = PanelMotion;

namespace {

constexpr TRect kNoRect { -1, -1, -1, -1 };

} // namespace

// ---- anchors and hints

QString TCustomAdvPanel::AnchorAt(int x, int y)
{
    const TAdvPanelRenderer::Hit hit = m_renderer->AnchorAt(Look(), x, y);
    using Area = TAdvPanelRenderer::Hit::Area;
    m_anchorRect = hit.rect;
    FCaptionHoverHyperLink = hit.area == Area::Caption ? hit.number : -1;
    if (hit.area == Area::Text)
        FHoverHyperLink = hit.number;
    return hit.target;
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
    m_captionPress = G::CaptionPart::None;
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
    m_captionPress = CaptionPartAt(pos);
    if (FCanMove && m_captionPress == G::CaptionPart::Bar)
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
        m_captionPress = G::CaptionPart::None;
        EndMoveOrSize();
        return;
    }
    CaptionClicked(event->position().toPoint() - contentsRect().topLeft());
}

void TCustomAdvPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint() - contentsRect().topLeft();
    if (event->button() == Qt::LeftButton && CaptionPartAt(pos) != G::CaptionPart::None
        && OnCaptionDBlClick) {
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

// ---- caption bar

G::CaptionPart TCustomAdvPanel::CaptionPartAt(QPoint p) const
{
    return TAdvPanelRenderer::CaptionPartAt(Look(), p);
}

G::CaptionButtonRects TCustomAdvPanel::CaptionButtonRects() const
{
    return TAdvPanelRenderer::CaptionButtons(Look());
}

void TCustomAdvPanel::BuildShadedHeader()
{
    m_renderer->BuildShadedHeader(Look());
}

const QImage& TCustomAdvPanel::ShadedHeader() const
{
    return m_renderer->ShadedHeader();
}

// ---- clicks on the caption bar

void TCustomAdvPanel::CaptionClicked(QPoint p)
{
    using Part = G::CaptionPart;
    const Part press = std::exchange(m_captionPress, Part::None);
    const Part release = CaptionPartAt(p);
    if (press == Part::None || release == Part::None)
        return;
    // Handlers may close or destroy the panel; nothing is touched once it is gone.
    QPointer<TCustomAdvPanel> self(this);
    if (press == Part::Close && release == Part::Close) {
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
    } else if ((press == Part::MinMax && release == Part::MinMax)
        || (press == Part::Bar && FCaption->MinMaxCaption())) {
        setCollaps(!FCollaps);
    }
    if (self && OnCaptionClick)
        OnCaptionClick(this);
}

void TCustomAdvPanel::UpdateButtonHover(QPoint p)
{
    const G::CaptionPart part = CaptionPartAt(p);
    const bool close = part == G::CaptionPart::Close;
    const bool minMax = part == G::CaptionPart::MinMax;
    if (close == FCloseHover && minMax == FMinMaxHover)
        return;
    FCloseHover = close;
    FMinMaxHover = minMax;
    InvalidateRect(G::CaptionBand(CurrentLayout()));
}

// ---- moving and sizing

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
        const QSize minimum = M::MinimumSize(CurrentLayout(), contentsMargins());
        resize(M::DraggedSize(FWidthHeight, delta, m_sizeZone, FFixedWidth, FFixedHeight, minimum));
        RecordFullHeight();
        return;
    }
    M::MoveInput in { FTopLeft, delta, FFixedLeft, FFixedTop, std::nullopt, size(), FCaption->Height() };
    if (const QWidget* parent = parentWidget())
        in.parent = parent->size();
    if (FShowMoveCursor)
        QWidget::setCursor(Qt::SizeAllCursor);
    move(M::DraggedPosition(in));
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
