// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelTypes.h"
#include "Color.h"
#include "PanelBand.h"

#include <QObject>
#include <QString>
#include <functional>

// The status bar settings of a styled panel: a band along the bottom (or, with a left caption, the
// right side) with an image from the panel's image list and mini-markup text. Every setter notifies
// the owner and emits its property's signal when the value changes.
class TPanelStatusBar : public TPanelBand {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY
            borderStyleChanged)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor NOTIFY borderColorChanged)
    Q_PROPERTY(bool BevelInner READ BevelInner WRITE setBevelInner NOTIFY bevelInnerChanged)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex NOTIFY imageIndexChanged)

public:
    explicit TPanelStatusBar(QObject* parent = nullptr);

    // Copies Color, ColorTo, GradientDirection, BorderStyle, BorderColor and Font, then notifies once
    // and emits the signals of the properties that changed.
    void Assign(const TPanelStatusBar& source);
    // Copies every setting, those Assign leaves alone included.
    void AssignAll(const TPanelStatusBar& source)
    {
        Assign(source);
        PanelProperties::Copy(*this, source);
    }

    // bsSingle with a BorderColor other than clNone frames the band.
    AdvPanel::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void setBorderStyle(AdvPanel::TBorderStyle value)
    {
        Set(FBorderStyle, value, &TPanelStatusBar::borderStyleChanged);
    }
    TColor BorderColor() const { return FBorderColor; }
    void setBorderColor(TColor value) { Set(FBorderColor, value, &TPanelStatusBar::borderColorChanged); }
    // A grey top-left and white bottom-right line inside the band.
    bool BevelInner() const { return FBevelInner; }
    void setBevelInner(bool value) { Set(FBevelInner, value, &TPanelStatusBar::bevelInnerChanged); }
    // Picture of the panel's image list drawn at the band's start; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void setImageIndex(int value) { Set(FImageIndex, value, &TPanelStatusBar::imageIndexChanged); }

signals:
    void borderStyleChanged();
    void borderColorChanged();
    void bevelInnerChanged();
    void imageIndexChanged();

private:
    AdvPanel::TBorderStyle FBorderStyle = AdvPanel::bsNone;
    TColor FBorderColor = clBlack;
    bool FBevelInner = false;
    int FImageIndex = -1;
};

// Where and whether a panel keeps its position between runs (see TCustomAdvPanel::SavePosition).
class TPanelPosition : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Save READ Save WRITE setSave NOTIFY saveChanged)
    Q_PROPERTY(QString Key READ Key WRITE setKey NOTIFY keyChanged)
    Q_PROPERTY(QString Section READ Section WRITE setSection NOTIFY sectionChanged)
    Q_PROPERTY(
        AdvPanel::TPanelPositionLocation Location READ Location WRITE setLocation NOTIFY locationChanged)

public:
    explicit TPanelPosition(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
    void Assign(const TPanelPosition& source) { PanelProperties::Copy(*this, source); }

    bool Save() const { return FSave; }
    void setSave(bool value) { Set(FSave, value, &TPanelPosition::saveChanged); }
    // The initialisation file (clInifile) or the settings key (clRegistry).
    QString Key() const { return FKey; }
    void setKey(const QString& value) { Set(FKey, value, &TPanelPosition::keyChanged); }
    QString Section() const { return FSection; }
    void setSection(const QString& value) { Set(FSection, value, &TPanelPosition::sectionChanged); }
    AdvPanel::TPanelPositionLocation Location() const { return FLocation; }
    void setLocation(AdvPanel::TPanelPositionLocation value)
    {
        Set(FLocation, value, &TPanelPosition::locationChanged);
    }

signals:
    void saveChanged();
    void keyChanged();
    void sectionChanged();
    void locationChanged();

private:
    template <typename T> void Set(T& field, const T& value, void (TPanelPosition::*signal)())
    {
        if (StoreIfChanged(field, value))
            std::invoke(signal, this); // emits
    }

    bool FSave = false;
    QString FKey;
    QString FSection;
    AdvPanel::TPanelPositionLocation FLocation = AdvPanel::clRegistry;
};

// Whether a panel sizes itself to its text, and in which directions.
class TAutoSize : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool Height READ Height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(bool Width READ Width WRITE setWidth NOTIFY widthChanged)

public:
    explicit TAutoSize(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
    void Assign(const TAutoSize& source)
    {
        setHeight(source.FHeight);
        setWidth(source.FWidth);
        // A copy does not size the panel.
        if (FEnabled != source.FEnabled) {
            FEnabled = source.FEnabled;
            emit enabledChanged();
        }
    }

    bool Enabled() const { return FEnabled; }
    // Turning it on sizes the panel at once (OnEnable).
    void setEnabled(bool value)
    {
        const bool changed = FEnabled != value;
        FEnabled = value;
        if (value && OnEnable)
            OnEnable();
        if (changed)
            emit enabledChanged();
    }
    bool Height() const { return FHeight; }
    void setHeight(bool value)
    {
        if (FHeight != value) {
            FHeight = value;
            emit heightChanged();
        }
    }
    bool Width() const { return FWidth; }
    void setWidth(bool value)
    {
        if (FWidth != value) {
            FWidth = value;
            emit widthChanged();
        }
    }

    std::function<void()> OnEnable;

signals:
    void enabledChanged();
    void heightChanged();
    void widthChanged();

private:
    bool FEnabled = false;
    bool FHeight = true;
    bool FWidth = true;
};
