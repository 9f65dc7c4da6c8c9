// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// The family-wide look a component can be switched to in one call.
enum TOrvaneStyle {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
    tsWindowsVista,
    tsWindows7,
    tsTerminal
};

// The component-style interface of the control family. A component offers it through Q_INTERFACES, so
// callers find it with qobject_cast<IComponentStyle*>(object); it is not reference counted.
class IComponentStyle {
public:
    virtual ~IComponentStyle() = default;
    virtual void SetComponentStyle(TOrvaneStyle style) = 0;
};

#define IComponentStyle_iid "{5B3E9A41-7C2D-4F08-9E61-2D4A8C7B1F35}"
Q_DECLARE_INTERFACE(IComponentStyle, IComponentStyle_iid)
