// SPDX-License-Identifier: MIT
#include "PanelStatusBar.h"

TPanelStatusBar::TPanelStatusBar(QObject* parent)
    : TPanelBand(18, clBtnFace, parent)
{
    FFont.Name = QStringLiteral("Tahoma");
}

void TPanelStatusBar::Assign(const TPanelStatusBar& source)
{
    if (&source == this)
        return;
    const QVector<QVariant> before = PanelProperties::Values(*this);
    AssignLook(source);
    FBorderStyle = source.FBorderStyle;
    FBorderColor = source.FBorderColor;
    Changed();
    PanelProperties::EmitChanges(*this, before);
}
