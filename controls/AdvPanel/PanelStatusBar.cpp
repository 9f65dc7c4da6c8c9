// SPDX-License-Identifier: MIT
#include "PanelStatusBar.h"

#include <algorithm>

namespace {
constexpr int kMaxExtent = 65535;

template <typename T> bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

TPanelStatusBar::TPanelStatusBar(QObject* parent)
    : QObject(parent)
{
    FFont.Name = QStringLiteral("Tahoma");
}

void TPanelStatusBar::Changed()
{
    if (OnChange)
        OnChange();
}

void TPanelStatusBar::Assign(const TPanelStatusBar& source)
{
    if (&source == this)
        return;
    FColor = source.FColor;
    FColorTo = source.FColorTo;
    FGradientDirection = source.FGradientDirection;
    FBorderStyle = source.FBorderStyle;
    FBorderColor = source.FBorderColor;
    FFont = source.FFont;
    Changed();
}

void TPanelStatusBar::setVisible(bool value)
{
    if (Store(FVisible, value))
        Changed();
}

void TPanelStatusBar::setHeight(int value)
{
    if (Store(FHeight, std::clamp(value, 0, kMaxExtent)))
        Changed();
}

void TPanelStatusBar::setText(const QString& value)
{
    if (Store(FText, value))
        Changed();
}

void TPanelStatusBar::setColor(TColor value)
{
    if (Store(FColor, value))
        Changed();
}

void TPanelStatusBar::setColorTo(TColor value)
{
    if (Store(FColorTo, value))
        Changed();
}

void TPanelStatusBar::setGradientDirection(AdvPanel::TGradientDirection value)
{
    if (Store(FGradientDirection, value))
        Changed();
}

void TPanelStatusBar::setBorderStyle(AdvPanel::TBorderStyle value)
{
    if (Store(FBorderStyle, value))
        Changed();
}

void TPanelStatusBar::setBorderColor(TColor value)
{
    if (Store(FBorderColor, value))
        Changed();
}

void TPanelStatusBar::setBevelInner(bool value)
{
    if (Store(FBevelInner, value))
        Changed();
}

void TPanelStatusBar::setImageIndex(int value)
{
    if (Store(FImageIndex, value))
        Changed();
}

void TPanelStatusBar::setFont(const TFont& value)
{
    if (Store(FFont, value))
        Changed();
}
