// SPDX-License-Identifier: MIT
#include "Files.h"

#include <string>
#include <windows.h>

namespace {

std::wstring Wide(const QString& path)
{
    return path.toStdWString();
}

QString SystemReason(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString reason = n ? QString::fromWCharArray(text, int(n)).trimmed() : QString::number(error);
    LocalFree(text);
    return reason;
}

} // namespace

qint64 FileSize(const QString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (qint64(data.nFileSizeHigh) << 32) | qint64(data.nFileSizeLow);
}

bool FileExists(const QString& path)
{
    const std::wstring name = Wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
        return false;
    // A file held open exclusively (a page file, for one) still shows up in a folder search.
    WIN32_FIND_DATAW found {};
    const HANDLE h = FindFirstFileW(name.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const QString& path)
{
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

qint64 ReadFileHead(const QString& path, char* buffer, qint64 count, QString* readError)
{
    const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw EFOpenError(path, SystemReason(GetLastError()));
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        throw EFOpenError(path, QStringLiteral("Not a regular file"));
    }
    DWORD read = 0;
    const DWORD wanted = DWORD(qMin<qint64>(count, MAXDWORD));
    if (!ReadFile(h, buffer, wanted, &read, nullptr)) {
        if (readError)
            *readError = SystemReason(GetLastError());
        read = 0;
    }
    CloseHandle(h);
    return qint64(read);
}
