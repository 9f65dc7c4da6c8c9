// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>
#include <stdexcept>

// A file that cannot be opened. The message names the file in double quotes and adds the system's
// reason: Cannot open file "<path>". <reason>
class EFOpenError : public std::runtime_error {
public:
    EFOpenError(const QString& path, const QString& reason);
};

// Size of the file in bytes (64-bit), or -1 when it cannot be queried.
qint64 FileSize(const QString& path);

// True when `path` names something that is not a folder.
bool FileExists(const QString& path);

// True when `path` names a folder.
bool DirectoryExists(const QString& path);

// Reads up to `count` bytes from the start of the file into `buffer` and returns how many were read.
// The file is opened read-only, never blocks (FIFOs and devices are refused, not waited on), and
// only regular files are read. Throws EFOpenError when the file cannot be opened or is not a regular
// file. A failed read returns 0; `readError`, when given, then receives the system's reason.
qint64 ReadFileHead(const QString& path, char* buffer, qint64 count, QString* readError = nullptr);
