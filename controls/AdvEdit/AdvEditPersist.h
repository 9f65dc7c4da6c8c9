// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>
#include <optional>

// Where the edit field keeps its value between runs (its Persistence property).
class TPersistence : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enable READ Enable WRITE setEnable NOTIFY changed)
    Q_PROPERTY(QString Key READ Key WRITE setKey NOTIFY changed)
    Q_PROPERTY(QString Section READ Section WRITE setSection NOTIFY changed)
    Q_PROPERTY(TPersistenceLocation Location READ Location WRITE setLocation NOTIFY changed)

public:
    // plInifile: Key is an INI file (empty: the program's path with ".INI" for its extension);
    // plRegistry: Key is a key path in the user's settings store ("SOFTWARE\Vendor\Program"); without
    // one nothing is kept.
    enum TPersistenceLocation { plInifile, plRegistry };
    Q_ENUM(TPersistenceLocation)

    using QObject::QObject;

    bool Enable() const { return FEnable; }
    void setEnable(bool b) { Store(FEnable, b); }
    QString Key() const { return FKey; }
    void setKey(const QString& key) { Store(FKey, key); }
    // The section holding the entries (empty: the field's name, for INI files).
    QString Section() const { return FSection; }
    void setSection(const QString& section) { Store(FSection, section); }
    TPersistenceLocation Location() const { return FLocation; }
    void setLocation(TPersistenceLocation l) { Store(FLocation, l); }

signals:
    // A setting changed.
    void changed();

private:
    template <typename T> void Store(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        emit changed();
    }
    bool FEnable = false;
    QString FKey, FSection;
    TPersistenceLocation FLocation = plInifile;
};

// What a field keeps: its control text and, with a lookup history, the lookup lists.
struct TPersistedValue {
    std::optional<QString> controlText; // none: nothing was kept
    QStringList display, values;
};

namespace Persist {

// The program's own INI file: its path with the extension replaced by ".INI".
QString DefaultIniFile();

// Saves under the field's name; with `history`, the lookup lists too. An INI file's empty Key and
// Section are filled with their defaults first. Nothing when Enable is off or there is no name;
// a store that cannot be written is left as it is.
void Save(TPersistence& settings, const QString& name, const QString& controlText, bool history,
    const QStringList& display, const QStringList& values);

// What was saved under the field's name, an INI file's empty Key and Section taken as their
// defaults. Nothing when Enable is off, a user store's section is empty or the store cannot be
// read; a stored "@" reads as no value.
TPersistedValue Load(const TPersistence& settings, const QString& name, bool history);

} // namespace Persist
