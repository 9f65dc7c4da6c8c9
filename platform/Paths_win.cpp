// SPDX-License-Identifier: MIT
#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

QStringList ProgramArguments(int argc, char** argv)
{
    // The wide command line, which the application object reads; argv is in the ANSI code page.
    if (QCoreApplication::instance())
        return QCoreApplication::arguments();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString AbsolutePath(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

QUrl LocalFileUrl(const QString& path)
{
    return QUrl::fromLocalFile(path);
}
