// SPDX-License-Identifier: MIT
#include "Paths.h"

#include <QUrl>

// Windows names are UTF-16 already; the file calls take the QString's characters directly.
QString PathDelimiters()
{
    return QStringLiteral("\\:");
}
QChar PathSeparator()
{
    return QLatin1Char('\\');
}
QByteArray EncodePath(const QString& path)
{
    return path.toUtf8();
}
QString DecodePath(const QByteArray& path)
{
    return QString::fromUtf8(path);
}

QUrl LocalFileUrl(const QString& path)
{
    return QUrl::fromLocalFile(path);
}
