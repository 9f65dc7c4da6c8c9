// SPDX-License-Identifier: MIT
#include "Files.h"

EFOpenError::EFOpenError(const QString& path, const QString& reason)
    : std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason).toStdString())
{
}
