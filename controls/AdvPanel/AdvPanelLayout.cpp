// SPDX-License-Identifier: MIT
// Where the panel and its children go: the bands' layout, aligned children, collapsing to the
// caption bar and sizing to the text.
#include "AdvPanel.h"

#include "AdvPanelRenderer.h"
#include "ChildAlign.h"
#include "PanelMotion.h"
#include "Pump.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

using namespace AdvPanel;
namespace G = PanelGeometry;
namespace M = PanelMotion;

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
        target = M::CollapsedSize(CurrentLayout(), contentsMargins());
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
        for (const int step : M::CollapseSteps(extent(), target, FCollapsSteps)) {
            setExtent(step);
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
    resize(sizeHint());
    RecordFullHeight();
    m_inAutoSize = false;
    Synchronize();
}

QSize TCustomAdvPanel::sizeHint() const
{
    if (!FAutoSize->Enabled())
        return QWidget::sizeHint();
    const TAdvPanelLook look = Look();
    const G::Layout& l = look.layout.geometry;
    const bool w = FAutoSize->Width();
    const bool h = FAutoSize->Height();
    const QSize text = m_renderer->MeasureText(look, M::AutoSizeArea(l, w, h));
    return M::AutoSized(l, text, w, h, contentsMargins());
}
