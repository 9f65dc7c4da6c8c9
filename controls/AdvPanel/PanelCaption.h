// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "PanelBand.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

// The caption bar settings of a styled panel: a band of Height pixels across the top (or down the
// left side) with mini-markup text, a plain, gradient or shaded background and optional close and
// minimise/maximise buttons. A left caption shows its text without tags on one rotated line; Color is
// the background while expanded. The owner listens through the four notifications; each setter
// stores, notifies and emits its property's signal only when the value changes.
class TPanelCaption : public TPanelBand {
    Q_OBJECT
    Q_PROPERTY(AdvPanel::TCaptionPosition Position READ Position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(int Indent READ Indent WRITE setIndent NOTIFY indentChanged)
    Q_PROPERTY(int TopIndent READ TopIndent WRITE setTopIndent NOTIFY topIndentChanged)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat NOTIFY flatChanged)
    Q_PROPERTY(AdvPanel::TCaptionShape Shape READ Shape WRITE setShape NOTIFY shapeChanged)
    Q_PROPERTY(AdvPanel::TShadeType ShadeType READ ShadeType WRITE setShadeType NOTIFY shadeTypeChanged)
    Q_PROPERTY(int ShadeLight READ ShadeLight WRITE setShadeLight NOTIFY shadeLightChanged)
    Q_PROPERTY(int ShadeGrain READ ShadeGrain WRITE setShadeGrain NOTIFY shadeGrainChanged)
    Q_PROPERTY(QImage Background READ Background WRITE setBackground NOTIFY backgroundChanged)
    Q_PROPERTY(bool CloseButton READ CloseButton WRITE setCloseButton NOTIFY closeButtonChanged)
    Q_PROPERTY(
        uint CloseButtonColor READ CloseButtonColor WRITE setCloseButtonColor NOTIFY closeButtonColorChanged)
    Q_PROPERTY(uint CloseButtonHoverColor READ CloseButtonHoverColor WRITE setCloseButtonHoverColor NOTIFY
            closeButtonHoverColorChanged)
    Q_PROPERTY(uint CloseColor READ CloseColor WRITE setCloseColor NOTIFY closeColorChanged)
    Q_PROPERTY(QImage CloseMinGlyph READ CloseMinGlyph WRITE setCloseMinGlyph NOTIFY closeMinGlyphChanged)
    Q_PROPERTY(QImage CloseMaxGlyph READ CloseMaxGlyph WRITE setCloseMaxGlyph NOTIFY closeMaxGlyphChanged)
    Q_PROPERTY(bool MinMaxButton READ MinMaxButton WRITE setMinMaxButton NOTIFY minMaxButtonChanged)
    Q_PROPERTY(uint MinMaxButtonColor READ MinMaxButtonColor WRITE setMinMaxButtonColor NOTIFY
            minMaxButtonColorChanged)
    Q_PROPERTY(uint MinMaxButtonHoverColor READ MinMaxButtonHoverColor WRITE setMinMaxButtonHoverColor NOTIFY
            minMaxButtonHoverColorChanged)
    Q_PROPERTY(QImage MinGlyph READ MinGlyph WRITE setMinGlyph NOTIFY minGlyphChanged)
    Q_PROPERTY(QImage MaxGlyph READ MaxGlyph WRITE setMaxGlyph NOTIFY maxGlyphChanged)
    Q_PROPERTY(bool MinMaxCaption READ MinMaxCaption WRITE setMinMaxCaption NOTIFY minMaxCaptionChanged)
    Q_PROPERTY(AdvPanel::TCaptionButtonPosition ButtonPosition READ ButtonPosition WRITE setButtonPosition
            NOTIFY buttonPositionChanged)

public:
    explicit TPanelCaption(QObject* parent = nullptr);

    // Copies every setting except Text, Visible, Position, TopIndent and MinMaxCaption, then notifies
    // once (shade change and change) and emits the signals of the properties that changed.
    void Assign(const TPanelCaption& source);
    // Copies every setting, those Assign leaves alone included.
    void AssignAll(const TPanelCaption& source)
    {
        Assign(source);
        PanelProperties::Copy(*this, source);
    }

