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
    FCaption->AssignAll(*s.FCaption);
    FStatusBar->AssignAll(*s.FStatusBar);
    EndUpdate();
}

bool TAdvPanelSettings::SameAs(const TAdvPanelSettings& s) const
{
#define ADVPANEL_SAME(Type, Name, ...) &&F##Name == s.F##Name
    return true ADVPANEL_STYLED(ADVPANEL_SAME) ADVPANEL_UNSTYLED(ADVPANEL_SAME)
        && FCaption->SameAs(*s.FCaption) && FStatusBar->SameAs(*s.FStatusBar);
#undef ADVPANEL_SAME
}
