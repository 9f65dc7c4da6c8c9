// SPDX-License-Identifier: MIT
#include "AdvPanelGroup.h"

#include <QChildEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

using namespace AdvPanel;

namespace {

// Height of rows of `columns` panels, each row as high as its highest panel, `padding` apart and
// around them.
int RowsHeight(const QList<TCustomAdvPanel*>& panels, int columns, int padding)
{
    int y = padding;
    for (qsizetype i = 0; i < panels.size(); i += columns) {
        int row = 0;
        for (qsizetype j = i; j < std::min(panels.size(), i + columns); ++j)
            row = std::max(row, panels[j]->height());
        y += row + padding;
    }
    return y;
}

} // namespace

TAdvPanelGroup::TAdvPanelGroup(QWidget* parent)
    : TAdvPanel(parent)
    , FDefaultPanel(new TAdvPanelSettings(this))
    , FScrollBar(new QScrollBar(Qt::Vertical, this))
{
    FScrollBar->setSingleStep(2);
    FScrollBar->setPageStep(20);
    FScrollBar->hide();
    connect(FScrollBar, &QScrollBar::valueChanged, this, [this] { Arrange(); });
}

void TAdvPanelGroup::setGroupStyle(TGroupStyle value)
{
    if (FGroupStyle == value)
        return;
    FGroupStyle = value;
    UpdateGroup();
    emit groupStyleChanged();
}

void TAdvPanelGroup::setScrollSmooth(bool value)
{
    if (FScrollSmooth == value)
        return;
    FScrollSmooth = value;
    emit scrollSmoothChanged();
}

void TAdvPanelGroup::setColumns(int value)
{
    value = std::clamp(value, 1, 64);
    if (FColumns == value)
        return;
    FColumns = value;
    UpdateGroup();
    emit columnsChanged();
}

void TAdvPanelGroup::setHorzPadding(int value)
{
    value = std::clamp(value, 0, 4096);
    if (FHorzPadding == value)
        return;
    FHorzPadding = value;
    UpdateGroup();
    emit horzPaddingChanged();
}

void TAdvPanelGroup::setVertPadding(int value)
{
    value = std::clamp(value, 0, 4096);
    if (FVertPadding == value)
        return;
    FVertPadding = value;
    UpdateGroup();
    emit vertPaddingChanged();
}

QList<TCustomAdvPanel*> TAdvPanelGroup::Panels() const
{
    QList<TCustomAdvPanel*> list;
    for (const QPointer<TCustomAdvPanel>& p : FPanels) {
        if (p && p->parentWidget() == this)
            list << p.data();
    }
    // Children not met yet (placed on the group since it last arranged) follow in creation order.
    for (TCustomAdvPanel* child : findChildren<TCustomAdvPanel*>(Qt::FindDirectChildrenOnly)) {
        if (!list.contains(child))
            list << child;
    }
    return list;
}

TAdvPanel* TAdvPanelGroup::CreatePanel(int index)
{
    auto* panel = new TAdvPanel(this);
    panel->ApplySettings(*FDefaultPanel);
    panel->resize(FDefaultPanel->Width(), FDefaultPanel->Height());
    panel->setFullHeight(FDefaultPanel->Height());
    panel->setHint(FDefaultPanel->Hint());
    QList<TCustomAdvPanel*> panels = Panels();
    panels.removeAll(panel);
    panels.insert(std::clamp(index, 0, int(panels.size())), panel);
    FPanels.clear();
    for (TCustomAdvPanel* p : panels)
        FPanels << p;
    if (isVisible())
        panel->show();
    Arrange();
    return panel;
}

TAdvPanel* TAdvPanelGroup::AddPanel()
{
    return CreatePanel(PanelCount());
}

TAdvPanel* TAdvPanelGroup::AppendPanel()
{
    return CreatePanel(PanelCount());
}

TAdvPanel* TAdvPanelGroup::InsertPanel(int index)
{
    return CreatePanel(index);
}

void TAdvPanelGroup::RemovePanel(int index)
{
    const QList<TCustomAdvPanel*> panels = Panels();
    if (index < 0 || index >= panels.size())
        return;
    delete panels[index];
    Arrange();
}

void TAdvPanelGroup::MovePanel(int fromIndex, int toIndex)
{
    QList<TCustomAdvPanel*> panels = Panels();
    if (fromIndex < 0 || fromIndex >= panels.size() || toIndex < 0 || toIndex >= panels.size())
        return;
    panels.move(fromIndex, toIndex);
    FPanels.clear();
    for (TCustomAdvPanel* p : panels)
        FPanels << p;
    Arrange();
}

void TAdvPanelGroup::Clear()
{
    const QList<TCustomAdvPanel*> panels = Panels();
    BeginUpdate();
    for (TCustomAdvPanel* p : panels)
        delete p;
    FPanels.clear();
    EndUpdate();
}

void TAdvPanelGroup::InitPanels()
{
    BeginUpdate();
    for (TCustomAdvPanel* p : Panels())
        p->ApplySettings(*FDefaultPanel);
    EndUpdate();
}

void TAdvPanelGroup::OpenAllPanels()
{
    BeginUpdate();
    for (TCustomAdvPanel* p : Panels())
        p->setCollaps(false);
    EndUpdate();
}

void TAdvPanelGroup::CloseAllPanels()
{
    BeginUpdate();
    for (TCustomAdvPanel* p : Panels())
        p->setCollaps(true);
    EndUpdate();
}

