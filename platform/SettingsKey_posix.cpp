// SPDX-License-Identifier: MIT
#include "SettingsStore.h"

#include <QFileInfo>

std::unique_ptr<QSettings> OpenUserSettings(const QString& keyPath)
{
    QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(QLatin1String("SOFTWARE"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    // an empty or dot-only part must not lead out of the configuration folder
    parts.removeIf([](const QString& p) { return p == QLatin1String(".") || p == QLatin1String(".."); });
    if (parts.isEmpty())
        return nullptr;
    const QString organization = parts.takeFirst();
    const QString application = parts.isEmpty() ? organization : parts.join(QLatin1Char('/'));
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, organization, application);
}

std::unique_ptr<QSettings> OpenUserSettingsStore(const QString& keyPath, bool canCreate)
{
    std::unique_ptr<QSettings> settings = OpenUserSettings(keyPath);
    if (!settings || canCreate)
        return settings;
    const QFileInfo file(settings->fileName());
    // An unreadable or corrupt file is treated as no key at all.
    if (!file.isFile() || !file.isReadable() || settings->status() != QSettings::NoError)
        return nullptr;
    return settings;
}
