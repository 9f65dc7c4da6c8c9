// SPDX-License-Identifier: MIT
#include "FormStyle.h"

#include <QLabel>
#include <QWidget>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, TColor>, 8> kColorNames{{
    {"clBlack", clBlack},
    {"clWhite", clWhite},
    {"clRed", clRed},
    {"clBlue", clBlue},
    {"clGray", clGray},
    {"clWindowText", clWindowText},
    {"clBtnText", clBtnText},
    {"clWindow", clWindow},
}};

void ApplyOne(QWidget* widget)
{
    const QVariant value = widget->property("designFont");
    TFont font;
    if (!value.isValid() || !ParseDesignFont(value.toString(), font))
        return;
    QFont qfont = font.ToQFont();
    // Full hinting widens Tahoma beyond its 96-dpi design widths; the layout is made for those.
    qfont.setHintingPreference(QFont::PreferDefaultHinting);
    widget->setFont(qfont);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(font.Color, &palette));
    palette.setColor(QPalette::Text, ColorToQColor(font.Color, &palette));
    widget->setPalette(palette);
}

} // namespace

bool ParseDesignFont(const QString& spec, TFont& font)
{
    const QStringList parts = spec.split(QLatin1Char(';'));
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
    ApplyOne(root);
    for (QWidget* child : root->findChildren<QWidget*>())
        ApplyOne(child);
    // Labels size themselves to their text: where the font is wider than the design, grow rather than clip.
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->wordWrap() && !label->text().isEmpty() && label->sizeHint().width() > label->width())
            label->resize(label->sizeHint().width(), label->height());
    }
}
