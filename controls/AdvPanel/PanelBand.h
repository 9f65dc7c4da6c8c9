// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "Font.h"
#include "Property.h"
#include "Rect.h"

#include <QObject>
#include <QString>
#include <algorithm>
#include <functional>

// What a panel's caption bar and status bar have in common: a band of Height pixels, shown or not,
// with mini-markup text in Font on a plain or gradient background. Each setter stores and notifies
// (OnChange) only when the value changes.
class TPanelBand : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo)
    Q_PROPERTY(
        AdvPanel::TGradientDirection GradientDirection READ GradientDirection WRITE setGradientDirection)

public:
    bool Visible() const { return FVisible; }
    void setVisible(bool value)
    {
        if (StoreIfChanged(FVisible, value))
            VisibleChanged();
    }
    QString Text() const { return FText; }
    void setText(const QString& value) { Set(FText, value); }
    // Thickness in pixels of the band including the bevels around it.
    int Height() const { return FHeight; }
    void setHeight(int value) { Set(FHeight, std::clamp(value, 0, kMaxExtent)); }
    // Background; a gradient to ColorTo unless that is clNone.
    TColor Color() const { return FColor; }
    void setColor(TColor value)
    {
        if (StoreIfChanged(FColor, value))
            ColorChanged();
    }
    TColor ColorTo() const { return FColorTo; }
    void setColorTo(TColor value) { Set(FColorTo, value); }
    AdvPanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void setGradientDirection(AdvPanel::TGradientDirection value) { Set(FGradientDirection, value); }
    const TFont& Font() const { return FFont; }
    void setFont(const TFont& value) { Set(FFont, value); }

    std::function<void()> OnChange;

protected:
    TPanelBand(int height, TColor color, QObject* parent)
        : QObject(parent)
        , FHeight(height)
        , FColor(color)
    {
    }

    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    // What follows a change of Visible or Color; by default the change alone.
    virtual void VisibleChanged() { Changed(); }
    virtual void ColorChanged() { Changed(); }

    template <typename T> void Set(T& field, const T& value)
    {
        if (StoreIfChanged(field, value))
            Changed();
    }
    // Copies the background and the font, without notifying.
    void AssignLook(const TPanelBand& source)
    {
        FColor = source.FColor;
        FColorTo = source.FColorTo;
        FGradientDirection = source.FGradientDirection;
        FFont = source.FFont;
    }

    bool FVisible = false;
    QString FText;
    int FHeight;
    TColor FColor;
    TColor FColorTo = clNone;
    AdvPanel::TGradientDirection FGradientDirection = AdvPanel::gdHorizontal;
    TFont FFont;
};
