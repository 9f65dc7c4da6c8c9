// SPDX-License-Identifier: MIT
#include "AdvPanelSettings.h"

TAdvPanelSettings::TAdvPanelSettings(QObject* parent)
    : QObject(parent)
    , FCaption(new TPanelCaption(this))
    , FStatusBar(new TPanelStatusBar(this))
{
    FCaption->OnChange = [this] { Change(); };
}

void TAdvPanelSettings::Change()
{
    if (m_updateCount == 0 && OnChange)
        OnChange();
}

void TAdvPanelSettings::EndUpdate()
{
    if (m_updateCount <= 0)
        return;
    if (--m_updateCount == 0)
        Change();
}

void TAdvPanelSettings::setCaption(const TPanelCaption& value)
{
    // The caption's own change event notifies.
    FCaption->Assign(value);
}

void TAdvPanelSettings::setStatusBar(const TPanelStatusBar& value)
{
    FStatusBar->Assign(value);
    Change();
}

void TAdvPanelSettings::Assign(const TAdvPanelSettings& s)
{
    if (&s == this)
        return;
    BeginUpdate();
#define ADVPANEL_COPY(Type, Name, ...) set##Name(s.F##Name);
    ADVPANEL_STYLED(ADVPANEL_COPY)
    ADVPANEL_UNSTYLED(ADVPANEL_COPY)
#undef ADVPANEL_COPY
    FCaption->Assign(*s.FCaption);
    // The caption's and status bar's Assign leave these alone; a settings copy takes them too.
    FCaption->setText(s.FCaption->Text());
    FCaption->setVisible(s.FCaption->Visible());
    FCaption->setPosition(s.FCaption->Position());
    FCaption->setTopIndent(s.FCaption->TopIndent());
    FCaption->setMinMaxCaption(s.FCaption->MinMaxCaption());
    FStatusBar->Assign(*s.FStatusBar);
    FStatusBar->setVisible(s.FStatusBar->Visible());
    FStatusBar->setHeight(s.FStatusBar->Height());
    FStatusBar->setText(s.FStatusBar->Text());
    FStatusBar->setBevelInner(s.FStatusBar->BevelInner());
    FStatusBar->setImageIndex(s.FStatusBar->ImageIndex());
    EndUpdate();
}

bool TAdvPanelSettings::SameAs(const TAdvPanelSettings& s) const
{
#define ADVPANEL_SAME(Type, Name, ...) &&F##Name == s.F##Name
    return true ADVPANEL_STYLED(ADVPANEL_SAME) ADVPANEL_UNSTYLED(ADVPANEL_SAME)
        && FCaption->SameAs(*s.FCaption) && FStatusBar->SameAs(*s.FStatusBar);
#undef ADVPANEL_SAME
}
