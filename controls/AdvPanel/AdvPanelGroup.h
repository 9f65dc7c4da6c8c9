// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanel.h"
#include "AdvPanelSettings.h"

#include <QList>

class QScrollBar;

// A panel that arranges the panels placed on it: one below the other in Columns columns
// (gsVertical) or side by side in a row (gsHorizontal), HorzPadding and VertPadding pixels apart,
// in the order of their positions, with a vertical scroll bar that shows when they do not fit.
// Panels report their changes (collapse, close, size) through Synchronize and the group arranges
// them again. New panels take the look, height, width and hint of DefaultPanel.
class TAdvPanelGroup : public TAdvPanel {
    Q_OBJECT
    Q_PROPERTY(AdvPanel::TGroupStyle GroupStyle READ GroupStyle WRITE setGroupStyle NOTIFY groupStyleChanged)
    Q_PROPERTY(int Columns READ Columns WRITE setColumns NOTIFY columnsChanged)
    Q_PROPERTY(int HorzPadding READ HorzPadding WRITE setHorzPadding NOTIFY horzPaddingChanged)
    Q_PROPERTY(int VertPadding READ VertPadding WRITE setVertPadding NOTIFY vertPaddingChanged)
    Q_PROPERTY(bool ScrollSmooth READ ScrollSmooth WRITE setScrollSmooth NOTIFY scrollSmoothChanged)
    Q_PROPERTY(TAdvPanelSettings* DefaultPanel READ DefaultPanel CONSTANT)

public:
    explicit TAdvPanelGroup(QWidget* parent = nullptr);

    AdvPanel::TGroupStyle GroupStyle() const { return FGroupStyle; }
    void setGroupStyle(AdvPanel::TGroupStyle value);
    // Columns of a vertical group (at least 1).
    int Columns() const { return FColumns; }
    void setColumns(int value);
    // Pixels between panels and around them, across and down.
    int HorzPadding() const { return FHorzPadding; }
    void setHorzPadding(int value);
    int VertPadding() const { return FVertPadding; }
    void setVertPadding(int value);
    // The wheel scrolls by the small step instead of the large one.
    bool ScrollSmooth() const { return FScrollSmooth; }
    void setScrollSmooth(bool value);
    TAdvPanelSettings* DefaultPanel() const { return FDefaultPanel; }
    QScrollBar* ScrollBar() const { return FScrollBar; }

    // The group's panels in their order.
    QList<TCustomAdvPanel*> Panels() const;
    int PanelCount() const { return int(Panels().size()); }

    // A new panel with DefaultPanel's settings, at the end or at `index` (clamped).
    TAdvPanel* AddPanel();
    TAdvPanel* AppendPanel();
    TAdvPanel* InsertPanel(int index);
    // Destroys the panel at `index`; an index out of range does nothing.
    void RemovePanel(int index);
    // Puts the panel at `fromIndex` at `toIndex`; indexes out of range do nothing.
    void MovePanel(int fromIndex, int toIndex);
    // Destroys every panel.
    void Clear();
    // Gives every panel DefaultPanel's look and arranges them.
    void InitPanels();
    void OpenAllPanels();
    void CloseAllPanels();
    // Every panel's LoadPosition / SavePosition.
    void LoadPanelPositions();
    void SavePanelPositions();
    // Arranges the panels now.
    void UpdateGroup();
    // Arranging waits until the matching EndUpdate, which arranges once.
    void BeginUpdate();
    void EndUpdate();
    void ChildPanelChanged(TCustomAdvPanel* panel) override;
    void StateChanged() override;
    // The size that shows every shown panel without scrolling: the height of a vertical group's
    // rows, the width of a horizontal group's row, the current size across.
    QSize sizeHint() const override;

signals:
    void groupStyleChanged();
    void columnsChanged();
    void horzPaddingChanged();
    void vertPaddingChanged();
    void scrollSmoothChanged();

protected:
    void Loaded() override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    TAdvPanel* CreatePanel(int index);
    QList<TCustomAdvPanel*> ShownPanels() const;
    void Arrange();

    AdvPanel::TGroupStyle FGroupStyle = AdvPanel::gsVertical;
    int FColumns = 1;
    int FHorzPadding = 8;
    int FVertPadding = 8;
    bool FScrollSmooth = false;
    TAdvPanelSettings* FDefaultPanel;
    QScrollBar* FScrollBar;
    // The panels in their order; kept in step with the children when arranging.
    QList<QPointer<TCustomAdvPanel>> FPanels;
    int m_groupUpdate = 0;
    bool m_arranging = false;
};
