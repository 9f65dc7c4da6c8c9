// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Machine questions answered per operating system (ExeInfoSystem_win.cpp / _posix.cpp).
namespace ExeInfoSystem {
QString computerName(); // at most 15 characters; empty when unavailable
bool setComputerName(const QString& name); // names longer than 15 characters are refused
QString operatingSystemName();
QString windowsDirectory(); // with the trailing separator; empty where there is none
QString systemDirectory(); // likewise
QString tempDirectory(); // with the trailing separator
} // namespace ExeInfoSystem

// The Windows name for a GetVersionEx answer; "Unknown" outside the table.
QString WindowsVersionName(unsigned platformId, unsigned major, unsigned minor, const QString& servicePack);
