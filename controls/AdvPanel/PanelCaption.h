// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "Font.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

// The caption bar settings of a styled panel: a band of Height pixels across the top (or down the
// left side) with mini-markup text, a plain, gradient or shaded background and optional close and
// minimise/maximise buttons. The owner listens through the four notifications; each setter stores
// and notifies only when the value changes.
class TPanelCaption : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(AdvPanel::TCaptionPosition Position READ Position WRITE setPosition)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(uint ColorTo READ ColorTo WRITE setColorTo)
    Q_PROPERTY(
        AdvPanel::TGradientDirection GradientDirection READ GradientDirection WRITE setGradientDirection)
    Q_PROPERTY(int Indent READ Indent WRITE setIndent)
    Q_PROPERTY(int TopIndent READ TopIndent WRITE setTopIndent)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(AdvPanel::TCaptionShape Shape READ Shape WRITE setShape)
    Q_PROPERTY(AdvPanel::TShadeType ShadeType READ ShadeType WRITE setShadeType)
    Q_PROPERTY(int ShadeLight READ ShadeLight WRITE setShadeLight)
    Q_PROPERTY(int ShadeGrain READ ShadeGrain WRITE setShadeGrain)
    Q_PROPERTY(QImage Background READ Background WRITE setBackground)
    Q_PROPERTY(bool CloseButton READ CloseButton WRITE setCloseButton)
    Q_PROPERTY(uint CloseButtonColor READ CloseButtonColor WRITE setCloseButtonColor)
    Q_PROPERTY(uint CloseButtonHoverColor READ CloseButtonHoverColor WRITE setCloseButtonHoverColor)
    Q_PROPERTY(uint CloseColor READ CloseColor WRITE setCloseColor)
    Q_PROPERTY(QImage CloseMinGlyph READ CloseMinGlyph WRITE setCloseMinGlyph)
    Q_PROPERTY(QImage CloseMaxGlyph READ CloseMaxGlyph WRITE setCloseMaxGlyph)
    Q_PROPERTY(bool MinMaxButton READ MinMaxButton WRITE setMinMaxButton)
    Q_PROPERTY(uint MinMaxButtonColor READ MinMaxButtonColor WRITE setMinMaxButtonColor)
    Q_PROPERTY(uint MinMaxButtonHoverColor READ MinMaxButtonHoverColor WRITE setMinMaxButtonHoverColor)
    Q_PROPERTY(QImage MinGlyph READ MinGlyph WRITE setMinGlyph)
    Q_PROPERTY(QImage MaxGlyph READ MaxGlyph WRITE setMaxGlyph)
    Q_PROPERTY(bool MinMaxCaption READ MinMaxCaption WRITE setMinMaxCaption)
    Q_PROPERTY(AdvPanel::TCaptionButtonPosition ButtonPosition READ ButtonPosition WRITE setButtonPosition)