void TAdvPanelGroup::LoadPanelPositions()
{
    BeginUpdate();
    for (TCustomAdvPanel* p : Panels())
        p->LoadPosition();
    EndUpdate();
}

void TAdvPanelGroup::SavePanelPositions()
{
    for (TCustomAdvPanel* p : Panels())
        p->SavePosition();
}

void TAdvPanelGroup::BeginUpdate()
{
    ++m_groupUpdate;
    TCustomAdvPanel::BeginUpdate();
}

void TAdvPanelGroup::EndUpdate()
{
    if (m_groupUpdate > 0)
        --m_groupUpdate;
    TCustomAdvPanel::EndUpdate();
    if (m_groupUpdate == 0)
        UpdateGroup();
}

void TAdvPanelGroup::UpdateGroup()
{
    if (m_arranging || m_groupUpdate > 0)
        return;
    // Order by position: down the rows (across them for a row group), then across.
    QList<TCustomAdvPanel*> panels = Panels();
    const bool vertical = FGroupStyle == gsVertical;
    std::stable_sort(panels.begin(), panels.end(), [vertical](TCustomAdvPanel* a, TCustomAdvPanel* b) {
        const QPoint pa = a->pos();
        const QPoint pb = b->pos();
        return vertical ? std::pair(pa.y(), pa.x()) < std::pair(pb.y(), pb.x())
                        : std::pair(pa.x(), pa.y()) < std::pair(pb.x(), pb.y());
    });
    FPanels.clear();
    for (TCustomAdvPanel* p : panels)
        FPanels << p;
    Arrange();
}

void TAdvPanelGroup::Arrange()
{
    if (m_arranging || m_groupUpdate > 0 || IsLoading())
        return;
    m_arranging = true;
    const QRect area = AlignArea().toQRect();
    const QList<TCustomAdvPanel*> shown = ShownPanels();
    if (FGroupStyle == gsHorizontal) {
        FScrollBar->hide();
        int x = area.left() + FHorzPadding;
        const int h = std::max(0, area.height() - 2 * FVertPadding);
        for (TCustomAdvPanel* p : shown) {
            p->setGeometry(x, area.top() + FVertPadding, p->width(), h);
            x += p->width() + FHorzPadding;
        }
        m_arranging = false;
        return;
    }
    const int content = RowsHeight(shown, FColumns, FVertPadding);
    const bool scroll = content > area.height();
    const int barWidth = scroll ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    if (scroll) {
        FScrollBar->setGeometry(area.right() + 1 - barWidth, area.top(), barWidth, area.height());
        FScrollBar->setRange(0, content - area.height());
        FScrollBar->show();
        FScrollBar->raise();
    } else {
        FScrollBar->setValue(0);
        FScrollBar->hide();
    }
    const int offset = scroll ? FScrollBar->value() : 0;
    const int columnWidth = std::max(1, (area.width() - barWidth - (FColumns + 1) * FHorzPadding) / FColumns);
    int y = area.top() + FVertPadding - offset;
    for (qsizetype i = 0; i < shown.size(); i += FColumns) {
        int row = 0;
        for (qsizetype j = i; j < std::min(shown.size(), i + FColumns); ++j) {
            TCustomAdvPanel* p = shown[j];
            const int column = int(j - i);
            p->setGeometry(area.left() + FHorzPadding + column * (columnWidth + FHorzPadding), y, columnWidth,
                p->height());
            row = std::max(row, p->height());
        }
        y += row + FVertPadding;
    }
    m_arranging = false;
}

QList<TCustomAdvPanel*> TAdvPanelGroup::ShownPanels() const
{
    QList<TCustomAdvPanel*> shown;
    for (TCustomAdvPanel* p : Panels()) {
        if (!p->isHidden())
            shown << p;
    }
    return shown;
}

QSize TAdvPanelGroup::sizeHint() const
{
    const QRect area = AlignArea().toQRect();
    const QList<TCustomAdvPanel*> shown = ShownPanels();
    if (FGroupStyle == gsHorizontal) {
        int content = FHorzPadding;
        for (const TCustomAdvPanel* p : shown)
            content += p->width() + FHorzPadding;
        return { width() - area.width() + content, height() };
    }
    return { width(), height() - area.height() + RowsHeight(shown, FColumns, FVertPadding) };
}

void TAdvPanelGroup::ChildPanelChanged(TCustomAdvPanel*)
{
    UpdateGroup();
}

void TAdvPanelGroup::StateChanged()
{
    UpdateGroup();
}

void TAdvPanelGroup::Loaded()
{
    TAdvPanel::Loaded();
    UpdateGroup();
}

void TAdvPanelGroup::resizeEvent(QResizeEvent* event)
{
    TAdvPanel::resizeEvent(event);
    Arrange();
}

void TAdvPanelGroup::wheelEvent(QWheelEvent* event)
{
    if (!FScrollBar->isVisible()) {
        TAdvPanel::wheelEvent(event);
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    const int step = FScrollSmooth ? FScrollBar->singleStep() : FScrollBar->pageStep();
    FScrollBar->setValue(FScrollBar->value() - notches * step);
    event->accept();
}

void TAdvPanelGroup::childEvent(QChildEvent* event)
{
    TAdvPanel::childEvent(event);
    // A panel that goes away (freed on close, deleted by its owner) leaves its place to the others.
    if (event->type() == QEvent::ChildRemoved && !m_arranging)
        QMetaObject::invokeMethod(
            this, [this] { Arrange(); }, Qt::QueuedConnection);
}