    AdvPanel::TCaptionPosition Position() const { return FPosition; }
    void setPosition(AdvPanel::TCaptionPosition value);
    // Offsets in pixels of the text from the band's left and top.
    int Indent() const { return FIndent; }
    void setIndent(int value)
    {
        Set(FIndent, std::clamp(value, -AdvPanel::kMaxExtent, AdvPanel::kMaxExtent),
            &TPanelCaption::indentChanged);
    }
    int TopIndent() const { return FTopIndent; }
    void setTopIndent(int value)
    {
        Set(FTopIndent, std::clamp(value, -AdvPanel::kMaxExtent, AdvPanel::kMaxExtent),
            &TPanelCaption::topIndentChanged);
    }
    // No white and grey edge around a rectangular shaded band.
    bool Flat() const { return FFlat; }
    void setFlat(bool value) { SetShade(FFlat, value, &TPanelCaption::flatChanged); }
    AdvPanel::TCaptionShape Shape() const { return FShape; }
    void setShape(AdvPanel::TCaptionShape value) { SetShade(FShape, value, &TPanelCaption::shapeChanged); }
    AdvPanel::TShadeType ShadeType() const { return FShadeType; }
    void setShadeType(AdvPanel::TShadeType value)
    {
        SetShade(FShadeType, value, &TPanelCaption::shadeTypeChanged);
    }
    // Brightness of the shaded header's highlights, 200 to 255 (smaller values are stored as 200).
    int ShadeLight() const { return FShadeLight; }
    void setShadeLight(int value)
    {
        SetShade(FShadeLight, std::clamp(value, 200, 255), &TPanelCaption::shadeLightChanged);
    }
    // Strength of the shaded header's noise, 0 to 255.
    int ShadeGrain() const { return FShadeGrain; }
    void setShadeGrain(int value)
    {
        SetShade(FShadeGrain, std::clamp(value, 0, 255), &TPanelCaption::shadeGrainChanged);
    }
    // Picture of the bitmap shade types.
    QImage Background() const { return FBackground; }
    void setBackground(const QImage& value)
    {
        SetShade(FBackground, value, &TPanelCaption::backgroundChanged);
    }
    bool CloseButton() const { return FCloseButton; }
    void setCloseButton(bool value) { Set(FCloseButton, value, &TPanelCaption::closeButtonChanged); }
    TColor CloseButtonColor() const { return FCloseButtonColor; }
    void setCloseButtonColor(TColor value)
    {
        Set(FCloseButtonColor, value, &TPanelCaption::closeButtonColorChanged);
    }
    // Cross colour while the pointer is over the button; clNone keeps CloseButtonColor.
    TColor CloseButtonHoverColor() const { return FCloseButtonHoverColor; }
    void setCloseButtonHoverColor(TColor value)
    {
        SetQuietly(FCloseButtonHoverColor, value, &TPanelCaption::closeButtonHoverColorChanged);
    }
    // Band colour while the panel is collapsed.
    TColor CloseColor() const { return FCloseColor; }
    void setCloseColor(TColor value) { Set(FCloseColor, value, &TPanelCaption::closeColorChanged); }
    // Close button pictures, used instead of the cross when both are set.
    QImage CloseMinGlyph() const { return FCloseMinGlyph; }
    void setCloseMinGlyph(const QImage& value)
    {
        Set(FCloseMinGlyph, value, &TPanelCaption::closeMinGlyphChanged);
    }
    QImage CloseMaxGlyph() const { return FCloseMaxGlyph; }
    void setCloseMaxGlyph(const QImage& value)
    {
        Set(FCloseMaxGlyph, value, &TPanelCaption::closeMaxGlyphChanged);
    }
    bool MinMaxButton() const { return FMinMaxButton; }
    void setMinMaxButton(bool value) { Set(FMinMaxButton, value, &TPanelCaption::minMaxButtonChanged); }
    TColor MinMaxButtonColor() const { return FMinMaxButtonColor; }
    void setMinMaxButtonColor(TColor value)
    {
        Set(FMinMaxButtonColor, value, &TPanelCaption::minMaxButtonColorChanged);
    }
    TColor MinMaxButtonHoverColor() const { return FMinMaxButtonHoverColor; }
    void setMinMaxButtonHoverColor(TColor value)
    {
        SetQuietly(FMinMaxButtonHoverColor, value, &TPanelCaption::minMaxButtonHoverColorChanged);
    }
    // Pictures of the min/max button while expanded (MinGlyph) and collapsed (MaxGlyph).
    QImage MinGlyph() const { return FMinGlyph; }
    void setMinGlyph(const QImage& value) { SetQuietly(FMinGlyph, value, &TPanelCaption::minGlyphChanged); }
    QImage MaxGlyph() const { return FMaxGlyph; }
    void setMaxGlyph(const QImage& value) { SetQuietly(FMaxGlyph, value, &TPanelCaption::maxGlyphChanged); }
    // A click anywhere on the band collapses or expands the panel.
    bool MinMaxCaption() const { return FMinMaxCaption; }
    void setMinMaxCaption(bool value)
    {
        SetQuietly(FMinMaxCaption, value, &TPanelCaption::minMaxCaptionChanged);
    }
    AdvPanel::TCaptionButtonPosition ButtonPosition() const { return FButtonPosition; }
    void setButtonPosition(AdvPanel::TCaptionButtonPosition value)
    {
        Set(FButtonPosition, value, &TPanelCaption::buttonPositionChanged);
    }

    // Notifications to the owner besides OnChange: a change of what the shaded header is built from
    // (followed by a change); Visible changed (after its change); Position changed.
    std::function<void()> OnShadeChange;
    std::function<void()> OnStateChange;
    std::function<void()> OnPositionChange;

signals:
    void positionChanged();
    void indentChanged();
    void topIndentChanged();
    void flatChanged();
    void shapeChanged();
    void shadeTypeChanged();
    void shadeLightChanged();
    void shadeGrainChanged();
    void backgroundChanged();
    void closeButtonChanged();
    void closeButtonColorChanged();
    void closeButtonHoverColorChanged();
    void closeColorChanged();
    void closeMinGlyphChanged();
    void closeMaxGlyphChanged();
    void minMaxButtonChanged();
    void minMaxButtonColorChanged();
    void minMaxButtonHoverColorChanged();
    void minGlyphChanged();
    void maxGlyphChanged();
    void minMaxCaptionChanged();
    void buttonPositionChanged();

protected:
    void AfterVisibleChange() override;
    void AfterColorChange() override { ShadeChanged(); }

private:
    void ShadeChanged();
    template <typename T> void SetShade(T& field, const T& value, void (TPanelCaption::*signal)())
    {
        if (!StoreIfChanged(field, value))
            return;
        ShadeChanged();
        std::invoke(signal, this); // emits
    }

    AdvPanel::TCaptionPosition FPosition = AdvPanel::cpTop;
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
