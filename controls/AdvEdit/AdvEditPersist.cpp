// SPDX-License-Identifier: MIT
#include "AdvEditPersist.h"
#include "ValueStore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString Missing = QStringLiteral("@");

std::unique_ptr<TValueStore> Open(const TPersistence& settings)
{
    return settings.Location() == TPersistence::plRegistry ? OpenUserStore(settings.Key())
                                                           : OpenIniFile(settings.Key());
}

// The user store needs a key: without one the entries would land at the root of the user's store.
bool NoUserKey(const TPersistence& settings)
{
    return settings.Location() == TPersistence::plRegistry && settings.Key().trimmed().isEmpty();
}

} // namespace

namespace Persist {

QString DefaultIniFile()
{
    const QString program = QCoreApplication::applicationFilePath();
    const QFileInfo info(program);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return info.path() + QLatin1Char('/') + (dot > 0 ? name.left(dot) : name) + QStringLiteral(".INI");
}

void Save(TPersistence& settings, const QString& name, const QString& controlText, bool history,
    const QStringList& display, const QStringList& values)
{
    if (!settings.Enable() || name.isEmpty() || NoUserKey(settings))
        return;
    if (settings.Location() == TPersistence::plInifile) {
        if (settings.Key().isEmpty())
            settings.setKey(DefaultIniFile());
        if (settings.Section().isEmpty())
            settings.setSection(name);
    }
    const QString section = settings.Section();
    const std::unique_ptr<TValueStore> store = Open(settings);
    store->WriteString(section, name, controlText);
    if (history) {
        store->WriteInteger(section, QStringLiteral("LOOKUPCOUNT"), int(display.size()));
        for (int i = 1; i <= display.size(); ++i) {
            store->WriteString(section, QStringLiteral("LOOKUPDISPL%1").arg(i), display[i - 1]);
            if (i - 1 < values.size())
                store->WriteString(section, QStringLiteral("LOOKUPVAL%1").arg(i), values[i - 1]);
        }
    }
    store->Flush();
}

TPersistedValue Load(const TPersistence& settings, const QString& name, bool history)
{
    TPersistedValue kept;
    if (!settings.Enable() || name.isEmpty() || NoUserKey(settings))
        return kept;
    // an INI file's defaults are the ones saving fills in, so a value saved with them comes back
    const bool ini = settings.Location() == TPersistence::plInifile;
    const QString section = ini && settings.Section().isEmpty() ? name : settings.Section();
    if (section.isEmpty())
        return kept;
    TPersistence where;
    where.setLocation(settings.Location());
    where.setKey(ini && settings.Key().isEmpty() ? DefaultIniFile() : settings.Key());
    const std::unique_ptr<TValueStore> store = Open(where);
    if (const QString v = store->ReadString(section, name, Missing); v != Missing)
        kept.controlText = v;
    if (history) {
        // a damaged count cannot make the reader walk more entries than the section holds
        const int count = qBound(0, store->ReadInteger(section, QStringLiteral("LOOKUPCOUNT"), 0),
            int(store->Names(section).size()));
        for (int i = 1; i <= count; ++i) {
            if (const QString v = store->ReadString(section, QStringLiteral("LOOKUPVAL%1").arg(i), QString());
                !v.isEmpty())
                kept.values << v;
            if (const QString d
                = store->ReadString(section, QStringLiteral("LOOKUPDISPL%1").arg(i), QString());
                !d.isEmpty())
                kept.display << d;
        }
    }
    return kept;
}

} // namespace Persist
