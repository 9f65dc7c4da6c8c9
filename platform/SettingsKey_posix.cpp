// SPDX-License-Identifier: MIT
#include "SettingsStore.h"

#include <QFileInfo>

bool OpenUserSettingsStore(std::optional<QSettings>& settings, bool canCreate)
{
    settings.emplace(
        QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quillon"), QStringLiteral("quillon"));
    if (canCreate)
        return true;
    const QFileInfo file(settings->fileName());
    // An unreadable or corrupt file is treated as no key at all.
    if (!file.isFile() || !file.isReadable() || settings->status() != QSettings::NoError) {
        settings.reset();
        return false;
    }
    return true;
}
