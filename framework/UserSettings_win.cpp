// SPDX-License-Identifier: MIT
#include "UserSettings.h"

std::unique_ptr<QSettings> OpenUserSettings(const QString& keyPath)
{
    QString key = keyPath;
    while (key.startsWith(QLatin1Char('\\')))
        key.remove(0, 1);
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\") + key, QSettings::NativeFormat);
}
