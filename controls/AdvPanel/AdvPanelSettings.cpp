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
    FAnchorHint = s.FAnchorHint;
    FAutoHideChildren = s.FAutoHideChildren;
    FBevelInner = s.FBevelInner;
    FBevelOuter = s.FBevelOuter;
    FBevelWidth = s.FBevelWidth;
    FBorderColor = s.FBorderColor;
    FBorderShadow = s.FBorderShadow;
    FBorderStyle = s.FBorderStyle;
    FBorderWidth = s.FBorderWidth;
    FCanMove = s.FCanMove;
    FCanSize = s.FCanSize;
    FCaption->Assign(*s.FCaption);
    // The caption's Assign leaves these alone; a settings copy takes them too.
    FCaption->setText(s.FCaption->Text());
    FCaption->setVisible(s.FCaption->Visible());
    FCaption->setPosition(s.FCaption->Position());
    FCaption->setTopIndent(s.FCaption->TopIndent());
    FCaption->setMinMaxCaption(s.FCaption->MinMaxCaption());
    FCollaps = s.FCollaps;
    FCollapsColor = s.FCollapsColor;
    FCollapsDelay = s.FCollapsDelay;
    FCollapsSteps = s.FCollapsSteps;
    FColor = s.FColor;
    FColorTo = s.FColorTo;
    FColorMirror = s.FColorMirror;
    FColorMirrorTo = s.FColorMirrorTo;
    FCursor = s.FCursor;
    FFont = s.FFont;
    FFixedTop = s.FFixedTop;
    FFixedLeft = s.FFixedLeft;
    FFixedHeight = s.FFixedHeight;
    FFixedWidth = s.FFixedWidth;
    FHeight = s.FHeight;
    FHint = s.FHint;
    FHover = s.FHover;
    FHoverColor = s.FHoverColor;
    FHoverFontColor = s.FHoverFontColor;
    FIndent = s.FIndent;
    FShadowColor = s.FShadowColor;
    FShadowOffset = s.FShadowOffset;
    FShowHint = s.FShowHint;
    FShowMoveCursor = s.FShowMoveCursor;
    FStatusBar->Assign(*s.FStatusBar);
    FStatusBar->setVisible(s.FStatusBar->Visible());
    FStatusBar->setHeight(s.FStatusBar->Height());
    FStatusBar->setText(s.FStatusBar->Text());
    FStatusBar->setBevelInner(s.FStatusBar->BevelInner());
    FStatusBar->setImageIndex(s.FStatusBar->ImageIndex());
    FText = s.FText;
    FTextVAlign = s.FTextVAlign;
    FTopIndent = s.FTopIndent;
    FURLColor = s.FURLColor;
    FWidth = s.FWidth;
    EndUpdate();
}
