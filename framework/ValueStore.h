// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// Where a control keeps values between runs: sections of named text entries, as an INI file or the
// per-user settings store holds them. Open one, read or write, and let it go within one operation;
// writes reach the disk when the store goes (or at Flush).
//
// A store that cannot be read (missing, unreadable, damaged) reads as empty; a write that cannot be
// stored is dropped and Flush reports it. Neither throws. An INI file that is there but cannot be
// read as text is never written over, so what it held is not lost.
class TValueStore {
public:
    virtual ~TValueStore() = default;
    // The entry's text, or `fallback` when the section has no such entry.
    virtual QString ReadString(
        const QString& section, const QString& name, const QString& fallback) const = 0;
    virtual void WriteString(const QString& section, const QString& name, const QString& value) = 0;
    // Names of the section's entries.
    virtual QStringList Names(const QString& section) const = 0;
    // False when something written could not be stored.
    virtual bool Flush() = 0;

    // An integer entry; `fallback` when it is missing or not a number.
    int ReadInteger(const QString& section, const QString& name, int fallback) const;
    void WriteInteger(const QString& section, const QString& name, int value);
};

// An INI file as the system's private-profile functions read and write it: "[section]" lines
// and "name=value" lines, names and sections compared without case, values taken without
// surrounding blanks or quotes; other lines and sections are kept as they are. UTF-8 (a UTF-16
// file with its byte-order mark is read as such and written back as UTF-8).
std::unique_ptr<TValueStore> OpenIniFile(const QString& path);

// The user's own settings store under a key path such as "SOFTWARE\Vendor\Program": on Windows
// that registry key under HKEY_CURRENT_USER, a section being a sub-key; elsewhere the same entries
// in the INI file the platform's settings store keeps for it in the user's configuration folder
// (a leading "SOFTWARE\" dropped, the rest as folders: "SOFTWARE\quillon" is quillon/quillon.ini,
// "SOFTWARE\Vendor\Program" is Vendor/Program.ini).
std::unique_ptr<TValueStore> OpenUserStore(const QString& keyPath);
