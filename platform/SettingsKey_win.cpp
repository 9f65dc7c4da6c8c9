// SPDX-License-Identifier: MIT
#include "SettingsStore.h"

#include <algorithm>

namespace {

QString WithoutLeadingSeparators(QString key)
{
    while (key.startsWith(QLatin1Char('\\')))
        key.remove(0, 1);
    return key;
}

} // namespace

std::unique_ptr<QSettings> OpenUserSettings(const QString& keyPath)
{
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\") + WithoutLeadingSeparators(keyPath), QSettings::NativeFormat);
}

std::unique_ptr<QSettings> OpenUserSettingsStore(const QString& keyPath, bool canCreate)
{
    if (!canCreate) {
        // Opening a key creates it; look for it in its parent first.
        const QString key = WithoutLeadingSeparators(keyPath);
        const qsizetype cut = key.lastIndexOf(QLatin1Char('\\'));
        const QSettings parent(QStringLiteral("HKEY_CURRENT_USER\\") + key.left(std::max<qsizetype>(cut, 0)),
            QSettings::NativeFormat);
        if (!parent.childGroups().contains(key.mid(cut + 1), Qt::CaseInsensitive))
            return nullptr;
    }
    std::unique_ptr<QSettings> settings = OpenUserSettings(keyPath);
    if (settings->status() != QSettings::NoError)
        return nullptr;
    return settings;
}
