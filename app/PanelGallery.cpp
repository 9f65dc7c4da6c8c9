// SPDX-License-Identifier: MIT
#include "PanelGallery.h"

#include "AdvPanel.h"
#include "AdvPanelStyler.h"

#include <QMetaEnum>
#include <QWidget>

using namespace AdvPanel;

namespace {
constexpr int kColumns = 4;
constexpr int kPanelWidth = 200;
constexpr int kPanelHeight = 96;
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
        panel->setText(
            QStringLiteral("<B>%1</B><BR>Styled panel with <A href=\"https://quillon.example\">a link</A>"
                           " and <FONT color=\"#C00000\">coloured</FONT> text.")
                .arg(QLatin1String(styles.key(i))));
    }
    sheet.show();
    return sheet.grab().toImage();
}
