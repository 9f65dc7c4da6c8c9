// SPDX-License-Identifier: MIT
#include "AdvProgr.h"

#include "VersionText.h"

#include <QPalette>

TAdvProgress::TAdvProgress(QWidget* parent)
    : QProgressBar(parent)
    , FBarColor(clHighlight)
    , FBkColor(clWindow)
{
    // A common-controls bar shows no percentage text.
    setTextVisible(false);
}

void TAdvProgress::setBarColor(TColor value)
{
    FBarColor = value;
    QPalette p = palette();
    p.setColor(QPalette::Highlight, ColorToQColor(ColorToRGB(value)));
    setPalette(p);
}

void TAdvProgress::setBkColor(TColor value)
{
    FBkColor = value;
    QPalette p = palette();
    p.setColor(QPalette::Base, ColorToQColor(ColorToRGB(value)));
    setPalette(p);
}

QString TAdvProgress::Version() const
{
    return VersionText(0x01020000);
}
