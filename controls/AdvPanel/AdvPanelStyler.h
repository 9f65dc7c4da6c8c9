// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelSettings.h"
#include "AdvPanelTypes.h"
#include "ComponentStyle.h"
#include "Loadable.h"
#include "ThemeScheme.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// An otherwise empty hidden child window that reports changes of the desktop's theme or palette
// (the application palette).
class TThemeNotifierWindow : public QWidget {
    Q_OBJECT
public:
    explicit TThemeNotifierWindow(QWidget* parent = nullptr);
    std::function<void(QObject* sender)> OnThemeChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Keeps one set of panel settings and pushes it into every styled panel of the same owner whose
// Styler names it. Style fills the settings from one of seventeen presets.
class TAdvPanelStyler : public QObject, public TLoadable, public IComponentStyle {
    Q_OBJECT
    Q_INTERFACES(IComponentStyle)
    Q_PROPERTY(TAdvPanelSettings* Settings READ Settings CONSTANT)
    Q_PROPERTY(AdvPanel::TAdvPanelStyle Style READ Style WRITE setStyle NOTIFY styleChanged)
    Q_PROPERTY(bool AutoThemeAdapt READ AutoThemeAdapt WRITE setAutoThemeAdapt NOTIFY autoThemeAdaptChanged)
    Q_PROPERTY(QString Comments READ Comments WRITE setComments NOTIFY commentsChanged)
    Q_PROPERTY(int Tag READ Tag WRITE setTag NOTIFY tagChanged)

public:
    // The notifier window becomes a child of the first widget found from `owner` upwards.
    explicit TAdvPanelStyler(QObject* owner = nullptr);
    ~TAdvPanelStyler() override;

    TAdvPanelSettings* Settings() const { return FSettings; }
    // Copies `value` into the owned settings.
    void setSettings(const TAdvPanelSettings& value) { FSettings->Assign(value); }
    // Writes the preset into the settings in one update (psCustom writes nothing but still updates).
    AdvPanel::TAdvPanelStyle Style() const { return FStyle; }
    void setStyle(AdvPanel::TAdvPanelStyle value);
    // Follow the desktop theme's colour scheme (see ThemeChanged).
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void setAutoThemeAdapt(bool value);
    QString Comments() const { return FComments; }
    void setComments(const QString& value);
    int Tag() const { return FTag; }
    void setTag(int value);

    // Copies AutoThemeAdapt, the settings and Comments of another styler, then its Style through the
    // preset. Anything else is ignored.
    void Assign(const QObject* source);
    // ts values select the ps value of the same name; tsCustom changes nothing.
    void SetComponentStyle(TOrvaneStyle style) override;
    // Applies the settings to every panel of the same owner bound to this styler (not while loading).
    void UpdatePanels();
    // With AutoThemeAdapt: psOffice2003Blue, Olive or Silver for the theme's scheme, else psXP.
    void ThemeChanged();
    TThemeNotifierWindow* NotifierWindow() const { return m_notifier; }

    // The theme query ThemeChanged asks; CurrentThemeScheme unless a test puts its own.
    std::function<TThemeScheme()> ThemeQuery = CurrentThemeScheme;

signals:
    // Style also changes with the desktop theme (AutoThemeAdapt) and a component style.
    void styleChanged();
    void autoThemeAdaptChanged();
    void commentsChanged();
    void tagChanged();

protected:
    void Loaded() override;

private:
    TAdvPanelSettings* FSettings;
    AdvPanel::TAdvPanelStyle FStyle = AdvPanel::psXP;
    bool FAutoThemeAdapt = false;
    QString FComments;
    int FTag = 0;
    QPointer<TThemeNotifierWindow> m_notifier;
};
