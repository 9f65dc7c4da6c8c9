// SPDX-License-Identifier: MIT
#include "PanelCaption.h"

TPanelCaption::TPanelCaption(QObject* parent)
    : TPanelBand(20, clHighlight, parent)
{
    FFont.Color = clHighlightText;
}

void TPanelCaption::AfterVisibleChange()
{
    Changed();
    if (OnStateChange)
        OnStateChange();
}

void TPanelCaption::ShadeChanged()
{
    if (OnShadeChange)
        OnShadeChange();
    Changed();
}

void TPanelCaption::Assign(const TPanelCaption& source)
{
    if (&source == this)
        return;
    const QVector<QVariant> before = PanelProperties::Values(*this);
    AssignLook(source);
    FHeight = source.FHeight;
    FIndent = source.FIndent;
    FFlat = source.FFlat;
    FShape = source.FShape;
    FShadeType = source.FShadeType;
    FShadeLight = source.FShadeLight;
    FShadeGrain = source.FShadeGrain;
    FBackground = source.FBackground;
    FCloseButton = source.FCloseButton;
    FCloseButtonColor = source.FCloseButtonColor;
    FCloseButtonHoverColor = source.FCloseButtonHoverColor;
    FCloseColor = source.FCloseColor;
    FCloseMinGlyph = source.FCloseMinGlyph;
    FCloseMaxGlyph = source.FCloseMaxGlyph;
    FMinMaxButton = source.FMinMaxButton;
    FMinMaxButtonColor = source.FMinMaxButtonColor;
    FMinMaxButtonHoverColor = source.FMinMaxButtonHoverColor;
    FMinGlyph = source.FMinGlyph;
    FMaxGlyph = source.FMaxGlyph;
    FButtonPosition = source.FButtonPosition;
    ShadeChanged();
    PanelProperties::EmitChanges(*this, before);
}

void TPanelCaption::setPosition(AdvPanel::TCaptionPosition value)
{
    if (!StoreIfChanged(FPosition, value))
        return;
    if (OnPositionChange)
        OnPositionChange();
    Changed();
    emit positionChanged();
}
