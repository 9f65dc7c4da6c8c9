// SPDX-License-Identifier: MIT
#include "FixedFile.h"

#include <cmath>

namespace {

int RoundedShare(int count, int limit)
{
    return int(std::nearbyint(double(count) * 100.0 / double(limit)));
}

} // namespace

QString ExtensionPart(const QString& path, const QString& delimiters)
{
    const QString name = FileNamePart(path, delimiters);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString ReduceDoubledSeparators(const QString& path, QChar separator)
{
    QString result = path;
    return result.replace(QString(2, separator), QString(separator));
}

QString ShortenForDisplay(const QString& path, int limit, int head, int tail)
{
    if (limit <= 0 || path.size() <= limit)
        return path;
    const int front = qBound(0, RoundedShare(head, limit), int(path.size()));
    const int back = qBound(0, RoundedShare(tail, limit), int(path.size()));
    return path.left(front) + QStringLiteral(" ... ") + path.right(back);
}

QString MakeFixedName(const QString& source, const QDateTime& now, const QString& delimiters)
{
    const QString folder = FolderPart(source, delimiters);
    const QString name = FileNamePart(source, delimiters);
    const QString extension = ExtensionPart(source, delimiters);
    const QString base = name.left(name.size() - extension.size());
    return folder + base + QStringLiteral("_r") + now.toString(QStringLiteral("hhmmssddMMyyyy")) + extension;
}
