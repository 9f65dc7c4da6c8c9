// SPDX-License-Identifier: MIT
#include "PanelCaption.h"

#include <algorithm>

namespace {
// Far beyond any caption; keeps the band arithmetic within int range.
constexpr int kMaxExtent = 65535;

template <typename T> bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

TPanelCaption::TPanelCaption(QObject* parent)
    : QObject(parent)
{
    FFont.Color = clHighlightText;
}

void TPanelCaption::Changed()
{
    if (OnChange)
        OnChange();
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
    FHeight = source.FHeight;
    FColor = source.FColor;
    FColorTo = source.FColorTo;
    FGradientDirection = source.FGradientDirection;
    FFont = source.FFont;
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
}

void TPanelCaption::setVisible(bool value)
{
    if (!Store(FVisible, value))
        return;
    Changed();
    if (OnStateChange)
        OnStateChange();
}

void TPanelCaption::setText(const QString& value)
{
    if (Store(FText, value))
        Changed();
}

void TPanelCaption::setHeight(int value)
{
    if (Store(FHeight, std::clamp(value, 0, kMaxExtent)))
        Changed();
}

void TPanelCaption::setPosition(AdvPanel::TCaptionPosition value)
{
    if (!Store(FPosition, value))
        return;
    if (OnPositionChange)
        OnPositionChange();
    Changed();
}

void TPanelCaption::setColor(TColor value)
{
    if (Store(FColor, value))
        ShadeChanged();
}

void TPanelCaption::setColorTo(TColor value)
{
    if (Store(FColorTo, value))
        Changed();
}

void TPanelCaption::setGradientDirection(AdvPanel::TGradientDirection value)
{
    if (Store(FGradientDirection, value))
        Changed();
}

void TPanelCaption::setFont(const TFont& value)
{
    if (Store(FFont, value))
        Changed();
}

void TPanelCaption::setIndent(int value)
{
    if (Store(FIndent, std::clamp(value, -kMaxExtent, kMaxExtent)))
        Changed();
}

void TPanelCaption::setTopIndent(int value)
{
    if (Store(FTopIndent, std::clamp(value, -kMaxExtent, kMaxExtent)))
        Changed();
}

void TPanelCaption::setFlat(bool value)
{
    if (Store(FFlat, value))
        ShadeChanged();
}

void TPanelCaption::setShape(AdvPanel::TCaptionShape value)
{
    if (Store(FShape, value))
        ShadeChanged();
}

void TPanelCaption::setShadeType(AdvPanel::TShadeType value)
{
    if (Store(FShadeType, value))
        ShadeChanged();
}

void TPanelCaption::setShadeLight(int value)
{
    if (Store(FShadeLight, std::clamp(value, 200, 255)))
        ShadeChanged();
}

void TPanelCaption::setShadeGrain(int value)
{
    if (Store(FShadeGrain, std::clamp(value, 0, 255)))
        ShadeChanged();
}

void TPanelCaption::setBackground(const QImage& value)
{
    if (Store(FBackground, value))
        ShadeChanged();
}

void TPanelCaption::setCloseButton(bool value)
{
    if (Store(FCloseButton, value))
        Changed();
}

void TPanelCaption::setCloseButtonColor(TColor value)
{
    if (Store(FCloseButtonColor, value))
        Changed();
}

void TPanelCaption::setCloseColor(TColor value)
{
    if (Store(FCloseColor, value))
        Changed();
}

void TPanelCaption::setCloseMinGlyph(const QImage& value)
{
    if (Store(FCloseMinGlyph, value))
        Changed();
}

void TPanelCaption::setCloseMaxGlyph(const QImage& value)
{
    if (Store(FCloseMaxGlyph, value))
        Changed();
}

void TPanelCaption::setMinMaxButton(bool value)
{
    if (Store(FMinMaxButton, value))
        Changed();
}

void TPanelCaption::setMinMaxButtonColor(TColor value)
{
    if (Store(FMinMaxButtonColor, value))
        Changed();
}

void TPanelCaption::setButtonPosition(AdvPanel::TCaptionButtonPosition value)
{
    if (Store(FButtonPosition, value))
        Changed();
}
