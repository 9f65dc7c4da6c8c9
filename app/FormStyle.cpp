// SPDX-License-Identifier: MIT
#include "FormStyle.h"

#include <QHash>
#include <QWidget>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, TColor>, 8> kColorNames { {
    { "clBlack", clBlack },
    { "clWhite", clWhite },
    { "clRed", clRed },
    { "clBlue", clBlue },
    { "clGray", clGray },
    { "clWindowText", clWindowText },
    { "clBtnText", clBtnText },
    { "clWindow", clWindow },
} };

void ApplyOne(QWidget* widget, QHash<QString, std::pair<QFont, TColor>>& cache)
{
    const QVariant value = widget->property("designFont");
    if (!value.isValid())
        return;
    const QString definition = value.toString();
    auto it = cache.find(definition);
    if (it == cache.end()) {
        TFont font;
        if (!ParseDesignFont(definition, font))
            return;
        QFont qfont = font.ToQFont();
        // Hinting (full by default on X11) widens Tahoma beyond its 96-dpi design widths, for which the
        // layout is made.
        qfont.setHintingPreference(QFont::PreferNoHinting);
        it = cache.insert(definition, { qfont, font.Color });
    }
    widget->setFont(it->first);
    // A colour the palette already has needs no override (and without one, palette changes flow in).
    if (it->second != clWindowText) {
        QPalette palette = widget->palette();
        const QColor color = ColorToQColor(it->second, &palette);
        // Disabled text keeps the palette's greyed colour.
        if (palette.color(QPalette::Active, QPalette::WindowText) != color) {
            for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive }) {
                palette.setColor(group, QPalette::WindowText, color);
                palette.setColor(group, QPalette::Text, color);
            }
            widget->setPalette(palette);
        }
    }
}

} // namespace

bool ParseDesignFont(const QString& definition, TFont& font)
{
    const QStringList parts = definition.split(QLatin1Char(';'));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const int height = parts[1].toInt(&ok);
    if (!ok || parts[0].isEmpty())
        return false;
    font.Name = parts[0];
    font.Height = height;
    const QStringList styles = parts[2].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    font.Bold = styles.contains(QLatin1String("bold"));
    font.Italic = styles.contains(QLatin1String("italic"));
    font.Underline = styles.contains(QLatin1String("underline"));
    for (const auto& [name, color] : kColorNames) {
        if (parts[3] == QLatin1String(name)) {
            font.Color = color;
            return true;
        }
    }
    return false;
}

void ApplyDesignFonts(QWidget* root)
{
    // Parents first, so that a child's own font is not overwritten by its parent's.
    QHash<QString, std::pair<QFont, TColor>> cache;
    ApplyOne(root, cache);
    for (QWidget* child : root->findChildren<QWidget*>())
        ApplyOne(child, cache);
}
