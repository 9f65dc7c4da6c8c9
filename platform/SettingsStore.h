// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <memory>

// The per-user store of a key path such as "SOFTWARE\quillon": on Windows the registry key below
// HKEY_CURRENT_USER; elsewhere an INI file in the user's configuration folder, the first part
// after "SOFTWARE" naming the organisation and the rest the application (the organisation again
// when there is no rest). Null for a path that names no key.
std::unique_ptr<QSettings> OpenUserSettings(const QString& keyPath);

// The store of `keyPath` for the settings key; without `canCreate` an absent, unreadable or corrupt
// store gives null.
std::unique_ptr<QSettings> OpenUserSettingsStore(const QString& keyPath, bool canCreate);
