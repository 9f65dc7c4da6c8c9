// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>
#include <stdexcept>

// A settings value that cannot be written or is not text.
class ESettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The program's per-user settings key. Open it, use it and let it go within one operation: it closes
// when it is destroyed. On Windows it is HKEY_CURRENT_USER\SOFTWARE\quillon; elsewhere the INI file
// quillon/quillon.ini in the user's configuration folder.
class TSettingsKey {
public:
    virtual ~TSettingsKey() = default;

    // Opens the key; without `canCreate` an absent, unreadable or corrupt store reports false.
    virtual bool OpenKey(bool canCreate) = 0;
    virtual bool ValueExists(const QString& name) = 0;
    // The text of `name`; an absent value reads as empty. Throws ESettingsError
    // "Invalid data type for '<name>'" when the value is not text.
    virtual QString ReadString(const QString& name) = 0;
    // Throws ESettingsError "Failed to set data for '<name>'" when the value cannot be stored.
    virtual void WriteString(const QString& name, const QString& value) = 0;
    // Removes `name`; false when it could not be removed.
    virtual bool DeleteValue(const QString& name) = 0;
};

// The real store of the current user.
std::unique_ptr<TSettingsKey> CreateUserSettingsKey();
