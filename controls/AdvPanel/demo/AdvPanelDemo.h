// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelGroup.h"

#include <QWidget>

class QLabel;

// A form to try the panel by hand: a panel group whose panels collapse, close and take a shaded
// caption, beside a free panel that moves by its caption, sizes by its edges, keeps its position in
// `iniFile` and has a status bar, and a panel that sizes itself to its text. The last event shows
// in the status bar of the free panel.
class TAdvPanelDemo : public QWidget {
    Q_OBJECT
public:
    explicit TAdvPanelDemo(const QString& iniFile, QWidget* parent = nullptr);

    TAdvPanelGroup* Group() const { return m_group; }
    TAdvPanel* FreePanel() const { return m_free; }
    TAdvPanel* AutoPanel() const { return m_auto; }
    // The last event the panels raised, as the free panel's status bar shows it.
    QString LastEvent() const { return m_free->StatusBar()->Text(); }

private:
    void Report(const QString& what);

    TAdvPanelGroup* m_group;
    TAdvPanel* m_free;
    TAdvPanel* m_auto;
};
