// SPDX-License-Identifier: MIT
#include "PanelGallery.h"

#include "AdvPanel.h"
#include "AdvPanelGroup.h"
#include "AdvPanelStyler.h"

#include <QMetaEnum>
#include <QWidget>

using namespace AdvPanel;

namespace {
constexpr int kColumns = 4;
constexpr int kPanelWidth = 200;
constexpr int kPanelHeight = 124;
constexpr int kGap = 10;
} // namespace

QImage RenderPanelStyleGallery()
{
    const QMetaEnum styles = QMetaEnum::fromType<TAdvPanelStyle>();
    const int count = styles.keyCount();
    const int rows = (count + kColumns - 1) / kColumns;
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(kColumns * (kPanelWidth + kGap) + kGap, rows * (kPanelHeight + kGap) + kGap);
    for (int i = 0; i < count; ++i) {
        const auto style = TAdvPanelStyle(styles.value(i));
        auto* styler = new TAdvPanelStyler(&sheet);
        auto* panel = new TAdvPanel(&sheet);
        panel->setGeometry(kGap + (i % kColumns) * (kPanelWidth + kGap),
            kGap + (i / kColumns) * (kPanelHeight + kGap), kPanelWidth, kPanelHeight);
        styler->setStyle(style);
        panel->SetStyler(styler);
        panel->setIndent(4);
        panel->setTopIndent(4);
        panel->Caption()->setVisible(true);
        panel->Caption()->setText(QStringLiteral("<B>%1</B>").arg(QLatin1String(styles.key(i))));
        panel->Caption()->setIndent(4);
        panel->Caption()->setCloseButton(true);
        panel->Caption()->setMinMaxButton(true);
        panel->StatusBar()->setVisible(true);
        panel->StatusBar()->setText(QStringLiteral("Status bar"));
        panel->setText(QStringLiteral("Styled panel with <A href=\"https://quillon.example\">a link</A>"
                                      " and <FONT color=\"#C00000\">coloured</FONT> text."));
    }
    sheet.show();
    return sheet.grab().toImage();
}

QImage RenderCaptionShadeGallery()
{
    const QMetaEnum types = QMetaEnum::fromType<TShadeType>();
    constexpr int kWidth = 260;
    constexpr int kHeight = 44;
    const int rows = (types.keyCount() + 2) / 3;
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(3 * (kWidth + kGap) + kGap, rows * (kHeight + kGap) + kGap);
    QImage picture(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor::fromHsv((x * 15) % 360, 160, 230 - y * 4));
    }
    for (int i = 0; i < types.keyCount(); ++i) {
        const auto type = TShadeType(types.value(i));
        auto* panel = new TAdvPanel(&sheet);
        panel->setGeometry(
            kGap + (i % 3) * (kWidth + kGap), kGap + (i / 3) * (kHeight + kGap), kWidth, kHeight);
        panel->setBorderColor(clGray);
        TPanelCaption* caption = panel->Caption();
        caption->setVisible(true);
        caption->setColor(0x00B05A1E);
        caption->setShadeType(type);
        caption->setShadeLight(255);
        caption->setShape(i % 3 == 1 ? csRounded : i % 3 == 2 ? csSemiRounded : csRectangle);
        caption->setBackground(picture);
        caption->setIndent(6);
        caption->setCloseButton(true);
        caption->setMinMaxButton(true);
        caption->setText(QStringLiteral("<B>%1</B>").arg(QLatin1String(types.key(i))));
    }
    sheet.show();
    return sheet.grab().toImage();
}

QImage RenderPanelGroupPicture()
{
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(560, 300);
    auto* group = new TAdvPanelGroup(&sheet);
    group->setGeometry(0, 0, 560, 300);
    group->setColor(0x00F0E6DC);
    group->setBorderColor(clGray);
    group->setColumns(2);
    TAdvPanelSettings* look = group->DefaultPanel();
    look->setHeight(120);
    look->setColor(clWhite);
    look->setColorTo(0x00F0F0F0);
    look->setCollapsSteps(0);
    look->Caption()->setColor(0x00B05A1E);
    look->Caption()->setColorTo(0x00E0B080);
    const char* titles[] = { "Source", "Output", "Options", "Log" };
    for (int i = 0; i < 4; ++i) {
        TAdvPanel* panel = group->AddPanel();
        panel->Caption()->setVisible(true);
        panel->Caption()->setMinMaxButton(true);
        panel->Caption()->setCloseButton(true);
        panel->Caption()->setIndent(4);
        panel->Caption()->setText(QStringLiteral("<B>%1</B>").arg(QLatin1String(titles[i])));
        panel->setIndent(4);
        panel->setTopIndent(4);
        panel->setText(QStringLiteral("Panel %1 of a group in two columns.").arg(i + 1));
    }
    group->Panels()[1]->setCollaps(true);
    group->Panels()[1]->setText(QString());
    sheet.show();
    return sheet.grab().toImage();
}
