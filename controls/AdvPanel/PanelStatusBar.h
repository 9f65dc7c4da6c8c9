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
// the owner when the value changes.
class TPanelStatusBar : public TPanelBand {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(bool BevelInner READ BevelInner WRITE setBevelInner)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex)

public:
    explicit TPanelStatusBar(QObject* parent = nullptr);

    // Copies Color, ColorTo, GradientDirection, BorderStyle, BorderColor and Font, then notifies once.
    void Assign(const TPanelStatusBar& source);

    // bsSingle with a BorderColor other than clNone frames the band.
    AdvPanel::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void setBorderStyle(AdvPanel::TBorderStyle value) { Set(FBorderStyle, value); }
    TColor BorderColor() const { return FBorderColor; }
    void setBorderColor(TColor value) { Set(FBorderColor, value); }
    // A grey top-left and white bottom-right line inside the band.
    bool BevelInner() const { return FBevelInner; }
    void setBevelInner(bool value) { Set(FBevelInner, value); }
    // Picture of the panel's image list drawn at the band's start; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void setImageIndex(int value) { Set(FImageIndex, value); }

private:
    AdvPanel::TBorderStyle FBorderStyle = AdvPanel::bsNone;
    TColor FBorderColor = clBlack;
    bool FBevelInner = false;
    int FImageIndex = -1;
};

// Where and whether a panel keeps its position between runs (see TCustomAdvPanel::SavePosition).
class TPanelPosition : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Save READ Save WRITE setSave)
    Q_PROPERTY(QString Key READ Key WRITE setKey)
    Q_PROPERTY(QString Section READ Section WRITE setSection)
    Q_PROPERTY(AdvPanel::TPanelPositionLocation Location READ Location WRITE setLocation)

public:
    explicit TPanelPosition(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
    void Assign(const TPanelPosition& source)
    {
        FSave = source.FSave;
        FKey = source.FKey;
        FSection = source.FSection;
        FLocation = source.FLocation;
    }

    bool Save() const { return FSave; }
    void setSave(bool value) { FSave = value; }
    // The initialisation file (clInifile) or the settings key (clRegistry).
    QString Key() const { return FKey; }
    void setKey(const QString& value) { FKey = value; }
    QString Section() const { return FSection; }
    void setSection(const QString& value) { FSection = value; }
    AdvPanel::TPanelPositionLocation Location() const { return FLocation; }
    void setLocation(AdvPanel::TPanelPositionLocation value) { FLocation = value; }

private:
    bool FSave = false;
    QString FKey;
    QString FSection;
    AdvPanel::TPanelPositionLocation FLocation = AdvPanel::clRegistry;
};

// Whether a panel sizes itself to its text, and in which directions.
class TAutoSize : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Width READ Width WRITE setWidth)

public:
    explicit TAutoSize(QObject* parent = nullptr)
        : QObject(parent)
    {
    }
    void Assign(const TAutoSize& source)
    {
        FEnabled = source.FEnabled;
        FHeight = source.FHeight;
        FWidth = source.FWidth;
    }

    bool Enabled() const { return FEnabled; }
    // Turning it on sizes the panel at once (OnEnable).
    void setEnabled(bool value)
    {
        FEnabled = value;
        if (value && OnEnable)
            OnEnable();
    }
    bool Height() const { return FHeight; }
    void setHeight(bool value) { FHeight = value; }
    bool Width() const { return FWidth; }
    void setWidth(bool value) { FWidth = value; }

    std::function<void()> OnEnable;

private:
    bool FEnabled = false;
    bool FHeight = true;
    bool FWidth = true;
};
