// SPDX-License-Identifier: MIT
#include "AdvPanelStyler.h"

#include "AdvPanel.h"
#include "AdvPanelPresets.h"

#include <QCoreApplication>
#include <QEvent>

using namespace AdvPanel;

TThemeNotifierWindow::TThemeNotifierWindow(QWidget* parent)
    : QWidget(parent)
{
    hide();
    setAttribute(Qt::WA_DontShowOnScreen);
    // The desktop's palette and theme changes reach the application object first (and a hidden
    // window not at all).
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool TThemeNotifierWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance()
        && (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ThemeChange)) {
        if (OnThemeChange)
            OnThemeChange(this);
    }
    return QWidget::eventFilter(watched, event);
}

namespace {
QWidget* WindowedOwner(QObject* owner)
{
    for (QObject* o = owner; o; o = o->parent()) {
        if (o->isWidgetType())
            return static_cast<QWidget*>(o);
    }
    return nullptr;
}
} // namespace

TAdvPanelStyler::TAdvPanelStyler(QObject* owner)
    : QObject(owner)
    , FSettings(new TAdvPanelSettings(this))
    , m_notifier(new TThemeNotifierWindow(WindowedOwner(owner)))
{
    m_notifier->OnThemeChange = [this](QObject*) { ThemeChanged(); };
    FSettings->OnChange = [this] { UpdatePanels(); };
    setStyle(psXP);
    FAutoThemeAdapt = false;
}

TAdvPanelStyler::~TAdvPanelStyler()
{
    FSettings->OnChange = nullptr;
    delete m_notifier.data();
}

void TAdvPanelStyler::setStyle(TAdvPanelStyle value)
{
    const bool changed = FStyle != value;
    FStyle = value;
    // The preset is written again even for the same style: it overwrites settings changed since.
    ApplyPanelPreset(*FSettings, value);
    if (changed)
        emit styleChanged();
}

void TAdvPanelStyler::setAutoThemeAdapt(bool value)
{
    if (FAutoThemeAdapt == value)
        return;
    FAutoThemeAdapt = value;
    emit autoThemeAdaptChanged();
}

void TAdvPanelStyler::setComments(const QString& value)
{
    if (FComments == value)
        return;
    FComments = value;
    emit commentsChanged();
}

void TAdvPanelStyler::setTag(int value)
{
    if (FTag == value)
        return;
    FTag = value;
    emit tagChanged();
}

void TAdvPanelStyler::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TAdvPanelStyler*>(source);
    if (!other || other == this)
        return;
    setAutoThemeAdapt(other->FAutoThemeAdapt);
    FSettings->Assign(*other->FSettings);
    setComments(other->FComments);
    setStyle(other->FStyle);
}

void TAdvPanelStyler::SetComponentStyle(TOrvaneStyle style)
{
    switch (style) {
    case tsOffice2003Blue:
        setStyle(psOffice2003Blue);
        break;
    case tsOffice2003Silver:
        setStyle(psOffice2003Silver);
        break;
    case tsOffice2003Olive:
        setStyle(psOffice2003Olive);
        break;
    case tsOffice2003Classic:
        setStyle(psOffice2003Classic);
        break;
    case tsOffice2007Luna:
        setStyle(psOffice2007Luna);
        break;
    case tsOffice2007Obsidian:
        setStyle(psOffice2007Obsidian);
        break;
    case tsWindowsXP:
        setStyle(psWindowsXP);
        break;
    case tsWhidbey:
        setStyle(psWhidbey);
        break;
    case tsCustom:
        break;
    case tsOffice2007Silver:
        setStyle(psOffice2007Silver);
        break;
    case tsWindowsVista:
        setStyle(psWindowsVista);
        break;
    case tsWindows7:
        setStyle(psWindows7);
        break;
    case tsTerminal:
        setStyle(psTerminal);
        break;
    }
}

void TAdvPanelStyler::UpdatePanels()
{
    if (IsLoading() || !parent())
        return;
    for (TCustomAdvPanel* panel : parent()->findChildren<TCustomAdvPanel*>()) {
        if (panel->Styler() == this)
            panel->ApplySettings(*FSettings);
    }
}

void TAdvPanelStyler::ThemeChanged()
{
    if (!FAutoThemeAdapt)
        return;
    switch (ThemeQuery ? ThemeQuery() : TThemeScheme::None) {
    case TThemeScheme::Blue:
        setStyle(psOffice2003Blue);
        break;
    case TThemeScheme::Olive:
        setStyle(psOffice2003Olive);
        break;
    case TThemeScheme::Silver:
        setStyle(psOffice2003Silver);
        break;
    case TThemeScheme::None:
        setStyle(psXP);
        break;
    }
}

void TAdvPanelStyler::Loaded()
{
    ThemeChanged();
    UpdatePanels();
}
