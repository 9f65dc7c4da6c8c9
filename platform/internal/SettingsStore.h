// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <optional>

// Where the settings key lives on this system: the one part that differs between the registry and the
// INI file. Opens the store into `settings`; without `canCreate` an absent, unreadable or corrupt store
// leaves `settings` empty and reports false.
bool OpenUserSettingsStore(std::optional<QSettings>& settings, bool canCreate);