public:
    explicit TPanelCaption(QObject* parent = nullptr);

    // Copies every setting except Text, Visible, Position, TopIndent and MinMaxCaption, then notifies
    // once (shade change and change).
    void Assign(const TPanelCaption& source);

    bool Visible() const { return FVisible; }
    void setVisible(bool value);
    // Mini-markup; a left caption shows it without tags on one rotated line.
    QString Text() const { return FText; }
    void setText(const QString& value);
    // Thickness in pixels of the band including the bevels around it.
    int Height() const { return FHeight; }
    void setHeight(int value);
    AdvPanel::TCaptionPosition Position() const { return FPosition; }
    void setPosition(AdvPanel::TCaptionPosition value);
    // Background while expanded; a gradient to ColorTo unless that is clNone.
    TColor Color() const { return FColor; }
    void setColor(TColor value);
    TColor ColorTo() const { return FColorTo; }
    void setColorTo(TColor value);
    AdvPanel::TGradientDirection GradientDirection() const { return FGradientDirection; }
    void setGradientDirection(AdvPanel::TGradientDirection value);
    const TFont& Font() const { return FFont; }
    void setFont(const TFont& value);
    // Offsets in pixels of the text from the band's left and top.
    int Indent() const { return FIndent; }
    void setIndent(int value);
    int TopIndent() const { return FTopIndent; }
    void setTopIndent(int value);
    // No white and grey edge around a rectangular shaded band.
    bool Flat() const { return FFlat; }
    void setFlat(bool value);
    AdvPanel::TCaptionShape Shape() const { return FShape; }
    void setShape(AdvPanel::TCaptionShape value);
    AdvPanel::TShadeType ShadeType() const { return FShadeType; }
    void setShadeType(AdvPanel::TShadeType value);
    // Brightness of the shaded header's highlights, 200 to 255 (smaller values are stored as 200).
    int ShadeLight() const { return FShadeLight; }
    void setShadeLight(int value);
    // Strength of the shaded header's noise, 0 to 255.
    int ShadeGrain() const { return FShadeGrain; }
    void setShadeGrain(int value);
    // Picture of the bitmap shade types.
    QImage Background() const { return FBackground; }
    void setBackground(const QImage& value);
    bool CloseButton() const { return FCloseButton; }
    void setCloseButton(bool value);
    TColor CloseButtonColor() const { return FCloseButtonColor; }
    void setCloseButtonColor(TColor value);
    // Cross colour while the pointer is over the button; clNone keeps CloseButtonColor.
    TColor CloseButtonHoverColor() const { return FCloseButtonHoverColor; }
    void setCloseButtonHoverColor(TColor value) { FCloseButtonHoverColor = value; }
    // Band colour while the panel is collapsed.
    TColor CloseColor() const { return FCloseColor; }
    void setCloseColor(TColor value);
    // Close button pictures, used instead of the cross when both are set.
    QImage CloseMinGlyph() const { return FCloseMinGlyph; }
    void setCloseMinGlyph(const QImage& value);
    QImage CloseMaxGlyph() const { return FCloseMaxGlyph; }
    void setCloseMaxGlyph(const QImage& value);
    bool MinMaxButton() const { return FMinMaxButton; }
    void setMinMaxButton(bool value);
    TColor MinMaxButtonColor() const { return FMinMaxButtonColor; }
    void setMinMaxButtonColor(TColor value);
    TColor MinMaxButtonHoverColor() const { return FMinMaxButtonHoverColor; }
    void setMinMaxButtonHoverColor(TColor value) { FMinMaxButtonHoverColor = value; }
    // Pictures of the min/max button while expanded (MinGlyph) and collapsed (MaxGlyph).
    QImage MinGlyph() const { return FMinGlyph; }
    void setMinGlyph(const QImage& value) { FMinGlyph = value; }
    QImage MaxGlyph() const { return FMaxGlyph; }
    void setMaxGlyph(const QImage& value) { FMaxGlyph = value; }
    // A click anywhere on the band collapses or expands the panel.
    bool MinMaxCaption() const { return FMinMaxCaption; }
    void setMinMaxCaption(bool value) { FMinMaxCaption = value; }
    AdvPanel::TCaptionButtonPosition ButtonPosition() const { return FButtonPosition; }
    void setButtonPosition(AdvPanel::TCaptionButtonPosition value);

    // Notifications to the owner: any change; a change of what the shaded header is built from
    // (followed by a change); Visible changed (after its change); Position changed.
    std::function<void()> OnChange;
    std::function<void()> OnShadeChange;
    std::function<void()> OnStateChange;
    std::function<void()> OnPositionChange;

private:
    void Changed();
    void ShadeChanged();

    bool FVisible = false;
    QString FText;
    int FHeight = 20;
    AdvPanel::TCaptionPosition FPosition = AdvPanel::cpTop;
    TColor FColor = clHighlight;
    TColor FColorTo = clNone;
    AdvPanel::TGradientDirection FGradientDirection = AdvPanel::gdHorizontal;
    TFont FFont;
    int FIndent = 0;
    int FTopIndent = 0;
    bool FFlat = false;
    AdvPanel::TCaptionShape FShape = AdvPanel::csRectangle;
    AdvPanel::TShadeType FShadeType = AdvPanel::stNormal;
    int FShadeLight = 200;
    int FShadeGrain = 32;
    QImage FBackground;
    bool FCloseButton = false;
    TColor FCloseButtonColor = clWhite;
    TColor FCloseButtonHoverColor = clNone;
    TColor FCloseColor = clBtnFace;
    QImage FCloseMinGlyph;
    QImage FCloseMaxGlyph;
    bool FMinMaxButton = false;
    TColor FMinMaxButtonColor = clWhite;
    TColor FMinMaxButtonHoverColor = clNone;
    QImage FMinGlyph;
    QImage FMaxGlyph;
    bool FMinMaxCaption = false;
    AdvPanel::TCaptionButtonPosition FButtonPosition = AdvPanel::cbpRight;
};
