// SPDX-License-Identifier: MIT
#include "Color.h"

#include <QGuiApplication>
#include <array>

namespace {

struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Windows system colour index -> the palette entry that plays its part.
constexpr std::array<SystemRole, 31> kSystemRoles { {
    { QPalette::Active, QPalette::Button }, // 0 scroll bar
    { QPalette::Active, QPalette::Dark }, // 1 desktop
    { QPalette::Active, QPalette::Highlight }, // 2 active caption
    { QPalette::Inactive, QPalette::Mid }, // 3 inactive caption
    { QPalette::Active, QPalette::Window }, // 4 menu
    { QPalette::Active, QPalette::Base }, // 5 window
    { QPalette::Active, QPalette::Shadow }, // 6 window frame
    { QPalette::Active, QPalette::WindowText }, // 7 menu text
    { QPalette::Active, QPalette::Text }, // 8 window text
    { QPalette::Active, QPalette::HighlightedText }, // 9 caption text
    { QPalette::Active, QPalette::Button }, // 10 active border
    { QPalette::Active, QPalette::Button }, // 11 inactive border
    { QPalette::Active, QPalette::Mid }, // 12 application workspace
    { QPalette::Active, QPalette::Highlight }, // 13 highlight
    { QPalette::Active, QPalette::HighlightedText }, // 14 highlight text
    { QPalette::Active, QPalette::Button }, // 15 button face
    { QPalette::Active, QPalette::Dark }, // 16 button shadow
    { QPalette::Disabled, QPalette::Text }, // 17 grey text
    { QPalette::Active, QPalette::ButtonText }, // 18 button text
    { QPalette::Inactive, QPalette::Text }, // 19 inactive caption text
    { QPalette::Active, QPalette::Light }, // 20 button highlight
    { QPalette::Active, QPalette::Shadow }, // 21 3-D dark shadow
    { QPalette::Active, QPalette::Midlight }, // 22 3-D light
    { QPalette::Active, QPalette::ToolTipText }, // 23 info text
    { QPalette::Active, QPalette::ToolTipBase }, // 24 info background
    { QPalette::Active, QPalette::Shadow }, // 25 (unused index)
    { QPalette::Active, QPalette::Link }, // 26 hot light
    { QPalette::Active, QPalette::Highlight }, // 27 gradient active caption
    { QPalette::Inactive, QPalette::Mid }, // 28 gradient inactive caption
    { QPalette::Active, QPalette::Highlight }, // 29 menu highlight
    { QPalette::Active, QPalette::Window }, // 30 menu bar
} };

} // namespace

TColor QColorToColor(const QColor& color)
{
    return RGBColor(color.red(), color.green(), color.blue());
}

TColor ColorToRGB(TColor color, const QPalette* palette)
{
    if (!IsSystemColor(color))
        return color;
    const unsigned index = color & 0xFF;
    if (index >= kSystemRoles.size())
        return clBlack;
    const QPalette pal = palette ? *palette : QGuiApplication::palette();
    const SystemRole r = kSystemRoles[index];
    return QColorToColor(pal.color(r.group, r.role));
}

QColor ColorToQColor(TColor color, const QPalette* palette)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(color, palette);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}
