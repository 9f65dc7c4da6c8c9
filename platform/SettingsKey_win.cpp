// SPDX-License-Identifier: MIT
#include "SettingsStore.h"

bool OpenUserSettingsStore(std::optional<QSettings>& settings, bool canCreate)
{
    if (!canCreate) {
        const QSettings parent(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE"), QSettings::NativeFormat);
        if (!parent.childGroups().contains(QStringLiteral("quillon"), Qt::CaseInsensitive))
            return false;
    }
    settings.emplace(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\quillon"), QSettings::NativeFormat);
    if (settings->status() == QSettings::NoError)
        return true;
    settings.reset();
    return false;
}
