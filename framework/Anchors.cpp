// SPDX-License-Identifier: MIT
#include "Anchors.h"

#include <QTextDocument>
#include <QToolTip>

bool IsShellAnchor(const QString& anchor)
{
    return anchor.contains(QLatin1String("://")) || anchor.contains(QLatin1String("mailto:"));
}

void ShowAnchorTip(QWidget* owner, const QPoint& globalPos, const QString& hint)
{
    QToolTip::showText(
        globalPos + QPoint(10, -10), Qt::convertFromPlainText(hint, Qt::WhiteSpaceNormal), owner);
}
