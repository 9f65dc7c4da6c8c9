// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

// Machine questions answered per operating system (ExeInfoSystem_win.cpp / _posix.cpp).
namespace ExeInfoSystem {
QString computerName(); // at most 15 characters; empty when unavailable
bool setComputerName(const QString& name); // names longer than 15 characters are refused
QString operatingSystemName();
QString windowsDirectory(); // with the trailing separator; empty where there is none
QString systemDirectory(); // likewise
QString tempDirectory(); // with the trailing separator
std::uint16_t userInterfaceLanguage(); // a Windows language id
} // namespace ExeInfoSystem

// The Windows language id of a locale (primary language and, where the territory or script tells
// one, its sublanguage); the C locale is U.S. English, a language without an id is neutral (0).
std::uint16_t WindowsLanguageId(const QLocale& locale);

// The Windows name for a GetVersionEx answer; "Unknown" outside the table.
QString WindowsVersionName(unsigned platformId, unsigned major, unsigned minor, const QString& servicePack);
