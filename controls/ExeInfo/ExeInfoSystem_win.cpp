// SPDX-License-Identifier: MIT
#include "ExeInfoSystem.h"

#include <windows.h>

namespace ExeInfoSystem {

QString computerName()
{
    wchar_t buf[16] = {};
    DWORD size = 16;
    if (!GetComputerNameW(buf, &size))
        return {};
    return QString::fromWCharArray(buf, int(size));
}

bool setComputerName(const QString& name)
{
    if (name.size() > 15)
        return false;
    return SetComputerNameW(reinterpret_cast<const wchar_t*>(name.utf16())) != 0;
}

QString operatingSystemName()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info))
        return QStringLiteral("Unknown");
    return WindowsVersionName(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
        QString::fromWCharArray(info.szCSDVersion));
}

static QString withBackslash(const wchar_t* buf, UINT n)
{
    if (n == 0 || n > 260)
        return {};
    return QString::fromWCharArray(buf, int(n)) + QLatin1Char('\\');
}

QString windowsDirectory()
{
    wchar_t buf[261] = {};
    return withBackslash(buf, GetWindowsDirectoryW(buf, 261));
}

QString systemDirectory()
{
    wchar_t buf[261] = {};
    return withBackslash(buf, GetSystemDirectoryW(buf, 261));
}

std::uint16_t userInterfaceLanguage()
{
    return GetUserDefaultUILanguage();
}

QString tempDirectory()
{
    wchar_t buf[261] = {};
    const DWORD n = GetTempPathW(261, buf);
    if (n == 0 || n > 260)
        return {};
    return QString::fromWCharArray(buf, int(n));
}

} // namespace ExeInfoSystem
