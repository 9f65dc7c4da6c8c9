// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <memory>

// The platform's settings store for a key path (the one part of OpenUserStore that differs
// between systems).
std::unique_ptr<QSettings> OpenUserSettings(const QString& keyPath);
