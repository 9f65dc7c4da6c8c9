// SPDX-License-Identifier: MIT
#include "AdvPanelDemo.h"

#include "Loadable.h"

using namespace AdvPanel;

TAdvPanelDemo::TAdvPanelDemo(const QString& iniFile, QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Styled panel"));
    resize(720, 460);
    LoadForm([&] {
        auto* back = new TAdvPanel(this);
        back->setAlign(alClient);
        back->setBorderColor(clGray);

        m_group = new TAdvPanelGroup(back);
        m_group->setGeometry(8, 8, 260, 444);
        m_group->setColor(0x00F0E6DC);
        m_group->setBorderColor(clGray);
        m_group->DefaultPanel()->setHeight(110);
        m_group->DefaultPanel()->Caption()->setVisible(true);
        m_group->DefaultPanel()->Caption()->setColor(0x00B05A1E);
        m_group->DefaultPanel()->Caption()->setColorTo(0x00E0B080);
        m_group->DefaultPanel()->Caption()->setMinMaxButton(true);
        m_group->DefaultPanel()->Caption()->setCloseButton(true);
        m_group->DefaultPanel()->setCollapsSteps(8);
        m_group->DefaultPanel()->setCollapsDelay(10);
        m_group->DefaultPanel()->setColor(clWhite);
        m_group->DefaultPanel()->setColorTo(0x00F0F0F0);

        m_free = new TAdvPanel(back);
        m_free->setGeometry(290, 8, 300, 200);
        m_free->setCanMove(true);
        m_free->setCanSize(true);
        m_free->setShowMoveCursor(true);
        m_free->setColor(0x00FDEADA);
        m_free->setColorTo(0x00E4AE88);
        m_free->setIndent(4);
        m_free->setTopIndent(4);
        m_free->setText(QStringLiteral("Drag me by the caption, size me by the edges or the corner. "
                                       "My place is kept for the next run. "
                                       "<A href=\"about\">An anchor</A> raises an event."));
        m_free->Caption()->setVisible(true);
        m_free->Caption()->setText(QStringLiteral("<B>Free panel</B>"));
        m_free->Caption()->setIndent(4);
        m_free->Caption()->setShadeType(stVShade);
        m_free->Caption()->setShape(csRounded);
        m_free->Caption()->setColor(0x00B05A1E);
        m_free->Caption()->setShadeLight(240);
        m_free->StatusBar()->setVisible(true);
        m_free->StatusBar()->setColor(0x00F0F0F0);
        m_free->StatusBar()->setColorTo(0x00C8C8C8);
        m_free->StatusBar()->setGradientDirection(gdVertical);
        m_free->StatusBar()->setBevelInner(true);
        m_free->Position()->setSave(!iniFile.isEmpty());
        m_free->Position()->setLocation(clInifile);
        m_free->Position()->setKey(iniFile);
        m_free->Position()->setSection(QStringLiteral("FreePanel"));

        m_auto = new TAdvPanel(back);
        m_auto->move(290, 230);
        m_auto->setBorderColor(clGray);
        m_auto->setBorderWidth(1);
        m_auto->setBorderShadow(true);
        m_auto->setIndent(4);
        m_auto->setTopIndent(2);
        m_auto->setText(QStringLiteral("<B>Auto size</B><BR>This panel is as large as its text."));
        m_auto->AutoSize()->setEnabled(true);
    });

    const QString titles[] = { QStringLiteral("Collapses in steps"), QStringLiteral("Click the caption"),
        QStringLiteral("Frees itself on close"), QStringLiteral("Metal caption") };
    for (int i = 0; i < 4; ++i) {
        TAdvPanel* p = m_group->AddPanel();
        p->Caption()->setVisible(true);
        p->Caption()->setMinMaxButton(true);
        p->Caption()->setCloseButton(true);
        p->Caption()->setText(QStringLiteral("<B>%1</B>").arg(titles[i]));
        p->Caption()->setIndent(4);
        p->setIndent(4);
        p->setTopIndent(4);
        p->setText(
            QStringLiteral("Panel %1 of the group. Collapse it and the panels below follow.").arg(i + 1));
        p->OnMinimize
            = [this, i](TCustomAdvPanel*) { Report(QStringLiteral("panel %1 collapses").arg(i + 1)); };
        p->OnMaximize
            = [this, i](TCustomAdvPanel*) { Report(QStringLiteral("panel %1 expands").arg(i + 1)); };
        p->OnClose = [this, i](TCustomAdvPanel*) { Report(QStringLiteral("panel %1 closed").arg(i + 1)); };
    }
    QList<TCustomAdvPanel*> panels = m_group->Panels();
    panels[1]->Caption()->setMinMaxCaption(true);
    panels[2]->setFreeOnClose(true);
    panels[3]->Caption()->setShadeType(stLMetal);
    panels[3]->Caption()->setShadeLight(255);

    m_free->OnEndMoveSize = [this](TCustomAdvPanel* p) {
        Report(QStringLiteral("moved or sized to %1, %2, %3 x %4")
                   .arg(p->x())
                   .arg(p->y())
                   .arg(p->width())
                   .arg(p->height()));
    };
    m_free->OnAnchorClick = [this](TCustomAdvPanel*, const QString& anchor) {
        Report(QStringLiteral("anchor \"%1\"").arg(anchor));
    };
    m_free->OnCaptionDBlClick
        = [this](TCustomAdvPanel*) { Report(QStringLiteral("caption double-clicked")); };
    Report(QStringLiteral("ready"));
}

void TAdvPanelDemo::Report(const QString& what)
{
    m_free->StatusBar()->setText(what.toHtmlEscaped());
}
