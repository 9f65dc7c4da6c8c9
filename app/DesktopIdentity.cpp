// SPDX-License-Identifier: MIT
#include "DesktopIdentity.h"

#include <QGuiApplication>

void SetDesktopIdentity()
{
    // Set, not left to the executable's name, so that a copy or link under another name still matches.
    QCoreApplication::setApplicationName(QStringLiteral("quillon"));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillon.Quillon"));
}
