// SPDX-License-Identifier: MIT
#include "AdvProgr.h"

#include "Property.h"
#include "VersionText.h"

#include <QPalette>

TAdvProgress::TAdvProgress(QWidget* parent)
    : QProgressBar(parent)
    , FBarColor(clHighlight)
    , FBkColor(clWindow)
{
    // A common-controls bar shows no percentage text.
    setTextVisible(false);
    connect(this, &QProgressBar::valueChanged, this, &TAdvProgress::positionChanged);
}

void TAdvProgress::setBarColor(TColor value)
{
    const bool changed = StoreIfChanged(FBarColor, value);
    SetPaletteColor(QPalette::Highlight, value);
    if (changed)
        emit barColorChanged(value);
}

void TAdvProgress::setBkColor(TColor value)
{
    const bool changed = StoreIfChanged(FBkColor, value);
    SetPaletteColor(QPalette::Base, value);
    if (changed)
        emit bkColorChanged(value);
}

void TAdvProgress::SetPaletteColor(QPalette::ColorRole role, TColor value)
{
    QPalette p = palette();
    p.setColor(role, ColorToQColor(ColorToRGB(value)));
    setPalette(p);
}

QString TAdvProgress::Version() const
{
    return VersionText(0x01020000);
}
